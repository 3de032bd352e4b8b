// libFuzzer target for everything a peer can make the programs decode: frames, and in them
// every request and answer of the remote interface with its packets, change sets, apply
// results and parameters. Decoders must refuse bad input with an error, never crash or loop;
// and what they accept, written again and read again, must come out the same.

#include "Protocol.h"
#include "RequestCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace korvane;

namespace {

QByteArray written(const auto &value)
{
    protocol::FrameWriter frame;
    codec::encode(value, frame);
    return frame.take();
}

//! Decodes the message as T; when it is accepted, its frame must read back to the same frame.
template <typename T> void decodeAs(const protocol::Message &message)
{
    T value;
    QString error;
    if (!codec::decode(message, &value, &error))
        return;
    const QByteArray frame = written(value);
    protocol::Message again;
    T second;
    if (!protocol::Message::parse(frame.mid(protocol::LengthSize), &again, &error) ||
        !codec::decode(again, &second, &error) || written(second) != frame)
        std::abort();
}

void decodeMessage(const protocol::Message &message)
{
    decodeAs<OpenRequest>(message);
    decodeAs<OpenAnswer>(message);
    decodeAs<ApplyUpdatesRequest>(message);
    decodeAs<ApplyResult>(message);
    decodeAs<GetRecordsRequest>(message);
    decodeAs<GetRecordsAnswer>(message);
    decodeAs<DataRequest>(message);
    decodeAs<DataAnswer>(message);
    decodeAs<ProviderNamesAnswer>(message);
    decodeAs<ParamsRequest>(message);
    decodeAs<ParamsAnswer>(message);
    decodeAs<RowRequest>(message);
    decodeAs<ExecuteRequest>(message);
    decodeAs<CallRequest>(message);
    decodeAs<CallAnswer>(message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The bytes as a stream of frames, fed in two pieces.
    protocol::FrameReader reader;
    reader.append(bytes.left(bytes.size() / 2));
    reader.append(bytes.mid(bytes.size() / 2));
    protocol::Message message;
    QString error;
    while (reader.next(&message, &error) == protocol::FrameReader::Status::Message)
        decodeMessage(message);

    // The bytes as one frame body.
    if (protocol::Message::parse(bytes, &message, &error))
        decodeMessage(message);
    return 0;
}
