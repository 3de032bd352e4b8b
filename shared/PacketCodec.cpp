#include "PacketCodec.h"

#include <QDate>
#include <QDateTime>

namespace korvane::codec {

namespace {

const QString kName = QStringLiteral("name");
const QString kType = QStringLiteral("type");
const QString kSize = QStringLiteral("size");
const QString kRequired = QStringLiteral("required");
const QString kFlags = QStringLiteral("flags");
const QString kFields = QStringLiteral("fields");
const QString kRows = QStringLiteral("rows");
const QString kEof = QStringLiteral("eof");
const QString kOp = QStringLiteral("op");
const QString kOld = QStringLiteral("old");
const QString kNew = QStringLiteral("new");
const QString kChanged = QStringLiteral("changed");
const QString kDetails = QStringLiteral("details");
const QString kField = QStringLiteral("field");
const QString kChanges = QStringLiteral("changes");
const QString kValue = QStringLiteral("value");

//! An error with where it stands in front; an index path joins without a separator, so
//! "rows" and "[3][1] (Code): expected text" read "rows[3][1] (Code): expected text".
bool fail(QString *error, const QString &where, const QString &what)
{
    if (where.isEmpty())
        *error = what;
    else if (what.startsWith(QLatin1Char('[')))
        *error = where + what;
    else
        *error = where + QStringLiteral(": ") + what;
    return false;
}

QString at(const QString &where, qsizetype index)
{
    return where + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

QString member(const QString &where, const QString &key)
{
    return where.isEmpty() ? key : where + QLatin1Char('.') + key;
}

// ---- cells typed by their field -------------------------------------------------------

QCborArray encodeRows(const Fields &fields, const PacketRows &rows);

// A nested field's cell holds no value of its own: a packet row's details fill it.
QCborValue encodeCell(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QCborValue(QCborValue::Null);
    switch (field.type) {
    case FieldType::String:
        return value.toString();
    case FieldType::Float:
        return value.toDouble();
    case FieldType::Integer:
        return qint64(value.toLongLong());
    case FieldType::Boolean:
        return value.toBool();
    case FieldType::Blob:
        return value.toByteArray();
    case FieldType::Nested:
        break;
    }
    return QCborValue(QCborValue::Null);
}

//! A row's cells; a packet row's nested cells carry its detail rows, a changed row's are null.
QCborArray encodeRow(const Fields &fields, const RowValues &row, const PacketRow *details = nullptr)
{
    QCborArray cells;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::Nested && details)
            cells.append(encodeRows(fields[i].fields, details->detailRows(int(i))));
        else
            cells.append(encodeCell(fields[i], i < row.size() ? row[i] : QVariant()));
    }
    return cells;
}

QCborArray encodeRows(const Fields &fields, const PacketRows &rows)
{
    QCborArray list;
    for (const PacketRow &row : rows)
        list.append(encodeRow(fields, row, &row));
    return list;
}

bool decodeRows(const QCborValue &cbor, const Fields &fields, int depth, PacketRows *rows,
                const QString &where, QString *error);

// Paths of rows and cells are put together only when something is wrong: a packet of
// many thousand rows decodes without building a single one.
bool decodeCell(const QCborValue &cbor, const FieldDef &field, int depth, QVariant *value,
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
        return decodeRows(cbor, field.fields, depth + 1, nested, QString(), error);
    }
    return fail(error, QString(), QStringLiteral("unknown field type"));
}

bool decodeRow(const QCborValue &cbor, const Fields &fields, int depth, PacketRow *row,
               const QString &where, QString *error)
{
    if (!cbor.isArray())
        return fail(error, where, QStringLiteral("a row must be a list of cells"));
    const QCborArray cells = cbor.toArray();
    if (cells.size() != fields.size())
        return fail(error, where,
                    QStringLiteral("%1 cells for %2 fields").arg(cells.size()).arg(fields.size()));
    row->clear();
    row->details.clear();
    row->reserve(fields.size());
    for (qsizetype i = 0; i < cells.size(); ++i) {
        QVariant value;
        PacketRows lines;
        if (!decodeCell(cells.at(i), fields[i], depth, &value, &lines, error))
            return fail(error,
                        at(where, i) + QStringLiteral(" (") + fields[i].name + QLatin1Char(')'),
                        *error);
        row->append(value);
        if (!lines.isEmpty())
            row->details.append({int(i), lines});
    }
    return true;
}

