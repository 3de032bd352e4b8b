#include "RequestCodec.h"

#include "PacketCodec.h"

#include <QCborArray>

#include <limits>

namespace korvane::codec {

namespace {

const QString kOp = QStringLiteral("op");
const QString kClass = QStringLiteral("class");
const QString kSession = QStringLiteral("session");
const QString kProvider = QStringLiteral("provider");
const QString kDelta = QStringLiteral("delta");
const QString kMaxErrors = QStringLiteral("maxErrors");
const QString kCount = QStringLiteral("count");
const QString kOptions = QStringLiteral("options");
const QString kCommandText = QStringLiteral("commandText");
const QString kParams = QStringLiteral("params");
const QString kPacket = QStringLiteral("packet");
const QString kRecsOut = QStringLiteral("recsOut");
const QString kData = QStringLiteral("data");
const QString kNames = QStringLiteral("names");
const QString kMethod = QStringLiteral("method");
const QString kArgs = QStringLiteral("args");
const QString kResult = QStringLiteral("result");
const QString kOut = QStringLiteral("out");

//! A request's map starts with its operation, as every sender has written it.
template <typename Request> QCborMap opened(const Request &)
{
    return QCborMap{{kOp, tlb::operationName(Request::operation)}};
}

//! The map of a request to one provider, its name right after the operation.
template <typename Request> QCborMap openedFor(const Request &request)
{
    QCborMap map = opened(request);
    map.insert(kProvider, request.provider);
    return map;
}

bool fail(QString *error, const QString &text)
{
    *error = text;
    return false;
}

bool text(const QCborMap &map, const QString &key, QString *value, QString *error,
          bool required = true)
{
    const QCborValue v = map.value(key);
    if (v.isString()) {
        *value = v.toString();
        return true;
    }
    if (!required && (v.isUndefined() || v.isNull())) {
        value->clear();
        return true;
    }
    return fail(error, QStringLiteral("\"%1\" must be text").arg(key));
}

bool integer(const QCborMap &map, const QString &key, int *value, QString *error)
{
    const QCborValue v = map.value(key);
    if (v.isUndefined() || v.isNull())
        return true; // the field keeps its default
    if (!v.isInteger() || v.toInteger() < std::numeric_limits<int>::min() ||
        v.toInteger() > std::numeric_limits<int>::max())
        return fail(error, QStringLiteral("\"%1\" must be a 32-bit integer").arg(key));
    *value = int(v.toInteger());
    return true;
}

bool value(const QCborMap &map, const QString &key, QVariant *value, QString *error)
{
    if (decodeValue(map.value(key), value, error))
        return true;
    return fail(error, key + QStringLiteral(": ") + *error);
}

} // namespace

// ---- open ------------------------------------------------------------------------------

QCborMap encode(const OpenRequest &request)
{
    QCborMap map = opened(request);
    map.insert(kClass, request.classKey);
    if (!request.session.isEmpty())
        map.insert(kSession, request.session);
    return map;
}

bool decode(const QCborMap &map, OpenRequest *request, QString *error)
{
    return text(map, kClass, &request->classKey, error) &&
           text(map, kSession, &request->session, error, false);
}

QCborMap encode(const OpenAnswer &answer)
{
    return QCborMap{{kClass, answer.className}};
}

bool decode(const QCborMap &map, OpenAnswer *answer, QString *error)
{
    return text(map, kClass, &answer->className, error);
}

// ---- AS_ApplyUpdates -----------------------------------------------------------------

QCborMap encode(const ApplyUpdatesRequest &request)
{
    QCborMap map = openedFor(request);
    map.insert(kDelta, encodeChangeSet(request.delta));
    map.insert(kMaxErrors, request.maxErrors);
    return map;
}

bool decode(const QCborMap &map, ApplyUpdatesRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           decodeChangeSet(map.value(kDelta), &request->delta, error) &&
           integer(map, kMaxErrors, &request->maxErrors, error);
}

QCborMap encode(const ApplyResult &answer)
{
    return encodeApplyResult(answer);
}

bool decode(const QCborMap &map, ApplyResult *answer, QString *error)
{
    return decodeApplyResult(map, answer, error);
}

// ---- AS_GetRecords -------------------------------------------------------------------

QCborMap encode(const GetRecordsRequest &request)
{
    QCborMap map = openedFor(request);
    map.insert(kCount, request.count);
    map.insert(kOptions, request.options);
    if (!request.commandText.isEmpty())
        map.insert(kCommandText, request.commandText);
    map.insert(kParams, encodeParams(request.params));
    return map;
}

bool decode(const QCborMap &map, GetRecordsRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           integer(map, kCount, &request->count, error) &&
           integer(map, kOptions, &request->options, error) &&
           text(map, kCommandText, &request->commandText, error, false) &&
           decodeParams(map.value(kParams), &request->params, error);
}

QCborMap encode(const GetRecordsAnswer &answer)
{
    return QCborMap{{kPacket, encodePacket(answer.packet)}, {kRecsOut, answer.packet.rows.size()}};
}

bool decode(const QCborMap &map, GetRecordsAnswer *answer, QString *error)
{
    return decodePacket(map.value(kPacket), &answer->packet, error);
}

// ---- AS_DataRequest ------------------------------------------------------------------

QCborMap encode(const DataRequest &request)
{
    QCborMap map = openedFor(request);
    map.insert(kData, encodeValue(request.data));
    return map;
}

bool decode(const QCborMap &map, DataRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           value(map, kData, &request->data, error);
}

QCborMap encode(const DataAnswer &answer)
{
    return QCborMap{{kData, encodeValue(answer.data)}};
}

bool decode(const QCborMap &map, DataAnswer *answer, QString *error)
{
    return value(map, kData, &answer->data, error);
}

// ---- AS_GetProviderNames -------------------------------------------------------------

QCborMap encode(const ProviderNamesRequest &request)
{
    return opened(request);
}

bool decode(const QCborMap &, ProviderNamesRequest *, QString *)
{
    return true;
}

QCborMap encode(const ProviderNamesAnswer &answer)
{
    return QCborMap{{kNames, QCborArray::fromStringList(answer.names)}};
}

bool decode(const QCborMap &map, ProviderNamesAnswer *answer, QString *error)
{
    const QCborValue names = map.value(kNames);
    if (!names.isArray())
        return fail(error, QStringLiteral("\"names\" must be a list of texts"));
    answer->names.clear();
    for (const QCborValue &name : names.toArray()) {
        if (!name.isString())
            return fail(error, QStringLiteral("\"names\" must be a list of texts"));
        answer->names << name.toString();
    }
    return true;
}

// ---- AS_GetParams --------------------------------------------------------------------

QCborMap encode(const ParamsRequest &request)
{
    return openedFor(request);
}

bool decode(const QCborMap &map, ParamsRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error);
}

