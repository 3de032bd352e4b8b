// Every request and answer of the remote interface travels as the map the wire protocol
// describes, byte for byte, and comes back from it unchanged; a field of the wrong shape is
// refused by name.

#include "PacketCodec.h"
#include "RequestCodec.h"

#include <QCborArray>
#include <QTest>

#include <functional>

using namespace korvane;
using namespace korvane::codec;

namespace {

using RoundTrip = std::function<QCborMap(const QCborMap &, QString *)>;

//! Decodes a map as T and encodes it again; an empty map with *error set when it is refused.
template <typename T> RoundTrip roundTripAs()
{
    return [](const QCborMap &map, QString *error) {
        T value;
        return decode(map, &value, error) ? encode(value) : QCborMap();
    };
}

const QHash<QString, RoundTrip> &roundTrips()
{
    static const QHash<QString, RoundTrip> all = {
        {"open", roundTripAs<OpenRequest>()},
        {"open answer", roundTripAs<OpenAnswer>()},
        {"apply", roundTripAs<ApplyUpdatesRequest>()},
        {"apply answer", roundTripAs<ApplyResult>()},
        {"records", roundTripAs<GetRecordsRequest>()},
        {"records answer", roundTripAs<GetRecordsAnswer>()},
        {"data", roundTripAs<DataRequest>()},
        {"data answer", roundTripAs<DataAnswer>()},
        {"names", roundTripAs<ProviderNamesRequest>()},
        {"names answer", roundTripAs<ProviderNamesAnswer>()},
        {"params", roundTripAs<ParamsRequest>()},
        {"params answer", roundTripAs<ParamsAnswer>()},
        {"row", roundTripAs<RowRequest>()},
        {"row answer", roundTripAs<RowAnswer>()},
        {"execute", roundTripAs<ExecuteRequest>()},
        {"execute answer", roundTripAs<ExecuteAnswer>()},
        {"call", roundTripAs<CallRequest>()},
        {"call answer", roundTripAs<CallAnswer>()},
    };
    return all;
}

QByteArray bytes(const QCborMap &map)
{
    return QCborValue(map).toCbor();
}

FieldDef field(const char *name, FieldType type, int size = 0)
{
    FieldDef f;
    f.name = QString::fromUtf8(name);
    f.type = type;
    f.size = size;
    f.flags = pfInUpdate;
    return f;
}

Packet brands()
{
    Packet p;
    p.fields = {field("Code", FieldType::String, 4), field("Count", FieldType::Integer)};
    p.rows = {RowValues{QStringLiteral("01"), qlonglong(5000000000)}};
    return p;
}

ChangeSet renamed()
{
    ChangeSet delta;
    delta.fields = brands().fields;
    ChangeRow row;
    row.op = ChangeOp::Modify;
    row.oldValues = brands().rows[0];
    row.newValues = RowValues{QStringLiteral("01"), qlonglong(-5000000000)};
    row.changed = QBitArray(2);
    row.changed.setBit(1);
    delta.rows = {row};
    return delta;
}

QCborArray paramList(const char *name, const QCborValue &value)
{
    return QCborArray{QCborMap{{"name", QString::fromLatin1(name)}, {"value", value}}};
}

} // namespace

class tst_RequestCodec : public QObject
{
    Q_OBJECT
private slots:
    void travelsAsTheProtocolSays_data();
    void travelsAsTheProtocolSays();
    void everyOperationIsCovered();
    void wrongShapesAreRefused_data();
    void wrongShapesAreRefused();
    void packetResultStaysAPacket();
};