//! A changed row's cells: details of a changed row travel as change sets, not as cells.
bool decodeCells(const QCborValue &cbor, const Fields &fields, int depth, RowValues *cells,
                 const QString &where, QString *error)
{
    PacketRow row;
    if (!decodeRow(cbor, fields, depth, &row, where, error))
        return false;
    *cells = std::move(static_cast<RowValues &>(row));
    return true;
}

bool decodeRows(const QCborValue &cbor, const Fields &fields, int depth, PacketRows *rows,
                const QString &where, QString *error)
{
    if (depth > MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    if (!cbor.isArray())
        return fail(error, where, QStringLiteral("expected a list of rows"));
    const QCborArray list = cbor.toArray();
    rows->clear();
    rows->reserve(list.size());
    for (qsizetype r = 0; r < list.size(); ++r) {
        PacketRow row;
        if (!decodeRow(list.at(r), fields, depth, &row, QString(), error))
            return fail(error, at(where, r), *error);
        rows->append(row);
    }
    return true;
}

// ---- field metadata ---------------------------------------------------------------------

bool decodeFieldsAt(const QCborValue &cbor, int depth, Fields *fields, const QString &where,
                    QString *error);

bool optionalInteger(const QCborMap &map, const QString &key, qint64 *value, const QString &where,
                     QString *error)
{
    const QCborValue v = map.value(key);
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isInteger())
        return fail(error, member(where, key), QStringLiteral("expected an integer"));
    *value = v.toInteger();
    return true;
}

bool optionalBool(const QCborMap &map, const QString &key, bool *value, const QString &where,
                  QString *error)
{
    const QCborValue v = map.value(key);
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isBool())
        return fail(error, member(where, key), QStringLiteral("expected a boolean"));
    *value = v.toBool();
    return true;
}

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
        !optionalBool(map, kRequired, &field->required, where, error))
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

QCborMap encodeField(const FieldDef &field)
{
    QCborMap map;
    map.insert(kName, field.name);
    map.insert(kType, fieldTypeName(field.type));
    map.insert(kSize, field.size);
    map.insert(kRequired, field.required);
    map.insert(kFlags, field.flags);
    if (field.type == FieldType::Nested)
        map.insert(kFields, encodeFields(field.fields));
    return map;
}

// ---- change sets ------------------------------------------------------------------------

const struct
{
    ChangeOp op;
    const char *name;
} changeOps[] = {
    {ChangeOp::Insert, "insert"}, {ChangeOp::Modify, "modify"}, {ChangeOp::Delete, "delete"}};

