#include "SrvTitleStrip.h"

#include "SrvArt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace korvane {

TSrvTitleStrip::TSrvTitleStrip(const QString &caption, const QString &title, bool withMinimise,
                               QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlTop"));
    setProperty("TagStr", QStringLiteral("D0"));
    setFixedHeight(24);
    setAutoFillBackground(true);
    setStyleSheet(
        QStringLiteral("#pnlTop { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #ffffff, stop:1 #c8dcf4); border-bottom: 1px solid #7090c0; }"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 2, 0);
    layout->setSpacing(4);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("LumoImage7"));
    icon->setPixmap(srvAppIcon(18));
    auto *captionLabel = new QLabel(caption, this);
    captionLabel->setObjectName(QStringLiteral("lblCaption"));
    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));
    layout->addWidget(icon);
    layout->addWidget(captionLabel);
    layout->addWidget(m_title);
    layout->addStretch();
    if (withMinimise) {
        QToolButton *minimise = imageButton(QStringLiteral("imgMin"), int(SrvPicture::Minimise));
        connect(minimise, &QToolButton::clicked, this, &TSrvTitleStrip::minimiseClicked);
        layout->addWidget(minimise);
    }
    QToolButton *close = imageButton(QStringLiteral("imgClose"), int(SrvPicture::Close));
    connect(close, &QToolButton::clicked, this, &TSrvTitleStrip::closeClicked);
    layout->addWidget(close);
}

QToolButton *TSrvTitleStrip::imageButton(const QString &name, int picture)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(srvPicture(SrvPicture(picture), 16)));
    button->setFixedSize(20, 20);
    return button;
}

// Presses on the labels reach the strip too, since labels leave mouse presses alone.
void TSrvTitleStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QFrame::mousePressEvent(event);
    m_drag.press(event->globalPosition().toPoint());
}

void TSrvTitleStrip::mouseMoveEvent(QMouseEvent *event)
{
    m_drag.move(event->globalPosition().toPoint(), event->buttons());
    QFrame::mouseMoveEvent(event);
}

void TSrvTitleStrip::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag.release();
    QFrame::mouseReleaseEvent(event);
}

} // namespace korvane
