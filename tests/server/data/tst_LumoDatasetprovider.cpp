// Providers: packet metadata, parameters and filter pairs, packets that continue the open
// query (held on read connections of the module's own, left for new openings), and lines
// nested in their heads.

#include "DataAccessFixture.h"
#include "LumoDatasetprovider.h"
#include "ProviderModule.h"
#include "ReadConnections.h"

#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int opening = grMetaData | grReset;

GetRecordsRequest request(const QString &provider, int count, const Params &params = {},
                          int options = opening)
{
    GetRecordsRequest r;
    r.provider = provider;
    r.count = count;
    r.options = options;
    r.params = params;
    return r;
}

QStringList column(const Packet &p, const QString &name)
{
    QStringList values;
    const int i = p.indexOf(name);
    for (const RowValues &row : p.rows)
        values << row.value(i).toString();
    return values;
}

//! A provider of the numbers 1 ... count, far more rows than a packet.
ProviderDef numbersProvider(const QString &name, int count)
{
    ProviderDef def;
    def.name = name;
    def.sql = QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c "
                             "WHERE i < %1) SELECT i FROM c")
                  .arg(count);
    return def;
}

} // namespace

class tst_LumoDatasetprovider : public QObject
{
    Q_OBJECT
private slots:
    void init() { setCommandTextAllowed(false); }
    void fieldMetadata_data() { addBackendRows(); }
    void fieldMetadata();
    void valuesAsTheirKind_data() { addBackendRows(); }
    void valuesAsTheirKind();
    void filterPairs_data();
    void filterPairs();
    void sameParameterTwice_data() { addBackendRows(); }
    void sameParameterTwice();
    void packetsContinueTheOpenQuery_data() { addBackendRows(); }
    void packetsContinueTheOpenQuery();
    void openPacketLeavesOthersFreeToWrite_data() { addBackendRows(); }
    void openPacketLeavesOthersFreeToWrite();
    void heldOpeningKeepsWhatItStartedWith_data() { addBackendRows(); }
    void heldOpeningKeepsWhatItStartedWith();
    void heldOpeningBindsValuesAsValues_data();
    void heldOpeningBindsValuesAsValues();
    void heldOpeningTakesNumbers_data() { addBackendRows(); }
    void heldOpeningTakesNumbers();
    void failureMidwayEndsTheOpening_data() { addBackendRows(); }
    void failureMidwayEndsTheOpening();
    void leftOpeningsGiveWayToNewOnes_data() { addBackendRows(); }
    void leftOpeningsGiveWayToNewOnes();
    void moreOpeningsThanReadConnections_data() { addBackendRows(); }
    void moreOpeningsThanReadConnections();
    void metadataOnly_data() { addBackendRows(); }
    void metadataOnly();
    void nestedLines_data();
    void nestedLines();
    void commandTextNeedsAdministrator_data() { addBackendRows(); }
    void commandTextNeedsAdministrator();
    void statementErrorReachesClient_data();
    void statementErrorReachesClient();
    void providerParams();
};

void tst_LumoDatasetprovider::fieldMetadata()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    const Packet p = module.getRecords(request(QStringLiteral("DSPDOC"), 0));

    QStringList names;
    for (const FieldDef &f : p.fields)
        names << f.name;
    // The select list's spelling, also where PostgreSQL folds unquoted names.
    QCOMPARE(names, QStringList({"headno", "hdate", "StoreCode", "StoreName", "amt", "prints",
                                 "State", "xdocb"}));

    const FieldDef &headno = p.fields[0];
    QCOMPARE(headno.type, FieldType::String);
    QCOMPARE(headno.size, 15);
    QVERIFY(headno.required);
    QCOMPARE(headno.flags, pfInUpdate | pfInWhere | pfInKey);

    const FieldDef &store = p.fields[2];
    QCOMPARE(store.flags, int(pfInUpdate));
    QCOMPARE(store.size, 10);
    QVERIFY(!store.required);

    const FieldDef &storeName = p.fields[3]; // joined: read, never written
    QCOMPARE(storeName.flags, int(pfNone));
    QCOMPARE(storeName.size, 100);

    QCOMPARE(p.fields[4].type, FieldType::Float); // decimal column
    QCOMPARE(p.fields[5].type, FieldType::Integer);

    const FieldDef &lines = p.fields[7];
    QCOMPARE(lines.type, FieldType::Nested);
    QCOMPARE(lines.fields.size(), 4);
    QCOMPARE(lines.fields[0].flags, pfInUpdate | pfInWhere | pfInKey);
    QCOMPARE(lines.fields[1].flags, pfInUpdate | pfInWhere | pfInKey);
    QCOMPARE(lines.fields[3].type, FieldType::Float);
}

