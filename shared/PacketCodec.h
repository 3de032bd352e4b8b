#pragma once
//! Data packets, change sets, apply results and parameters as CBOR, the same way in both
//! programs. Decoders check the shape fully: a value that does not fit its field is refused
//! with a message naming where it stands, never guessed at.

#include "Packet.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QString>
#include <QVariant>

namespace korvane::codec {

//! Deepest nesting of detail fields a decoder accepts.
constexpr int MaxNesting = 8;

//! Any value of a call argument, result or parameter: null, boolean, integer, float, text,
//! bytes, lists and maps of these, or a data packet (QVariant::fromValue(Packet), sent as
//! a packet map; decodeValue gives it back as a plain map, isPacketMap() tells).
QCborValue encodeValue(const QVariant &value);
bool decodeValue(const QCborValue &cbor, QVariant *value, QString *error);
//! Whether a value is shaped like a data packet (a map with "fields" and "rows").
bool isPacketMap(const QCborValue &cbor);

QCborArray encodeFields(const Fields &fields);
bool decodeFields(const QCborValue &cbor, Fields *fields, QString *error);

QCborMap encodePacket(const Packet &packet);
bool decodePacket(const QCborValue &cbor, Packet *packet, QString *error);

QCborMap encodeChangeSet(const ChangeSet &delta);
bool decodeChangeSet(const QCborValue &cbor, ChangeSet *delta, QString *error);

QCborMap encodeApplyResult(const ApplyResult &result);
bool decodeApplyResult(const QCborValue &cbor, ApplyResult *result, QString *error);

QCborArray encodeParams(const Params &params);
bool decodeParams(const QCborValue &cbor, Params *params, QString *error);

} // namespace korvane::codec