void tst_RequestCodec::travelsAsTheProtocolSays_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QCborMap>("encoded");
    QTest::addColumn<QCborMap>("wire");

    QTest::newRow("open") << "open" << encode(OpenRequest{"Korvane.BaseRDM", ""})
                          << QCborMap{{"op", "open"}, {"class", "Korvane.BaseRDM"}};
    QTest::newRow("open with session")
        << "open" << encode(OpenRequest{"{B586527D-D13D-45B1-BD0A-84352AA79F5D}", "7"})
        << QCborMap{{"op", "open"},
                    {"class", "{B586527D-D13D-45B1-BD0A-84352AA79F5D}"},
                    {"session", "7"}};
    QTest::newRow("open answer") << "open answer" << encode(OpenAnswer{"BaseRDM"})
                                 << QCborMap{{"class", "BaseRDM"}};

    QTest::newRow("apply") << "apply" << encode(ApplyUpdatesRequest{"dspCI", renamed(), -1})
                           << QCborMap{{"op", "AS_ApplyUpdates"},
                                       {"provider", "dspCI"},
                                       {"delta", encodeChangeSet(renamed())},
                                       {"maxErrors", -1}};
    ApplyResult refused;
    refused.errorCount = 1;
    refused.errors = {
        ApplyError{0, -1, -1, QStringLiteral("UNIQUE constraint failed"), 0, brands().rows[0]}};
    refused.refreshed = brands();
    QTest::newRow("apply answer") << "apply answer" << encode(refused)
                                  << encodeApplyResult(refused);

    QTest::newRow("records")
        << "records"
        << encode(GetRecordsRequest{
               "dspSpec", -1, grMetaData | grReset, "", {{"Code", QStringLiteral("01")}}})
        << QCborMap{{"op", "AS_GetRecords"},
                    {"provider", "dspSpec"},
                    {"count", -1},
                    {"options", 3},
                    {"params", paramList("Code", "01")}};
    QTest::newRow("records with command text")
        << "records" << encode(GetRecordsRequest{"dspQry", 20, 0, "SELECT 1", {}})
        << QCborMap{{"op", "AS_GetRecords"}, {"provider", "dspQry"},      {"count", 20},
                    {"options", 0},          {"commandText", "SELECT 1"}, {"params", QCborArray{}}};
    QTest::newRow("records answer") << "records answer" << encode(GetRecordsAnswer{brands()})
                                    << QCborMap{{"packet", encodePacket(brands())}, {"recsOut", 1}};

    QTest::newRow("data") << "data" << encode(DataRequest{"dspCI", QVariant()})
                          << QCborMap{{"op", "AS_DataRequest"},
                                      {"provider", "dspCI"},
                                      {"data", QCborValue(QCborValue::Null)}};
    QTest::newRow("data answer") << "data answer" << encode(DataAnswer{QStringLiteral("x")})
                                 << QCborMap{{"data", "x"}};

    QTest::newRow("names") << "names" << encode(ProviderNamesRequest())
                           << QCborMap{{"op", "AS_GetProviderNames"}};
    QTest::newRow("names answer") << "names answer"
                                  << encode(ProviderNamesAnswer{{"dspCI", "dspPrdt"}})
                                  << QCborMap{{"names", QCborArray{"dspCI", "dspPrdt"}}};

    QTest::newRow("params") << "params" << encode(ParamsRequest{"dspPrdt"})
                            << QCborMap{{"op", "AS_GetParams"}, {"provider", "dspPrdt"}};
    QTest::newRow("params answer")
        << "params answer" << encode(ParamsAnswer{{{"ClassCode", QVariant()}}})
        << QCborMap{{"params", paramList("ClassCode", QCborValue(QCborValue::Null))}};

    QTest::newRow("row") << "row" << encode(RowRequest{"dspCI"})
                         << QCborMap{{"op", "AS_RowRequest"}, {"provider", "dspCI"}};
    QTest::newRow("row answer") << "row answer" << encode(RowAnswer()) << QCborMap();

    QTest::newRow("execute") << "execute" << encode(ExecuteRequest{"dspQry", "DELETE FROM XCI", {}})
                             << QCborMap{{"op", "AS_Execute"},
                                         {"provider", "dspQry"},
                                         {"commandText", "DELETE FROM XCI"},
                                         {"params", QCborArray{}}};
    QTest::newRow("execute answer") << "execute answer" << encode(ExecuteAnswer()) << QCborMap();

    QTest::newRow("call") << "call"
                          << encode(CallRequest{"LogIn", {"01", "secret", "192.168.1.5", "pc"}})
                          << QCborMap{{"op", "call"},
                                      {"method", "LogIn"},
                                      {"args", QCborArray{"01", "secret", "192.168.1.5", "pc"}}};
    QTest::newRow("call with a 64-bit argument")
        << "call" << encode(CallRequest{"keyExist", {"SELECT 1", qlonglong(1) << 40}})
        << QCborMap{{"op", "call"},
                    {"method", "keyExist"},
                    {"args", QCborArray{"SELECT 1", qint64(1) << 40}}};
    QTest::newRow("call answer") << "call answer" << encode(CallAnswer{QVariant(), {"3", "info"}})
                                 << QCborMap{{"result", QCborValue(QCborValue::Null)},
                                             {"out", QCborArray{"3", "info"}}};
}