void tst_LumoDatasetprovider::valuesAsTheirKind()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    const Packet p = module.getRecords(request(QStringLiteral("dspDoc"), -1));
    QCOMPARE(p.rows.size(), 3);
    const RowValues &h1 = p.rows[0];
    QCOMPARE(h1[0].metaType().id(), QMetaType::QString);
    QCOMPARE(h1[3].toString(), QStringLiteral("一号仓"));
    QCOMPARE(h1[4].metaType().id(), QMetaType::Double);
    QCOMPARE(h1[4].toDouble(), 10.25);
    QCOMPARE(p.rows[2][4].metaType().id(), QMetaType::Double); // 30 stored as a whole number
    QCOMPARE(h1[5].metaType().id(), QMetaType::LongLong);      // integers keep all 64 bits
    QVERIFY(p.eof);
}

void tst_LumoDatasetprovider::filterPairs_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("twin");
    QTest::addColumn<QStringList>("heads");
    const QStringList all{"H1", "H2", "H3"};
    const QStringList s1{"H1", "H3"};
    struct Case
    {
        const char *name;
        QVariant value, twin;
        QStringList heads;
    };
    const QList<Case> cases = {
        {"filter on", "S1", "S1", s1},           {"empty twin", "S1", "", all},
        {"blank twin", "S1", " ", all},          {"both blank", " ", " ", all},
        {"twin omitted", "S2", QVariant(), all}, {"no such store", "S9", "S9", {}},
    };
    const QStringList backends = backendNames();
    for (const QString &backend : backends) {
        for (const Case &c : cases) {
            QTest::addRow("%s %s", qPrintable(backend), c.name)
                << backend << c.value << c.twin << c.heads;
        }
    }
}

void tst_LumoDatasetprovider::filterPairs()
{
    QFETCH(QString, backend);
    QFETCH(QVariant, value);
    QFETCH(QVariant, twin);
    QFETCH(QStringList, heads);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    // Parameter names match without regard to case.
    Params params{{"storecode", value}};
    if (twin.isValid())
        params << Param{"TMPSTORECODE", twin};
    const Packet p = module.getRecords(request(QStringLiteral("dspDoc"), -1, params));
    QCOMPARE(column(p, "headno"), heads);
}

void tst_LumoDatasetprovider::sameParameterTwice()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderDef def;
    def.name = QStringLiteral("dspTwice");
    def.sql = QStringLiteral("select headno from xdoch where StoreCode = :Store or "
                             "(:Store = 'S2' and headno = :Head) order by headno");
    ProviderModule module(QStringLiteral("TestRDM"), {def});
    const Packet p = module.getRecords(request("dspTwice", -1, {{"Store", "S2"}, {"Head", "H1"}}));
    QCOMPARE(column(p, "headno"), QStringList({"H1", "H2"}));
}

void tst_LumoDatasetprovider::packetsContinueTheOpenQuery()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider(), storeProvider()});

    Packet p = module.getRecords(request("dspDoc", 2));
    QCOMPARE(column(p, "headno"), QStringList({"H1", "H2"}));
    QVERIFY(!p.eof);

    // Other work on the connection between two packets leaves the open query alone.
    QCOMPARE(module.getRecords(request("dspStore", -1)).rows.size(), 2);
    ChangeSet noop;
    module.applyUpdates("dspStore", noop, 0);

    p = module.getRecords(request("dspDoc", 2, {}, 0));
    QCOMPARE(column(p, "headno"), QStringList({"H3"}));
    QVERIFY(p.eof);
    QCOMPARE(p.fields.size(), 8);
    QCOMPARE(p.rows[0].detailRows(7).size(), 1); // its line came along

    // A new opening starts from the top again.
    p = module.getRecords(request("dspDoc", 3));
    QCOMPARE(column(p, "headno"), QStringList({"H1", "H2", "H3"}));
    QVERIFY(p.eof);
}

