#include "LumoDBGrid.h"

#include "LumoDataSetModel.h"
#include "LumoDataSource.h"
#include "LumoFont.h"
#include "LumoGridDelegate.h"
#include "LumoPanel.h"
#include "LumoTagLook.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

bool sameName(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Widths in digits: a text column shows up to this many (about half as many Chinese
// characters) before its value is cut; numbers get room for a large amount.
constexpr int kMaxTextDigits = 26;
constexpr int kUnsizedTextDigits = 12;
constexpr int kFloatDigits = 12;
constexpr int kIntegerDigits = 8;

int fieldDigits(const TLumoField &field)
{
    switch (field.DataType()) {
    case korvane::FieldType::Float:
        return kFloatDigits;
    case korvane::FieldType::Integer:
        return kIntegerDigits;
    case korvane::FieldType::String:
        return field.Size() > 0 ? std::min(field.Size(), kMaxTextDigits) : kUnsizedTextDigits;
    default:
        return 0;
    }
}

} // namespace

Tlumodbgrid::Tlumodbgrid(QWidget *parent)
    : QTableView(parent), m_model(new TLumoDataSetModel(this)),
      m_colorOne(TLumoGridDelegate::rowColorOne()), m_colorTwo(TLumoGridDelegate::rowColorTwo())
{
    lumo::applyLumoFont(this);
    setModel(m_model);
    setItemDelegate(
        new TLumoGridDelegate([this](const QModelIndex &index) { return cellColor(index); }, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(8);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &Tlumodbgrid::placeOverlay);
    // The header lays its sections out again on a reset first, then they get their widths.
    connect(m_model, &QAbstractItemModel::modelReset, this, &Tlumodbgrid::layOutAgain);
}

void Tlumodbgrid::setColorOne(const QColor &color)
{
    m_colorOne = color;
    viewport()->update();
}

void Tlumodbgrid::setColorTwo(const QColor &color)
{
    m_colorTwo = color;
    viewport()->update();
}

void Tlumodbgrid::setDataSource(TLumoDataSource *source)
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_source = source;
    m_model->setDataSet(source ? source->DataSet() : nullptr);
    if (source) {
        m_connections << connect(source, &TLumoDataSource::dataSetChanged, this, [this] {
            m_model->setDataSet(m_source ? m_source->DataSet() : nullptr);
            followDataSet();
        }) << connect(source, &TLumoDataSource::recordMoved, this, &Tlumodbgrid::followDataSet);
    }
    followDataSet();
}

void Tlumodbgrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setReadOnly(readOnly);
}

bool Tlumodbgrid::MultiSelect() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void Tlumodbgrid::setMultiSelect(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

bool Tlumodbgrid::RowSelect() const
{
    return selectionBehavior() == QAbstractItemView::SelectRows;
}

void Tlumodbgrid::setRowSelect(bool on)
{
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void Tlumodbgrid::setColumns(const QStringList &fieldNames)
{
    m_model->setColumns(fieldNames);
}

TLumoField *Tlumodbgrid::columnField(int column) const
{
    return m_model->fieldAt(column);
}

int Tlumodbgrid::textWidth(const QString &text) const
{
    // The cell's margins on both sides and the grid line.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    return fontMetrics().horizontalAdvance(text) + margin + 4;
}

int Tlumodbgrid::fieldColumnWidth(int column) const
{
    const TLumoField *field = columnField(column);
    if (!field)
        return horizontalHeader()->defaultSectionSize();
    return std::max(titleWidth(column), textWidth(QString(fieldDigits(*field), QLatin1Char('0'))));
}

int Tlumodbgrid::titleWidth(int column) const
{
    const TLumoField *field = columnField(column);
    const QString title = field ? field->DisplayLabel() : QString();
    return horizontalHeader()->fontMetrics().horizontalAdvance(title) +
           2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 4;
}

void Tlumodbgrid::layOutAgain()
{
    // No cell is current after a reset: an editor left over a cell of the old rows (a
    // new document emptied the lines) would float over an empty grid.
    for (int column = 0; column < m_model->columnCount(); ++column)
        hideOverlay(column);
    fitColumnsToFields();
}

void Tlumodbgrid::fitColumnsToFields()
{
    for (int column = 0; column < m_model->columnCount(); ++column)
        setColumnWidth(column, fieldColumnWidth(column));
}

void Tlumodbgrid::fitColumnsToContents(int maxChars)
{
    const int cap = textWidth(QString(maxChars, QLatin1Char('0')));
    const int rows = m_model->rowCount();
    for (int column = 0; column + 1 < m_model->columnCount(); ++column) {
        const TLumoField *field = columnField(column);
        int width = titleWidth(column);
        for (int row = 0; field && row < rows; ++row)
            width = std::max(width, std::min(cap, textWidth(field->displayTextAt(row))));
        setColumnWidth(column, width);
    }
}

QColor Tlumodbgrid::cellColor(const QModelIndex &index) const
{
    const TLumoField *field = columnField(index.column());
    if (field && field->ReadOnly())
        return LumoTagStr::moneyGreen();
    const int recordNumber = index.row() + 1;
    return recordNumber % 2 == 1 ? m_colorTwo : m_colorOne;
}

QWidget *Tlumodbgrid::overlayEditor(int column) const
{
    auto *panel = qobject_cast<TLumoPanel *>(parentWidget());
    const TLumoField *field = columnField(column);
    if (!panel || !field)
        return nullptr;
    const auto children = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->inherits("TLumoCodeName") &&
            sameName(child->property("CodeDataField").toString(), field->FieldName()))
            return child;
    }
    for (QWidget *child : children) {
        auto *date = qobject_cast<TLumoDBDateEdit *>(child);
        if (date && sameName(date->DataField(), field->FieldName()))
            return date;
    }
    return nullptr;
}

