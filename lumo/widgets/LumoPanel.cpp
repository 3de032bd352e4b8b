#include "LumoPanel.h"

#include "LumoDraw.h"
#include "LumoFont.h"
#include "LumoTagStr.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kStrips = 255;

bool takesFocus(const QWidget *child)
{
    return !child->isWindow() && child->isVisibleTo(child->parentWidget()) && child->isEnabled() &&
           (child->focusPolicy() != Qt::NoFocus || child->focusProxy());
}

} // namespace

TLumoPanel::TLumoPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    lumo::applyLumoFont(this);
}

void TLumoPanel::setTagStr(const QString &value)
{
    m_tagStr = LumoTagStr::rangeCode(value);
}

void TLumoPanel::setPnlType(TPnlType type)
{
    m_pnlType = type;
    if (type != ptActivePnl) {
        // A panel that is no longer an edit area loses its data-set code.
        m_active = false;
        m_tagStr = QStringLiteral("D0");
    }
    update();
}

void TLumoPanel::SetActive(bool active)
{
    if (m_pnlType == ptActivePnl) {
        m_active = active;
        emit OnActive();
    } else {
        m_active = false;
    }
    update();
}

void TLumoPanel::setBackGround(const QPixmap &picture)
{
    m_background = picture;
    update();
}

void TLumoPanel::setBkDirect(TBkDirect direct)
{
    m_bkDirect = direct;
    update();
}

QColor TLumoPanel::gradientColor(int strip)
{
    return QColor(strip, strip, 200);
}

QList<int> TLumoPanel::gradientWidths(int width)
{
    QList<int> widths;
    int left = std::max(0, width);
    for (int strip = 0; strip < kStrips; ++strip) {
        const int w = left / (kStrips - strip);
        widths << w;
        left -= w;
    }
    return widths;
}

void TLumoPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    paintBackground(painter);
    if (m_pnlType == ptQuery && !m_background.isNull())
        paintGradient(painter);
    if (m_pnlType == ptActivePnl)
        paintActiveFrame(painter);
}

void TLumoPanel::paintBackground(QPainter &painter) const
{
    if (m_background.isNull() || m_bkDirect == BkStrech)
        return;
    const int step = m_bkDirect == bkdLefttoRight ? m_background.width() : m_background.height();
    if (step <= 0)
        return;
    for (int at = 0; at < (m_bkDirect == bkdLefttoRight ? width() : height()); at += step) {
        const QPoint corner = m_bkDirect == bkdLefttoRight ? QPoint(at, 0) : QPoint(0, at);
        painter.drawPixmap(corner, m_background);
    }
}

void TLumoPanel::paintGradient(QPainter &painter) const
{
    const QRect inside = contentsRect();
    const QList<int> widths = gradientWidths(inside.width());
    int x = inside.left();
    for (int strip = 0; strip < kStrips; ++strip) {
        painter.fillRect(QRect(x, inside.top(), widths.at(strip), inside.height()),
                         gradientColor(strip));
        x += widths.at(strip);
    }
}

void TLumoPanel::paintActiveFrame(QPainter &painter) const
{
    if (m_active)
        lumo::drawFrame(painter, rect(), Qt::blue, Qt::blue);
    else
        lumo::drawFrame(painter, rect(), palette().color(QPalette::Light),
                        palette().color(QPalette::Dark));
}

void TLumoPanel::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        focusLastChild();
}

void TLumoPanel::focusLastChild()
{
    // Clicking the panel leaves the focus where handing it to each child in turn
    // would: on the last one that can take it. Going straight there spares the
    // children in between an enter and a leave (a code editor would look its code up).
    const auto children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (takesFocus(*it)) {
            (*it)->setFocus(Qt::MouseFocusReason);
            return;
        }
    }
}

void TLumoPanel::enterEvent(QEnterEvent *event)
{
    QFrame::enterEvent(event);
    emit OnMouseEnter();
}

void TLumoPanel::leaveEvent(QEvent *event)
{
    QFrame::leaveEvent(event);
    emit OnMouseLeave();
}