void tst_LumoDatasetprovider::openPacketLeavesOthersFreeToWrite()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    QVERIFY(!module.getRecords(request("dspDoc", 1)).eof);
    // Another client saves while this one has rows still to fetch.
    QSqlQuery other(fx.scratch().db());
    QVERIFY2(other.exec("UPDATE xdoch SET prints = 9 WHERE headno = 'H3'"),
             qPrintable(other.lastError().text()));
    const Packet rest = module.getRecords(request("dspDoc", -1, {}, 0));
    QCOMPARE(column(rest, "headno"), QStringList({"H2", "H3"}));
}

void tst_LumoDatasetprovider::heldOpeningKeepsWhatItStartedWith()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    const Packet first = module.getRecords(request("dspDoc", 1));
    QCOMPARE(column(first, "headno"), QStringList({"H1"}));

    // The module's own save of a new head between two packets of the opening.
    ChangeSet delta;
    delta.fields = first.fields;
    ChangeRow insert;
    insert.op = ChangeOp::Insert;
    insert.newValues = RowValues(first.fields.size());
    insert.newValues[first.indexOf("headno")] = QStringLiteral("H0");
    insert.newValues[first.indexOf("hdate")] = QStringLiteral("2026-03-04 09:00:00");
    insert.newValues[first.indexOf("StoreCode")] = QStringLiteral("S1");
    insert.newValues[first.indexOf("State")] = QStringLiteral("1");
    delta.rows << insert;
    QCOMPARE(module.applyUpdates("dspDoc", delta, 0).errorCount, 0);

    // The rest of the opening is the list as it stood when it opened, each head once.
    const Packet rest = module.getRecords(request("dspDoc", -1, {}, 0));
    QCOMPARE(column(rest, "headno"), QStringList({"H2", "H3"}));
    QCOMPARE(column(module.getRecords(request("dspDoc", -1)), "headno"),
             QStringList({"H0", "H1", "H2", "H3"}));
}

void tst_LumoDatasetprovider::heldOpeningBindsValuesAsValues_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("name");
    const QStringList names{"O'Brien", "back\\slash'", "x' OR '1'='1", "'); DELETE FROM xstore; --",
                            "$1 ? :n", "仓'库\\"};
    for (const QString &backend : backendNames()) {
        for (const QString &name : names)
            QTest::addRow("%s %s", qPrintable(backend), qPrintable(name)) << backend << name;
    }
}

void tst_LumoDatasetprovider::heldOpeningBindsValuesAsValues()
{
    QFETCH(QString, backend);
    QFETCH(QString, name);
    DataAccessFixture fx(backend);
    QSqlQuery add(fx.scratch().db());
    add.prepare("INSERT INTO xstore (code, name) VALUES ('S9', ?)");
    add.addBindValue(name);
    QVERIFY2(add.exec(), qPrintable(add.lastError().text()));
    ProviderDef def;
    def.name = QStringLiteral("dspNamed");
    def.sql = QStringLiteral("select code, name from xstore where name = :n order by code");
    ProviderModule module(QStringLiteral("TestRDM"), {def});
    // A packet of one holds the opening: the value matches itself and nothing else.
    const Packet p = module.getRecords(request("dspNamed", 1, {{"n", name}}));
    QCOMPARE(column(p, "code"), QStringList({"S9"}));
    QCOMPARE(column(p, "name"), QStringList({name}));
    QCOMPARE(fx.count("xstore"), 3);
}

void tst_LumoDatasetprovider::heldOpeningTakesNumbers()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderDef def = numbersProvider(QStringLiteral("dspRange"), 100);
    def.sql = QStringLiteral("SELECT * FROM (%1) n WHERE i >= :low AND i <= :high ORDER BY i")
                  .arg(def.sql);
    ProviderModule module(QStringLiteral("TestRDM"), {def});
    const Packet p =
        module.getRecords(request("dspRange", 2, {{"low", 3}, {"high", qlonglong(5)}}));
    QCOMPARE(column(p, "i"), QStringList({"3", "4"}));
    QVERIFY(!p.eof);
    const Packet rest = module.getRecords(request("dspRange", 2, {}, 0));
    QCOMPARE(column(rest, "i"), QStringList({"5"}));
    QVERIFY(rest.eof);
}

