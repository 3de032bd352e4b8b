// Plain values (call arguments and results, parameters) and apply results. These are small:
// they are written as a stream like everything else and read as values.

#include "CodecSupport.h"
#include "PacketCodec.h"

#include <QDate>
#include <QDateTime>

#include <limits>

namespace korvane::codec {

namespace {

constexpr QLatin1StringView kName("name");
constexpr QLatin1StringView kValue("value");
constexpr QLatin1StringView kErrorCount("errorCount");
constexpr QLatin1StringView kErrors("errors");
constexpr QLatin1StringView kPacket("packet");
constexpr QLatin1StringView kRow("row");
constexpr QLatin1StringView kDetailField("detailField");
constexpr QLatin1StringView kDetailRow("detailRow");
constexpr QLatin1StringView kMessage("message");
constexpr QLatin1StringView kErrorCode("errorCode");
constexpr QLatin1StringView kValues("values");

void writeList(QCborStreamWriter &cbor, const QVariantList &list)
{
    cbor.startArray(list.size());
    for (const QVariant &v : list)
        writeValue(cbor, v);
    cbor.endArray();
}

void writeMap(QCborStreamWriter &cbor, const QVariantMap &map)
{
    cbor.startMap(map.size());
    for (auto it = map.begin(); it != map.end(); ++it) {
        cbor.append(it.key());
        writeValue(cbor, it.value());
    }
    cbor.endMap();
}

void writeApplyError(QCborStreamWriter &cbor, const ApplyError &e)
{
    cbor.startMap(6);
    cbor.append(kRow);
    cbor.append(qint64(e.row));
    cbor.append(kDetailField);
    cbor.append(qint64(e.detailField));
    cbor.append(kDetailRow);
    cbor.append(qint64(e.detailRow));
    cbor.append(kMessage);
    cbor.append(e.message);
    cbor.append(kErrorCode);
    cbor.append(qint64(e.errorCode));
    cbor.append(kValues);
    writeList(cbor, e.values);
    cbor.endMap();
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

} // namespace

void writeValue(QCborStreamWriter &cbor, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        cbor.append(nullptr);
        return;
    }
    if (value.metaType() == QMetaType::fromType<Packet>()) {
        writePacket(cbor, value.value<Packet>());
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        cbor.append(value.toBool());
        return;
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
        cbor.append(qint64(value.toLongLong()));
        return;
    case QMetaType::ULongLong:
        if (value.toULongLong() <= quint64(std::numeric_limits<qint64>::max()))
            cbor.append(qint64(value.toULongLong()));
        else
            cbor.append(value.toDouble());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        cbor.append(value.toDouble());
        return;
    case QMetaType::QByteArray:
        cbor.append(value.toByteArray());
        return;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        writeList(cbor, value.toList());
        return;
    case QMetaType::QVariantMap:
        writeMap(cbor, value.toMap());
        return;
    case QMetaType::QDateTime:
        cbor.append(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return;
    case QMetaType::QDate:
        cbor.append(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        return;
    default:
        cbor.append(value.toString());
        return;
    }
}

QCborValue encodeValue(const QVariant &value)
{
    return asValue([&](QCborStreamWriter &cbor) { writeValue(cbor, value); });
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

void writeApplyResult(protocol::FrameWriter &frame, const ApplyResult &result)
{
    frame.entry(kErrorCount).append(qint64(result.errorCount));
    QCborStreamWriter &errors = frame.entry(kErrors);
    errors.startArray(result.errors.size());
    for (const ApplyError &e : result.errors)
        writeApplyError(errors, e);
    errors.endArray();
    writePacket(frame.entry(kPacket), result.refreshed);
}

bool readApplyResult(const protocol::Message &message, ApplyResult *result, QString *error)
{
    const QCborValue count = message.value(kErrorCount);
    if (!count.isUndefined() && !count.isNull() && !count.isInteger())
        return fail(error, kErrorCount, QStringLiteral("expected an integer"));
    result->errorCount = int(count.toInteger());
    result->errors.clear();
    const QCborArray errors = message.value(kErrors).toArray();
    for (qsizetype i = 0; i < errors.size(); ++i) {
        ApplyError e;
        if (!decodeApplyError(errors.at(i), &e, at(kErrors, i), error))
            return false;
        result->errors.append(e);
    }
    if (!message.contains(kPacket)) {
        result->refreshed = Packet();
        return true;
    }
    return readPacket(message.item(kPacket), &result->refreshed, error);
}

QCborMap encodeApplyResult(const ApplyResult &result)
{
    protocol::FrameWriter frame;
    writeApplyResult(frame, result);
    return frame.toMap();
}

bool decodeApplyResult(const QCborValue &cbor, ApplyResult *result, QString *error)
{
    if (!cbor.isMap())
        return fail(error, QString(), QStringLiteral("an apply result must be a map"));
    return readApplyResult(protocol::Message(cbor.toMap()), result, error);
}

void writeParams(QCborStreamWriter &cbor, const Params &params)
{
    cbor.startArray(params.size());
    for (const Param &p : params) {
        cbor.startMap(2);
        cbor.append(kName);
        cbor.append(p.name);
        cbor.append(kValue);
        writeValue(cbor, p.value);
        cbor.endMap();
    }
    cbor.endArray();
}

QCborArray encodeParams(const Params &params)
{
    return asValue([&](QCborStreamWriter &cbor) { writeParams(cbor, params); }).toArray();
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