QCborMap encode(const ParamsAnswer &answer)
{
    return QCborMap{{kParams, encodeParams(answer.params)}};
}

bool decode(const QCborMap &map, ParamsAnswer *answer, QString *error)
{
    return decodeParams(map.value(kParams), &answer->params, error);
}

// ---- AS_RowRequest -------------------------------------------------------------------

QCborMap encode(const RowRequest &request)
{
    return openedFor(request);
}

bool decode(const QCborMap &map, RowRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error);
}

QCborMap encode(const RowAnswer &)
{
    return QCborMap();
}

bool decode(const QCborMap &, RowAnswer *, QString *)
{
    return true;
}

// ---- AS_Execute ----------------------------------------------------------------------

QCborMap encode(const ExecuteRequest &request)
{
    QCborMap map = openedFor(request);
    map.insert(kCommandText, request.commandText);
    map.insert(kParams, encodeParams(request.params));
    return map;
}

bool decode(const QCborMap &map, ExecuteRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           text(map, kCommandText, &request->commandText, error, false) &&
           decodeParams(map.value(kParams), &request->params, error);
}

QCborMap encode(const ExecuteAnswer &)
{
    return QCborMap();
}

bool decode(const QCborMap &, ExecuteAnswer *, QString *)
{
    return true;
}

// ---- call ----------------------------------------------------------------------------

QCborMap encode(const CallRequest &request)
{
    QCborMap map = opened(request);
    map.insert(kMethod, request.method);
    map.insert(kArgs, encodeValue(request.args));
    return map;
}

bool decode(const QCborMap &map, CallRequest *request, QString *error)
{
    if (!text(map, kMethod, &request->method, error))
        return false;
    const QCborValue args = map.value(kArgs);
    if (!args.isUndefined() && !args.isArray())
        return fail(error, QStringLiteral("\"args\" must be a list"));
    QVariant list;
    if (!value(map, kArgs, &list, error))
        return false;
    request->args = list.toList();
    return true;
}

QCborMap encode(const CallAnswer &answer)
{
    return QCborMap{{kResult, encodeValue(answer.result)}, {kOut, encodeValue(answer.out)}};
}

bool decode(const QCborMap &map, CallAnswer *answer, QString *error)
{
    const QCborValue result = map.value(kResult);
    if (isPacketMap(result)) { // GetSpec, GetSpech
        Packet packet;
        if (!decodePacket(result, &packet, error))
            return false;
        answer->result = QVariant::fromValue(packet);
    } else if (!value(map, kResult, &answer->result, error)) {
        return false;
    }
    QVariant out;
    if (!value(map, kOut, &out, error))
        return false;
    answer->out = out.toList();
    return true;
}

} // namespace korvane::codec
