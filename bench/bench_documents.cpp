// Documents at scale: a year of 100,000 documents with 5 lines each (purchase and sales
// orders, receipts and deliveries), then
//  - the first 20-row packet of a document list through the provider against the same
//    statements run directly on the connection;
//  - each summary report over the year through the report module against its statement
//    run directly;
//  - 8 clients drawing 1,000 document numbers each at once, against the same clients each
//    running 1,000 one-row queries.
// Usage: bench_documents [sqlite|postgresql] [documents]

#include "../tests/server/DocumentFixture.h"
#include "AutoGainNO.h"
#include "SqlStatement.h"
#include "UBillRDM.h"
#include "URPTRDM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int LinesPerDocument = 5;
constexpr int Clients = 8;
constexpr int NumbersPerClient = 1000;
const QString YearBegin = QStringLiteral("2025-01-01");
const QString YearEnd = QStringLiteral("2025-12-31");

//! Inserts rows in multi-row statements, every value bound.
class BatchInsert
{
public:
    BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns)
        : m_db(db), m_table(table), m_columns(columns)
    {}
    ~BatchInsert() { flush(); }

    void add(const QVariantList &row)
    {
        m_rows << row;
        if (m_rows.size() == RowsPerStatement)
            flush();
    }

    void flush()
    {
        if (m_rows.isEmpty())
            return;
        const QString one = QStringLiteral("(") +
                            QStringList(m_columns.size(), QStringLiteral("?")).join(',') + ')';
        QSqlQuery q(m_db);
        q.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                .arg(m_table, m_columns.join(','), QStringList(m_rows.size(), one).join(',')));
        int i = 0;
        for (const QVariantList &row : std::as_const(m_rows)) {
            for (const QVariant &v : row)
                q.bindValue(i++, v);
        }
        if (!q.exec())
            qFatal("%s: %s", qPrintable(m_table), qPrintable(q.lastError().text()));
        m_rows.clear();
    }

private:
    static constexpr int RowsPerStatement = 200;
    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    QList<QVariantList> m_rows;
};

//! One kind of generated document.
struct Kind
{
    QString head;
    QString body;
    QString flag; // stock documents: the kind; empty for orders
    QString partner;
    int serialBase = 0; // kinds sharing one table number in separate ranges of the day
};

QString serialNumber(const QDate &day, int serial)
{
    return day.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral("%1").arg(serial, 4, 10, QLatin1Char('0'));
}

void generate(const QSqlDatabase &db, const Kind &kind, int documents)
{
    const QDate first(2025, 1, 1);
    const bool stock = !kind.flag.isEmpty();
    const QStringList headCols =
        stock
            ? QStringList{"headno", "Flag",     "InOutFlag", "hdate", "Storecode",
                          "spcode", "deptcode", "mcode",     "State"}
            : QStringList{"headno", "hdate",  "storecode", "spcode", "currency", "exchgrate", "amt",
                          "Tax",    "taxamt", "RMBtaxamt", "mcode",  "deptcode", "State"};
    const QStringList bodyCols =
        stock ? QStringList{"headno", "bodyno", "pdtcode", "pdtno", "pqty"}
              : QStringList{"headno", "bodyno", "pdtcode", "pdtno",     "price",
                            "pqty",   "amount", "Tax",     "Taxamount", "getpqty"};
    BatchInsert heads(db, kind.head, headCols);
    BatchInsert lines(db, kind.body, bodyCols);
    const char *const products[][2] = {{"P1", "0001"}, {"P1", "0002"}, {"P2", "0001"}};
    for (int d = 0; d < documents; ++d) {
        const QDate day = first.addDays(d % 365);
        const QString headno = serialNumber(day, kind.serialBase + d / 365 + 1);
        const QString hdate = day.toString(Qt::ISODate) + QStringLiteral(" 10:00:00");
        const QString state = d % 4 == 0 ? QStringLiteral("1") : QStringLiteral("2");
        if (stock)
            heads.add({headno, kind.flag, "1", hdate, "W1", kind.partner, "0001", "0001", state});
        else
            heads.add({headno, hdate, "W1", kind.partner, "01", 1.0, 500.0, 85.0, 585.0, 585.0,
                       "0001", "0001", state});
        for (int l = 1; l <= LinesPerDocument; ++l) {
            const auto &p = products[(d + l) % 3];
            const QString bodyno = QStringLiteral("%1").arg(l, 4, 10, QLatin1Char('0'));
            if (stock)
                lines.add({headno, bodyno, p[0], p[1], 1.0});
            else
                lines.add({headno, bodyno, p[0], p[1], 100.0, 1.0, 100.0, 17.0, 117.0, 0.0});
        }
    }
}

//! Median milliseconds of runs of the job.
double medianMs(int runs, const std::function<void()> &job)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        job();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

Params yearParams()
{
    return requestParams({{"BeginDate", YearBegin}, {"EndDate", YearEnd}, {"State", "1"}},
                         {"StoreCode", "spCode", "DeptCode", "pdtCode"}, {});
}

//! Runs a statement with :Name parameters directly; reads at most maxRows rows (-1 all).
int runDirect(const QSqlDatabase &db, const QString &sql, const Params &params, int maxRows)
{
    const SqlStatement st(sql);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(st.positionalText());
    const QVariantList values = SqlStatement::bindValues(st.parameterSlots(), params);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
    int rows = 0;
    while ((maxRows < 0 || rows < maxRows) && q.next()) {
        for (int c = 0; c < q.record().count(); ++c)
            q.value(c);
        ++rows;
    }
    return rows;
}

