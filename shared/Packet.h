#pragma once
//! Data packets and change sets: what providers send and what client data sets apply.

#include <QBitArray>
#include <QList>
#include <QString>
#include <QVariant>

namespace korvane {

enum class FieldType { String, Float, Integer, Boolean, Blob, Nested };

//! Provider flags of a field: keys locate rows, stored columns are written.
enum ProviderFlag : int {
    pfNone = 0,
    pfInUpdate = 1, // written by INSERT and UPDATE
    pfInWhere = 2,  // locates the row in UPDATE and DELETE
    pfInKey = 4,    // part of the update table's primary key
    pfHidden = 8,   // not shown to the client
};

struct FieldDef
{
    QString name; // the provider's declared spelling
    FieldType type = FieldType::String;
    int size = 0; // text width in characters; 0 when not a text
    bool required = false;
    int flags = pfNone;
    QList<FieldDef> fields; // columns of a nested detail field

    bool isKey() const { return flags & pfInWhere; }
    bool isStored() const { return flags & pfInUpdate; }
};

using Fields = QList<FieldDef>;

//! One row's cells: one per field, in field order. A null QVariant is a null value; a
//! nested field's cell is always null (its rows travel beside the cells).
using RowValues = QVariantList;

struct PacketRow;
using PacketRows = QList<PacketRow>;

//! One row of a packet: its cells and, per nested field, its detail rows, typed the way a
//! changed row carries the change sets of its details. Reads like its cells (row[i]).
struct PacketRow : RowValues
{
    PacketRow() = default;
    PacketRow(RowValues cells) : RowValues(std::move(cells)) {}
    PacketRow(std::initializer_list<QVariant> cells) : RowValues(cells) {}
    PacketRow(RowValues cells, QList<QPair<int, PacketRows>> nested)
        : RowValues(std::move(cells)), details(std::move(nested))
    {}

    //! The detail rows of the nested field at index field; empty when it has none.
    PacketRows detailRows(int field) const;
    void setDetailRows(int field, PacketRows rows);

    //! Detail rows by nested field index, in field order.
    QList<QPair<int, PacketRows>> details;
};

bool operator==(const PacketRow &a, const PacketRow &b);
inline bool operator!=(const PacketRow &a, const PacketRow &b)
{
    return !(a == b);
}

struct Packet
{
    Fields fields;
    PacketRows rows;
    bool eof = true; // false while the provider holds more rows for a later request

    int indexOf(const QString &name) const; // without regard to case; -1 when absent
};

enum class ChangeOp { Insert, Modify, Delete };

struct ChangeSet;

//! One changed row. Insert carries only current values, Delete only old ones,
//! Modify both with the mask of the cells that changed.
struct ChangeRow
{
    ChangeOp op = ChangeOp::Modify;
    RowValues oldValues;
    RowValues newValues;
    QBitArray changed;
    //! Changes of the row's nested details, one change set per nested field (by field index).
    QList<QPair<int, ChangeSet>> details;
};

struct ChangeSet
{
    Fields fields;
    QList<ChangeRow> rows;

    bool isEmpty() const { return rows.isEmpty(); }
};

int indexOfField(const Fields &fields, const QString &name);
QString fieldTypeName(FieldType type);
FieldType fieldTypeFromName(const QString &name, bool *ok = nullptr);

} // namespace korvane

namespace korvane {

//! The error code of a row refused because another table still references it, or because it
//! names a row that does not exist; the client words it for the operator.
constexpr int ForeignKeyRefused = 3631;

//! A row the provider refused: where it stands in the change set, and why.
struct ApplyError
{
    int row = -1;         // index into ChangeSet::rows
    int detailField = -1; // for a nested detail row: the nested field's index in the master
    int detailRow = -1;   //   and the row's index in that detail change set
    QString message;      // the database's (or the server's) text, shown to the operator
    int errorCode = 0;    // ForeignKeyRefused, or 0
    RowValues values;     // the row's values as sent
};

struct ApplyResult
{
    int errorCount = 0;
    QList<ApplyError> errors;
    Packet refreshed; // the applied rows as they now stand (inserted and modified rows)
};

//! Options of a records request: the first request of an opening asks for the field list
//! and restarts the provider's query (grMetaData | grReset); later requests of the same
//! opening carry neither and continue where the previous packet ended.
enum GetRecordsOption : int { grMetaData = 1, grReset = 2 };

//! A named provider parameter; names are matched without regard to case.
struct Param
{
    QString name;
    QVariant value;
};
using Params = QList<Param>;

} // namespace korvane
