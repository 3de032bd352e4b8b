// libFuzzer target for everything a peer can make the programs decode: frames, messages,
// packets, change sets, apply results and parameters. Decoders must refuse bad input with
// an error, never crash or loop.

#include "PacketCodec.h"
#include "Protocol.h"

#include <cstddef>
#include <cstdint>

using namespace korvane;

static void decodeMessage(const QCborMap &message)
{
    QString error;
    Packet packet;
    codec::decodePacket(message.value(QStringLiteral("packet")), &packet, &error);
    ChangeSet delta;
    codec::decodeChangeSet(message.value(QStringLiteral("delta")), &delta, &error);
    ApplyResult result;
    codec::decodeApplyResult(message, &result, &error);
    Params params;
    codec::decodeParams(message.value(QStringLiteral("params")), &params, &error);
    QVariant value;
    codec::decodeValue(message.value(QStringLiteral("args")), &value, &error);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The bytes as a stream of frames, fed in two pieces.
    protocol::FrameReader reader;
    reader.append(bytes.left(bytes.size() / 2));
    reader.append(bytes.mid(bytes.size() / 2));
    QCborMap message;
    QString error;
    while (reader.next(&message, &error) == protocol::FrameReader::Status::Message)
        decodeMessage(message);

    // The bytes as one frame body.
    if (protocol::decodeBody(bytes, &message, &error))
        decodeMessage(message);
    return 0;
}
