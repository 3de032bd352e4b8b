#include "USplash.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen)
{
    // Not above other programs: the login waits on it, and their messages must stay in sight.
    setObjectName(QStringLiteral("frmSplash"));
    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));

    // A Splash.bmp in the working folder replaces the built-in picture and sets the size.
    QPixmap picture(QDir::current().filePath(QStringLiteral("Splash.bmp")));
    if (picture.isNull())
        picture = builtInPicture();
    imgSplash->setPixmap(picture);
    imgSplash->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setStyleSheet(QStringLiteral("color: #000080; background: transparent;"));
    lblVersion->setGeometry(width() - 110, height() - 30, 100, 20);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TfrmSplash::showEvent(QShowEvent *event)
{
    lblVersion->setText(QStringLiteral("单机版"));
    QWidget::showEvent(event);
}

QPixmap TfrmSplash::builtInPicture()
{
    QPixmap pixmap(420, 260);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, pixmap.height());
    sky.setColorAt(0, QColor(0x87, 0xCE, 0xEB));
    sky.setColorAt(1, QColor(0x00, 0x00, 0x80));
    p.fillRect(pixmap.rect(), sky);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Noto Sans CJK SC"), 26, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(0, 60, pixmap.width(), 50), Qt::AlignCenter, QStringLiteral("Korvane 进销存"));
    QFont line(QStringLiteral("Noto Sans CJK SC"), 11);
    p.setFont(line);
    p.drawText(QRect(0, 115, pixmap.width(), 30), Qt::AlignCenter,
               QStringLiteral("KorvaneTradimo--日常作业"));
    p.drawText(QRect(0, 145, pixmap.width(), 30), Qt::AlignCenter,
               QStringLiteral("正在启动，请稍等……"));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}
