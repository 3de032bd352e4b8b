#include "RequestCodec.h"

#include "PacketCodec.h"

#include <QCborArray>

#include <limits>

namespace korvane::codec {

using protocol::FrameWriter;
using protocol::Message;

namespace {

constexpr QLatin1StringView kOp("op");
constexpr QLatin1StringView kClass("class");
constexpr QLatin1StringView kSession("session");
constexpr QLatin1StringView kProvider("provider");
constexpr QLatin1StringView kDelta("delta");
constexpr QLatin1StringView kMaxErrors("maxErrors");
constexpr QLatin1StringView kCount("count");
constexpr QLatin1StringView kOptions("options");
constexpr QLatin1StringView kCommandText("commandText");
constexpr QLatin1StringView kParams("params");
constexpr QLatin1StringView kPacket("packet");
constexpr QLatin1StringView kRecsOut("recsOut");
constexpr QLatin1StringView kData("data");
constexpr QLatin1StringView kNames("names");
constexpr QLatin1StringView kMethod("method");
constexpr QLatin1StringView kArgs("args");
constexpr QLatin1StringView kResult("result");
constexpr QLatin1StringView kOut("out");

//! A request's map starts with its operation, as every sender has written it.
template <typename Request> void opened(const Request &, FrameWriter &frame)
{
    frame.entry(kOp).append(tlb::operationName(Request::operation));
}

//! The map of a request to one provider, its name right after the operation.
template <typename Request> void openedFor(const Request &request, FrameWriter &frame)
{
    opened(request, frame);
    frame.entry(kProvider).append(request.provider);
}

bool fail(QString *error, const QString &text)
{
    *error = text;
    return false;
}

bool text(const Message &map, QLatin1StringView key, QString *value, QString *error,
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

bool integer(const Message &map, QLatin1StringView key, int *value, QString *error)
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

bool value(const Message &map, QLatin1StringView key, QVariant *value, QString *error)
{
    if (decodeValue(map.value(key), value, error))
        return true;
    return fail(error, QString(key) + QStringLiteral(": ") + *error);
}

} // namespace

// ---- open ------------------------------------------------------------------------------

void encode(const OpenRequest &request, FrameWriter &frame)
{
    opened(request, frame);
    frame.entry(kClass).append(request.classKey);
    if (!request.session.isEmpty())
        frame.entry(kSession).append(request.session);
}

bool decode(const Message &map, OpenRequest *request, QString *error)
{
    return text(map, kClass, &request->classKey, error) &&
           text(map, kSession, &request->session, error, false);
}

void encode(const OpenAnswer &answer, FrameWriter &frame)
{
    frame.entry(kClass).append(answer.className);
}

bool decode(const Message &map, OpenAnswer *answer, QString *error)
{
    return text(map, kClass, &answer->className, error);
}

// ---- AS_ApplyUpdates -----------------------------------------------------------------

void encode(const ApplyUpdatesRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
    writeChangeSet(frame.entry(kDelta), request.delta);
    frame.entry(kMaxErrors).append(qint64(request.maxErrors));
}

bool decode(const Message &map, ApplyUpdatesRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           readChangeSet(map.item(kDelta), &request->delta, error) &&
           integer(map, kMaxErrors, &request->maxErrors, error);
}

void encode(const ApplyResult &answer, FrameWriter &frame)
{
    writeApplyResult(frame, answer);
}

bool decode(const Message &map, ApplyResult *answer, QString *error)
{
    return readApplyResult(map, answer, error);
}

// ---- AS_GetRecords -------------------------------------------------------------------

void encode(const GetRecordsRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
    frame.entry(kCount).append(qint64(request.count));
    frame.entry(kOptions).append(qint64(request.options));
    if (!request.commandText.isEmpty())
        frame.entry(kCommandText).append(request.commandText);
    writeParams(frame.entry(kParams), request.params);
}

bool decode(const Message &map, GetRecordsRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           integer(map, kCount, &request->count, error) &&
           integer(map, kOptions, &request->options, error) &&
           text(map, kCommandText, &request->commandText, error, false) &&
           decodeParams(map.value(kParams), &request->params, error);
}

void encode(const GetRecordsAnswer &answer, FrameWriter &frame)
{
    writePacket(frame.entry(kPacket), answer.packet);
    frame.entry(kRecsOut).append(qint64(answer.packet.rows.size()));
}

bool decode(const Message &map, GetRecordsAnswer *answer, QString *error)
{
    return readPacket(map.item(kPacket), &answer->packet, error);
}

// ---- AS_DataRequest ------------------------------------------------------------------

void encode(const DataRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
    writeValue(frame.entry(kData), request.data);
}

bool decode(const Message &map, DataRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           value(map, kData, &request->data, error);
}

void encode(const DataAnswer &answer, FrameWriter &frame)
{
    writeValue(frame.entry(kData), answer.data);
}

bool decode(const Message &map, DataAnswer *answer, QString *error)
{
    return value(map, kData, &answer->data, error);
}

// ---- AS_GetProviderNames -------------------------------------------------------------

void encode(const ProviderNamesRequest &request, FrameWriter &frame)
{
    opened(request, frame);
}

bool decode(const Message &, ProviderNamesRequest *, QString *)
{
    return true;
}

void encode(const ProviderNamesAnswer &answer, FrameWriter &frame)
{
    writeValue(frame.entry(kNames), answer.names);
}

bool decode(const Message &map, ProviderNamesAnswer *answer, QString *error)
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

void encode(const ParamsRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
}

bool decode(const Message &map, ParamsRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error);
}

void encode(const ParamsAnswer &answer, FrameWriter &frame)
{
    writeParams(frame.entry(kParams), answer.params);
}

bool decode(const Message &map, ParamsAnswer *answer, QString *error)
{
    return decodeParams(map.value(kParams), &answer->params, error);
}

// ---- AS_RowRequest -------------------------------------------------------------------

void encode(const RowRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
}

bool decode(const Message &map, RowRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error);
}

void encode(const RowAnswer &, FrameWriter &) {}

bool decode(const Message &, RowAnswer *, QString *)
{
    return true;
}

// ---- AS_Execute ----------------------------------------------------------------------

void encode(const ExecuteRequest &request, FrameWriter &frame)
{
    openedFor(request, frame);
    frame.entry(kCommandText).append(request.commandText);
    writeParams(frame.entry(kParams), request.params);
}

bool decode(const Message &map, ExecuteRequest *request, QString *error)
{
    return text(map, kProvider, &request->provider, error) &&
           text(map, kCommandText, &request->commandText, error, false) &&
           decodeParams(map.value(kParams), &request->params, error);
}

void encode(const ExecuteAnswer &, FrameWriter &) {}

bool decode(const Message &, ExecuteAnswer *, QString *)
{
    return true;
}

// ---- call ----------------------------------------------------------------------------

void encode(const CallRequest &request, FrameWriter &frame)
{
    opened(request, frame);
    frame.entry(kMethod).append(request.method);
    writeValue(frame.entry(kArgs), request.args);
}

bool decode(const Message &map, CallRequest *request, QString *error)
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

void encode(const CallAnswer &answer, FrameWriter &frame)
{
    writeValue(frame.entry(kResult), answer.result);
    writeValue(frame.entry(kOut), answer.out);
}

bool decode(const Message &map, CallAnswer *answer, QString *error)
{
    const QCborValue result = map.value(kResult);
    if (isPacketMap(result)) { // GetSpec, GetSpech
        Packet packet;
        if (!readPacket(map.item(kResult), &packet, error))
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
