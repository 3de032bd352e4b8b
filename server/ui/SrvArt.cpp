#include "SrvArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace korvane {

namespace {

const QColor kBlue(0, 70, 160);
const QColor kSky(166, 202, 240);

QPixmap blank(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawDatabase(QPainter &p, const QRectF &r)
{
    const qreal ellipse = r.height() / 4;
    p.setBrush(QColor(70, 130, 200));
    p.drawRect(QRectF(r.left(), r.top() + ellipse / 2, r.width(), r.height() - ellipse));
    p.drawEllipse(QRectF(r.left(), r.bottom() - ellipse, r.width(), ellipse));
    p.setBrush(QColor(140, 190, 240));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), ellipse));
}

void drawAddress(QPainter &p, const QRectF &r)
{
    p.setBrush(QColor(60, 150, 90));
    p.drawEllipse(r);
    p.setPen(QPen(Qt::white, r.width() / 14));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawEllipse(r.adjusted(r.width() / 4, 0, -r.width() / 4, 0));
}

void drawBackup(QPainter &p, const QRectF &r)
{
    drawDatabase(p, r.adjusted(0, 0, -r.width() / 3, -r.height() / 3));
    p.setBrush(QColor(240, 170, 40));
    QPainterPath arrow;
    const QRectF a = r.adjusted(r.width() / 2, r.height() / 2, 0, 0);
    arrow.moveTo(a.center().x(), a.bottom());
    arrow.lineTo(a.left(), a.center().y());
    arrow.lineTo(a.right(), a.center().y());
    arrow.closeSubpath();
    p.drawPath(arrow);
    p.drawRect(QRectF(a.center().x() - a.width() / 6, a.top(), a.width() / 3, a.height() / 2));
}

void drawLetter(QPainter &p, const QRectF &r, const QColor &fill, const QString &letter)
{
    p.setBrush(fill);
    p.drawEllipse(r);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(r.height() * 0.7));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, letter);
}

void drawCross(QPainter &p, const QRectF &r, const QColor &color)
{
    p.setPen(QPen(color, r.width() / 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

} // namespace

QPixmap srvAppIcon(int size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, kSky);
    fill.setColorAt(1, kBlue);
    p.setBrush(fill);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(size * 3 / 4);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("K"));
    return pixmap;
}

int trayFrameCount()
{
    return 4;
}

QIcon srvTrayIcon(int frame)
{
    const int size = 32;
    QPixmap pixmap = srvAppIcon(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A light that walks round the corners marks a working server.
    const QPointF corners[] = {{6, 6}, {26, 6}, {26, 26}, {6, 26}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 60));
    p.drawEllipse(corners[frame % trayFrameCount()], 4, 4);
    return QIcon(pixmap);
}

QPixmap srvPicture(SrvPicture picture, int size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlue, 1));
    const QRectF r(size * 0.1, size * 0.1, size * 0.8, size * 0.8);
    switch (picture) {
    case SrvPicture::Database:
        drawDatabase(p, r);
        break;
    case SrvPicture::Address:
        drawAddress(p, r);
        break;
    case SrvPicture::Backup:
        drawBackup(p, r);
        break;
    case SrvPicture::About:
        drawLetter(p, r, QColor(40, 120, 220), QStringLiteral("i"));
        break;
    case SrvPicture::Exit:
        drawLetter(p, r, QColor(200, 50, 50), QString());
        drawCross(p, r.adjusted(size / 5.0, size / 5.0, -size / 5.0, -size / 5.0), Qt::white);
        break;
    case SrvPicture::Minimise:
        p.setPen(QPen(kBlue, size / 6.0));
        p.drawLine(QPointF(r.left(), r.bottom()), r.bottomRight());
        break;
    case SrvPicture::Close:
        drawCross(p, r.adjusted(size / 8.0, size / 8.0, -size / 8.0, -size / 8.0), kBlue);
        break;
    case SrvPicture::Hint:
        drawDatabase(p, r.adjusted(0, 0, -r.width() / 3, 0));
        drawLetter(p, r.adjusted(r.width() / 2, r.height() / 2, 0, 0), QColor(60, 150, 90),
                   QStringLiteral("✓"));
        break;
    }
    return pixmap;
}

QPixmap srvLoginSketch(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor(236, 236, 236));
    QPainter p(&pixmap);
    const QRect frame = pixmap.rect().adjusted(10, 10, -11, -11);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.fillRect(QRect(frame.left() + 1, frame.top() + 1, frame.width() - 1, 22), kBlue);
    p.setPen(Qt::white);
    p.drawText(frame.adjusted(8, 3, 0, 0), QStringLiteral("系统登录"));
    p.setPen(Qt::black);
    const char *const labels[] = {"服务器:", "用户:", "密码:"};
    for (int i = 0; i < 3; ++i) {
        const int y = frame.top() + 45 + i * 32;
        p.drawText(QPoint(frame.left() + 20, y + 15), QString::fromUtf8(labels[i]));
        p.drawRect(QRect(frame.left() + 80, y, frame.width() - 110, 22));
    }
    return pixmap;
}

} // namespace korvane
