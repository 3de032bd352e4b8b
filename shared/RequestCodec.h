#pragma once
//! The requests of the remote interface and their answers as the maps of the wire protocol:
//! one encoder and one decoder per value. A request's map carries its "op"; "id", "ok" and
//! "error" belong to the connection, not to the value. Decoders refuse a field of the wrong
//! shape with a message naming it ("\"provider\" must be text").
//!
//! Encoders write the value's entries into the frame being written; decoders read them from
//! a received message. The forms giving and taking QCborMap are for callers that hold maps.

#include "Protocol.h"
#include "Requests.h"

#include <QCborMap>
#include <QString>

namespace korvane::codec {

void encode(const OpenRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, OpenRequest *request, QString *error);
void encode(const OpenAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, OpenAnswer *answer, QString *error);

void encode(const ApplyUpdatesRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ApplyUpdatesRequest *request, QString *error);
void encode(const ApplyResult &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ApplyResult *answer, QString *error);

void encode(const GetRecordsRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, GetRecordsRequest *request, QString *error);
void encode(const GetRecordsAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, GetRecordsAnswer *answer, QString *error);

void encode(const DataRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, DataRequest *request, QString *error);
void encode(const DataAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, DataAnswer *answer, QString *error);

void encode(const ProviderNamesRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ProviderNamesRequest *request, QString *error);
void encode(const ProviderNamesAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ProviderNamesAnswer *answer, QString *error);

void encode(const ParamsRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ParamsRequest *request, QString *error);
void encode(const ParamsAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ParamsAnswer *answer, QString *error);

void encode(const RowRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, RowRequest *request, QString *error);
void encode(const RowAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, RowAnswer *answer, QString *error);

void encode(const ExecuteRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ExecuteRequest *request, QString *error);
void encode(const ExecuteAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, ExecuteAnswer *answer, QString *error);

void encode(const CallRequest &request, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, CallRequest *request, QString *error);
void encode(const CallAnswer &answer, protocol::FrameWriter &frame);
bool decode(const protocol::Message &message, CallAnswer *answer, QString *error);

//! A value's entries as a map.
template <typename T> QCborMap encode(const T &value)
{
    protocol::FrameWriter frame;
    encode(value, frame);
    return frame.toMap();
}

//! A value from a map as a peer would send it.
template <typename T> bool decode(const QCborMap &map, T *value, QString *error)
{
    return decode(protocol::Message(map), value, error);
}

} // namespace korvane::codec
