#include "LumoChangeLog.h"

using namespace korvane;

namespace LumoChangeLog {

QVector<int> nestedColumns(const Fields &fields)
{
    QVector<int> columns;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::Nested)
            columns << i;
    }
    return columns;
}

TLumoRow rowFromPacket(const PacketRow &values, const Fields &fields)
{
    TLumoRow row;
    row.current = values;
    if (row.current.size() != fields.size())
        row.current.resize(fields.size());
    const QVector<int> nested = nestedColumns(fields);
    if (nested.isEmpty()) {
        row.original = row.current; // shared until one of them changes
        return row;
    }
    row.nested.resize(nested.size());
    for (int k = 0; k < nested.size(); ++k) {
        const int column = nested[k];
        for (const PacketRow &line : values.detailRows(column))
            row.nested[k].push_back(rowFromPacket(line, fields[column].fields));
    }
    row.original = row.current;
    return row;
}

PacketRow packetRowOf(const TLumoRow &row, const Fields &fields)
{
    PacketRow values = row.current;
    const QVector<int> nested = nestedColumns(fields);
    for (int k = 0; k < nested.size() && k < int(row.nested.size()); ++k) {
        PacketRows lines;
        for (const TLumoRow &line : row.nested[k]) {
            if (line.status != TUpdateStatus::usDeleted && !line.pending)
                lines << packetRowOf(line, fields[nested[k]].fields);
        }
        values.setDetailRows(nested[k], lines);
    }
    return values;
}

bool sameCell(const QVariant &a, const QVariant &b)
{
    const bool aNull = a.isNull() || !a.isValid();
    const bool bNull = b.isNull() || !b.isValid();
    if (aNull || bNull)
        return aNull == bNull;
    return a == b;
}

bool hasChanges(const TLumoRow &row)
{
    if (row.pending)
        return false;
    if (row.status != TUpdateStatus::usUnmodified)
        return true;
    for (const TLumoRows &lines : row.nested) {
        for (const TLumoRow &line : lines) {
            if (hasChanges(line))
                return true;
        }
    }
    return false;
}

int changeCount(const TLumoRows &rows)
{
    int count = 0;
    for (const TLumoRow &row : rows) {
        if (row.pending)
            continue;
        if (row.status != TUpdateStatus::usUnmodified)
            ++count;
        for (const TLumoRows &lines : row.nested)
            count += changeCount(lines);
    }
    return count;
}

namespace {

ChangeOp opOf(TUpdateStatus status)
{
    switch (status) {
    case TUpdateStatus::usInserted:
        return ChangeOp::Insert;
    case TUpdateStatus::usDeleted:
        return ChangeOp::Delete;
    default:
        return ChangeOp::Modify;
    }
}

ChangeRow changeRowOf(const TLumoRow &row)
{
    ChangeRow change;
    change.op = opOf(row.status);
    if (change.op != ChangeOp::Insert)
        change.oldValues = row.original;
    if (change.op != ChangeOp::Delete)
        change.newValues = row.current;
    change.changed = QBitArray(int(row.current.size()));
    if (change.op == ChangeOp::Modify) {
        for (int i = 0; i < row.current.size(); ++i)
            change.changed.setBit(i, !sameCell(row.original.value(i), row.current[i]));
    } else if (change.op == ChangeOp::Insert) {
        change.changed.fill(true);
    }
    return change;
}

} // namespace

ChangeSet build(const TLumoRows &rows, const Fields &fields, TLumoChangeMap *map)
{
    ChangeSet set;
    set.fields = fields;
    const QVector<int> nested = nestedColumns(fields);
    for (int i = 0; i < int(rows.size()); ++i) {
        const TLumoRow &row = rows[i];
        if (!hasChanges(row))
            continue;
        ChangeRow change = changeRowOf(row);
        const int changeIndex = set.rows.size();
        for (int k = 0; k < nested.size() && k < int(row.nested.size()); ++k) {
            auto detailMap = std::make_shared<TLumoChangeMap>();
            ChangeSet detail = build(row.nested[k], fields[nested[k]].fields, detailMap.get());
            if (detail.isEmpty())
                continue;
            change.details.append({nested[k], detail});
            map->details.append({changeIndex, nested[k], detailMap});
        }
        set.rows.append(change);
        map->rows.append(i);
    }
    return set;
}

TLumoRowPath locate(const TLumoChangeMap &map, const Fields &fields, const ApplyError &error)
{
    TLumoRowPath path;
    if (error.row < 0 || error.row >= map.rows.size())
        return path;
    path.row = map.rows[error.row];
    if (error.detailField < 0)
        return path;
    for (const TLumoChangeMap::Detail &detail : map.details) {
        if (detail.changeRow != error.row || detail.column != error.detailField)
            continue;
        if (error.detailRow < 0 || error.detailRow >= detail.map->rows.size())
            break;
        path.nestedOrdinal = nestedColumns(fields).indexOf(detail.column);
        path.detailRow = detail.map->rows[error.detailRow];
        return path;
    }
    return TLumoRowPath{}; // a detail the change set never held
}

void revertAll(TLumoRows &rows)
{
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        revertRow(rows, i);
}

bool revertRow(TLumoRows &rows, int index)
{
    TLumoRow &row = rows[index];
    if (row.status == TUpdateStatus::usInserted) {
        rows.erase(rows.begin() + index);
        return false;
    }
    row.current = row.original;
    row.status = TUpdateStatus::usUnmodified;
    for (TLumoRows &lines : row.nested)
        revertAll(lines);
    return true;
}

void settle(TLumoRows &rows, bool merge)
{
    for (int i = int(rows.size()) - 1; i >= 0; --i) {
        TLumoRow &row = rows[i];
        const quint8 mark = row.mark;
        row.mark = NoMark;
        if (mark == Revert) {
            revertRow(rows, i);
            continue;
        }
        for (TLumoRows &lines : row.nested)
            settle(lines, merge && mark != Keep);
        if (mark == Keep || !merge || row.pending)
            continue;
        if (row.status == TUpdateStatus::usDeleted) {
            rows.erase(rows.begin() + i);
            continue;
        }
        row.status = TUpdateStatus::usUnmodified;
        row.original = row.current;
    }
}

} // namespace LumoChangeLog
