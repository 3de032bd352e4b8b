// Through the real server and relay, on both databases: the server killed outright while
// eight clients check receipts into one stock row leaves the balances equal to what the
// stored documents say once it is started again on the same database; each receipt is
// either there with its stock or not there at all.

#include "../server/ModuleTestKit.h"
#include "LumoSocketConnection.h"
#include "Posting.h"
#include "TestServer.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int kClients = 8;
constexpr int kReceipts = 100;

//! A logged-in client of the document module.
struct Client
{
    explicit Client(quint16 port)
    {
        base.setPort(port);
        base.setServerName(QStringLiteral("Korvane.BaseRDM"));
        base.Open();
        QString session, userInfo, sysSet, purView, para1;
        base.callWithOutputs(QStringLiteral("LogIn"), {"0001", "0001", "127.0.0.1", "e2e"},
                             {&session, &userInfo, &sysSet, &purView, &para1});
        bill.setPort(port);
        bill.setServerName(QStringLiteral("Korvane.BillRDM"));
        bill.setSession(session);
        bill.Open();
        shape = bill.getRecords(
            QStringLiteral("dspBuyInOut"), 0, grMetaData | grReset,
            requestParams({{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", "1"}},
                          {"StoreCode", "spCode", "DeptCode"}, {}));
        for (int i = 0; i < shape.fields.size(); ++i) {
            if (shape.fields[i].type == FieldType::Nested)
                nested = i;
        }
    }

    //! A checked receipt of one unit of P1/0001 into W1, saved as the receipt window does.
    ChangeSet receipt(const QString &headno) const
    {
        ChangeSet save = insertion(shape.fields, {{"headno", headno},
                                                  {"Flag", "1"},
                                                  {"InOutFlag", "1"},
                                                  {"hdate", "2026-03-14 10:00:00"},
                                                  {"Storecode", "W1"},
                                                  {"deptcode", "0001"},
                                                  {"mcode", "0001"},
                                                  {"State", "2"}});
        save.rows[0].details << qMakePair(
            nested, insertion(shape.fields.at(nested).fields, {{"headno", headno},
                                                               {"bodyno", "0001"},
                                                               {"pdtcode", "P1"},
                                                               {"pdtno", "0001"},
                                                               {"pqty", 1.0}}));
        return save;
    }

    TLumoSocketConnection base;
    TLumoSocketConnection bill;
    Packet shape;
    int nested = -1;
};

QString headnoOf(int client, int n)
{
    return QStringLiteral("2099%1%2")
        .arg(client, 2, 10, QLatin1Char('0'))
        .arg(n, 6, 10, QLatin1Char('0'));
}

QVariant scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

double onHand(const QSqlDatabase &db)
{
    return scalar(db, QStringLiteral("SELECT pqty FROM XStock WHERE storecode = 'W1' AND "
                                     "pdtcode = 'P1' AND pdtno = '0001'"))
        .toDouble();
}

int storedReceipts(const QSqlDatabase &db)
{
    return scalar(db, QStringLiteral("SELECT count(*) FROM xStockChh WHERE headno LIKE '2099%'"))
        .toInt();
}

} // namespace

class tst_PostingCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedDuringCheckingLeavesSoundBalances_data() { addBackendRows(); }
    void killedDuringCheckingLeavesSoundBalances()
    {
        QFETCH(QString, backend);
        TestServer server(backend);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QSqlDatabase db = server.db().db();
        QVERIFY(loadDocuments(db));
        // The fixture's stock row is typed in; the documents decide from here on.
        const QList<BalanceDifference> mended = recomputeBalances(db, true);
        Q_UNUSED(mended);
        const double before = onHand(db);

        QAtomicInt acknowledged = 0;
        std::vector<QString> failures(kClients);
        std::vector<std::unique_ptr<QThread>> threads;
        for (int c = 0; c < kClients; ++c) {
            threads.emplace_back(QThread::create([&, c] {
                try {
                    Client client(server.port());
                    for (int n = 1; n <= kReceipts; ++n) {
                        const ApplyResult result = client.bill.applyUpdates(
                            QStringLiteral("dspBuyInOut"), client.receipt(headnoOf(c, n)), 0);
                        if (result.errorCount) {
                            failures[c] = result.errors.first().message;
                            return;
                        }
                        acknowledged.fetchAndAddRelaxed(1);
                    }
                } catch (const TLumoRemoteError &) {
                    // The server went away under the client: expected once it is killed.
                }
            }));
            threads.back()->start();
        }
        // Kill it in full flight: once a good share of the receipts went through.
        QDeadlineTimer deadline(60000);
        while (acknowledged.loadRelaxed() < kClients * kReceipts / 4 && !deadline.hasExpired())
            QThread::msleep(5);
        QVERIFY2(!deadline.hasExpired(), qPrintable(server.output()));
        server.killServer();
        for (auto &t : threads)
            QVERIFY(t->wait(60000));
        for (const QString &failure : failures)
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const int answered = acknowledged.loadRelaxed();
        QVERIFY2(answered < kClients * kReceipts, "the server was killed after the run");

        QVERIFY2(server.restartServer(), qPrintable(server.error()));
        const QList<BalanceDifference> differences = recomputeBalances(db, false);
        QVERIFY2(differences.isEmpty(), qPrintable(differencesOf(differences)));
        // Every receipt a client was told of is stored; at most one per client more (its
        // commit went through, its answer did not).
        const int stored = storedReceipts(db);
        QVERIFY2(stored >= answered && stored <= answered + kClients,
                 qPrintable(QStringLiteral("%1 stored, %2 answered").arg(stored).arg(answered)));
        QCOMPARE(onHand(db), before + stored);

        // The restarted server goes on posting.
        Client client(server.port());
        const ApplyResult result = client.bill.applyUpdates(QStringLiteral("dspBuyInOut"),
                                                            client.receipt(headnoOf(99, 1)), 0);
        QCOMPARE(result.errorCount, 0);
        QCOMPARE(onHand(db), before + stored + 1);
        QVERIFY(recomputeBalances(db, false).isEmpty());
    }
};

QTEST_MAIN(tst_PostingCrash)
#include "tst_PostingCrash.moc"
