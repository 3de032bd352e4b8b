#include "LumoStringGrid.h"

#include "LumoFont.h"
#include "LumoGridDelegate.h"

#include <QHeaderView>

TLumoStringGrid::TLumoStringGrid(QWidget *parent) : TLumoStringGrid(0, 0, parent) {}

TLumoStringGrid::TLumoStringGrid(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent), m_colorOne(TLumoGridDelegate::rowColorOne()),
      m_colorTwo(TLumoGridDelegate::rowColorTwo())
{
    lumo::applyLumoFont(this);
    verticalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setDefaultSectionSize(18);
    setItemDelegate(new TLumoGridDelegate(
        [this](const QModelIndex &index) {
            if (!m_defaultDrawing)
                return palette().color(QPalette::Base);
            return rowColor(index.row());
        },
        this));
}

void TLumoStringGrid::setColorOne(const QColor &color)
{
    m_colorOne = color;
    viewport()->update();
}

void TLumoStringGrid::setColorTwo(const QColor &color)
{
    m_colorTwo = color;
    viewport()->update();
}

void TLumoStringGrid::setDefaultDrawing(bool on)
{
    m_defaultDrawing = on;
    viewport()->update();
}

QColor TLumoStringGrid::rowColor(int row) const
{
    // Counted as the platform's grids count them, below one fixed row: odd rows first.
    return (row + 1) % 2 == 1 ? m_colorTwo : m_colorOne;
}

void TLumoStringGrid::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        // Whatever a form stored, every grid shows the same row colours.
        m_shown = true;
        m_colorOne = TLumoGridDelegate::rowColorOne();
        m_colorTwo = TLumoGridDelegate::rowColorTwo();
    }
    QTableWidget::showEvent(event);
}