void tst_LumoDatasetprovider::failureMidwayEndsTheOpening()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    // Row 30 overflows: the database refuses the statement only when it gets there.
    ProviderDef def = numbersProvider(QStringLiteral("dspFailing"), 100);
    def.sql = QStringLiteral("SELECT abs(CASE WHEN i = 30 THEN -9223372036854775807 - 1 ELSE i "
                             "END) AS i FROM (%1) n")
                  .arg(def.sql);
    ProviderModule module(QStringLiteral("TestRDM"), {def});
    const Packet first = module.getRecords(request("dspFailing", 10));
    QCOMPARE(first.rows.size(), 10);
    QVERIFY(!first.eof);
    QVERIFY_THROWS_EXCEPTION(ServerError, module.getRecords(request("dspFailing", 30, {}, 0)));
    // What follows finds the opening ended, and a new one starts afresh.
    QVERIFY(module.getRecords(request("dspFailing", 10, {}, 0)).eof);
    QCOMPARE(column(module.getRecords(request("dspFailing", 3)), "i"),
             QStringList({"1", "2", "3"}));
}

void tst_LumoDatasetprovider::leftOpeningsGiveWayToNewOnes()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"),
                          {numbersProvider(QStringLiteral("dspNumbers"), 200000), storeProvider()});
    // Each opening is left after its first packet, with most of its rows still unread.
    for (int opening = 0; opening < 2 * ReadConnections::MaxLeases; ++opening) {
        const Packet p = module.getRecords(request("dspNumbers", 3));
        QCOMPARE(column(p, "i"), QStringList({"1", "2", "3"}));
        QVERIFY(!p.eof);
        QCOMPARE(module.getRecords(request("dspStore", -1)).rows.size(), 2);
    }
    if (fx.isPostgres()) {
        // The open one waits on its cursor; every left one was ended, not left running.
        const QString ours = QStringLiteral("datname = current_database() AND pid <> "
                                            "pg_backend_pid()");
        QCOMPARE(fx.value("SELECT count(*) FROM pg_stat_activity WHERE " + ours +
                          " AND state = 'idle in transaction' AND query LIKE 'FETCH%'")
                     .toInt(),
                 1);
        QCOMPARE(
            fx.value("SELECT count(*) FROM pg_stat_activity WHERE " + ours + " AND state <> 'idle'")
                .toInt(),
            1);
    }
    Packet p = module.getRecords(request("dspNumbers", 2, {}, 0));
    QCOMPARE(column(p, "i"), QStringList({"4", "5"}));
    // Read to its end, the opening hands its connection on.
    p = module.getRecords(request("dspNumbers", -1, {}, 0));
    QCOMPARE(p.rows.size(), 200000 - 5);
    QVERIFY(p.eof);
    QCOMPARE(column(module.getRecords(request("dspNumbers", 1)), "i"), QStringList({"1"}));
}

void tst_LumoDatasetprovider::moreOpeningsThanReadConnections()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderDefs defs;
    for (int i = 0; i <= ReadConnections::MaxLeases; ++i)
        defs << numbersProvider(QStringLiteral("dspNumbers%1").arg(i), 50);
    ProviderModule module(QStringLiteral("TestRDM"), defs);
    for (const ProviderDef &def : std::as_const(defs))
        QCOMPARE(column(module.getRecords(request(def.name, 10)), "i").value(9), QString("10"));
    // Each opening, held on a read connection or read in full, goes on where it stopped.
    for (const ProviderDef &def : std::as_const(defs)) {
        const Packet p = module.getRecords(request(def.name, -1, {}, 0));
        QCOMPARE(p.rows.size(), 40);
        QCOMPARE(column(p, "i").value(0), QString("11"));
        QVERIFY(p.eof);
    }
}

void tst_LumoDatasetprovider::metadataOnly()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    Packet p = module.getRecords(request("dspDoc", 0));
    QVERIFY(p.rows.isEmpty());
    QCOMPARE(p.fields.size(), 8);
    QVERIFY(!p.eof);
    p = module.getRecords(request("dspDoc", -1, {}, 0));
    QCOMPARE(p.rows.size(), 3);
}

