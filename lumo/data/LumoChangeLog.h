#pragma once
//! The change log of a client data set is not a second structure: it is the rows whose
//! status is not "unmodified". These functions read and settle it.

#include "LumoCLientDataSet.h"

#include <memory>

//! Where each row of a built change set came from, so refused rows can be found again.
struct TLumoChangeMap
{
    QList<int> rows; // storage index of each change row
    struct Detail
    {
        int changeRow;
        int column; // the nested field's column in the master's packet
        std::shared_ptr<TLumoChangeMap> map;
    };
    QList<Detail> details;
};

//! A row of the storage, reached through at most one nested level.
struct TLumoRowPath
{
    int row = -1;
    int nestedOrdinal = -1; // which nested field; -1 for a master-level row
    int detailRow = -1;
    bool isValid() const { return row >= 0; }
};

namespace LumoChangeLog {

enum Mark : quint8 { NoMark = 0, Keep = 1, Revert = 2 };

//! Packet columns of the nested fields, in order.
QVector<int> nestedColumns(const korvane::Fields &fields);

//! A stored row made from a packet row: its detail rows become child rows.
TLumoRow rowFromPacket(const korvane::PacketRow &values, const korvane::Fields &fields);
//! The row as a packet carries it, with its lines that still stand as detail rows.
korvane::PacketRow packetRowOf(const TLumoRow &row, const korvane::Fields &fields);

bool sameCell(const QVariant &a, const QVariant &b);
bool hasChanges(const TLumoRow &row);
int changeCount(const TLumoRows &rows);

korvane::ChangeSet build(const TLumoRows &rows, const korvane::Fields &fields, TLumoChangeMap *map);
TLumoRowPath locate(const TLumoChangeMap &map, const korvane::Fields &fields,
                    const korvane::ApplyError &error);

//! Backs out every change of the rows (inserted rows vanish, deleted ones return).
void revertAll(TLumoRows &rows);
//! Backs out one row's change with its nested lines; false when the row itself vanished.
bool revertRow(TLumoRows &rows, int index);
//! After an apply: rows marked Revert are backed out, rows marked Keep stay in the log,
//! and when merge is true every other change becomes the new original (deleted rows go).
void settle(TLumoRows &rows, bool merge);

} // namespace LumoChangeLog
