#pragma once
//! Data packets, change sets, apply results and parameters as CBOR, the same way in both
//! programs. Decoders check the shape fully: a value that does not fit its field is refused
//! with a message naming where it stands, never guessed at.
//!
//! The programs write and read packets and change sets as a stream (the write* and read*
//! functions): a packet of many thousand rows goes from its rows to bytes and back without a
//! tree of CBOR values in between. The forms taking and giving QCborValue are the same
//! codec for callers that hold values (small messages, tests).

#include "Packet.h"
#include "Protocol.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QString>
#include <QVariant>

namespace korvane::codec {

//! Deepest nesting of detail fields a decoder accepts.
constexpr int MaxNesting = 8;

//! Any value of a call argument, result or parameter: null, boolean, integer, float, text,
//! bytes, lists and maps of these, or a data packet (QVariant::fromValue(Packet), sent as
//! a packet map; decodeValue gives it back as a plain map, isPacketMap() tells).
void writeValue(QCborStreamWriter &cbor, const QVariant &value);
QCborValue encodeValue(const QVariant &value);
bool decodeValue(const QCborValue &cbor, QVariant *value, QString *error);
//! Whether a value is shaped like a data packet (a map with "fields" and "rows").
bool isPacketMap(const QCborValue &cbor);

QCborArray encodeFields(const Fields &fields);
bool decodeFields(const QCborValue &cbor, Fields *fields, QString *error);

void writePacket(QCborStreamWriter &cbor, const Packet &packet);
bool readPacket(const protocol::CborItem &item, Packet *packet, QString *error);
QCborMap encodePacket(const Packet &packet);
bool decodePacket(const QCborValue &cbor, Packet *packet, QString *error);

void writeChangeSet(QCborStreamWriter &cbor, const ChangeSet &delta);
bool readChangeSet(const protocol::CborItem &item, ChangeSet *delta, QString *error);
QCborMap encodeChangeSet(const ChangeSet &delta);
bool decodeChangeSet(const QCborValue &cbor, ChangeSet *delta, QString *error);

//! An apply result is the entries of its answer: "errorCount", "errors" and "packet".
void writeApplyResult(protocol::FrameWriter &frame, const ApplyResult &result);
bool readApplyResult(const protocol::Message &message, ApplyResult *result, QString *error);
QCborMap encodeApplyResult(const ApplyResult &result);
bool decodeApplyResult(const QCborValue &cbor, ApplyResult *result, QString *error);

void writeParams(QCborStreamWriter &cbor, const Params &params);
QCborArray encodeParams(const Params &params);
bool decodeParams(const QCborValue &cbor, Params *params, QString *error);

} // namespace korvane::codec