void tst_LumoDatasetprovider::nestedLines_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("detailSql");
    const QStringList backends = backendNames();
    for (const QString &backend : backends) {
        // The link written "column = :param" is fetched for the whole packet at once; any
        // other form line by line; both nest the same lines.
        QTest::addRow("%s one statement", qPrintable(backend)) << backend << QString(LineSql);
        QTest::addRow("%s per head", qPrintable(backend))
            << backend
            << QStringLiteral("select headno, bodyno, pdtcode, qty from xdocb "
                              "where :headno = headno order by bodyno");
    }
}

void tst_LumoDatasetprovider::nestedLines()
{
    QFETCH(QString, backend);
    QFETCH(QString, detailSql);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider(detailSql)});
    PacketRows rows;
    for (Packet p = module.getRecords(request("dspDoc", 2));;
         p = module.getRecords(request("dspDoc", 2, {}, 0))) {
        rows += p.rows;
        if (p.eof)
            break;
    }
    QCOMPARE(rows.size(), 3);
    auto lines = [&](int head) {
        QStringList out;
        for (const PacketRow &line : rows[head].detailRows(7))
            out << line.value(0).toString() + "/" + line.value(1).toString();
        return out;
    };
    QCOMPARE(lines(0), QStringList({"H1/0001", "H1/0002"}));
    QCOMPARE(lines(1), QStringList());
    QCOMPARE(lines(2), QStringList({"H3/0001"}));
    QCOMPARE(rows[0].detailRows(7)[0][3].toDouble(), 1.5);
}

void tst_LumoDatasetprovider::commandTextNeedsAdministrator()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    ProviderModule module(QStringLiteral("TestRDM"), {storeProvider()});
    GetRecordsRequest r = request("dspStore", -1);
    r.commandText = QStringLiteral("select code from xstore where code = :c");
    r.params = {{"c", "S2"}};
    try {
        module.getRecords(r);
        QFAIL("command text was accepted");
    } catch (const ServerError &e) {
        QVERIFY2(e.text().contains("AllowCommandText"), qPrintable(e.text()));
    }
    setCommandTextAllowed(true);
    const Packet p = module.getRecords(r);
    QCOMPARE(column(p, "code"), QStringList({"S2"}));

    // Even then a second statement never rides along, read whole or a packet at a time.
    for (int count : {-1, 5}) {
        GetRecordsRequest two = request("dspStore", count);
        two.commandText = QStringLiteral("select code from xstore; delete from xstore");
        try {
            module.getRecords(two);
            QFAIL("two statements were accepted");
        } catch (const ServerError &e) {
            QVERIFY2(e.text().contains("single statement"), qPrintable(e.text()));
        }
    }
    r.commandText = QStringLiteral("select code from xstore");
    r.params.clear();
    QVERIFY(!column(module.getRecords(r), "code").isEmpty());
}

void tst_LumoDatasetprovider::statementErrorReachesClient_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("count");
    for (const QString &backend : backendNames()) {
        QTest::addRow("%s every row", qPrintable(backend)) << backend << -1;
        QTest::addRow("%s a packet", qPrintable(backend)) << backend << 5;
    }
}

void tst_LumoDatasetprovider::statementErrorReachesClient()
{
    QFETCH(QString, backend);
    QFETCH(int, count);
    DataAccessFixture fx(backend);
    ProviderDef def;
    def.name = QStringLiteral("dspBroken");
    def.sql = QStringLiteral("select nosuchcolumn from xstore");
    ProviderModule module(QStringLiteral("TestRDM"), {def});
    try {
        module.getRecords(request("dspBroken", count));
        QFAIL("a broken statement gave a packet");
    } catch (const ServerError &e) {
        QVERIFY2(e.text().contains("nosuchcolumn"), qPrintable(e.text()));
    }
}

void tst_LumoDatasetprovider::providerParams()
{
    ProviderModule module(QStringLiteral("TestRDM"), {headProvider()});
    const Params params = module.getParams("dspdoc");
    QCOMPARE(params.size(), 2);
    QCOMPARE(params[0].name, QStringLiteral("StoreCode"));
    QCOMPARE(params[1].name, QStringLiteral("tmpStoreCode"));
}

QTEST_GUILESS_MAIN(tst_LumoDatasetprovider)
#include "tst_LumoDatasetprovider.moc"