void Tlumodbgrid::followDataSet()
{
    const TLumoCLientDataSet *ds = m_source ? m_source->DataSet() : nullptr;
    if (m_syncing || !ds || !ds->Active() || ds->RecNo() < 1)
        return;
    const int row = ds->RecNo() - 1;
    if (currentIndex().row() == row)
        return;
    m_syncing = true;
    const int column = std::max(0, currentIndex().column());
    setCurrentIndex(m_model->index(row, column));
    m_syncing = false;
}

void Tlumodbgrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid() && previous.column() != current.column())
        hideOverlay(previous.column());
    TLumoCLientDataSet *ds = m_source ? m_source->DataSet() : nullptr;
    if (!m_syncing && ds && current.isValid() && current.row() + 1 != ds->RecNo()) {
        m_syncing = true;
        bool moved = false;
        try {
            moved = ds->setRecNo(current.row() + 1);
        } catch (const TLumoDataSetError &) {
            moved = false;
        }
        m_syncing = false;
        if (!moved) {
            // The record refused to be left: the cursor goes back to where the data is.
            followDataSet();
            return;
        }
    }
    if (hasFocus())
        placeOverlay();
}

void Tlumodbgrid::hideOverlay(int column)
{
    if (QWidget *editor = overlayEditor(column))
        editor->hide();
}

void Tlumodbgrid::placeOverlay()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    QWidget *editor = overlayEditor(current.column());
    if (!editor)
        return;
    const QRect cell = visualRect(current);
    if (cell.isEmpty() || !viewport()->rect().intersects(cell)) {
        editor->hide();
        return;
    }
    editor->setGeometry(QRect(viewport()->mapTo(parentWidget(), cell.topLeft()), cell.size()));
    editor->raise();
    editor->show();
}

bool Tlumodbgrid::typeIntoOverlay(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint() || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab)
        return false;
    QWidget *editor = overlayEditor(currentIndex().column());
    if (!editor || !editor->isVisible())
        return false;
    editor->setFocus(Qt::OtherFocusReason);
    QWidget *target = QApplication::focusWidget();
    if (!target || (target != editor && !editor->isAncestorOf(target)))
        target = editor->focusProxy() ? editor->focusProxy() : editor;
    QKeyEvent typed(event->type(), event->key(), event->modifiers(), text);
    QCoreApplication::sendEvent(target, &typed);
    return true;
}

bool Tlumodbgrid::appendAtEnd()
{
    TLumoCLientDataSet *ds = m_source ? m_source->DataSet() : nullptr;
    if (m_readOnly || !ds || !ds->Active() || currentIndex().row() + 1 < m_model->rowCount())
        return false;
    try {
        if (ds->State() == TDataSetState::dsInsert)
            return true; // the new line is still empty: nothing more to add
        return ds->Append();
    } catch (const TLumoDataSetError &) {
        return false;
    }
}

void Tlumodbgrid::keyPressEvent(QKeyEvent *event)
{
    if (typeIntoOverlay(event))
        return;
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && appendAtEnd()) {
        followDataSet();
        return;
    }
    QTableView::keyPressEvent(event);
}

void Tlumodbgrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    placeOverlay();
}

void Tlumodbgrid::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        // Whatever a form stored, every grid shows the same row colours.
        m_shown = true;
        m_colorOne = TLumoGridDelegate::rowColorOne();
        m_colorTwo = TLumoGridDelegate::rowColorTwo();
    }
    QTableView::showEvent(event);
}

void Tlumodbgrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit OnDblClick();
}

void Tlumodbgrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (hasFocus() || (QApplication::focusWidget() && parentWidget() &&
                       parentWidget()->isAncestorOf(QApplication::focusWidget())))
        placeOverlay();
}

void Tlumodbgrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (hasFocus())
        placeOverlay();
}