QString changeOpName(ChangeOp op)
{
    for (const auto &entry : changeOps) {
        if (entry.op == op)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool changeOpFromName(const QString &name, ChangeOp *op)
{
    for (const auto &entry : changeOps) {
        if (name == QLatin1String(entry.name)) {
            *op = entry.op;
            return true;
        }
    }
    return false;
}

bool decodeChangeSetAt(const QCborValue &cbor, int depth, ChangeSet *delta, const QString &where,
                       QString *error);

QCborMap encodeChangeRow(const Fields &fields, const ChangeRow &row)
{
    QCborMap map;
    map.insert(kOp, changeOpName(row.op));
    if (row.op != ChangeOp::Insert)
        map.insert(kOld, encodeRow(fields, row.oldValues));
    if (row.op != ChangeOp::Delete)
        map.insert(kNew, encodeRow(fields, row.newValues));
    if (row.op == ChangeOp::Modify) {
        QCborArray changed;
        for (qsizetype i = 0; i < row.changed.size(); ++i) {
            if (row.changed.testBit(i))
                changed.append(i);
        }
        map.insert(kChanged, changed);
    }
    if (!row.details.isEmpty()) {
        QCborArray details;
        for (const auto &[fieldIndex, changes] : row.details) {
            QCborMap detail;
            detail.insert(kField, fieldIndex);
            detail.insert(kChanges, encodeChangeSet(changes));
            details.append(detail);
        }
        map.insert(kDetails, details);
    }
    return map;
}

bool decodeChangedMask(const QCborMap &map, const Fields &fields, ChangeRow *row,
                       const QString &where, QString *error)
{
    row->changed = QBitArray(fields.size());
    const QCborValue changed = map.value(kChanged);
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

bool decodeDetails(const QCborMap &map, const Fields &fields, int depth, ChangeRow *row,
                   const QString &where, QString *error)
{
    const QCborValue details = map.value(kDetails);
    if (details.isUndefined())
        return true;
    const QString path = member(where, kDetails);
    if (!details.isArray())
        return fail(error, path, QStringLiteral("expected a list"));
    const QCborArray list = details.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QCborMap detail = list.at(i).toMap();
        const QCborValue index = detail.value(kField);
        if (!index.isInteger() || index.toInteger() < 0 || index.toInteger() >= fields.size() ||
            fields[index.toInteger()].type != FieldType::Nested)
            return fail(error, at(path, i), QStringLiteral("\"field\" must name a nested field"));
        ChangeSet changes;
        if (!decodeChangeSetAt(detail.value(kChanges), depth + 1, &changes,
                               member(at(path, i), kChanges), error))
            return false;
        row->details.append({int(index.toInteger()), changes});
    }
    return true;
}

bool decodeChangeRow(const QCborValue &cbor, const Fields &fields, int depth, ChangeRow *row,
                     const QString &where, QString *error)
{
    if (!cbor.isMap())
        return fail(error, where, QStringLiteral("a changed row must be a map"));
    const QCborMap map = cbor.toMap();
    if (!changeOpFromName(map.value(kOp).toString(), &row->op))
        return fail(error, member(where, kOp), QStringLiteral("expected insert, modify or delete"));
    if (row->op != ChangeOp::Insert &&
        !decodeCells(map.value(kOld), fields, depth, &row->oldValues, member(where, kOld), error))
        return false;
    if (row->op != ChangeOp::Delete &&
        !decodeCells(map.value(kNew), fields, depth, &row->newValues, member(where, kNew), error))
        return false;
    if (row->op == ChangeOp::Modify && !decodeChangedMask(map, fields, row, where, error))
        return false;
    return decodeDetails(map, fields, depth, row, where, error);
}

bool decodeChangeSetAt(const QCborValue &cbor, int depth, ChangeSet *delta, const QString &where,
                       QString *error)
{
    if (depth > MaxNesting)
        return fail(error, where, QStringLiteral("details nested too deeply"));
    if (!cbor.isMap())
        return fail(error, where, QStringLiteral("a change set must be a map"));
    const QCborMap map = cbor.toMap();
    if (!decodeFieldsAt(map.value(kFields), 0, &delta->fields, member(where, kFields), error))
        return false;
    const QCborValue rows = map.value(kRows);
    if (!rows.isArray())
        return fail(error, member(where, kRows), QStringLiteral("expected a list of changed rows"));
    delta->rows.clear();
    const QCborArray list = rows.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        ChangeRow row;
        if (!decodeChangeRow(list.at(i), delta->fields, depth, &row, at(member(where, kRows), i),
                             error))
            return false;
        delta->rows.append(row);
    }
    return true;
}

// ---- apply results ---------------------------------------------------------------------

const QString kErrorCount = QStringLiteral("errorCount");
const QString kErrors = QStringLiteral("errors");
const QString kPacket = QStringLiteral("packet");
const QString kRow = QStringLiteral("row");
const QString kDetailField = QStringLiteral("detailField");
const QString kDetailRow = QStringLiteral("detailRow");
const QString kMessage = QStringLiteral("message");
const QString kErrorCode = QStringLiteral("errorCode");
const QString kValues = QStringLiteral("values");

QCborMap encodeApplyError(const ApplyError &e)
{
    QCborMap map;
    map.insert(kRow, e.row);
    map.insert(kDetailField, e.detailField);
    map.insert(kDetailRow, e.detailRow);
    map.insert(kMessage, e.message);
    map.insert(kErrorCode, e.errorCode);
    map.insert(kValues, encodeValue(QVariant(e.values)));
    return map;
}

bool decodeApplyError(const QCborValue &cbor, ApplyError *e, const QString &where, QString *error)
{
    if (!cbor.isMap())
        return fail(error, where, QStringLiteral("an error row must be a map"));
    const QCborMap map = cbor.toMap();
    qint64 row = -1, detailField = -1, detailRow = -1, code = 0;
    if (!optionalInteger(map, kRow, &row, where, error) ||
        !optionalInteger(map, kDetailField, &detailField, where, error) ||
        !optionalInteger(map, kDetailRow, &detailRow, where, error) ||
        !optionalInteger(map, kErrorCode, &code, where, error))
        return false;
    if (!map.value(kMessage).isString())
        return fail(error, member(where, kMessage), QStringLiteral("expected text"));
    e->row = int(row);
    e->detailField = int(detailField);
    e->detailRow = int(detailRow);
    e->errorCode = int(code);
    e->message = map.value(kMessage).toString();
    QVariant values;
    if (!map.value(kValues).isUndefined() && !decodeValue(map.value(kValues), &values, error))
        return fail(error, member(where, kValues), *error);
    e->values = values.toList();
    return true;
}

// ---- generic values ---------------------------------------------------------------------

QCborValue encodeList(const QVariantList &list)
{
    QCborArray array;
    for (const QVariant &v : list)
        array.append(encodeValue(v));
    return array;
}

QCborValue encodeMap(const QVariantMap &map)
{
    QCborMap out;
    for (auto it = map.begin(); it != map.end(); ++it)
        out.insert(it.key(), encodeValue(it.value()));
    return out;
}

} // namespace

