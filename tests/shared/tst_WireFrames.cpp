// Frames as they travel. What the encoders write is byte for byte what the stored frames in
// tests/fuzz/corpus hold (they were written by the encoders peers already run, and seed the
// fuzzers), and every stored frame reads back to the value it was written from.
// KORVANE_WRITE_CORPUS=1 writes the frames anew after a deliberate change of the wire.

#include "PacketCodec.h"
#include "Protocol.h"
#include "RequestCodec.h"

#include <QCborStreamWriter>
#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

using namespace korvane;
using namespace korvane::codec;

namespace {

const QString corpusDir = QStringLiteral(KORVANE_FIXTURES_DIR "/../fuzz/corpus");

FieldDef fd(const char *name, FieldType type, int size = 0, int flags = pfInUpdate)
{
    FieldDef f;
    f.name = QString::fromUtf8(name);
    f.type = type;
    f.size = size;
    f.flags = flags;
    return f;
}
Fields lineFields()
{
    return {fd("pdtcode", FieldType::String, 30, pfInUpdate | pfInWhere | pfInKey),
            fd("pdtno", FieldType::String, 4, pfInUpdate | pfInWhere | pfInKey),
            fd("price", FieldType::Float), fd("qty", FieldType::Integer)};
}
Fields productFields()
{
    FieldDef lines = fd("xprdtb", FieldType::Nested, 0, pfNone);
    lines.fields = lineFields();
    Fields f = {fd("pdtcode", FieldType::String, 30, pfInUpdate | pfInWhere | pfInKey),
                fd("pdtname", FieldType::String, 60),
                fd("minqty", FieldType::Integer),
                fd("active", FieldType::Boolean),
                fd("picture", FieldType::Blob),
                fd("ClassName", FieldType::String, 20, pfHidden),
                lines};
    f[0].required = true;
    return f;
}
Packet productPacket()
{
    Packet p;
    p.fields = productFields();
    const PacketRows lines = {
        PacketRow{QStringLiteral("P01"), QStringLiteral("0001"), 12.5, qlonglong(3)},
        PacketRow{QStringLiteral("P01"), QStringLiteral("0002"), QVariant(),
                  qlonglong(-7000000000)}};
    p.rows = {
        PacketRow{RowValues{QStringLiteral("P01"), QStringLiteral("螺丝钉"), qlonglong(5), true,
                            QByteArray("\x00\xff\x10", 3), QStringLiteral("五金"), QVariant()},
                  {{6, lines}}},
        RowValues{QStringLiteral("P02"), QVariant(), QVariant(), false, QByteArray(), QVariant(),
                  QVariant()},
        RowValues{QStringLiteral("P03"), QStringLiteral("0.1+0.2"), qlonglong(0), QVariant(),
                  QVariant(), QStringLiteral(""), QVariant()}};
    p.eof = false;
    return p;
}
ChangeSet productChanges()
{
    ChangeSet d;
    d.fields = productFields();
    ChangeRow ins;
    ins.op = ChangeOp::Insert;
    ins.newValues = RowValues{QStringLiteral("P09"),
                              QStringLiteral("新品"),
                              qlonglong(1),
                              true,
                              QVariant(),
                              QVariant(),
                              QVariant()};
    ChangeSet insLines;
    insLines.fields = lineFields();
    ChangeRow li;
    li.op = ChangeOp::Insert;
    li.newValues = RowValues{QStringLiteral("P09"), QStringLiteral("0001"), 0.3, qlonglong(2)};
    insLines.rows = {li};
    ins.details = {{6, insLines}};
    ChangeRow mod;
    mod.op = ChangeOp::Modify;
    mod.oldValues = RowValues{QStringLiteral("P01"),
                              QStringLiteral("螺丝钉"),
                              qlonglong(5),
                              true,
                              QVariant(),
                              QVariant(),
                              QVariant()};
    mod.newValues = mod.oldValues;
    mod.newValues[1] = QStringLiteral("螺丝");
    mod.changed = QBitArray(7);
    mod.changed.setBit(1);
    ChangeSet modLines;
    modLines.fields = lineFields();
    ChangeRow ld;
    ld.op = ChangeOp::Delete;
    ld.oldValues =
        RowValues{QStringLiteral("P01"), QStringLiteral("0002"), QVariant(), qlonglong(4)};
    ChangeRow lm;
    lm.op = ChangeOp::Modify;
    lm.oldValues = RowValues{QStringLiteral("P01"), QStringLiteral("0001"), 12.5, qlonglong(3)};
    lm.newValues = RowValues{QStringLiteral("P01"), QStringLiteral("0001"), 13.0, qlonglong(3)};
    lm.changed = QBitArray(4);
    lm.changed.setBit(2);
    modLines.rows = {ld, lm};
    mod.details = {{6, modLines}};
    ChangeRow del;
    del.op = ChangeOp::Delete;
    del.oldValues = RowValues{QStringLiteral("P02"), QVariant(), QVariant(), false,
                              QByteArray(),          QVariant(), QVariant()};
    d.rows = {ins, mod, del};
    return d;
}
ApplyResult refusedResult()
{
    ApplyResult r;
    r.errorCount = 2;
    r.errors = {ApplyError{2, -1, -1, QStringLiteral("FOREIGN KEY constraint failed"),
                           ForeignKeyRefused, RowValues{QStringLiteral("P02"), QVariant()}},
                ApplyError{1, 6, 0, QStringLiteral("UNIQUE constraint failed: xprdtb.pdtno"), 0,
                           RowValues{QStringLiteral("P01"), QStringLiteral("0002")}}};
    r.refreshed = productPacket();
    r.refreshed.rows.removeLast();
    r.refreshed.eof = true;
    return r;
}
Packet specPacket()
{
    FieldDef lines = fd("XSpecb", FieldType::Nested, 0, pfNone);
    lines.fields = {fd("hcode", FieldType::String, 10, 7), fd("bcode", FieldType::String, 10, 7),
                    fd("name", FieldType::String, 40)};
    Packet p;
    p.fields = {fd("hcode", FieldType::String, 10, 7), fd("name", FieldType::String, 40), lines};
    p.fields[0].required = true;
    p.rows = {PacketRow{
        RowValues{QStringLiteral("01"), QStringLiteral("颜色"), QVariant()},
        {{2, PacketRows{
                 PacketRow{QStringLiteral("01"), QStringLiteral("R"), QStringLiteral("红")},
                 PacketRow{QStringLiteral("01"), QStringLiteral("G"), QStringLiteral("绿")}}}}}};
    return p;
}

//! A request as the client sends it: its entries, then its number.
template <typename T> QByteArray request(const T &value, qint64 id)
{
    protocol::FrameWriter frame;
    encode(value, frame);
    frame.entry(QLatin1StringView("id")).append(id);
    return frame.take();
}

//! An answer as the module host sends it: its entries, "ok", then the request's number.
template <typename T> QByteArray answer(const T &value, qint64 id)
{
    protocol::FrameWriter frame;
    encode(value, frame);
    frame.entry(QLatin1StringView("ok")).append(true);
    frame.entry(QLatin1StringView("id")).append(id);
    return frame.take();
}

QByteArray refusal(const QString &text, qint64 id = -1)
{
    protocol::FrameWriter frame;
    frame.entry(QLatin1StringView("ok")).append(false);
    frame.entry(QLatin1StringView("error")).append(text);
    if (id >= 0)
        frame.entry(QLatin1StringView("id")).append(id);
    return frame.take();
}

//! Reads a frame's message as T and writes it again the way it came.
using Reread = std::function<QByteArray(const protocol::Message &, QString *)>;

template <typename T> Reread asRequest(qint64 id)
{
    return [id](const protocol::Message &message, QString *error) {
        T value;
        return decode(message, &value, error) ? request(value, id) : QByteArray();
    };
}

template <typename T> Reread asAnswer(qint64 id)
{
    return [id](const protocol::Message &message, QString *error) {
        T value;
        return decode(message, &value, error) ? answer(value, id) : QByteArray();
    };
}

Reread asRefusal()
{
    return [](const protocol::Message &message, QString *) {
        const QCborValue id = message.value(QLatin1StringView("id"));
        return refusal(message.value(QLatin1StringView("error")).toString(),
                       id.isInteger() ? id.toInteger() : -1);
    };
}

struct Sample
{
    const char *name;
    QByteArray frame;
    Reread reread;
};

QList<Sample> samples()
{
    return {
        {"open-request", request(OpenRequest{"Korvane.BaseRDM", ""}, 1), asRequest<OpenRequest>(1)},
        {"open-session-request",
         request(OpenRequest{"{C7DBC45F-B050-4354-8B9A-F0C56755846F}", "3"}, 1),
         asRequest<OpenRequest>(1)},
        {"open-answer", answer(OpenAnswer{"BaseRDM"}, 1), asAnswer<OpenAnswer>(1)},
        {"open-refused", refusal("Class not registered: Korvane.Nothing", 1), asRefusal()},
        {"names-request", request(ProviderNamesRequest(), 2), asRequest<ProviderNamesRequest>(2)},
        {"names-answer", answer(ProviderNamesAnswer{{"dspCI", "dspPrdt", "dspSpec"}}, 2),
         asAnswer<ProviderNamesAnswer>(2)},
        {"records-request",
         request(GetRecordsRequest{"dspPrdt",
                                   -1,
                                   grMetaData | grReset,
                                   "",
                                   {{"ClassCode", QStringLiteral("A1")}, {"Top", qlonglong(20)}}},
                 3),
         asRequest<GetRecordsRequest>(3)},
        {"records-next-request", request(GetRecordsRequest{"dspPrdt", 100, 0, "", {}}, 4),
         asRequest<GetRecordsRequest>(4)},
        {"records-command-request",
         request(GetRecordsRequest{"dspQry", 0, grMetaData, "SELECT Code FROM XCI", {}}, 5),
         asRequest<GetRecordsRequest>(5)},
        {"records-answer", answer(GetRecordsAnswer{productPacket()}, 3),
         asAnswer<GetRecordsAnswer>(3)},
        {"records-not-exported", refusal("Provider not exported: dspXyz", 3), asRefusal()},
        {"apply-request", request(ApplyUpdatesRequest{"dspPrdt", productChanges(), -1}, 6),
         asRequest<ApplyUpdatesRequest>(6)},
        {"apply-answer", answer(ApplyResult{0, {}, productPacket()}, 6), asAnswer<ApplyResult>(6)},
        {"apply-refused-answer", answer(refusedResult(), 6), asAnswer<ApplyResult>(6)},
        {"params-request", request(ParamsRequest{"dspPrdt"}, 7), asRequest<ParamsRequest>(7)},
        {"params-answer",
         answer(ParamsAnswer{{{"ClassCode", QVariant()}, {"Top", qlonglong(20)}, {"Rate", 0.5}}},
                7),
         asAnswer<ParamsAnswer>(7)},
        {"execute-request",
         request(ExecuteRequest{"dspQry", "DELETE FROM XCI", {{"Code", QStringLiteral("01")}}}, 8),
         asRequest<ExecuteRequest>(8)},
        {"execute-answer", answer(ExecuteAnswer(), 8), asAnswer<ExecuteAnswer>(8)},
        {"data-request",
         request(DataRequest{"dspCI",
                             QVariantMap{{"a", 1}, {"b", QVariantList{true, QByteArray("x")}}}},
                 9),
         asRequest<DataRequest>(9)},
        {"data-answer", answer(DataAnswer{QVariant()}, 9), asAnswer<DataAnswer>(9)},
        {"row-request", request(RowRequest{"dspCI"}, 10), asRequest<RowRequest>(10)},
        {"row-refused", refusal("Provider dspCI does not answer row requests", 10), asRefusal()},
        {"call-login-request",
         request(CallRequest{"LogIn", {"0001", "0001", "192.168.1.5", "pc-01"}}, 11),
         asRequest<CallRequest>(11)},
        {"call-login-answer",
         answer(CallAnswer{QVariant(), {"3", "info", "sys", "rights", ""}}, 11),
         asAnswer<CallAnswer>(11)},
        {"call-keyexist-request", request(CallRequest{"keyExist", {"SELECT 1", qlonglong(1)}}, 12),
         asRequest<CallRequest>(12)},
        {"call-keyexist-answer", answer(CallAnswer{true, {}}, 12), asAnswer<CallAnswer>(12)},
        {"call-getspec-request", request(CallRequest{"GetSpec", {"01"}}, 13),
         asRequest<CallRequest>(13)},
        {"call-getspec-answer", answer(CallAnswer{QVariant::fromValue(specPacket()), {}}, 13),
         asAnswer<CallAnswer>(13)},
        {"broken-framing", refusal("Broken message framing: frame length 0 outside 1..67108864"),
         asRefusal()},
    };
}

QByteArray stored(const QString &name)
{
    QFile file(corpusDir + QLatin1Char('/') + name + QStringLiteral(".frame"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_WireFrames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void framesAreWhatPeersSend_data();
    void framesAreWhatPeersSend();
    void aConversationReadsFrameByFrame();
};

void tst_WireFrames::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("KORVANE_WRITE_CORPUS"))
        return;
    QDir().mkpath(corpusDir);
    QByteArray conversation;
    for (const Sample &s : samples()) {
        QFile file(corpusDir + QLatin1Char('/') + QLatin1String(s.name) + QStringLiteral(".frame"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(s.frame);
        if (QByteArray(s.name).endsWith("request"))
            conversation += s.frame;
    }
    QFile file(corpusDir + QStringLiteral("/conversation.frame"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(conversation);
}

void tst_WireFrames::framesAreWhatPeersSend_data()
{
    QTest::addColumn<int>("sample");
    const QList<Sample> all = samples();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(all[i].name) << i;
}

void tst_WireFrames::framesAreWhatPeersSend()
{
    QFETCH(int, sample);
    const Sample s = samples().at(sample);
    const QByteArray &frame = s.frame;
    const QByteArray kept = stored(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(!kept.isEmpty(), "no stored frame: run with KORVANE_WRITE_CORPUS=1");
    QCOMPARE(frame.toHex(' '), kept.toHex(' '));

    protocol::FrameReader reader;
    reader.append(kept);
    protocol::Message message;
    QString error;
    QCOMPARE(reader.next(&message, &error), protocol::FrameReader::Status::Message);
    const QByteArray again = s.reread(message, &error);
    QCOMPARE(error, QString());
    QCOMPARE(again.toHex(' '), kept.toHex(' '));
}

void tst_WireFrames::aConversationReadsFrameByFrame()
{
    // The stored conversation holds every request, back to back, as one stream.
    const QByteArray talk = stored(QStringLiteral("conversation"));
    QByteArray expected;
    int requests = 0;
    for (const Sample &s : samples()) {
        if (QByteArray(s.name).endsWith("request")) {
            expected += s.frame;
            ++requests;
        }
    }
    QCOMPARE(talk, expected);
    protocol::FrameReader reader;
    for (qsizetype at = 0; at < talk.size(); at += 7) // in pieces that cut frames anywhere
        reader.append(talk.mid(at, 7));
    protocol::Message message;
    QString error;
    int read = 0;
    while (reader.next(&message, &error) == protocol::FrameReader::Status::Message) {
        QVERIFY(message.value(QLatin1StringView("op")).isString());
        ++read;
    }
    QCOMPARE(error, QString());
    QCOMPARE(read, requests);
}

QTEST_GUILESS_MAIN(tst_WireFrames)
#include "tst_WireFrames.moc"
