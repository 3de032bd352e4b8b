#include "LumoDataSetModel.h"

#include "LumoErrorBoundary.h"

TLumoDataSetModel::TLumoDataSetModel(QObject *parent) : QAbstractTableModel(parent) {}

void TLumoDataSetModel::setDataSet(TLumoCLientDataSet *dataSet)
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataSet = dataSet;
    if (dataSet) {
        m_connections << connect(dataSet, &TLumoCLientDataSet::layoutReset, this,
                                 &TLumoDataSetModel::reset)
                      << connect(dataSet, &TLumoCLientDataSet::fieldChanged, this,
                                 &TLumoDataSetModel::onFieldChanged)
                      << connect(dataSet, &TLumoCLientDataSet::rowsAboutToBeFetched, this,
                                 [this](int first, int last) {
                                     beginInsertRows(QModelIndex(), first, last);
                                 })
                      << connect(dataSet, &TLumoCLientDataSet::rowsFetched, this,
                                 [this] { endInsertRows(); });
    }
    reset();
}

void TLumoDataSetModel::setColumns(const QStringList &fieldNames)
{
    m_columnNames = fieldNames;
    reset();
}

void TLumoDataSetModel::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void TLumoDataSetModel::reset()
{
    beginResetModel();
    m_columns.clear();
    if (m_dataSet) {
        if (m_columnNames.isEmpty()) {
            for (int i = 0; i < m_dataSet->FieldCount(); ++i) {
                TLumoField &field = m_dataSet->Fields(i);
                if (field.Visible() && field.FieldKind() != TFieldKind::Nested &&
                    field.FieldKind() != TFieldKind::Aggregate)
                    m_columns << &field;
            }
        } else {
            for (const QString &name : std::as_const(m_columnNames)) {
                if (TLumoField *field = m_dataSet->FindField(name))
                    m_columns << field;
            }
        }
    }
    endResetModel();
}

bool TLumoDataSetModel::isCell(const QModelIndex &index) const
{
    return index.isValid() && m_dataSet && index.model() == this && index.row() < rowCount() &&
           index.column() < m_columns.size();
}

TLumoField *TLumoDataSetModel::fieldAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column] : nullptr;
}

int TLumoDataSetModel::columnOf(const QString &fieldName) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c]->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

int TLumoDataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_dataSet ? 0 : m_dataSet->RecordCount();
}

int TLumoDataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QVariant TLumoDataSetModel::data(const QModelIndex &index, int role) const
{
    if (!isCell(index))
        return QVariant();
    // A cell that cannot be worked out (a lookup or a calculation failing) paints empty.
    QVariant value;
    lumoBoundary(
        "grid cell", [&] { value = cell(index, role); }, nullptr);
    return value;
}

QVariant TLumoDataSetModel::cell(const QModelIndex &index, int role) const
{
    const TLumoField &field = *m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return field.displayTextAt(index.row());
    case Qt::EditRole:
        return field.valueAt(index.row());
    case Qt::TextAlignmentRole:
        return field.isNumeric() ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case UpdateStatusRole:
        return int(m_dataSet->updateStatusAt(index.row()));
    default:
        return QVariant();
    }
}

bool TLumoDataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !isCell(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    TLumoField &field = *m_columns[index.column()];
    // Errors stop here: an edit typed into a grid never throws into the event loop.
    bool stored = false;
    lumoBoundary(
        "grid edit",
        [&] {
            if (m_dataSet->RecNo() - 1 != index.row() && !m_dataSet->setRecNo(index.row() + 1))
                return;
            if (!m_dataSet->Edit())
                return;
            field.setValue(value);
            stored = true;
        },
        [this](const QString &text) { refuse(text); });
    return stored;
}

void TLumoDataSetModel::refuse(const QString &text)
{
    m_lastError = text;
    emit editRefused(m_lastError);
}

QVariant TLumoDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section]->DisplayLabel();
    if (role == FieldNameRole)
        return m_columns[section]->FieldName();
    return QVariant();
}

Qt::ItemFlags TLumoDataSetModel::flags(const QModelIndex &index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (!m_readOnly && !m_columns[index.column()]->ReadOnly())
        result |= Qt::ItemIsEditable;
    return result;
}

bool TLumoDataSetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_dataSet && m_dataSet->canFetchMore();
}

void TLumoDataSetModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    lumoBoundary(
        "grid fetch", [this] { m_dataSet->GetNextPacket(); },
        [this](const QString &text) { refuse(text); });
}

void TLumoDataSetModel::onFieldChanged(TLumoField *field)
{
    if (!m_dataSet || m_dataSet->RecNo() == 0 || m_columns.isEmpty())
        return;
    const int row = m_dataSet->RecNo() - 1;
    // A change may move calculated and lookup columns too: the whole row is repainted.
    Q_UNUSED(field);
    emit dataChanged(index(row, 0), index(row, std::max<int>(0, m_columns.size() - 1)));
}
