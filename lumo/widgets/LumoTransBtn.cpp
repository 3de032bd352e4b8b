#include "LumoTransBtn.h"

#include "LumoActionList.h"
#include "LumoDraw.h"
#include "LumoLabel.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>

TLumoTransBtn::TLumoTransBtn(QWidget *parent) : QWidget(parent), m_label(new TLumoLabel(parent))
{
    resize(32, 32);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    m_label->setCursor(Qt::PointingHandCursor);
    m_label->installEventFilter(this);
    placeLabel();
}

TLumoTransBtn::~TLumoTransBtn()
{
    delete m_label;
}

void TLumoTransBtn::setLabelPosition(TLabelPosition position)
{
    m_position = position;
    placeLabel();
}

void TLumoTransBtn::setLabelSpacing(int spacing)
{
    m_spacing = spacing;
    placeLabel();
}

QFont TLumoTransBtn::LabelFont() const
{
    return m_label ? m_label->font() : font();
}

void TLumoTransBtn::setLabelFont(const QFont &font)
{
    if (!m_label)
        return;
    m_label->setFont(font);
    placeLabel();
}

void TLumoTransBtn::setAction(QAction *action)
{
    if (m_action && m_action != action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (!action)
        return;
    if (m_label)
        m_label->setText(action->text());
    QPixmap picture = TLumoActionList::pictureOf(action);
    if (picture.isNull() && !action->icon().isNull())
        picture = action->icon().pixmap(size());
    if (!picture.isNull())
        setPicture(picture);
    placeLabel();
}

void TLumoTransBtn::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    m_saved = QPixmap();
    if (!picture.isNull())
        resize(picture.size());
    if (m_hovered)
        setHovered(true);
    update();
}

QPixmap TLumoTransBtn::dotted(const QPixmap &picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb corner = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            if (image.pixel(x, y) != corner)
                image.setPixel(x, y, qRgb(0, 0, 255));
        }
    }
    return QPixmap::fromImage(image);
}

void TLumoTransBtn::setHovered(bool hovered)
{
    if (hovered && m_saved.isNull()) {
        m_saved = m_picture;
        m_picture = dotted(m_saved);
    } else if (!hovered && !m_saved.isNull()) {
        m_picture = m_saved;
        m_saved = QPixmap();
    }
    m_hovered = hovered;
    if (m_label) {
        QFont font = m_label->font();
        font.setUnderline(hovered);
        m_label->setFont(font);
        QPalette palette = m_label->palette();
        palette.setColor(QPalette::WindowText, hovered ? Qt::blue : Qt::black);
        m_label->setPalette(palette);
    }
    update();
}

void TLumoTransBtn::placeLabel()
{
    if (!m_label)
        return;
    m_label->adjustSize();
    const QRect me = geometry();
    const QSize label = m_label->size();
    QPoint at;
    switch (m_position) {
    case lpAbove:
        at = {me.left(), me.top() - label.height() - m_spacing};
        break;
    case lpBelow:
        at = {me.left() + (me.width() - label.width()) / 2, me.bottom() + 1 + m_spacing};
        break;
    case lpLeft:
        at = {me.left() - label.width() - m_spacing, me.top() + (me.height() - label.height()) / 2};
        break;
    case lpRight:
        at = {me.right() + 1 + m_spacing, me.top() + (me.height() - label.height()) / 2};
        break;
    }
    m_label->move(at);
}

void TLumoTransBtn::paintEvent(QPaintEvent *)
{
    // A transparent picture: its corner colour lets the parent show through.
    QPainter painter(this);
    painter.drawPixmap(0, 0, lumo::withoutTransparentColour(m_picture));
}

bool TLumoTransBtn::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        placeLabel();
        break;
    case QEvent::ParentChange:
        if (m_label) {
            m_label->setParent(parentWidget());
            m_label->setVisible(isVisibleTo(parentWidget()));
            placeLabel();
        }
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (m_label)
            m_label->setVisible(event->type() == QEvent::Show);
        break;
    case QEvent::EnabledChange:
        if (m_label)
            m_label->setEnabled(isEnabled());
        break;
    case QEvent::Enter:
        setHovered(true);
        break;
    case QEvent::Leave:
        setHovered(false);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            click();
        break;
    default:
        break;
    }
    return handled;
}

bool TLumoTransBtn::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label) {
        if (event->type() == QEvent::Enter)
            setHovered(true);
        else if (event->type() == QEvent::Leave)
            setHovered(false);
        else if (event->type() == QEvent::MouseButtonRelease &&
                 static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            click();
    }
    return QWidget::eventFilter(watched, event);
}

void TLumoTransBtn::click()
{
    emit clicked();
    // An action without a handler does nothing when triggered.
    if (m_action && m_action->isEnabled())
        m_action->trigger();
}
