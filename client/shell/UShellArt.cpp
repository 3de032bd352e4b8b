#include "UShellArt.h"

#include "LumoLabel.h"

#include <QDesktopServices>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace korvane::shellart {

namespace {

QPixmap filled(const QSize &size, const QColor &colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

void shadeVertically(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(r, gradient);
}

} // namespace

QPixmap groupButton(const QSize &size, ButtonLook look)
{
    QPixmap pixmap = filled(size, Qt::white);
    QPainter p(&pixmap);
    const QRect r = pixmap.rect();
    switch (look) {
    case ButtonLook::Normal:
        shadeVertically(p, r, QColor(0x3A, 0x6E, 0xC8), QColor(0x12, 0x3C, 0x8C));
        break;
    case ButtonLook::Enter:
        shadeVertically(p, r, QColor(0x55, 0x8A, 0xE0), QColor(0x22, 0x52, 0xA8));
        break;
    case ButtonLook::Down:
        shadeVertically(p, r, QColor(0x0C, 0x2C, 0x70), QColor(0x2A, 0x5C, 0xB4));
        break;
    }
    p.setPen(QColor(255, 255, 255, 90));
    p.drawLine(r.topLeft(), r.topRight());
    p.setPen(QColor(0, 0, 0, 110));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    return pixmap;
}

QPixmap titleButton(TitleGlyph glyph)
{
    QPixmap pixmap = filled(QSize(22, 20), QColor(0x12, 0x3C, 0x8C));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.6));
    const QRectF box(6, 5, 10, 10);
    switch (glyph) {
    case TitleGlyph::Min:
        p.drawLine(QPointF(6, 14), QPointF(16, 14));
        break;
    case TitleGlyph::Max:
        p.drawRect(box);
        p.drawLine(box.topLeft() + QPointF(0, 1.5), box.topRight() + QPointF(0, 1.5));
        break;
    case TitleGlyph::Restore:
        p.drawRect(QRectF(8, 4, 8, 8));
        p.fillRect(QRectF(5.5, 7.5, 8, 8), QColor(0x12, 0x3C, 0x8C));
        p.drawRect(QRectF(5.5, 7.5, 8, 8));
        break;
    case TitleGlyph::Close:
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        break;
    }
    return pixmap;
}

QPixmap titlePicture()
{
    QPixmap pixmap = filled(QSize(26, 26), QColor(0x12, 0x3C, 0x8C));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xFF, 0xC8, 0x3C));
    p.setPen(QPen(Qt::white, 1.2));
    p.drawEllipse(QRectF(3, 3, 20, 20));
    QFont font;
    font.setBold(true);
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(QColor(0x12, 0x3C, 0x8C));
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("K"));
    return pixmap;
}

QPixmap launcherPicture(const QString &caption, const QColor &tile)
{
    QPixmap pixmap = filled(QSize(40, 40), Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(3, 3, 34, 34), 7, 7);
    QLinearGradient gradient(0, 3, 0, 37);
    gradient.setColorAt(0, tile.lighter(135));
    gradient.setColorAt(1, tile);
    p.fillPath(path, gradient);
    p.setPen(QPen(tile.darker(140), 1));
    p.drawPath(path);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 34, 34), Qt::AlignCenter, caption.left(1));
    return pixmap;
}

QPixmap topBar(const QSize &size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    shadeVertically(p, pixmap.rect(), QColor(0x2A, 0x5C, 0xB4), QColor(0x12, 0x3C, 0x8C));
    return pixmap;
}

QLabel *linkLabel(const QString &href, const QString &text, QWidget *parent)
{
    auto *label = new TLumoLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text), parent);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    return label;
}

} // namespace korvane::shellart
