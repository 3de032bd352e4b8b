#pragma once
//! The requests of the remote interface and their answers as the maps of the wire protocol:
//! one encoder and one decoder per value. A request's map carries its "op"; "id", "ok" and
//! "error" belong to the connection, not to the value. Decoders refuse a field of the wrong
//! shape with a message naming it ("\"provider\" must be text").

#include "Requests.h"

#include <QCborMap>
#include <QString>

namespace korvane::codec {

QCborMap encode(const OpenRequest &request);
bool decode(const QCborMap &map, OpenRequest *request, QString *error);
QCborMap encode(const OpenAnswer &answer);
bool decode(const QCborMap &map, OpenAnswer *answer, QString *error);

QCborMap encode(const ApplyUpdatesRequest &request);
bool decode(const QCborMap &map, ApplyUpdatesRequest *request, QString *error);
QCborMap encode(const ApplyResult &answer);
bool decode(const QCborMap &map, ApplyResult *answer, QString *error);

QCborMap encode(const GetRecordsRequest &request);
bool decode(const QCborMap &map, GetRecordsRequest *request, QString *error);
QCborMap encode(const GetRecordsAnswer &answer);
bool decode(const QCborMap &map, GetRecordsAnswer *answer, QString *error);

QCborMap encode(const DataRequest &request);
bool decode(const QCborMap &map, DataRequest *request, QString *error);
QCborMap encode(const DataAnswer &answer);
bool decode(const QCborMap &map, DataAnswer *answer, QString *error);

QCborMap encode(const ProviderNamesRequest &request);
bool decode(const QCborMap &map, ProviderNamesRequest *request, QString *error);
QCborMap encode(const ProviderNamesAnswer &answer);
bool decode(const QCborMap &map, ProviderNamesAnswer *answer, QString *error);

QCborMap encode(const ParamsRequest &request);
bool decode(const QCborMap &map, ParamsRequest *request, QString *error);
QCborMap encode(const ParamsAnswer &answer);
bool decode(const QCborMap &map, ParamsAnswer *answer, QString *error);

QCborMap encode(const RowRequest &request);
bool decode(const QCborMap &map, RowRequest *request, QString *error);
QCborMap encode(const RowAnswer &answer);
bool decode(const QCborMap &map, RowAnswer *answer, QString *error);

QCborMap encode(const ExecuteRequest &request);
bool decode(const QCborMap &map, ExecuteRequest *request, QString *error);
QCborMap encode(const ExecuteAnswer &answer);
bool decode(const QCborMap &map, ExecuteAnswer *answer, QString *error);

QCborMap encode(const CallRequest &request);
bool decode(const QCborMap &map, CallRequest *request, QString *error);
QCborMap encode(const CallAnswer &answer);
bool decode(const QCborMap &map, CallAnswer *answer, QString *error);

} // namespace korvane::codec
