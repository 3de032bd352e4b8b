#include "Korvane_TLB.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"

#include <QSqlQuery>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

//! The five connections of one client, logged in as the shipped administrator.
struct Client
{
    std::map<QString, std::unique_ptr<TLumoSocketConnection>> modules;
    QString session;

    TLumoSocketConnection &operator[](const QString &name) { return *modules.at(name); }
};

std::unique_ptr<TLumoSocketConnection> connection(const TestServer &server, const QString &classId)
{
    auto c = std::make_unique<TLumoSocketConnection>();
    c->setPort(server.port());
    c->setServerGUID(classId);
    return c;
}

void logIn(TestServer &server, Client *client)
{
    for (const tlb::ClassDef &def : tlb::classes())
        client->modules[def.name] = connection(server, def.classId);
    QString info, sysSet, purView, para;
    (*client)[QStringLiteral("BaseRDM")].callWithOutputs(
        QStringLiteral("LogIn"),
        {QStringLiteral("0001"), QStringLiteral("0001"), QStringLiteral("127.0.0.1"),
         QStringLiteral("e2e")},
        {&client->session, &info, &sysSet, &purView, &para});
    for (auto &[name, c] : client->modules)
        c->setSession(client->session);
}

int count(TestServer &server, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(server.db().db());
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toInt();
}

int nestedIndex(const Packet &p)
{
    for (int i = 0; i < p.fields.size(); ++i) {
        if (p.fields[i].type == FieldType::Nested)
            return i;
    }
    return -1;
}

//! A row of the given fields with the named cells set and the rest null.
RowValues row(const Fields &fields, const QVariantMap &cells)
{
    RowValues values(fields.size());
    for (auto it = cells.begin(); it != cells.end(); ++it)
        values[indexOfField(fields, it.key())] = it.value();
    return values;
}

ChangeRow inserted(const RowValues &values)
{
    ChangeRow r;
    r.op = ChangeOp::Insert;
    r.newValues = values;
    return r;
}

ChangeRow deleted(const RowValues &values)
{
    ChangeRow r;
    r.op = ChangeOp::Delete;
    r.oldValues = values;
    return r;
}

ChangeRow modified(const RowValues &oldValues, const RowValues &newValues)
{
    ChangeRow r;
    r.op = ChangeOp::Modify;
    r.oldValues = oldValues;
    r.newValues = newValues;
    r.changed = QBitArray(oldValues.size());
    for (int i = 0; i < oldValues.size(); ++i)
        r.changed.setBit(i, oldValues[i] != newValues[i]);
    return r;
}

} // namespace

class tst_Transport : public QObject
{
    Q_OBJECT
private slots:
    void fiveClassesThroughTheRelay_data() { addBackendRows(); }
    void fiveClassesThroughTheRelay();
    void nestedDetailsRoundTrip_data() { addBackendRows(); }
    void nestedDetailsRoundTrip();
    void vanishedServerGivesAClearError_data() { addBackendRows(); }
    void vanishedServerGivesAClearError();
};

void tst_Transport::fiveClassesThroughTheRelay()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    Client client;
    try {
        logIn(server, &client);
        QVERIFY(!client.session.isEmpty());
        const QMap<QString, QString> someProvider = {
            {QStringLiteral("BaseRDM"), QStringLiteral("dspSpec")},
            {QStringLiteral("BillRDM"), QStringLiteral("dspBuyInOut")},
            {QStringLiteral("CodeNameRDM"), QStringLiteral("dspStoreCN")},
            {QStringLiteral("LookupRDM"), QStringLiteral("dspXCi")},
            {QStringLiteral("RPTRDM"), QStringLiteral("dspXMaster")}};
        for (auto it = someProvider.begin(); it != someProvider.end(); ++it)
            QVERIFY2(client[it.key()].getProviderNames().contains(it.value(), Qt::CaseInsensitive),
                     qPrintable(it.key()));
        // Methods by the client's own spelling.
        QCOMPARE(client[QStringLiteral("BaseRDM")].call(
                     QStringLiteral("KeyExist"),
                     {QStringLiteral("XCI"), QStringLiteral("Code"), QStringLiteral("不存在")}),
                 QVariant(false));
        QCOMPARE(client[QStringLiteral("BaseRDM")].call(QStringLiteral("DBACTIVE"), {}),
                 QVariant(true));
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text() + QLatin1Char('\n') + server.output()));
    }
    try {
        client[QStringLiteral("BaseRDM")].getRecords(QStringLiteral("dspBuyInOut"), -1, 0, {});
        QFAIL("a provider of another module was served");
    } catch (const TLumoRemoteError &e) {
        QCOMPARE(e.text(), QStringLiteral("Provider not exported: dspBuyInOut"));
    }
}

