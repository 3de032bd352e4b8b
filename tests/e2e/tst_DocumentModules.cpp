// Through the real server and relay, on both databases: eight clients drawing document
// numbers at once get each number once, and every report arrives with the rows and columns
// the report module builds in-process.

#include "../server/DocumentFixture.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"
#include "URPTRDM.h"

#include <QSet>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A logged-in client: its base module and one more module opened with its session.
struct Client
{
    Client(quint16 port, const QString &module)
    {
        base.setPort(port);
        base.setServerName(QStringLiteral("Korvane.BaseRDM"));
        base.Open();
        QString userInfo, sysSet, purView, para1;
        base.callWithOutputs(QStringLiteral("LogIn"), {"0001", "0001", "127.0.0.1", "e2e"},
                             {&session, &userInfo, &sysSet, &purView, &para1});
        other.setPort(port);
        other.setServerName(module);
        other.setSession(session);
        other.Open();
    }
    TLumoSocketConnection base;
    TLumoSocketConnection other;
    QString session;
};

//! The begin date a report's condition window sends: a day, a month or a range's start.
QString beginDate(const QString &flag)
{
    if (flag == QLatin1String("RPTSALEDAY"))
        return QStringLiteral("2026-03-02");
    if (flag == QLatin1String("RPTSALEMon"))
        return QStringLiteral("2026-03");
    return QStringLiteral("2026-03-01");
}

//! The rows as text, sorted: unordered reports compare by content.
QStringList rowTexts(const Packet &packet)
{
    QStringList rows;
    for (const RowValues &row : packet.rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << v.toString();
        rows << cells.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

} // namespace

class tst_DocumentModules : public QObject
{
    Q_OBJECT

private slots:
    void concurrentClientsDrawEachNumberOnce_data() { addBackendRows(); }
    void concurrentClientsDrawEachNumberOnce()
    {
        QFETCH(QString, backend);
        TestServer server(backend);
        QVERIFY2(server.start(), qPrintable(server.error()));

        constexpr int Clients = 8;
        constexpr int PerClient = 200;
        std::vector<QStringList> drawn(Clients);
        std::vector<QString> failures(Clients);
        std::vector<std::unique_ptr<QThread>> threads;
        for (int c = 0; c < Clients; ++c) {
            threads.emplace_back(QThread::create([&, c] {
                try {
                    Client client(server.port(), QStringLiteral("Korvane.BillRDM"));
                    for (int i = 0; i < PerClient; ++i)
                        drawn[c]
                            << client.other.call(QStringLiteral("GetHeadNO"), {"XBuyh"}).toString();
                } catch (const TLumoRemoteError &e) {
                    failures[c] = e.text();
                }
            }));
            threads.back()->start();
        }
        for (auto &t : threads)
            QVERIFY(t->wait(120000));

        QSet<QString> unique;
        for (int c = 0; c < Clients; ++c) {
            QVERIFY2(failures[c].isEmpty(), qPrintable(failures[c]));
            QCOMPARE(drawn[c].size(), PerClient);
            unique.unite(QSet<QString>(drawn[c].begin(), drawn[c].end()));
        }
        QCOMPARE(unique.size(), Clients * PerClient);
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
        QVERIFY(unique.contains(today + QStringLiteral("0001")));
        QVERIFY(unique.contains(today + QString::number(Clients * PerClient)));
    }

    void reportsArriveAsBuilt_data() { addBackendRows(); }
    void reportsArriveAsBuilt()
    {
        QFETCH(QString, backend);
        TestServer server(backend);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(loadDocuments(server.db().db()));
        useAsRunTimeConnection(server.db());
        TRPTRDM inProcess;
        Client client(server.port(), QStringLiteral("Korvane.RPTRDM"));

        for (const TRPTRDM::Report &r : TRPTRDM::reports()) {
            const Params params = requestParams(
                {{"SQLFLAG", r.flag},
                 {"BeginDate", beginDate(r.flag)},
                 {"EndDate", "2026-03-31"},
                 {"State", "1"},
                 {"CorpCode", "0001"},
                 {"SelCount", "10"},
                 {"Measure", "TotalAmount"}},
                {"pdtCode", "spCode", "DeptCode", "pdtno", "ClassCode", "LocalCode", "StoreCode"},
                {});
            const Packet remote = client.other.getRecords(QStringLiteral("dspXMaster"), -1,
                                                          grMetaData | grReset, params);
            GetRecordsRequest request;
            request.provider = QStringLiteral("dspXMaster");
            request.options = grMetaData | grReset;
            request.params = params;
            const Packet local = inProcess.getRecords(request);
            QVERIFY2(!remote.rows.isEmpty(), qPrintable(r.flag));
            QCOMPARE(remote.fields.size(), local.fields.size());
            for (int f = 0; f < local.fields.size(); ++f)
                QCOMPARE(remote.fields[f].name, local.fields[f].name);
            QCOMPARE(rowTexts(remote), rowTexts(local));
        }

        // An unknown report is refused with the data layer's message.
        try {
            client.other.getRecords(QStringLiteral("dspXMaster"), -1, grMetaData | grReset,
                                    {Param{"SQLFLAG", "NOSUCH"}});
            QFAIL("an unknown report opened");
        } catch (const TLumoRemoteError &e) {
            QCOMPARE(e.text(), QStringLiteral("Operation aborted"));
        }
    }
};

QTEST_MAIN(tst_DocumentModules)
#include "tst_DocumentModules.moc"