QCborValue encodeValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QCborValue(QCborValue::Null);
    if (value.metaType() == QMetaType::fromType<Packet>())
        return encodePacket(value.value<Packet>());
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return qint64(value.toLongLong());
    case QMetaType::ULongLong:
        if (value.toULongLong() <= quint64(std::numeric_limits<qint64>::max()))
            return qint64(value.toULongLong());
        return value.toDouble();
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QByteArray:
        return value.toByteArray();
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return encodeList(value.toList());
    case QMetaType::QVariantMap:
        return encodeMap(value.toMap());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default:
        return value.toString();
    }
}

bool decodeValue(const QCborValue &cbor, QVariant *value, QString *error)
{
    switch (cbor.type()) {
    case QCborValue::Null:
    case QCborValue::Undefined:
        *value = QVariant();
        return true;
    case QCborValue::False:
    case QCborValue::True:
        *value = cbor.toBool();
        return true;
    case QCborValue::Integer:
        *value = qlonglong(cbor.toInteger());
        return true;
    case QCborValue::Double:
        *value = cbor.toDouble();
        return true;
    case QCborValue::String:
        *value = cbor.toString();
        return true;
    case QCborValue::ByteArray:
        *value = cbor.toByteArray();
        return true;
    case QCborValue::Array: {
        QVariantList list;
        for (const QCborValue &item : cbor.toArray()) {
            QVariant v;
            if (!decodeValue(item, &v, error))
                return false;
            list.append(v);
        }
        *value = list;
        return true;
    }
    case QCborValue::Map: {
        QVariantMap map;
        const QCborMap in = cbor.toMap();
        for (auto it = in.begin(); it != in.end(); ++it) {
            QVariant v;
            if (!it.key().isString() || !decodeValue(it.value(), &v, error))
                return fail(error, QString(),
                            QStringLiteral("a map needs text keys and plain values"));
            map.insert(it.key().toString(), v);
        }
        *value = map;
        return true;
    }
    default:
        return fail(error, QString(), QStringLiteral("unsupported CBOR value"));
    }
}

bool isPacketMap(const QCborValue &cbor)
{
    return cbor.isMap() && cbor.toMap().contains(kFields) && cbor.toMap().contains(kRows);
}

