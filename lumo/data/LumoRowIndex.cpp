#include "LumoRowIndex.h"

#include "LumoChangeLog.h"
#include "LumoErrorBoundary.h"
#include "LumoFilter.h"

#include <algorithm>

int LumoRowIndex::compareCells(const QVariant &x, const QVariant &y)
{
    const bool xNull = x.isNull() || !x.isValid();
    const bool yNull = y.isNull() || !y.isValid();
    if (xNull || yNull)
        return int(yNull) - int(xNull) == 0 ? 0 : (xNull ? -1 : 1);
    const QPartialOrdering order = QVariant::compare(x, y);
    if (order == QPartialOrdering::Less)
        return -1;
    if (order == QPartialOrdering::Greater)
        return 1;
    if (order == QPartialOrdering::Equivalent)
        return 0;
    return QString::compare(x.toString(), y.toString());
}

void LumoRowIndex::sortByColumns(QVector<int> &visible, const TLumoRows &rows,
                                 const QList<int> &columns)
{
    std::stable_sort(visible.begin(), visible.end(), [&](int a, int b) {
        for (int column : columns) {
            const int c =
                compareCells(rows[a].current.value(column), rows[b].current.value(column));
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}

// ---- index definitions ------------------------------------------------------------------

QString TLumoCLientDataSet::indexFields(const QString &indexName) const
{
    for (const TLumoIndexDef &def : m_indexDefs) {
        if (def.Name.compare(indexName, Qt::CaseInsensitive) == 0)
            return def.Fields;
    }
    return QString();
}

bool TLumoCLientDataSet::hasIndex(const QString &indexName) const
{
    return std::any_of(m_indexDefs.begin(), m_indexDefs.end(), [&](const TLumoIndexDef &def) {
        return def.Name.compare(indexName, Qt::CaseInsensitive) == 0;
    });
}

void TLumoCLientDataSet::setIndexName(const QString &name)
{
    if (!name.isEmpty() && !hasIndex(name))
        throw TLumoDataSetError(QStringLiteral("索引'%1'不存在").arg(name));
    m_indexName = name;
    if (Active()) {
        rebuildVisible(storageIndexOfCursor());
        emit layoutReset();
    }
}

// ---- the visible rows -------------------------------------------------------------------

bool TLumoCLientDataSet::rowVisible(int storageRow) const
{
    const TLumoRow &row = rows()[storageRow];
    if (row.status == TUpdateStatus::usDeleted)
        return false;
    if (row.pending || !m_filtered)
        return true;
    // Filters read the stored cells of the row by field name.
    const auto valueOf = [&](const QString &name) {
        const TLumoField &field = FieldByName(name);
        return field.column() < 0 ? QVariant() : row.current.value(field.column());
    };
    if (m_filter && !m_filter->matches(valueOf))
        return false;
    return true;
}

void TLumoCLientDataSet::rebuildVisible(int keepStorageRow)
{
    m_visible.clear();
    const int count = int(rows().size());
    for (int i = 0; i < count; ++i) {
        if (rowVisible(i))
            m_visible << i;
    }
    if (m_filtered && OnFilterRecord) {
        // The record view reads visible rows, so the handler sees each candidate in turn.
        QVector<int> kept;
        const QVector<int> candidates = m_visible;
        for (int i = 0; i < candidates.size(); ++i) {
            if (rows()[candidates[i]].pending || OnFilterRecord(TLumoRecordView(*this, i)))
                kept << candidates[i];
        }
        m_visible = kept;
    }
    const QStringList order = indexFields(m_indexName).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!m_indexName.isEmpty() && !order.isEmpty()) {
        QList<int> columns;
        for (const QString &name : order)
            columns << FieldByName(name.trimmed()).column();
        LumoRowIndex::sortByColumns(m_visible, rows(), columns);
    }
    const int kept = m_visible.indexOf(keepStorageRow);
    m_cursor = kept >= 0 ? kept : std::min<int>(std::max(m_cursor, 0), m_visible.size() - 1);
    if (m_visible.isEmpty()) {
        m_cursor = -1;
        m_bof = m_eof = true;
    }
}

// ---- cursor moves -----------------------------------------------------------------------

bool TLumoCLientDataSet::moveTo(int position)
{
    if (!Active())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集未打开").arg(objectName()));
    if (!CheckBrowseMode())
        return false;
    if (!fire(BeforeScroll))
        return false;
    const int last = m_visible.size() - 1;
    const int target = std::clamp(position, std::min(0, last), last);
    m_bof = position <= 0 || last < 0;
    m_eof = position > last || last < 0;
    if (target == m_cursor)
        return true;
    m_cursor = target;
    m_bof = m_bof || target == 0;
    emit recordMoved();
    resyncDetails();
    fireAfter(AfterScroll);
    return true;
}

bool TLumoCLientDataSet::First()
{
    return moveTo(0);
}

bool TLumoCLientDataSet::Last()
{
    fetchAll();
    const bool moved = moveTo(m_visible.size() - 1);
    m_eof = true;
    return moved;
}

bool TLumoCLientDataSet::fetchOnDemand()
{
    if (!m_fetchOnDemand)
        return false;
    // A move past the loaded rows fetches; when that fails the operator is told, the move
    // ends at the rows there are and a later move asks the server again.
    bool fetched = false;
    lumoBoundary(
        "fetch on demand", [&] { fetched = GetNextPacket(); }, lumoShowError);
    return fetched;
}

bool TLumoCLientDataSet::Next()
{
    if (m_cursor >= m_visible.size() - 1)
        fetchOnDemand();
    if (m_cursor >= m_visible.size() - 1) {
        m_eof = true;
        return Active() && !m_visible.isEmpty();
    }
    return moveTo(m_cursor + 1);
}

bool TLumoCLientDataSet::Prior()
{
    if (m_cursor <= 0) {
        m_bof = true;
        return Active() && !m_visible.isEmpty();
    }
    return moveTo(m_cursor - 1);
}

bool TLumoCLientDataSet::MoveBy(int distance)
{
    while (distance > 0 && m_cursor + distance > m_visible.size() - 1 && fetchOnDemand()) {
    }
    return moveTo(m_cursor + distance);
}

bool TLumoCLientDataSet::setRecNo(int recNo)
{
    return moveTo(recNo - 1);
}

bool TLumoCLientDataSet::LocateValues(const QString &keyFields, const QVariantList &values,
                                      bool exact)
{
    const QStringList names = keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.size() != values.size())
        throw TLumoDataSetError(QStringLiteral("定位字段与定位值的个数不一致"));
    QList<const TLumoField *> fields;
    for (const QString &name : names)
        fields << &FieldByName(name.trimmed());
    if (!CheckBrowseMode())
        return false;
    fetchAll();
    for (int row = 0; row < m_visible.size(); ++row) {
        bool same = true;
        for (int k = 0; k < fields.size() && same; ++k) {
            const QString have = fields[k]->formatted(fields[k]->valueAt(row), QString());
            const QString want = values[k].toString();
            same = exact ? (LumoChangeLog::sameCell(fields[k]->valueAt(row), values[k]) ||
                            have == want)
                         : have.startsWith(want, Qt::CaseInsensitive);
        }
        if (same)
            return moveTo(row);
    }
    return false;
}

// ---- filters ----------------------------------------------------------------------------

void TLumoCLientDataSet::setFilter(const QString &filter)
{
    std::shared_ptr<TLumoFilter> parsed;
    if (!filter.trimmed().isEmpty()) {
        parsed = TLumoFilter::parse(filter);
        if (Active()) {
            for (const QString &name : parsed->fieldNames())
                FieldByName(name); // an unknown field is refused now, not while scrolling
        }
    }
    m_filterText = filter;
    m_filter = parsed;
    if (Active() && m_filtered) {
        rebuildVisible(storageIndexOfCursor());
        emit layoutReset();
        emit recordMoved();
        resyncDetails();
    }
}

void TLumoCLientDataSet::setFiltered(bool filtered)
{
    if (m_filtered == filtered)
        return;
    if (Active() && !CheckBrowseMode())
        return;
    m_filtered = filtered;
    if (Active()) {
        rebuildVisible(storageIndexOfCursor());
        emit layoutReset();
        emit recordMoved();
        resyncDetails();
    }
}
