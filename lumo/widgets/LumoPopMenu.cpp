#include "LumoPopMenu.h"

#include "LumoFont.h"

#include <QPainter>

namespace {

const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
const QColor kSeparator(0x80, 0x80, 0x80);

//! Caption at x = 5, centred on the height of "李".
void drawCaption(QPainter &painter, const QRect &rect, const QString &caption, QColor colour)
{
    const QFontMetrics fm(painter.font());
    const int textHeight = fm.boundingRect(QStringLiteral("李")).height();
    const int y = rect.top() + (rect.height() - textHeight) / 2;
    painter.setPen(colour);
    painter.drawText(QRect(rect.left() + 5, y, rect.width() - 5, textHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
}

} // namespace

TLumoPopMenu::TLumoPopMenu(QWidget *parent) : QMenu(parent)
{
    lumo::applyLumoFont(this);
}

void TLumoPopMenu::setDrawItem(DrawItem draw)
{
    m_draw = std::move(draw);
    update();
}

void TLumoPopMenu::drawStandardItem(QPainter &painter, const QRect &rect, QAction *item,
                                    bool selected)
{
    const QColor window = QPalette().color(QPalette::Base);
    painter.setPen(selected ? QColor(Qt::blue) : window);
    painter.setBrush(selected ? kSkyBlue : window);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    const QString caption = item->isSeparator() ? QStringLiteral("-") : item->text();
    if (caption == QLatin1String("-")) {
        const int middle = rect.center().y();
        painter.setPen(kSeparator);
        painter.drawLine(rect.left() + 1, middle, rect.right() - 1, middle);
        return;
    }
    // A disabled item reads grey, like a disabled button's caption.
    drawCaption(painter, rect, caption, item->isEnabled() ? QColor(Qt::black) : kSeparator);
}

void TLumoPopMenu::drawTitleItem(QPainter &painter, const QRect &rect, QAction *item)
{
    const QColor info = QPalette().color(QPalette::ToolTipBase);
    painter.setPen(Qt::blue);
    painter.setBrush(info);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    drawCaption(painter, rect, item->text(), Qt::blue);
}

void TLumoPopMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    for (QAction *item : actions()) {
        const QRect area = actionGeometry(item);
        if (area.isEmpty() || !item->isVisible())
            continue;
        painter.save();
        const bool selected = item == activeAction() && !item->isSeparator();
        if (m_draw)
            m_draw(painter, area, item, selected);
        else if (item == m_title)
            drawTitleItem(painter, area, item);
        else
            drawStandardItem(painter, area, item, selected);
        painter.restore();
    }
}
