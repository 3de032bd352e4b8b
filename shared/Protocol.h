#pragma once
//! Framing of the wire protocol: every message is a 4-byte big-endian length N followed by
//! N bytes holding one CBOR map. N is 1 byte to 64 MiB; anything else breaks the framing
//! and the connection is closed.

#include <QByteArray>
#include <QCborMap>
#include <QString>

class QIODevice;

namespace korvane::protocol {

constexpr qint64 MaxFrameSize = qint64(64) * 1024 * 1024;
constexpr int LengthSize = 4;

//! The frame of one message.
QByteArray encodeFrame(const QCborMap &message);

//! Writes the frame of one message; false when the device refused it.
bool writeMessage(QIODevice *device, const QCborMap &message);

//! Collects bytes as they arrive and cuts them into messages.
class FrameReader
{
public:
    enum class Status {
        NeedMore, // no complete frame yet
        Message,  // *message holds the next message
        Broken,   // the framing is broken; *error says why; the connection must close
    };

    void append(const QByteArray &bytes);
    Status next(QCborMap *message, QString *error);

    //! Bytes received and not yet taken as a message.
    qint64 pending() const { return m_buffer.size() - m_offset; }

private:
    void compact();

    QByteArray m_buffer;
    qint64 m_offset = 0;
    bool m_broken = false;
    QString m_error;
};

//! Decodes one frame body; false with *error when it is not exactly one CBOR map.
bool decodeBody(const QByteArray &body, QCborMap *message, QString *error);

} // namespace korvane::protocol