void tst_Transport::nestedDetailsRoundTrip()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    Client client;
    try {
        logIn(server, &client);
        TLumoSocketConnection &base = client[QStringLiteral("BaseRDM")];
        const QString dsp = QStringLiteral("dspSpec");
        const Packet packet = base.getRecords(dsp, -1, grMetaData | grReset, {});
        const int lines = nestedIndex(packet);
        QVERIFY(lines >= 0);
        const Fields lineFields = packet.fields[lines].fields;
        auto head = [&](const QString &code, const QString &name) {
            return row(packet.fields,
                       {{QStringLiteral("hcode"), code}, {QStringLiteral("name"), name}});
        };
        auto line = [&](const QString &code, const QString &b, const QString &name) {
            return row(lineFields, {{QStringLiteral("hcode"), code},
                                    {QStringLiteral("bcode"), b},
                                    {QStringLiteral("name"), name}});
        };
        ChangeSet details;
        details.fields = lineFields;

        // A new head with two lines, and a second head without lines.
        ChangeSet delta;
        delta.fields = packet.fields;
        ChangeRow first = inserted(head(QStringLiteral("T1"), QStringLiteral("颜色")));
        details.rows = {
            inserted(line(QStringLiteral("T1"), QStringLiteral("R"), QStringLiteral("红"))),
            inserted(line(QStringLiteral("T1"), QStringLiteral("G"), QStringLiteral("绿")))};
        first.details = {{lines, details}};
        delta.rows = {first, inserted(head(QStringLiteral("T2"), QStringLiteral("尺寸")))};
        ApplyResult result = base.applyUpdates(dsp, delta, 0);
        QCOMPARE(result.errorCount, 0);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = ?"),
                       {QStringLiteral("T1")}),
                 2);

        // Renamed head, changed key of the other, one line changed and one removed.
        delta.rows = {modified(head(QStringLiteral("T1"), QStringLiteral("颜色")),
                               head(QStringLiteral("T1"), QStringLiteral("色彩"))),
                      modified(head(QStringLiteral("T2"), QStringLiteral("尺寸")),
                               head(QStringLiteral("T3"), QStringLiteral("尺寸")))};
        details.rows = {
            modified(line(QStringLiteral("T1"), QStringLiteral("R"), QStringLiteral("红")),
                     line(QStringLiteral("T1"), QStringLiteral("R"), QStringLiteral("大红"))),
            deleted(line(QStringLiteral("T1"), QStringLiteral("G"), QStringLiteral("绿")))};
        delta.rows[0].details = {{lines, details}};
        result = base.applyUpdates(dsp, delta, 0);
        QCOMPARE(result.errorCount, 0);
        QCOMPARE(count(server,
                       QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = ? AND name = ?"),
                       {QStringLiteral("T1"), QStringLiteral("色彩")}),
                 1);
        QCOMPARE(count(server,
                       QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode IN ('T2', 'T3')"),
                       {}),
                 1);
        QCOMPARE(
            count(server, QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = 'T3'"), {}), 1);
        QCOMPARE(
            count(server,
                  QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = 'T1' AND name = ?"),
                  {QStringLiteral("大红")}),
            1);
        QCOMPARE(
            count(server, QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = 'T1'"), {}), 1);

        // A duplicate key is refused with the database's message, and nothing else of the
        // change set stays.
        delta.rows = {inserted(head(QStringLiteral("T4"), QStringLiteral("新"))),
                      inserted(head(QStringLiteral("T1"), QStringLiteral("重复")))};
        result = base.applyUpdates(dsp, delta, 0);
        QCOMPARE(result.errorCount, 1);
        QCOMPARE(result.errors.size(), 1);
        QCOMPARE(result.errors[0].row, 1);
        QVERIFY(!result.errors[0].message.isEmpty());
        QCOMPARE(
            count(server, QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = 'T4'"), {}), 0);

        // The head goes with its remaining line; the fetch sees what is left.
        delta.rows = {deleted(head(QStringLiteral("T1"), QStringLiteral("色彩")))};
        details.rows = {
            deleted(line(QStringLiteral("T1"), QStringLiteral("R"), QStringLiteral("大红")))};
        delta.rows[0].details = {{lines, details}};
        QCOMPARE(base.applyUpdates(dsp, delta, 0).errorCount, 0);
        QCOMPARE(
            count(server, QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = 'T1'"), {}), 0);
        const Packet after = base.getRecords(dsp, -1, grMetaData | grReset, {});
        const int code = after.indexOf(QStringLiteral("hcode"));
        bool sawT3 = false;
        for (const RowValues &r : after.rows) {
            QVERIFY(r[code].toString() != QLatin1String("T1"));
            sawT3 = sawT3 || r[code].toString() == QLatin1String("T3");
        }
        QVERIFY(sawT3);
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text() + QLatin1Char('\n') + server.output()));
    }
}

void tst_Transport::vanishedServerGivesAClearError()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    auto codeName = connection(server, QStringLiteral("Korvane.CodeNameRDM"));
    codeName->setServerGUID(QString());
    codeName->setServerName(QStringLiteral("Korvane.CodeNameRDM"));
    try {
        codeName->Open();
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QVERIFY(codeName->Connected());
    server.stopServer();
    QString first;
    try {
        codeName->getProviderNames();
    } catch (const TLumoRemoteError &e) {
        first = e.text();
    }
    QVERIFY2(first.contains(QStringLiteral("lost")), qPrintable(first));
    QVERIFY(!codeName->Connected());
    // The relay is still there, the server is not: the next call says so.
    QString second;
    try {
        codeName->getProviderNames();
    } catch (const TLumoRemoteError &e) {
        second = e.text();
    }
    QVERIFY2(second.startsWith(QStringLiteral("The Korvane server is not running")),
             qPrintable(second));
}

QTEST_MAIN(tst_Transport)
#include "tst_Transport.moc"
