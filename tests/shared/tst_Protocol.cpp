#include "Protocol.h"

#include <QBuffer>
#include <QCborArray>
#include <QCborValue>
#include <QTest>
#include <QtEndian>

using namespace korvane::protocol;

class tst_Protocol : public QObject
{
    Q_OBJECT
private slots:
    void frameCarriesLengthThenMap();
    void messagesArriveInPieces();
    void severalMessagesInOneChunk();
    void brokenFraming_data();
    void brokenFraming();
    void largestFrameIsWaitedFor();
    void writeMessageToDevice();
    void longMapsKeepTheirHead_data();
    void longMapsKeepTheirHead();
    void firstOfRepeatedKeysCounts();
};

static QCborMap sample(int id)
{
    QCborMap m;
    m.insert(QStringLiteral("id"), id);
    m.insert(QStringLiteral("op"), QStringLiteral("AS_GetProviderNames"));
    return m;
}

static QByteArray withLength(quint32 length, const QByteArray &body)
{
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(length, frame.data());
    return frame + body;
}

void tst_Protocol::frameCarriesLengthThenMap()
{
    const QByteArray frame = encodeFrame(sample(7));
    const QByteArray body = QCborValue(sample(7)).toCbor();
    QCOMPARE(frame.size(), 4 + body.size());
    QCOMPARE(qFromBigEndian<quint32>(frame.constData()), quint32(body.size()));
    QCOMPARE(frame.mid(4), body);
}

void tst_Protocol::messagesArriveInPieces()
{
    const QByteArray frame = encodeFrame(sample(1));
    FrameReader reader;
    QCborMap message;
    QString error;
    for (int i = 0; i < frame.size() - 1; ++i) {
        reader.append(frame.mid(i, 1));
        QCOMPARE(reader.next(&message, &error), FrameReader::Status::NeedMore);
    }
    reader.append(frame.right(1));
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::Message);
    QCOMPARE(message, sample(1));
    QCOMPARE(reader.pending(), 0);
}

void tst_Protocol::severalMessagesInOneChunk()
{
    FrameReader reader;
    reader.append(encodeFrame(sample(1)) + encodeFrame(sample(2)) + encodeFrame(sample(3)).left(5));
    QCborMap message;
    QString error;
    for (int id : {1, 2}) {
        QCOMPARE(reader.next(&message, &error), FrameReader::Status::Message);
        QCOMPARE(message.value(QStringLiteral("id")).toInteger(), id);
    }
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::NeedMore);
    reader.append(encodeFrame(sample(3)).mid(5));
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::Message);
    QCOMPARE(message.value(QStringLiteral("id")).toInteger(), 3);
}

void tst_Protocol::brokenFraming_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray array = QCborValue(QCborArray{1, 2}).toCbor();
    const QByteArray map = QCborValue(sample(1)).toCbor();
    QTest::newRow("zero length") << withLength(0, QByteArray()) << "frame length 0";
    QTest::newRow("over 64 MiB") << withLength(64 * 1024 * 1024 + 1, QByteArray())
                                 << "frame length 67108865";
    QTest::newRow("all ones length") << QByteArray(4, '\xff') << "frame length 4294967295";
    QTest::newRow("not a map") << withLength(array.size(), array) << "not a CBOR map";
    QTest::newRow("garbage") << withLength(3, QByteArray("\xff\xfe\xfd", 3)) << "malformed CBOR";
    QTest::newRow("truncated map")
        << withLength(map.size() - 2, map.left(map.size() - 2)) << "malformed CBOR";
    QTest::newRow("stray bytes") << withLength(map.size() + 1, map + '\x01') << "stray bytes";
}

void tst_Protocol::brokenFraming()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    FrameReader reader;
    reader.append(bytes);
    QCborMap message;
    QString error;
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::Broken);
    QVERIFY2(error.contains(reason), qPrintable(error));
    // Once broken, nothing after it is trusted, not even a well-formed frame.
    reader.append(encodeFrame(sample(2)));
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::Broken);
}

void tst_Protocol::largestFrameIsWaitedFor()
{
    FrameReader reader;
    reader.append(withLength(quint32(MaxFrameSize), QByteArray(100, '\0')));
    QCborMap message;
    QString error;
    QCOMPARE(reader.next(&message, &error), FrameReader::Status::NeedMore);
}

void tst_Protocol::writeMessageToDevice()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writeMessage(&buffer, sample(5)));
    QCOMPARE(buffer.data(), encodeFrame(sample(5)));
    QBuffer closed;
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
    QVERIFY(!writeMessage(&closed, sample(5)));
}

void tst_Protocol::longMapsKeepTheirHead_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("one-byte head") << 23;
    QTest::newRow("count in a byte") << 24;
    QTest::newRow("count in two bytes") << 300;
}

void tst_Protocol::longMapsKeepTheirHead()
{
    // A map's head holds its count; past 23 entries the count follows it, written minimally.
    QFETCH(int, entries);
    QCborMap map;
    for (int i = 0; i < entries; ++i)
        map.insert(QStringLiteral("k%1").arg(i), i);
    const QByteArray body = QCborValue(map).toCbor();
    QCOMPARE(encodeFrame(map).toHex(), withLength(quint32(body.size()), body).toHex());
    FrameReader reader;
    reader.append(encodeFrame(map));
    QCborMap back;
    QString error;
    QCOMPARE(reader.next(&back, &error), FrameReader::Status::Message);
    QCOMPARE(back, map);
}

void tst_Protocol::firstOfRepeatedKeysCounts()
{
    // {1: "x", "op": "open", "op": "call", "id": 7}: a key that is not text is passed over,
    // and of a repeated key the first counts, as a map of values would take it.
    const QByteArray body = QByteArray::fromHex("a4"
                                                "01"
                                                "6178"
                                                "626f70"
                                                "646f70656e"
                                                "626f70"
                                                "6463616c6c"
                                                "626964"
                                                "07");
    Message message;
    QString error;
    QVERIFY2(Message::parse(body, &message, &error), qPrintable(error));
    QCOMPARE(message.value(QLatin1StringView("op")).toString(), QStringLiteral("open"));
    QCOMPARE(message.value(QLatin1StringView("id")).toInteger(), 7);
    QVERIFY(!message.contains(QLatin1StringView("x")));
    QVERIFY(message.value(QLatin1StringView("session")).isUndefined());
    QCOMPARE(message.toMap(), QCborValue::fromCbor(body).toMap());
}

QTEST_GUILESS_MAIN(tst_Protocol)
#include "tst_Protocol.moc"
