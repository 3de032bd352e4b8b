#include "Protocol.h"

#include <QCborStreamReader>
#include <QIODevice>
#include <QtEndian>

namespace korvane::protocol {

namespace {

// Deeper values are refused as malformed, as a CBOR value tree would refuse them.
constexpr int MaxDepth = 1000;

const char undefinedItem = char(0xf7);

QString malformed(QCborStreamReader &reader)
{
    return QStringLiteral("malformed CBOR at byte %1: %2")
        .arg(reader.currentOffset())
        .arg(reader.lastError().toString());
}

} // namespace

CborItem CborItem::undefined()
{
    return CborItem{&undefinedItem, 1};
}

QCborValue CborItem::value() const
{
    return QCborValue::fromCbor(data, size);
}

bool readText(QCborStreamReader &reader, QString *text)
{
    text->clear();
    for (;;) {
        auto chunk = reader.readString();
        if (chunk.status == QCborStreamReader::EndOfString)
            return true;
        if (chunk.status == QCborStreamReader::Error)
            return false;
        text->append(chunk.data);
    }
}

// ---- writing ----------------------------------------------------------------------------

FrameWriter::FrameWriter() : m_device(&m_frame), m_cbor(&m_device)
{
    start();
}

void FrameWriter::start()
{
    m_device.close();
    m_frame.clear();
    m_device.open(QIODevice::WriteOnly);
    // The length and the map's head are put in by take(), when both are known.
    m_device.write(QByteArray(LengthSize + 1, '\0'));
    m_entries = 0;
}

QCborStreamWriter &FrameWriter::entry(QLatin1StringView key)
{
    ++m_entries;
    m_cbor.append(key);
    return m_cbor;
}

void FrameWriter::add(QLatin1StringView key, const QCborValue &value)
{
    value.toCbor(entry(key));
}

void FrameWriter::add(const QCborValue &key, const QCborValue &value)
{
    ++m_entries;
    key.toCbor(m_cbor);
    value.toCbor(m_cbor);
}

QByteArray FrameWriter::take()
{
    // A map of fewer than 24 entries has a one-byte head; a longer one needs room for its count.
    if (m_entries < 24) {
        m_frame[LengthSize] = char(0xa0 + m_entries);
    } else {
        // The count follows the head in as few bytes as hold it, as any encoder writes it.
        const int bytes = m_entries < 0x100 ? 1 : m_entries < 0x10000 ? 2 : 4;
        QByteArray head(1 + bytes, Qt::Uninitialized);
        head[0] = char(bytes == 1 ? 0xb8 : bytes == 2 ? 0xb9 : 0xba);
        for (int i = 0; i < bytes; ++i)
            head[bytes - i] = char((m_entries >> (8 * i)) & 0xff);
        m_frame.replace(LengthSize, 1, head);
    }
    qToBigEndian<quint32>(quint32(m_frame.size() - LengthSize), m_frame.data());
    QByteArray frame = std::move(m_frame);
    start();
    return frame;
}

QCborMap FrameWriter::toMap()
{
    const QByteArray frame = take();
    return QCborValue::fromCbor(frame.mid(LengthSize)).toMap();
}

QByteArray encodeFrame(const QCborMap &message)
{
    FrameWriter frame;
    for (auto it = message.begin(); it != message.end(); ++it)
        frame.add(it.key(), it.value());
    return frame.take();
}

bool writeFrame(QIODevice *device, const QByteArray &frame)
{
    return device->write(frame) == frame.size();
}

bool writeMessage(QIODevice *device, const QCborMap &message)
{
    return writeFrame(device, encodeFrame(message));
}

// ---- reading ----------------------------------------------------------------------------

Message::Message(const QCborMap &map)
{
    QString error;
    parse(QCborValue(map).toCbor(), this, &error);
}

bool Message::parse(const QByteArray &body, Message *message, QString *error)
{
    QCborStreamReader reader(body);
    QList<Entry> entries;
    const bool isMap = reader.isMap();
    if (isMap && reader.enterContainer()) {
        while (reader.lastError() == QCborError::NoError && reader.hasNext()) {
            QString key;
            const bool textKey = reader.isString();
            if (textKey ? !readText(reader, &key) : !reader.next(MaxDepth))
                break;
            const qsizetype begin = reader.currentOffset();
            if (!reader.next(MaxDepth))
                break;
            if (textKey)
                entries.append(Entry{key, begin, reader.currentOffset()});
        }
        if (reader.lastError() == QCborError::NoError)
            reader.leaveContainer();
    } else if (!isMap) {
        reader.next(MaxDepth);
    }
    if (reader.lastError() != QCborError::NoError) {
        *error = malformed(reader);
        return false;
    }
    if (reader.currentOffset() != body.size()) {
        *error = QStringLiteral("%1 stray bytes after the message")
                     .arg(body.size() - reader.currentOffset());
        return false;
    }
    if (!isMap) {
        *error = QStringLiteral("the message is not a CBOR map");
        return false;
    }
    message->m_body = body;
    message->m_entries = std::move(entries);
    return true;
}

const Message::Entry *Message::find(QLatin1StringView key) const
{
    for (const Entry &entry : m_entries) {
        if (entry.key == key)
            return &entry;
    }
    return nullptr;
}

QCborValue Message::value(QLatin1StringView key) const
{
    return item(key).value();
}

CborItem Message::item(QLatin1StringView key) const
{
    const Entry *entry = find(key);
    if (!entry)
        return CborItem::undefined();
    return CborItem{m_body.constData() + entry->begin, entry->end - entry->begin};
}

QCborMap Message::toMap() const
{
    return QCborValue::fromCbor(m_body).toMap();
}

bool decodeBody(const QByteArray &body, QCborMap *message, QString *error)
{
    Message parsed;
    if (!Message::parse(body, &parsed, error))
        return false;
    *message = parsed.toMap();
    return true;
}

void FrameReader::append(const QByteArray &bytes)
{
    if (!m_broken)
        m_buffer += bytes;
}

FrameReader::Status FrameReader::broken(const QString &reason, QString *error)
{
    m_broken = true;
    m_error = reason;
    m_buffer.clear();
    m_offset = 0;
    *error = m_error;
    return Status::Broken;
}

FrameReader::Status FrameReader::next(protocol::Message *message, QString *error)
{
    if (m_broken) {
        *error = m_error;
        return Status::Broken;
    }
    if (pending() < LengthSize)
        return Status::NeedMore;
    const qint64 length = qFromBigEndian<quint32>(m_buffer.constData() + m_offset);
    if (length < 1 || length > MaxFrameSize)
        return broken(QStringLiteral("frame length %1 outside 1..%2").arg(length).arg(MaxFrameSize),
                      error);
    if (pending() < LengthSize + length)
        return Status::NeedMore;
    const QByteArray body = m_buffer.mid(m_offset + LengthSize, length);
    m_offset += LengthSize + length;
    compact();
    QString reason;
    if (!Message::parse(body, message, &reason))
        return broken(reason, error);
    return Status::Message;
}

FrameReader::Status FrameReader::next(QCborMap *message, QString *error)
{
    protocol::Message parsed;
    const Status status = next(&parsed, error);
    if (status == Status::Message)
        *message = parsed.toMap();
    return status;
}

void FrameReader::compact()
{
    // Drop consumed bytes once they outweigh what is left, so a long connection stays small.
    if (m_offset > 0 && m_offset >= pending()) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
}

} // namespace korvane::protocol
