#include "Protocol.h"

#include <QCborValue>
#include <QIODevice>
#include <QtEndian>

namespace korvane::protocol {

QByteArray encodeFrame(const QCborMap &message)
{
    const QByteArray body = QCborValue(message).toCbor();
    QByteArray frame(LengthSize, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(body.size()), frame.data());
    frame += body;
    return frame;
}

bool writeMessage(QIODevice *device, const QCborMap &message)
{
    const QByteArray frame = encodeFrame(message);
    return device->write(frame) == frame.size();
}

bool decodeBody(const QByteArray &body, QCborMap *message, QString *error)
{
    QCborParserError parseError;
    const QCborValue value = QCborValue::fromCbor(body, &parseError);
    if (parseError.error != QCborError::NoError) {
        *error = QStringLiteral("malformed CBOR at byte %1: %2")
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return false;
    }
    if (parseError.offset != body.size()) {
        *error =
            QStringLiteral("%1 stray bytes after the message").arg(body.size() - parseError.offset);
        return false;
    }
    if (!value.isMap()) {
        *error = QStringLiteral("the message is not a CBOR map");
        return false;
    }
    *message = value.toMap();
    return true;
}

void FrameReader::append(const QByteArray &bytes)
{
    if (!m_broken)
        m_buffer += bytes;
}

FrameReader::Status FrameReader::next(QCborMap *message, QString *error)
{
    if (m_broken) {
        *error = m_error;
        return Status::Broken;
    }
    if (pending() < LengthSize)
        return Status::NeedMore;
    const qint64 length = qFromBigEndian<quint32>(m_buffer.constData() + m_offset);
    if (length < 1 || length > MaxFrameSize) {
        m_broken = true;
        m_error = QStringLiteral("frame length %1 outside 1..%2").arg(length).arg(MaxFrameSize);
        m_buffer.clear();
        m_offset = 0;
        *error = m_error;
        return Status::Broken;
    }
    if (pending() < LengthSize + length)
        return Status::NeedMore;
    const QByteArray body = m_buffer.mid(m_offset + LengthSize, length);
    m_offset += LengthSize + length;
    compact();
    if (!decodeBody(body, message, &m_error)) {
        m_broken = true;
        m_buffer.clear();
        m_offset = 0;
        *error = m_error;
        return Status::Broken;
    }
    return Status::Message;
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