QSqlDatabase openClone(const QSqlDatabase &source, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::cloneDatabase(source.connectionName(), name);
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    return db;
}

void benchDocumentList(const QSqlDatabase &db)
{
    const ProviderDef list = [] {
        for (const ProviderDef &d : TBillRDM::providerDefs()) {
            if (d.name == QLatin1String("dspBuy"))
                return d;
        }
        return ProviderDef();
    }();
    const Params params = yearParams();
    TBillRDM bill;
    GetRecordsRequest first;
    first.provider = list.name;
    first.count = 20;
    first.options = grMetaData | grReset;
    first.params = params;
    const double provider = medianMs(21, [&] {
        const Packet p = bill.getRecords(first);
        if (p.rows.size() != 20)
            qFatal("a document list packet held %lld rows", qint64(p.rows.size()));
    });
    const double direct = medianMs(21, [&] {
        const SqlStatement st(list.sql);
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(st.positionalText());
        const QVariantList values = SqlStatement::bindValues(st.parameterSlots(), params);
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        q.exec();
        QVariantList heads;
        while (heads.size() < 20 && q.next())
            heads << q.value(0);
        q.finish();
        for (const QVariant &headno : heads)
            runDirect(db, list.detailSql, {Param{"headno", headno}}, -1);
    });
    std::printf("first 20-row packet of dspBuy with lines: provider %.2f ms, direct %.2f ms, "
                "ratio %.2f\n",
                provider, direct, provider / direct);
}

void benchSummaries(const QSqlDatabase &db)
{
    TRPTRDM reports;
    for (const char *flag : {"RPTBUY", "RPTSALE", "RPTBUYIN", "RPTSALEOUT", "RPTCUSTSALE"}) {
        const QString sql = [flag] {
            for (const TRPTRDM::Report &r : TRPTRDM::reports()) {
                if (r.flag == QLatin1String(flag))
                    return r.sql;
            }
            return QString();
        }();
        Params params = yearParams();
        int rows = 0;
        const double direct = medianMs(5, [&] { rows = runDirect(db, sql, params, -1); });
        params << Param{"SQLFLAG", flag};
        GetRecordsRequest request;
        request.provider = QStringLiteral("dspXMaster");
        request.options = grMetaData | grReset;
        request.params = params;
        const double module = medianMs(5, [&] { reports.getRecords(request); });
        std::printf("%-12s over a year (%d rows): module %.1f ms, direct %.1f ms, ratio %.2f\n",
                    flag, rows, module, direct, module / direct);
    }
}

//! Seconds for every client to run its job count times at once, each on its own thread
//! and connection.
double concurrently(const QSqlDatabase &source,
                    const std::function<void(QSqlDatabase, int client, int i)> &job)
{
    std::vector<std::unique_ptr<QThread>> threads;
    QElapsedTimer t;
    t.start();
    for (int c = 0; c < Clients; ++c) {
        threads.emplace_back(QThread::create([&, c] {
            const QString name = QStringLiteral("bench_client_%1").arg(c);
            {
                const QSqlDatabase db = openClone(source, name);
                for (int i = 0; i < NumbersPerClient; ++i)
                    job(db, c, i);
            }
            QSqlDatabase::removeDatabase(name);
        }));
        threads.back()->start();
    }
    for (auto &thread : threads)
        thread->wait();
    return t.nsecsElapsed() / 1e9;
}

void benchNumbering(const QSqlDatabase &db)
{
    AutoGainNO::instance().clear();
    std::vector<QStringList> drawn(Clients);
    const double numbering = concurrently(db, [&drawn](QSqlDatabase, int c, int) {
        thread_local std::unique_ptr<TBillRDM> bill;
        if (!bill)
            bill = std::make_unique<TBillRDM>();
        drawn[c] << bill->call(QStringLiteral("GetHeadNO"), {QStringLiteral("XBuyh")}, nullptr)
                        .toString();
    });
    QSet<QString> unique;
    for (const QStringList &numbers : drawn)
        unique.unite(QSet<QString>(numbers.begin(), numbers.end()));
    const double roundTrip = concurrently(db, [](QSqlDatabase conn, int, int) {
        QSqlQuery q(conn);
        q.exec(QStringLiteral("SELECT 1"));
        q.next();
    });
    const int total = Clients * NumbersPerClient;
    std::printf("%d clients x %d numbers: %lld unique of %d, %.1f us per number, "
                "%.1f us per one-row query, ratio %.2f\n",
                Clients, NumbersPerClient, qint64(unique.size()), total, numbering * 1e6 / total,
                roundTrip * 1e6 / total, numbering / roundTrip);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    const int documents = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000;
    if (backend == QLatin1String("postgresql") && pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");

    ScratchDb scratch(backend);
    if (!loadAccountSet(scratch) || !loadDocuments(scratch.db()))
        qFatal("cannot load the account set");
    QElapsedTimer t;
    t.start();
    QSqlDatabase db = scratch.db();
    db.transaction();
    const QList<Kind> kinds{{"XBuyh", "XBuyb", "", "S1"},
                            {"XSaleh", "XSaleb", "", "K1"},
                            {"xStockChh", "xStockChb", "1", "S1"},
                            {"xStockChh", "xStockChb", "3", "K1", 5000}};
    for (const Kind &kind : kinds)
        generate(db, kind, documents / kinds.size());
    db.commit();
    if (backend == QLatin1String("postgresql"))
        QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
    std::printf("%s: %d documents of %d lines generated in %.1f s\n", qPrintable(backend),
                documents, LinesPerDocument, t.nsecsElapsed() / 1e9);

    benchDocumentList(db);
    benchSummaries(db);
    benchNumbering(db);
    return 0;
}
