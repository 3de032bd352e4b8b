// What posting costs: a 100-line purchase receipt read from a checked purchase order, saved
// unchecked, against the same receipt saved checked (posted as it is saved) and against
// checking the saved one (the check command: the head's State, posted). Each line names its
// own order line; the lines cycle over the demonstration firm's product lines. Through the
// document module in this process; best of several rounds each, in wall time and in this
// process's processor time.
// Usage: bench_posting [sqlite|postgresql] [rounds]

#include "../tests/server/ModuleTestKit.h"
#include "DemoData.h"
#include "UBillRDM.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int kLines = 100;
constexpr int kRounds = 7; // unless given
const QString kOrder = QStringLiteral("209901010001");

struct ProductLine
{
    QString pdtcode, pdtno;
};

QList<ProductLine> productLines(const QSqlDatabase &db)
{
    QList<ProductLine> lines;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT pdtcode, bodyno FROM xprdtb ORDER BY pdtcode, bodyno"));
    while (q.next())
        lines << ProductLine{q.value(0).toString(), q.value(1).toString()};
    return lines;
}

QString bodyno(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

//! A checked purchase order of 100 lines at S01 for the receipts to read from.
void writeOrder(const QSqlDatabase &db, const QList<ProductLine> &products)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("INSERT INTO XBuyh (headno, hdate, storecode, spcode, currency, "
                          "exchgrate, State) SELECT '%1', '2026-03-01 09:00:00', 'S01', "
                          "min(code), '01', 1, '2' FROM xFatBn")
               .arg(kOrder));
    q.prepare(QStringLiteral("INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, price, pqty, "
                             "getpqty) VALUES (?, ?, ?, ?, 10, 1000000, 0)"));
    for (int n = 1; n <= kLines; ++n) {
        const ProductLine &p = products.at((n - 1) % products.size());
        for (const QVariant &v : QVariantList{kOrder, bodyno(n), p.pdtcode, p.pdtno})
            q.addBindValue(v);
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    }
}

class Bench
{
public:
    Bench(TBillRDM &bill, const QList<ProductLine> &products) : m_bill(bill), m_products(products)
    {
        m_shape = records(
            bill, QStringLiteral("dspBuyInOut"),
            requestParams({{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", "1"}},
                          {"StoreCode", "spCode", "DeptCode"}, {}),
            0);
        for (int i = 0; i < m_shape.fields.size(); ++i) {
            if (m_shape.fields[i].type == FieldType::Nested)
                m_nested = i;
        }
    }

    ChangeSet receipt(const QString &headno, const QString &state) const
    {
        ChangeSet save = insertion(m_shape.fields, head(headno, state));
        ChangeSet lines;
        lines.fields = m_shape.fields.at(m_nested).fields;
        for (int n = 1; n <= kLines; ++n) {
            const ProductLine &p = m_products.at((n - 1) % m_products.size());
            lines.rows << insertion(lines.fields, {{"headno", headno},
                                                   {"bodyno", bodyno(n)},
                                                   {"LinkHeadno", kOrder},
                                                   {"LinkBodyno", bodyno(n)},
                                                   {"pdtcode", p.pdtcode},
                                                   {"pdtno", p.pdtno},
                                                   {"pqty", 1.0 + n % 5}})
                              .rows;
        }
        save.rows[0].details << qMakePair(m_nested, lines);
        return save;
    }

    //! The check command's change: State and the assessor on the saved head.
    ChangeSet check(const QString &headno) const
    {
        ChangeSet set;
        set.fields = m_shape.fields;
        ChangeRow row;
        row.op = ChangeOp::Modify;
        row.oldValues = rowOf(set.fields, head(headno, QStringLiteral("1")));
        row.newValues = row.oldValues;
        row.changed = QBitArray(set.fields.size());
        const QVariantMap checked{
            {"State", "2"}, {"Assessorcode", "0002"}, {"AssessorDate", "2026-03-10 10:00:00"}};
        for (auto it = checked.begin(); it != checked.end(); ++it) {
            const int i = indexOfField(set.fields, it.key());
            row.newValues[i] = it.value();
            row.changed.setBit(i);
        }
        set.rows << row;
        return set;
    }

    //! Wall time and this process's processor time of one apply, in ms.
    struct Timing
    {
        double wall = 0;
        double cpu = 0;
    };
    Timing timed(const ChangeSet &delta)
    {
        const double cpuBefore = processTime();
        QElapsedTimer timer;
        timer.start();
        const ApplyResult result = m_bill.applyUpdates(QStringLiteral("dspBuyInOut"), delta, 0);
        const Timing timing{timer.nsecsElapsed() / 1e6, processTime() - cpuBefore};
        if (result.errorCount)
            qFatal("refused: %s", qPrintable(errorsOf(result)));
        return timing;
    }

private:
    static QVariantMap head(const QString &headno, const QString &state)
    {
        return {{"headno", headno},   {"Flag", "1"},
                {"InOutFlag", "1"},   {"hdate", "2026-03-10 10:00:00"},
                {"Storecode", "S01"}, {"deptcode", "0002"},
                {"mcode", "0002"},    {"inputer", "0002"},
                {"State", state}};
    }

    static double processTime()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    }

    TBillRDM &m_bill;
    QList<ProductLine> m_products;
    Packet m_shape;
    int m_nested = -1;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    if (backend == QLatin1String("postgresql") && pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");
    AccountSet db(backend);
    QString error;
    if (!db.ok || !fillDemoData(db.scratch.db(), QDate(2026, 3, 14), &error))
        qFatal("cannot make the account set: %s", qPrintable(error));
    const QList<ProductLine> products = productLines(db.scratch.db());
    writeOrder(db.scratch.db(), products);

    const int rounds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : kRounds;
    TBillRDM bill;
    Bench bench(bill, products);
    std::vector<Bench::Timing> unchecked, savedChecked, checking;
    for (int round = 0; round < rounds; ++round) {
        const QString plain = QStringLiteral("20990201%1").arg(round * 2 + 1, 4, 10, QChar('0'));
        const QString posted = QStringLiteral("20990201%1").arg(round * 2 + 2, 4, 10, QChar('0'));
        unchecked.push_back(bench.timed(bench.receipt(plain, QStringLiteral("1"))));
        savedChecked.push_back(bench.timed(bench.receipt(posted, QStringLiteral("2"))));
        checking.push_back(bench.timed(bench.check(plain)));
    }
    std::printf("%s, %d-line receipt from %lld product lines, best of %d\n", qPrintable(backend),
                kLines, qint64(products.size()), rounds);
    // Wall time, and the processor time of this process: on SQLite all the work is done
    // here, and that figure stays when other programs share the processors.
    for (const auto &[name, measure] :
         {std::pair{"wall", &Bench::Timing::wall}, std::pair{"cpu ", &Bench::Timing::cpu}}) {
        const auto best = [&](const std::vector<Bench::Timing> &v) {
            double least = v.front().*measure;
            for (const Bench::Timing &t : v)
                least = std::min(least, t.*measure);
            return least;
        };
        const double base = best(unchecked);
        std::printf("%s saved unchecked:        %7.2f ms\n", name, base);
        std::printf("%s saved checked (posted): %7.2f ms, ratio %.2f\n", name, best(savedChecked),
                    best(savedChecked) / base);
        std::printf("%s checking the saved one: %7.2f ms, ratio %.2f\n", name, best(checking),
                    best(checking) / base);
    }
    const QList<BalanceDifference> differences = recomputeBalances(db.scratch.db(), false);
    if (!differences.isEmpty())
        qFatal("balances differ: %s", qPrintable(differencesOf(differences)));
    return 0;
}
