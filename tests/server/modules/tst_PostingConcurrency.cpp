#include "DemoData.h"
#include "ModuleTestKit.h"
#include "Posting.h"
#include "UBillRDM.h"

#include <QAtomicInt>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int kClerks = 8;
const QString kOrder = QStringLiteral("209901010001");

//! A line of the receipts: its product line and the purchase order line it names (none when
//! empty).
struct Line
{
    QString pdtcode, pdtno, orderLine;
};

//! One client: its own module instance on its own thread, saving checked receipts of the
//! same lines, one apply each; odd clerks list the lines the other way round.
class Clerk : public QThread
{
public:
    Clerk(int number, QList<Line> lines, int receipts)
        : m_number(number), m_lines(std::move(lines)), m_receipts(receipts)
    {
        if (m_number % 2)
            std::reverse(m_lines.begin(), m_lines.end());
    }
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
        for (int n = 1; n <= m_receipts; ++n) {
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
            ChangeSet lines;
            lines.fields = shape.fields.at(nested).fields;
            for (int i = 0; i < m_lines.size(); ++i) {
                const Line &line = m_lines.at(i);
                QVariantMap values{{"headno", headno},
                                   {"bodyno", QStringLiteral("%1").arg(i + 1, 4, 10, QChar('0'))},
                                   {"pdtcode", line.pdtcode},
                                   {"pdtno", line.pdtno},
                                   {"pqty", 1.0}};
                if (!line.orderLine.isEmpty()) {
                    values.insert("LinkHeadno", kOrder);
                    values.insert("LinkBodyno", line.orderLine);
                }
                lines.rows << insertion(lines.fields, values).rows;
            }
            save.rows[0].details << qMakePair(nested, lines);
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
    QList<Line> m_lines;
    int m_receipts;
};

double onHand(AccountSet &db, const Line &line)
{
    return db
        .scalar(QStringLiteral("SELECT pqty FROM XStock WHERE storecode = 'S01' AND pdtcode = "
                               "'%1' AND pdtno = '%2'")
                    .arg(line.pdtcode, line.pdtno))
        .toDouble();
}

//! The first product lines of the firm, each named by a line of a checked purchase order at
//! S01.
QList<Line> orderedLines(AccountSet &db, int count)
{
    QList<Line> lines;
    QSqlQuery q(db.scratch.db());
    q.exec(QStringLiteral("SELECT pdtcode, bodyno FROM xprdtb ORDER BY pdtcode, bodyno"));
    while (q.next() && lines.size() < count)
        lines << Line{q.value(0).toString(), q.value(1).toString(),
                      QStringLiteral("%1").arg(lines.size() + 1, 4, 10, QChar('0'))};
    db.exec(QStringLiteral("INSERT INTO XBuyh (headno, hdate, storecode, spcode, currency, "
                           "exchgrate, State) SELECT '%1', '2026-03-01 09:00:00', 'S01', "
                           "min(code), '01', 1, '2' FROM xFatBn")
                .arg(kOrder));
    for (const Line &line : std::as_const(lines))
        db.exec(QStringLiteral("INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, price, pqty, "
                               "getpqty) VALUES ('%1', '%2', '%3', '%4', 10, 1000000, 0)")
                    .arg(kOrder, line.orderLine, line.pdtcode, line.pdtno));
    return lines;
}

} // namespace

class tst_PostingConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void eightClientsCheckingAtOnceLoseNothing_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("stockRows"); // 1: one stock row and no order line
        QTest::addColumn<int>("receipts");  // per clerk
        for (const QString &b : backends()) {
            QTest::newRow(qPrintable(b + QLatin1String(": one stock row"))) << b << 1 << 100;
            // Each receipt takes several rows, half the clerks in the other order: the rows
            // are taken in key order, so no two applies wait for each other in a circle.
            QTest::newRow(qPrintable(b + QLatin1String(": order lines of four stock rows")))
                << b << 4 << 30;
        }
    }
    void eightClientsCheckingAtOnceLoseNothing()
    {
        QFETCH(QString, backend);
        QFETCH(int, stockRows);
        QFETCH(int, receipts);
        AccountSet db(backend);
        QVERIFY(db.ok);
        QString error;
        QVERIFY2(fillDemoData(db.scratch.db(), QDate(2026, 3, 14), &error), qPrintable(error));
        QList<Line> lines{Line{"E1001", "0001", {}}};
        if (stockRows > 1)
            lines = orderedLines(db, stockRows);
        QCOMPARE(lines.size(), stockRows);
        // The modules connect as the server does: writers on the embedded database wait.
        DbConnectionInfo info = runTimeConnection();
        if (info.driver == QLatin1String("QSQLITE"))
            info.options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
        setRunTimeConnection(info);
        std::vector<double> before;
        for (const Line &line : std::as_const(lines))
            before.push_back(onHand(db, line));

        std::vector<std::unique_ptr<Clerk>> clerks;
        for (int i = 0; i < kClerks; ++i)
            clerks.push_back(std::make_unique<Clerk>(i, lines, receipts));
        for (auto &clerk : clerks)
            clerk->start();
        for (auto &clerk : clerks)
            clerk->wait();
        for (auto &clerk : clerks) {
            QVERIFY2(clerk->error.isEmpty(), qPrintable(clerk->error));
            QCOMPARE(clerk->saved.loadRelaxed(), receipts);
        }
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(onHand(db, lines.at(i)), before[i] + kClerks * receipts);
        const QList<BalanceDifference> differences = recomputeBalances(db.scratch.db(), false);
        QVERIFY2(differences.isEmpty(), qPrintable(differencesOf(differences)));
    }
};

QTEST_GUILESS_MAIN(tst_PostingConcurrency)
#include "tst_PostingConcurrency.moc"