QCborArray encodeFields(const Fields &fields)
{
    QCborArray list;
    for (const FieldDef &field : fields)
        list.append(encodeField(field));
    return list;
}

bool decodeFields(const QCborValue &cbor, Fields *fields, QString *error)
{
    return decodeFieldsAt(cbor, 0, fields, kFields, error);
}

QCborMap encodePacket(const Packet &packet)
{
    QCborMap map;
    map.insert(kFields, encodeFields(packet.fields));
    map.insert(kRows, encodeRows(packet.fields, packet.rows));
    map.insert(kEof, packet.eof);
    return map;
}

bool decodePacket(const QCborValue &cbor, Packet *packet, QString *error)
{
    if (!cbor.isMap())
        return fail(error, QStringLiteral("packet"), QStringLiteral("expected a map"));
    const QCborMap map = cbor.toMap();
    if (!decodeFieldsAt(map.value(kFields), 0, &packet->fields, kFields, error))
        return false;
    if (!decodeRows(map.value(kRows), packet->fields, 0, &packet->rows, kRows, error))
        return false;
    packet->eof = true;
    return optionalBool(map, kEof, &packet->eof, QString(), error);
}

QCborMap encodeChangeSet(const ChangeSet &delta)
{
    QCborMap map;
    map.insert(kFields, encodeFields(delta.fields));
    QCborArray rows;
    for (const ChangeRow &row : delta.rows)
        rows.append(encodeChangeRow(delta.fields, row));
    map.insert(kRows, rows);
    return map;
}

bool decodeChangeSet(const QCborValue &cbor, ChangeSet *delta, QString *error)
{
    return decodeChangeSetAt(cbor, 0, delta, QStringLiteral("delta"), error);
}

QCborMap encodeApplyResult(const ApplyResult &result)
{
    QCborMap map;
    map.insert(kErrorCount, result.errorCount);
    QCborArray errors;
    for (const ApplyError &e : result.errors)
        errors.append(encodeApplyError(e));
    map.insert(kErrors, errors);
    map.insert(kPacket, encodePacket(result.refreshed));
    return map;
}

bool decodeApplyResult(const QCborValue &cbor, ApplyResult *result, QString *error)
{
    if (!cbor.isMap())
        return fail(error, QString(), QStringLiteral("an apply result must be a map"));
    const QCborMap map = cbor.toMap();
    qint64 count = 0;
    if (!optionalInteger(map, kErrorCount, &count, QString(), error))
        return false;
    result->errorCount = int(count);
    result->errors.clear();
    const QCborArray errors = map.value(kErrors).toArray();
    for (qsizetype i = 0; i < errors.size(); ++i) {
        ApplyError e;
        if (!decodeApplyError(errors.at(i), &e, at(kErrors, i), error))
            return false;
        result->errors.append(e);
    }
    if (map.value(kPacket).isUndefined()) {
        result->refreshed = Packet();
        return true;
    }
    return decodePacket(map.value(kPacket), &result->refreshed, error);
}

QCborArray encodeParams(const Params &params)
{
    QCborArray list;
    for (const Param &p : params) {
        QCborMap map;
        map.insert(kName, p.name);
        map.insert(kValue, encodeValue(p.value));
        list.append(map);
    }
    return list;
}

bool decodeParams(const QCborValue &cbor, Params *params, QString *error)
{
    params->clear();
    if (cbor.isUndefined() || cbor.isNull())
        return true;
    if (!cbor.isArray())
        return fail(error, QStringLiteral("params"),
                    QStringLiteral("expected a list of {name, value}"));
    const QCborArray list = cbor.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QCborMap map = list.at(i).toMap();
        Param p;
        if (!map.value(kName).isString())
            return fail(error, at(QStringLiteral("params"), i),
                        QStringLiteral("a parameter needs a name"));
        p.name = map.value(kName).toString();
        if (!decodeValue(map.value(kValue), &p.value, error))
            return fail(error, at(QStringLiteral("params"), i), *error);
        params->append(p);
    }
    return true;
}

} // namespace korvane::codec
