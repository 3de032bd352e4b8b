// Packets and change sets, written and read as a CBOR stream. Field lists are small and read
// as values; rows are read cell by cell straight into the packet. A map's members may come in
// any order: rows that arrive before their fields are read again once the fields are known,
// and errors are reported in the same order whatever order the members came in.

#include "PacketCodec.h"
#include "CodecSupport.h"

#include <QCborStreamReader>

#include <limits>

namespace korvane::codec {

using protocol::CborItem;
using protocol::readText;

namespace {

constexpr QLatin1StringView kName("name");
constexpr QLatin1StringView kType("type");
constexpr QLatin1StringView kSize("size");
constexpr QLatin1StringView kRequired("required");
constexpr QLatin1StringView kFlags("flags");
constexpr QLatin1StringView kFields("fields");
constexpr QLatin1StringView kRows("rows");
constexpr QLatin1StringView kEof("eof");
constexpr QLatin1StringView kOp("op");
constexpr QLatin1StringView kOld("old");
constexpr QLatin1StringView kNew("new");
constexpr QLatin1StringView kChanged("changed");
constexpr QLatin1StringView kDetails("details");
constexpr QLatin1StringView kField("field");
constexpr QLatin1StringView kChanges("changes");

QString malformed()
{
    return QStringLiteral("malformed CBOR");
}

// ---- field metadata ---------------------------------------------------------------------

bool decodeFieldsAt(const QCborValue &cbor, int depth, Fields *fields, const QString &where,
                    QString *error);

bool decodeField(const QCborValue &cbor, int depth, FieldDef *field, const QString &where,
                 QString *error)
{
    if (!cbor.isMap())
        return fail(error, where, QStringLiteral("a field must be a map"));
    const QCborMap map = cbor.toMap();
    const QCborValue name = map.value(kName);
    if (!name.isString() || name.toString().isEmpty())
        return fail(error, where, QStringLiteral("a field needs a name"));
    field->name = name.toString();
    bool known = false;
    field->type = fieldTypeFromName(map.value(kType).toString(), &known);
    if (!known)
        return fail(error, where + QStringLiteral(" (") + field->name + QLatin1Char(')'),
                    QStringLiteral("unknown type \"%1\"").arg(map.value(kType).toString()));
    qint64 size = 0;
    qint64 flags = 0;
    if (!optionalInteger(map, kSize, &size, where, error) ||
        !optionalInteger(map, kFlags, &flags, where, error) ||
        !optionalBool(map.value(kRequired), &field->required, member(where, kRequired), error))
        return false;
    if (size < 0 || size > std::numeric_limits<int>::max())
        return fail(error, member(where, kSize), QStringLiteral("out of range"));
    field->size = int(size);
    field->flags = int(flags);
    field->fields.clear();
    if (field->type != FieldType::Nested)
        return true;
    if (depth >= MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    return decodeFieldsAt(map.value(kFields), depth + 1, &field->fields, member(where, kFields),
                          error);
}

bool decodeFieldsAt(const QCborValue &cbor, int depth, Fields *fields, const QString &where,
                    QString *error)
{
    if (!cbor.isArray())
        return fail(error, where, QStringLiteral("expected a list of fields"));
    const QCborArray list = cbor.toArray();
    fields->clear();
    for (qsizetype i = 0; i < list.size(); ++i) {
        FieldDef field;
        if (!decodeField(list.at(i), depth, &field, at(where, i), error))
            return false;
        fields->append(field);
    }
    return true;
}

void writeFields(QCborStreamWriter &cbor, const Fields &fields);

void writeField(QCborStreamWriter &cbor, const FieldDef &field)
{
    const bool nested = field.type == FieldType::Nested;
    cbor.startMap(nested ? 6 : 5);
    cbor.append(kName);
    cbor.append(field.name);
    cbor.append(kType);
    cbor.append(fieldTypeName(field.type));
    cbor.append(kSize);
    cbor.append(qint64(field.size));
    cbor.append(kRequired);
    cbor.append(field.required);
    cbor.append(kFlags);
    cbor.append(qint64(field.flags));
    if (nested) {
        cbor.append(kFields);
        writeFields(cbor, field.fields);
    }
    cbor.endMap();
}

void writeFields(QCborStreamWriter &cbor, const Fields &fields)
{
    cbor.startArray(fields.size());
    for (const FieldDef &field : fields)
        writeField(cbor, field);
    cbor.endArray();
}

// ---- cells typed by their field -------------------------------------------------------

// A nested field's cell holds no value of its own: a packet row's details fill it.
void writeCell(QCborStreamWriter &cbor, const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull() || field.type == FieldType::Nested) {
        cbor.append(nullptr);
        return;
    }
    switch (field.type) {
    case FieldType::String:
        cbor.append(value.toString());
        return;
    case FieldType::Float:
        cbor.append(value.toDouble());
        return;
    case FieldType::Integer:
        cbor.append(qint64(value.toLongLong()));
        return;
    case FieldType::Boolean:
        cbor.append(value.toBool());
        return;
    case FieldType::Blob:
        cbor.append(value.toByteArray());
        return;
    case FieldType::Nested:
        break;
    }
}

void writeRows(QCborStreamWriter &cbor, const Fields &fields, const PacketRows &rows);

//! A row's cells; a packet row's nested cells carry its detail rows, a changed row's are null.
void writeRow(QCborStreamWriter &cbor, const Fields &fields, const RowValues &row,
              const PacketRow *details = nullptr)
{
    cbor.startArray(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::Nested && details)
            writeRows(cbor, fields[i].fields, details->detailRows(int(i)));
        else
            writeCell(cbor, fields[i], i < row.size() ? row[i] : QVariant());
    }
    cbor.endArray();
}

void writeRows(QCborStreamWriter &cbor, const Fields &fields, const PacketRows &rows)
{
    cbor.startArray(rows.size());
    for (const PacketRow &row : rows)
        writeRow(cbor, fields, row, &row);
    cbor.endArray();
}

bool decodeRowValue(const QCborValue &cbor, const Fields &fields, int depth, PacketRow *row,
                    const QString &where, QString *error);

bool decodeRowsValue(const QCborValue &cbor, const Fields &fields, int depth, PacketRows *rows,
                     const QString &where, QString *error)
{
    if (depth > MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    if (!cbor.isArray())
        return fail(error, where, QStringLiteral("expected a list of rows"));
    const QCborArray list = cbor.toArray();
    rows->clear();
    for (qsizetype r = 0; r < list.size(); ++r) {
        PacketRow row;
        if (!decodeRowValue(list.at(r), fields, depth, &row, QString(), error))
            return fail(error, at(where, r), *error);
        rows->append(row);
    }
    return true;
}

//! A cell held as a value: scalars, and anything of the wrong shape, come this way.
bool decodeCellValue(const QCborValue &cbor, const FieldDef &field, int depth, QVariant *value,
                     PacketRows *nested, QString *error)
{
    if (cbor.isNull() || cbor.isUndefined()) {
        *value = QVariant();
        return true;
    }
    switch (field.type) {
    case FieldType::String:
        if (!cbor.isString())
            return fail(error, QString(), QStringLiteral("expected text"));
        *value = cbor.toString();
        return true;
    case FieldType::Float:
        if (!cbor.isDouble() && !cbor.isInteger())
            return fail(error, QString(), QStringLiteral("expected a number"));
        *value = cbor.toDouble();
        return true;
    case FieldType::Integer:
        if (!cbor.isInteger())
            return fail(error, QString(), QStringLiteral("expected an integer"));
        *value = qlonglong(cbor.toInteger());
        return true;
    case FieldType::Boolean:
        if (!cbor.isBool())
            return fail(error, QString(), QStringLiteral("expected a boolean"));
        *value = cbor.toBool();
        return true;
    case FieldType::Blob:
        if (!cbor.isByteArray())
            return fail(error, QString(), QStringLiteral("expected a byte string"));
        *value = cbor.toByteArray();
        return true;
    case FieldType::Nested:
        *value = QVariant();
        return decodeRowsValue(cbor, field.fields, depth + 1, nested, QString(), error);
    }
    return fail(error, QString(), QStringLiteral("unknown field type"));
}

//! The error of a cell, with the cell's index and field name in front.
bool failCell(QString *error, const QString &where, qsizetype i, const FieldDef &field)
{
    return fail(error, at(where, i) + QStringLiteral(" (") + field.name + QLatin1Char(')'), *error);
}

bool rowWidthFits(qsizetype cells, const Fields &fields, const QString &where, QString *error)
{
    if (cells == fields.size())
        return true;
    return fail(error, where,
                QStringLiteral("%1 cells for %2 fields").arg(cells).arg(fields.size()));
}

bool decodeRowValue(const QCborValue &cbor, const Fields &fields, int depth, PacketRow *row,
                    const QString &where, QString *error)
{
    if (!cbor.isArray())
        return fail(error, where, QStringLiteral("a row must be a list of cells"));
    const QCborArray cells = cbor.toArray();
    if (!rowWidthFits(cells.size(), fields, where, error))
        return false;
    row->clear();
    row->details.clear();
    for (qsizetype i = 0; i < cells.size(); ++i) {
        QVariant value;
        PacketRows lines;
        if (!decodeCellValue(cells.at(i), fields[i], depth, &value, &lines, error))
            return failCell(error, where, i, fields[i]);
        row->append(value);
        if (!lines.isEmpty())
            row->details.append({int(i), lines});
    }
    return true;
}

// ---- rows read as a stream --------------------------------------------------------------

//! Room for the items of a container, never more than its bytes can hold.
qsizetype roomFor(const QCborStreamReader &reader, const CborItem &source)
{
    if (!reader.isLengthKnown())
        return 0;
    return reader.length() < quint64(source.size) ? qsizetype(reader.length()) : source.size;
}

bool readRows(QCborStreamReader &reader, const CborItem &source, const Fields &fields, int depth,
              PacketRows *rows, const QString &where, QString *error);

bool readCell(QCborStreamReader &reader, const CborItem &source, const FieldDef &field, int depth,
              QVariant *value, PacketRows *nested, QString *error)
{
    if (field.type == FieldType::String && reader.isString()) {
        QString text;
        if (!readText(reader, &text))
            return fail(error, QString(), malformed());
        *value = text;
        return true;
    }
    if (field.type == FieldType::Nested && reader.isArray()) {
        *value = QVariant();
        return readRows(reader, source, field.fields, depth + 1, nested, QString(), error);
    }
    return decodeCellValue(QCborValue::fromCbor(reader), field, depth, value, nested, error);
}

bool readRow(QCborStreamReader &reader, const CborItem &source, const Fields &fields, int depth,
             PacketRow *row, const QString &where, QString *error)
{
    if (!reader.isArray())
        return fail(error, where, QStringLiteral("a row must be a list of cells"));
    // A row of unknown length cannot be measured before its cells are read.
    if (!reader.isLengthKnown())
        return decodeRowValue(QCborValue::fromCbor(reader), fields, depth, row, where, error);
    if (!rowWidthFits(qsizetype(reader.length()), fields, where, error))
        return false;
    row->clear();
    row->details.clear();
    row->reserve(fields.size());
    reader.enterContainer();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QVariant value;
        PacketRows lines;
        if (!readCell(reader, source, fields[i], depth, &value, &lines, error))
            return failCell(error, where, i, fields[i]);
        row->append(std::move(value));
        if (!lines.isEmpty())
            row->details.append({int(i), std::move(lines)});
    }
    return reader.leaveContainer() || fail(error, where, malformed());
}

bool readRows(QCborStreamReader &reader, const CborItem &source, const Fields &fields, int depth,
              PacketRows *rows, const QString &where, QString *error)
{
    if (depth > MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    if (!reader.isArray())
        return decodeRowsValue(QCborValue::fromCbor(reader), fields, depth, rows, where, error);
    rows->clear();
    rows->reserve(roomFor(reader, source));
    reader.enterContainer();
    for (qsizetype r = 0; reader.hasNext(); ++r) {
        PacketRow row;
        if (!readRow(reader, source, fields, depth, &row, QString(), error))
            return fail(error, at(where, r), *error);
        rows->append(std::move(row));
    }
    return reader.leaveContainer() || fail(error, where, malformed());
}

// ---- maps read as a stream --------------------------------------------------------------

//! Where the members of a map stand in its source, by key; the first of repeated keys counts.
class MapMembers
{
public:
    //! Reads the map at the reader's position (the reader ends after it).
    MapMembers(QCborStreamReader &reader, const CborItem &source,
               std::initializer_list<QLatin1StringView> keys)
        : m_source(source), m_keys(keys)
    {
        m_offsets.fill(-1, m_keys.size());
        reader.enterContainer();
        while (reader.hasNext() && reader.lastError() == QCborError::NoError) {
            const int index = keyIndex(reader);
            if (index >= 0 && m_offsets[index] < 0)
                m_offsets[index] = reader.currentOffset();
            reader.next();
        }
        reader.leaveContainer();
    }

    bool has(QLatin1StringView key) const { return offset(key) >= 0; }
    //! The member as an item of the source (undefined when absent).
    CborItem item(QLatin1StringView key) const
    {
        const qsizetype at = offset(key);
        if (at < 0)
            return CborItem::undefined();
        return CborItem{m_source.data + at, m_source.size - at};
    }
    QCborValue value(QLatin1StringView key) const
    {
        const CborItem member = item(key);
        QCborStreamReader reader(member.data, member.size);
        return QCborValue::fromCbor(reader);
    }

private:
    int keyIndex(QCborStreamReader &reader) const
    {
        QString key;
        if (!reader.isString()) {
            reader.next();
            return -1;
        }
        readText(reader, &key);
        for (int i = 0; i < int(m_keys.size()); ++i) {
            if (key == m_keys[i])
                return i;
        }
        return -1;
    }
    qsizetype offset(QLatin1StringView key) const
    {
        for (int i = 0; i < int(m_keys.size()); ++i) {
            if (m_keys[i] == key)
                return m_offsets[i];
        }
        return -1;
    }

    CborItem m_source;
    QList<QLatin1StringView> m_keys;
    QList<qsizetype> m_offsets;
};

//! The packet map: fields first, then rows typed by them, then the end-of-data flag.
bool readPacketMap(QCborStreamReader &reader, const CborItem &source, Packet *packet,
                   QString *error)
{
    reader.enterContainer();
    bool haveFields = false, haveRows = false, haveEof = false, rowsRead = false;
    QString fieldsError;
    qsizetype rowsAt = -1; // rows that came before their fields
    QCborValue eof;
    while (reader.hasNext() && reader.lastError() == QCborError::NoError) {
        QString key;
        if (!reader.isString() || !readText(reader, &key)) {
            reader.next();
            reader.next();
            continue;
        }
        if (key == kFields && !haveFields) {
            haveFields = true;
            decodeFieldsAt(QCborValue::fromCbor(reader), 0, &packet->fields, kFields, &fieldsError);
        } else if (key == kRows && !haveRows) {
            haveRows = true;
            if (haveFields && fieldsError.isEmpty()) {
                // Any error here is the packet's: its fields are fine and rows come next.
                if (!readRows(reader, source, packet->fields, 0, &packet->rows, kRows, error))
                    return false;
                rowsRead = true;
            } else {
                rowsAt = reader.currentOffset();
                reader.next();
            }
        } else if (key == kEof && !haveEof) {
            haveEof = true;
            eof = QCborValue::fromCbor(reader);
        } else {
            reader.next();
        }
    }
    if (reader.lastError() != QCborError::NoError || !reader.leaveContainer())
        return fail(error, QStringLiteral("packet"), malformed());
    if (!haveFields)
        return fail(error, kFields, QStringLiteral("expected a list of fields"));
    if (!fieldsError.isEmpty())
        return fail(error, QString(), fieldsError);
    if (!rowsRead) {
        if (rowsAt < 0)
            return fail(error, kRows, QStringLiteral("expected a list of rows"));
        QCborStreamReader rows(source.data + rowsAt, source.size - rowsAt);
        if (!readRows(rows, source, packet->fields, 0, &packet->rows, kRows, error))
            return false;
    }
    packet->eof = true;
    return optionalBool(eof, &packet->eof, kEof, error);
}

// ---- change sets ------------------------------------------------------------------------

const struct
{
    ChangeOp op;
    const char *name;
} changeOps[] = {
    {ChangeOp::Insert, "insert"}, {ChangeOp::Modify, "modify"}, {ChangeOp::Delete, "delete"}};

QLatin1StringView changeOpName(ChangeOp op)
{
    for (const auto &entry : changeOps) {
        if (entry.op == op)
            return QLatin1StringView(entry.name);
    }
    return QLatin1StringView();
}

bool changeOpFromName(const QString &name, ChangeOp *op)
{
    for (const auto &entry : changeOps) {
        if (name == QLatin1StringView(entry.name)) {
            *op = entry.op;
            return true;
        }
    }
    return false;
}

void writeChangeRow(QCborStreamWriter &cbor, const Fields &fields, const ChangeRow &row)
{
    const bool hasOld = row.op != ChangeOp::Insert;
    const bool hasNew = row.op != ChangeOp::Delete;
    const bool hasMask = row.op == ChangeOp::Modify;
    cbor.startMap(1 + int(hasOld) + int(hasNew) + int(hasMask) + int(!row.details.isEmpty()));
    cbor.append(kOp);
    cbor.append(changeOpName(row.op));
    if (hasOld) {
        cbor.append(kOld);
        writeRow(cbor, fields, row.oldValues);
    }
    if (hasNew) {
        cbor.append(kNew);
        writeRow(cbor, fields, row.newValues);
    }
    if (hasMask) {
        cbor.append(kChanged);
        cbor.startArray(row.changed.count(true));
        for (qsizetype i = 0; i < row.changed.size(); ++i) {
            if (row.changed.testBit(i))
                cbor.append(qint64(i));
        }
        cbor.endArray();
    }
    if (!row.details.isEmpty()) {
        cbor.append(kDetails);
        cbor.startArray(row.details.size());
        for (const auto &[fieldIndex, changes] : row.details) {
            cbor.startMap(2);
            cbor.append(kField);
            cbor.append(qint64(fieldIndex));
            cbor.append(kChanges);
            writeChangeSet(cbor, changes);
            cbor.endMap();
        }
        cbor.endArray();
    }
    cbor.endMap();
}

bool readChangeSetAt(const CborItem &item, int depth, ChangeSet *delta, const QString &where,
                     QString *error);

//! A changed row's cells: details of a changed row travel as change sets, not as cells.
bool readCellsAt(const CborItem &item, const Fields &fields, int depth, RowValues *cells,
                 const QString &where, QString *error)
{
    QCborStreamReader reader(item.data, item.size);
    PacketRow row;
    if (!readRow(reader, item, fields, depth, &row, where, error))
        return false;
    *cells = std::move(static_cast<RowValues &>(row));
    return true;
}

bool decodeChangedMask(const QCborValue &changed, const Fields &fields, ChangeRow *row,
                       const QString &where, QString *error)
{
    row->changed = QBitArray(fields.size());
    if (changed.isUndefined()) {
        // A sender that leaves the mask out means every cell whose value differs.
        for (qsizetype i = 0; i < fields.size(); ++i)
            row->changed.setBit(i, row->oldValues[i] != row->newValues[i]);
        return true;
    }
    if (!changed.isArray())
        return fail(error, member(where, kChanged),
                    QStringLiteral("expected a list of field indexes"));
    for (const QCborValue &index : changed.toArray()) {
        if (!index.isInteger() || index.toInteger() < 0 || index.toInteger() >= fields.size())
            return fail(error, member(where, kChanged), QStringLiteral("field index out of range"));
        row->changed.setBit(index.toInteger());
    }
    return true;
}

bool readDetail(QCborStreamReader &reader, const CborItem &source, const Fields &fields, int depth,
                ChangeRow *row, const QString &where, QString *error)
{
    const QString refused = QStringLiteral("\"field\" must name a nested field");
    if (!reader.isMap()) {
        reader.next();
        return fail(error, where, refused);
    }
    const MapMembers detail(reader, source, {kField, kChanges});
    const QCborValue index = detail.value(kField);
    if (!index.isInteger() || index.toInteger() < 0 || index.toInteger() >= fields.size() ||
        fields[index.toInteger()].type != FieldType::Nested)
        return fail(error, where, refused);
    ChangeSet changes;
    if (!readChangeSetAt(detail.item(kChanges), depth + 1, &changes, member(where, kChanges),
                         error))
        return false;
    row->details.append({int(index.toInteger()), std::move(changes)});
    return true;
}

bool readDetails(const CborItem &item, const Fields &fields, int depth, ChangeRow *row,
                 const QString &where, QString *error)
{
    QCborStreamReader reader(item.data, item.size);
    if (reader.type() == QCborStreamReader::SimpleType &&
        reader.toSimpleType() == QCborSimpleType::Undefined)
        return true;
    const QString path = member(where, kDetails);
    if (!reader.isArray())
        return fail(error, path, QStringLiteral("expected a list"));
    reader.enterContainer();
    for (qsizetype i = 0; reader.hasNext() && reader.lastError() == QCborError::NoError; ++i) {
        if (!readDetail(reader, item, fields, depth, row, at(path, i), error))
            return false;
    }
    return reader.leaveContainer() || fail(error, path, malformed());
}

bool readChangeRow(QCborStreamReader &reader, const CborItem &source, const Fields &fields,
                   int depth, ChangeRow *row, const QString &where, QString *error)
{
    if (!reader.isMap()) {
        reader.next();
        return fail(error, where, QStringLiteral("a changed row must be a map"));
    }
    const MapMembers map(reader, source, {kOp, kOld, kNew, kChanged, kDetails});
    if (!changeOpFromName(map.value(kOp).toString(), &row->op))
        return fail(error, member(where, kOp), QStringLiteral("expected insert, modify or delete"));
    if (row->op != ChangeOp::Insert &&
        !readCellsAt(map.item(kOld), fields, depth, &row->oldValues, member(where, kOld), error))
        return false;
    if (row->op != ChangeOp::Delete &&
        !readCellsAt(map.item(kNew), fields, depth, &row->newValues, member(where, kNew), error))
        return false;
    if (row->op == ChangeOp::Modify &&
        !decodeChangedMask(map.value(kChanged), fields, row, where, error))
        return false;
    return readDetails(map.item(kDetails), fields, depth, row, where, error);
}

bool readChangeRows(const CborItem &item, const Fields &fields, int depth, QList<ChangeRow> *rows,
                    const QString &where, QString *error)
{
    QCborStreamReader reader(item.data, item.size);
    if (!reader.isArray())
        return fail(error, where, QStringLiteral("expected a list of changed rows"));
    rows->clear();
    rows->reserve(roomFor(reader, item));
    reader.enterContainer();
    for (qsizetype i = 0; reader.hasNext() && reader.lastError() == QCborError::NoError; ++i) {
        ChangeRow row;
        if (!readChangeRow(reader, item, fields, depth, &row, at(where, i), error))
            return false;
        rows->append(std::move(row));
    }
    return reader.leaveContainer() || fail(error, where, malformed());
}

bool readChangeSetAt(const CborItem &item, int depth, ChangeSet *delta, const QString &where,
                     QString *error)
{
    if (depth > MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    QCborStreamReader reader(item.data, item.size);
    if (!reader.isMap())
        return fail(error, where, QStringLiteral("a change set must be a map"));
    const MapMembers map(reader, item, {kFields, kRows});
    if (!decodeFieldsAt(map.value(kFields), 0, &delta->fields, member(where, kFields), error))
        return false;
    return readChangeRows(map.item(kRows), delta->fields, depth, &delta->rows, member(where, kRows),
                          error);
}

} // namespace

bool isPacketMap(const QCborValue &cbor)
{
    return cbor.isMap() && cbor.toMap().contains(kFields) && cbor.toMap().contains(kRows);
}

QCborArray encodeFields(const Fields &fields)
{
    return asValue([&](QCborStreamWriter &cbor) { writeFields(cbor, fields); }).toArray();
}

bool decodeFields(const QCborValue &cbor, Fields *fields, QString *error)
{
    return decodeFieldsAt(cbor, 0, fields, kFields, error);
}

void writePacket(QCborStreamWriter &cbor, const Packet &packet)
{
    cbor.startMap(3);
    cbor.append(kFields);
    writeFields(cbor, packet.fields);
    cbor.append(kRows);
    writeRows(cbor, packet.fields, packet.rows);
    cbor.append(kEof);
    cbor.append(packet.eof);
    cbor.endMap();
}

bool readPacket(const CborItem &item, Packet *packet, QString *error)
{
    QCborStreamReader reader(item.data, item.size);
    if (!reader.isMap())
        return fail(error, QStringLiteral("packet"), QStringLiteral("expected a map"));
    return readPacketMap(reader, item, packet, error);
}

QCborMap encodePacket(const Packet &packet)
{
    return asValue([&](QCborStreamWriter &cbor) { writePacket(cbor, packet); }).toMap();
}

bool decodePacket(const QCborValue &cbor, Packet *packet, QString *error)
{
    return readPacket(Encoded(cbor).item(), packet, error);
}

void writeChangeSet(QCborStreamWriter &cbor, const ChangeSet &delta)
{
    cbor.startMap(2);
    cbor.append(kFields);
    writeFields(cbor, delta.fields);
    cbor.append(kRows);
    cbor.startArray(delta.rows.size());
    for (const ChangeRow &row : delta.rows)
        writeChangeRow(cbor, delta.fields, row);
    cbor.endArray();
    cbor.endMap();
}

bool readChangeSet(const CborItem &item, ChangeSet *delta, QString *error)
{
    return readChangeSetAt(item, 0, delta, QStringLiteral("delta"), error);
}

QCborMap encodeChangeSet(const ChangeSet &delta)
{
    return asValue([&](QCborStreamWriter &cbor) { writeChangeSet(cbor, delta); }).toMap();
}

bool decodeChangeSet(const QCborValue &cbor, ChangeSet *delta, QString *error)
{
    return readChangeSet(Encoded(cbor).item(), delta, error);
}

} // namespace korvane::codec
