#pragma once
//! Framing of the wire protocol: every message is a 4-byte big-endian length N followed by
//! N bytes holding one CBOR map. N is 1 byte to 64 MiB; anything else breaks the framing
//! and the connection is closed.
//!
//! Messages are written and read as a stream: FrameWriter puts a message's entries straight
//! into its frame, and a received Message keeps its body and finds each entry's value in it,
//! so a packet of many thousand rows is never held as a tree of CBOR values.

#include <QBuffer>
#include <QByteArray>
#include <QCborMap>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QList>
#include <QString>

class QIODevice;
class QCborStreamReader;

namespace korvane::protocol {

constexpr qint64 MaxFrameSize = qint64(64) * 1024 * 1024;
constexpr int LengthSize = 4;

//! The bytes of exactly one well-formed CBOR data item, inside a buffer someone else keeps.
struct CborItem
{
    const char *data = nullptr;
    qsizetype size = 0;

    //! The item standing for an absent value (CBOR undefined).
    static CborItem undefined();
    //! The item decoded as a value; meant for small items.
    QCborValue value() const;
};

//! Reads a text string of any number of chunks; false when the stream is broken.
bool readText(QCborStreamReader &reader, QString *text);

//! Builds the frame of one message: the entries of its map are written one after another,
//! each a key and then its value through cbor(); take() finishes the frame.
class FrameWriter
{
public:
    FrameWriter();
    FrameWriter(const FrameWriter &) = delete;
    FrameWriter &operator=(const FrameWriter &) = delete;

    //! Starts the next entry: writes its key and gives the writer for its value.
    QCborStreamWriter &entry(QLatin1StringView key);
    void add(QLatin1StringView key, const QCborValue &value);
    //! An entry of any key (a map copied as it stands).
    void add(const QCborValue &key, const QCborValue &value);

    //! The finished frame; the writer then starts an empty message.
    QByteArray take();
    //! The message written so far as a map (for callers that compare maps).
    QCborMap toMap();

private:
    void start();

    QByteArray m_frame;
    QBuffer m_device;
    QCborStreamWriter m_cbor;
    int m_entries = 0;
};

//! One message as received: its body and where the value of each text key stands in it.
//! Values are decoded when asked for; the first of repeated keys counts.
class Message
{
public:
    Message() = default;
    explicit Message(const QCborMap &map);

    //! Takes a frame body; false with *error when it is not exactly one well-formed CBOR map.
    static bool parse(const QByteArray &body, Message *message, QString *error);

    bool contains(QLatin1StringView key) const { return find(key) != nullptr; }
    //! The entry's value; undefined when absent.
    QCborValue value(QLatin1StringView key) const;
    //! The bytes of the entry's value, for decoders that read it as a stream.
    CborItem item(QLatin1StringView key) const;
    QCborMap toMap() const;

private:
    struct Entry
    {
        QString key;
        qsizetype begin;
        qsizetype end;
    };
    const Entry *find(QLatin1StringView key) const;

    QByteArray m_body;
    QList<Entry> m_entries;
};

//! The frame of one message.
QByteArray encodeFrame(const QCborMap &message);

//! Writes a frame in one piece; false when the device refused it.
bool writeFrame(QIODevice *device, const QByteArray &frame);
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
    Status next(protocol::Message *message, QString *error);
    Status next(QCborMap *message, QString *error);

    //! Bytes received and not yet taken as a message.
    qint64 pending() const { return m_buffer.size() - m_offset; }

private:
    Status broken(const QString &reason, QString *error);
    void compact();

    QByteArray m_buffer;
    qint64 m_offset = 0;
    bool m_broken = false;
    QString m_error;
};

//! Decodes one frame body; false with *error when it is not exactly one CBOR map.
bool decodeBody(const QByteArray &body, QCborMap *message, QString *error);

} // namespace korvane::protocol
