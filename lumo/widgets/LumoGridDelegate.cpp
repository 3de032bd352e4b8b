#include "LumoGridDelegate.h"

#include <QApplication>
#include <QPainter>

TLumoGridDelegate::TLumoGridDelegate(Background background, QObject *parent)
    : QStyledItemDelegate(parent), m_background(std::move(background))
{}

QColor TLumoGridDelegate::rowColorOne()
{
    return QColor(Qt::white);
}

QColor TLumoGridDelegate::rowColorTwo()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

void TLumoGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const bool selected = cell.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(cell.rect, selected ? selectedBackground() : m_background(index));
    const QWidget *view = option.widget;
    const QStyle *style = view ? view->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect textArea = cell.rect.adjusted(margin, 0, -margin, 0);
    painter->setFont(cell.font);
    painter->setPen(selected ? selectedText() : cell.palette.color(QPalette::Text));
    const QString text =
        painter->fontMetrics().elidedText(cell.text, cell.textElideMode, textArea.width());
    painter->drawText(textArea, int(cell.displayAlignment | Qt::AlignVCenter), text);
    painter->restore();
}
