#include "DemoData.h"
#include "ModuleTestKit.h"
#include "Posting.h"
#include "UBillRDM.h"

#include <QAtomicInt>
#include <QThread>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int kClerks = 8;
constexpr int kReceipts = 100;

//! One client: its own module instance on its own thread, saving checked one-unit receipts
//! into the same stock row, one apply each.
class Clerk : public QThread
{
public:
    explicit Clerk(int number) : m_number(number) {}
    QAtomicInt saved = 0;
    QString error;

protected:
    void run() override
    {
        TBillRDM bill;
        const Packet shape = records(
            bill, QStringLiteral("dspBuyInOut"),
            requestParams({{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", "1"}},
                          {"StoreCode", "spCode", "DeptCode"}, {}),
            0);
        int nested = -1;
        for (int i = 0; i < shape.fields.size(); ++i) {
            if (shape.fields[i].type == FieldType::Nested)
                nested = i;
        }
        for (int n = 1; n <= kReceipts; ++n) {
            const QString headno = QStringLiteral("2099%1%2")
                                       .arg(m_number, 2, 10, QLatin1Char('0'))
                                       .arg(n, 6, 10, QLatin1Char('0'));
            ChangeSet save = insertion(shape.fields, {{"headno", headno},
                                                      {"Flag", "1"},
                                                      {"InOutFlag", "1"},
                                                      {"hdate", "2026-03-14 10:00:00"},
                                                      {"Storecode", "S01"},
                                                      {"deptcode", "0004"},
                                                      {"mcode", "0004"},
                                                      {"State", "2"}});
            const ChangeSet line = insertion(shape.fields.at(nested).fields, {{"headno", headno},
                                                                              {"bodyno", "0001"},
                                                                              {"pdtcode", "E1001"},
                                                                              {"pdtno", "0001"},
                                                                              {"pqty", 1.0}});
            save.rows[0].details << qMakePair(nested, line);
            try {
                const ApplyResult result = bill.applyUpdates("dspBuyInOut", save, 0);
                if (result.errorCount) {
                    error = QStringLiteral("refused: ") + errorsOf(result);
                    return;
                }
            } catch (const ServerError &e) {
                error = e.text();
                return;
            }
            saved.fetchAndAddRelaxed(1);
        }
    }

private:
    int m_number;
};

double onHand(AccountSet &db)
{
    return db
        .scalar("SELECT pqty FROM XStock WHERE storecode = 'S01' AND pdtcode = 'E1001' AND "
                "pdtno = '0001'")
        .toDouble();
}

} // namespace

class tst_PostingConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void eightClientsCheckingAtOnceLoseNothing_data()
    {
        QTest::addColumn<QString>("backend");
        for (const QString &b : backends())
            QTest::newRow(qPrintable(b)) << b;
    }
    void eightClientsCheckingAtOnceLoseNothing()
    {
        QFETCH(QString, backend);
        AccountSet db(backend);
        QVERIFY(db.ok);
        QString error;
        QVERIFY2(fillDemoData(db.scratch.db(), QDate(2026, 3, 14), &error), qPrintable(error));
        // The modules connect as the server does: writers on the embedded database wait.
        DbConnectionInfo info = runTimeConnection();
        if (info.driver == QLatin1String("QSQLITE"))
            info.options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
        setRunTimeConnection(info);
        const double before = onHand(db);

        std::vector<std::unique_ptr<Clerk>> clerks;
        for (int i = 0; i < kClerks; ++i)
            clerks.push_back(std::make_unique<Clerk>(i));
        for (auto &clerk : clerks)
            clerk->start();
        for (auto &clerk : clerks)
            clerk->wait();
        for (auto &clerk : clerks) {
            QVERIFY2(clerk->error.isEmpty(), qPrintable(clerk->error));
            QCOMPARE(clerk->saved.loadRelaxed(), kReceipts);
        }
        QCOMPARE(onHand(db), before + kClerks * kReceipts);
        const QList<BalanceDifference> differences = recomputeBalances(db.scratch.db(), false);
        QVERIFY(differences.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_PostingConcurrency)
#include "tst_PostingConcurrency.moc"