void tst_RequestCodec::travelsAsTheProtocolSays()
{
    QFETCH(QString, kind);
    QFETCH(QCborMap, encoded);
    QFETCH(QCborMap, wire);
    QCOMPARE(bytes(encoded), bytes(wire));
    QString error;
    const QCborMap again = roundTrips().value(kind)(wire, &error);
    QCOMPARE(error, QString());
    QCOMPARE(bytes(again), bytes(wire));
}

void tst_RequestCodec::everyOperationIsCovered()
{
    // Each operation's request leads with the "op" the type library names.
    const QList<QCborMap> requests = {
        encode(OpenRequest()), encode(ApplyUpdatesRequest()),  encode(GetRecordsRequest()),
        encode(DataRequest()), encode(ProviderNamesRequest()), encode(ParamsRequest()),
        encode(RowRequest()),  encode(ExecuteRequest()),       encode(CallRequest())};
    QStringList ops;
    for (const QCborMap &r : requests) {
        QCOMPARE(r.begin().key().toString(), QStringLiteral("op"));
        ops << r.value(QStringLiteral("op")).toString();
    }
    QCOMPARE(ops.mid(1, 7), tlb::appServerOperations());
    QCOMPARE(ops.first(), QStringLiteral("open"));
    QCOMPARE(ops.last(), QStringLiteral("call"));
}

void tst_RequestCodec::wrongShapesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QCborMap>("map");
    QTest::addColumn<QString>("error");
    QTest::newRow("class missing")
        << "open" << QCborMap{{"op", "open"}} << "\"class\" must be text";
    QTest::newRow("session a number")
        << "open" << QCborMap{{"class", "BaseRDM"}, {"session", 7}} << "\"session\" must be text";
    QTest::newRow("provider a number")
        << "records" << QCborMap{{"provider", 3}} << "\"provider\" must be text";
    QTest::newRow("count beyond 32 bits")
        << "records" << QCborMap{{"provider", "dspCI"}, {"count", qint64(1) << 32}}
        << "\"count\" must be a 32-bit integer";
    QTest::newRow("params not a list")
        << "execute" << QCborMap{{"provider", "dspCI"}, {"params", 1}}
        << "params: expected a list of {name, value}";
    QTest::newRow("delta without fields")
        << "apply" << QCborMap{{"provider", "dspCI"}, {"delta", QCborMap()}}
        << "delta.fields: expected a list of fields";
    QTest::newRow("max errors a text") << "apply"
                                       << QCborMap{{"provider", "dspCI"},
                                                   {"delta", encodeChangeSet(renamed())},
                                                   {"maxErrors", "all"}}
                                       << "\"maxErrors\" must be a 32-bit integer";
    QTest::newRow("args not a list")
        << "call" << QCborMap{{"method", "DBActive"}, {"args", "x"}} << "\"args\" must be a list";
    QTest::newRow("method missing") << "call" << QCborMap() << "\"method\" must be text";
    QTest::newRow("names not texts") << "names answer" << QCborMap{{"names", QCborArray{1}}}
                                     << "\"names\" must be a list of texts";
    QTest::newRow("packet not a map")
        << "records answer" << QCborMap{{"packet", 1}} << "packet: expected a map";
}

void tst_RequestCodec::wrongShapesAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QCborMap, map);
    QFETCH(QString, error);
    QString text;
    roundTrips().value(kind)(map, &text);
    QCOMPARE(text, error);
}

void tst_RequestCodec::packetResultStaysAPacket()
{
    // GetSpec answers with a packet: the client gets a packet back, not a plain map.
    const QCborMap wire = encode(CallAnswer{QVariant::fromValue(brands()), {}});
    CallAnswer answer;
    QString error;
    QVERIFY2(decode(wire, &answer, &error), qPrintable(error));
    QCOMPARE(answer.result.metaType(), QMetaType::fromType<Packet>());
    const Packet packet = answer.result.value<Packet>();
    QCOMPARE(packet.rows.value(0).value(1).toLongLong(), qlonglong(5000000000));
}

QTEST_GUILESS_MAIN(tst_RequestCodec)
#include "tst_RequestCodec.moc"
