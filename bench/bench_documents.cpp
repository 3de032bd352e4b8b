// Documents at scale: a year of documents with 5 lines each (purchase and sales orders,
// receipts and deliveries), entered day by day, then
//  - the first 20-row packet of a document list through the provider against the same
//    statements run directly on the connection, for the year and for its last day;
//  - each summary report over the year through the report module against its statement
//    run directly;
//  - 8 clients drawing 1,000 document numbers each at once, against the same clients each
//    running 1,000 one-row queries.
// Without a document count it prints the first packets at 10,000, 100,000 and 1,000,000
// documents, and the server's memory after paging through every purchase order of the
// largest against after its first packet. SQLite account sets are generated once into
// build/bench-cache, so reruns start at once.
// Usage: bench_documents [sqlite|postgresql] [documents[,documents...]]; one count alone
// runs the reports and the numbering too.

#include "../tests/server/DocumentFixture.h"
#include "AutoGainNO.h"
#include "SqlStatement.h"
#include "UBillRDM.h"
#include "URPTRDM.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

//! One kind of generated document.
struct Kind
{
    QString head;
    QString body;
    QString flag; // stock documents: the kind; empty for orders
    QString partner;
    int serialBase = 0; // kinds sharing one table number in separate ranges of the day
};

bool run(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return true;
}

//! The numbers 0 ... count-1 in bench_n(i), for the statements that make the documents.
void fillNumbers(const QSqlDatabase &db, int count)
{
    run(db, QStringLiteral("CREATE TABLE bench_n (i integer NOT NULL PRIMARY KEY)"));
    run(db, QStringLiteral("INSERT INTO bench_n (i) WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL "
                           "SELECT i + 1 FROM c WHERE i < %1) SELECT i FROM c")
                .arg(count - 1));
}

//! documents of one kind over the year, perDay a day in number order, each with its lines;
//! a quarter of them entered, the rest checked.
void generate(const QSqlDatabase &db, bool postgres, const Kind &kind, int documents)
{
    const int perDay = (documents + 364) / 365;
    const QString day = postgres ? QStringLiteral("to_char(date '2025-01-01' + (i / %1), "
                                                  "'YYYY-MM-DD')")
                                 : QStringLiteral("date('2025-01-01', '+' || (i / %1) || ' days')");
    const QString serial = postgres ? QStringLiteral("lpad((%2 + i % %1 + 1)::text, 4, '0')")
                                    : QStringLiteral("substr('0000' || (%2 + i % %1 + 1), -4)");
    const QString headno = QStringLiteral("replace(%1, '-', '') || %2")
                               .arg(day.arg(perDay), serial.arg(perDay).arg(kind.serialBase));
    const QString hdate = day.arg(perDay) + QStringLiteral(" || ' 10:00:00'");
    const QString state = QStringLiteral("CASE WHEN i % 4 = 0 THEN '1' ELSE '2' END");
    const QString from = QStringLiteral(" FROM bench_n WHERE i < %1").arg(documents);
    const bool stock = !kind.flag.isEmpty();
    if (stock)
        run(db, QStringLiteral("INSERT INTO %1 (headno, Flag, InOutFlag, hdate, Storecode, spcode, "
                               "deptcode, mcode, State) SELECT %2, '%3', '1', %4, 'W1', '%5', "
                               "'0001', '0001', %6")
                        .arg(kind.head, headno, kind.flag, hdate, kind.partner, state) +
                    from);
    else
        run(db, QStringLiteral("INSERT INTO %1 (headno, hdate, storecode, spcode, currency, "
                               "exchgrate, amt, Tax, taxamt, RMBtaxamt, mcode, deptcode, State) "
                               "SELECT %2, %3, 'W1', '%4', '01', 1.0, 500.0, 85.0, 585.0, 585.0, "
                               "'0001', '0001', %5")
                        .arg(kind.head, headno, hdate, kind.partner, state) +
                    from);
    // Lines 0001 ... 0005 of every head just made, products in turn.
    const QString lines = QStringLiteral("bench_n l");
    const QString bodyno = postgres ? QStringLiteral("lpad((l.i + 1)::text, 4, '0')")
                                    : QStringLiteral("substr('0000' || (l.i + 1), -4)");
    const QString pdtcode = QStringLiteral("CASE WHEN l.i % 3 = 2 THEN 'P2' ELSE 'P1' END");
    const QString pdtno = QStringLiteral("CASE WHEN l.i % 3 = 1 THEN '0002' ELSE '0001' END");
    // The generated year only: the fixture's own documents have their lines.
    const QString heads =
        QStringLiteral(" FROM %1 h JOIN %2 ON l.i < %3 WHERE h.hdate < '2026'%4")
            .arg(kind.head, lines)
            .arg(LinesPerDocument)
            .arg(stock ? QStringLiteral(" AND h.Flag = '%1'").arg(kind.flag) : QString());
    if (stock)
        run(db, QStringLiteral("INSERT INTO %1 (headno, bodyno, pdtcode, pdtno, pqty) "
                               "SELECT h.headno, %2, %3, %4, 1.0")
                        .arg(kind.body, bodyno, pdtcode, pdtno) +
                    heads);
    else
        run(db, QStringLiteral("INSERT INTO %1 (headno, bodyno, pdtcode, pdtno, price, pqty, "
                               "amount, Tax, Taxamount, getpqty) "
                               "SELECT h.headno, %2, %3, %4, 100.0, 1.0, 100.0, 17.0, 117.0, 0.0")
                        .arg(kind.body, bodyno, pdtcode, pdtno) +
                    heads);
}

void generateYear(const QSqlDatabase &db, bool postgres, int documents)
{
    const QList<Kind> kinds{{"XBuyh", "XBuyb", "", "S1"},
                            {"XSaleh", "XSaleb", "", "K1"},
                            {"xStockChh", "xStockChb", "1", "S1"},
                            {"xStockChh", "xStockChb", "3", "K1", 5000}};
    QSqlDatabase(db).transaction();
    fillNumbers(db, documents / kinds.size());
    for (const Kind &kind : kinds)
        generate(db, postgres, kind, documents / kinds.size());
    run(db, QStringLiteral("DROP TABLE bench_n"));
    QSqlDatabase(db).commit();
    run(db, QStringLiteral("ANALYZE"));
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

#ifndef KORVANE_BENCH_CACHE
#define KORVANE_BENCH_CACHE "bench-cache"
#endif

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
    const int columns = q.record().count();
    while ((maxRows < 0 || rows < maxRows) && q.next()) {
        for (int c = 0; c < columns; ++c)
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

ProviderDef purchaseOrders()
{
    for (const ProviderDef &d : TBillRDM::providerDefs()) {
        if (d.name == QLatin1String("dspBuy"))
            return d;
    }
    return ProviderDef();
}

Params rangeParams(const QString &begin, const QString &end)
{
    return requestParams({{"BeginDate", begin}, {"EndDate", end}},
                         {"StoreCode", "spCode", "DeptCode"}, {});
}

GetRecordsRequest firstPacket(const Params &params)
{
    GetRecordsRequest first;
    first.provider = purchaseOrders().name;
    first.count = 20;
    first.options = grMetaData | grReset;
    first.params = params;
    return first;
}

//! The first packet of the purchase orders through the provider, against the database's
//! own cost of the same 20 heads (the statement limited to them) and their lines.
void benchDocumentList(const QSqlDatabase &db, int documents, const QString &range,
                       const Params &params)
{
    const ProviderDef list = purchaseOrders();
    TBillRDM bill;
    const GetRecordsRequest first = firstPacket(params);
    const double provider = medianMs(21, [&] {
        const Packet p = bill.getRecords(first);
        if (p.rows.size() != 20)
            qFatal("a document list packet held %lld rows", qint64(p.rows.size()));
    });
    const double direct = medianMs(21, [&] {
        // PostgreSQL is told the 20 so that it plans for them and sends no more; SQLite
        // plans the statement as it stands and stops where the reading stops.
        const bool postgres = db.driverName() == QLatin1String("QPSQL");
        const SqlStatement st(list.sql + (postgres ? QStringLiteral(" LIMIT 20") : QString()));
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(st.positionalText());
        const QVariantList values = SqlStatement::bindValues(st.parameterSlots(), params);
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        q.exec();
        QVariantList heads;
        const int headColumns = q.record().count();
        while (heads.size() < 20 && q.next()) {
            for (int c = 0; c < headColumns; ++c)
                q.value(c);
            heads << q.value(0);
        }
        // The lines of the 20 heads in one statement, as the provider fetches them.
        QString text;
        QStringList names;
        SqlStatement(list.detailSql)
            .inListText(QStringLiteral("headno"), heads.size(), &text, &names);
        Params keys;
        for (int k = 0; k < heads.size(); ++k)
            keys << Param{names[k], heads[k]};
        QSqlQuery lines(db);
        lines.setForwardOnly(true);
        lines.prepare(text);
        const QVariantList keyValues = SqlStatement::bindValues(names, keys);
        for (int i = 0; i < keyValues.size(); ++i)
            lines.bindValue(i, keyValues[i]);
        lines.exec();
        const int lineColumns = lines.record().count();
        while (lines.next()) {
            for (int c = 0; c < lineColumns; ++c)
                lines.value(c);
        }
    });
    std::printf("%8d documents, first 20-row packet of dspBuy with lines, %s: provider %.2f ms, "
                "direct %.2f ms, ratio %.2f\n",
                documents, qPrintable(range), provider, direct, provider / direct);
    std::fflush(stdout);
}

//! The first of the year's last days that hold 20 purchase orders: the last heads in
//! number order, so a walk in number order finds them at its end.
QString lastPurchaseDays(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT hdate FROM XBuyh WHERE hdate < '2026' "
                               "ORDER BY hdate DESC LIMIT 1 OFFSET 19")) ||
        !q.next())
        qFatal("no purchase orders");
    return q.value(0).toString().left(10);
}

//! Resident memory of this process in MiB.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = statm.readAll().split(' ');
    return parts.value(1).toDouble() * 4096 / (1024 * 1024);
}

//! Pages through every purchase order of the year with its lines, 20 heads a packet as the
//! windows ask, and compares the memory held then with the memory after the first packet.
void benchPaging()
{
    TBillRDM bill;
    GetRecordsRequest request = firstPacket(rangeParams(YearBegin, YearEnd));
    Packet packet = bill.getRecords(request);
    const double afterFirst = residentMiB();
    qint64 heads = packet.rows.size();
    qint64 lines = 0;
    const int nested = indexOfField(packet.fields, purchaseOrders().detailField);
    QElapsedTimer t;
    t.start();
    request.options = 0;
    request.params.clear();
    while (!packet.eof) {
        packet = bill.getRecords(request);
        heads += packet.rows.size();
        for (const PacketRow &row : std::as_const(packet.rows))
            lines += row.detailRows(nested).size();
    }
    const double afterAll = residentMiB();
    std::printf("paged %lld heads with %lld lines in %.1f s: memory %.1f MiB after the first "
                "packet, %.1f MiB after the last, ratio %.2f\n",
                heads, lines, t.nsecsElapsed() / 1e9, afterFirst, afterAll, afterAll / afterFirst);
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

//! An account set with a year of documents: SQLite's is copied once into the cache and
//! opened from there afterwards; PostgreSQL's is made afresh.
class YearOfDocuments
{
public:
    YearOfDocuments(const QString &backend, int documents)
    {
        const QString cached = QStringLiteral(KORVANE_BENCH_CACHE "/documents-%1-%2.db")
                                   .arg(documents)
                                   .arg(accountSetVersion());
        const bool postgres = backend == QLatin1String("postgresql");
        if (!postgres && QFile::exists(cached)) {
            open(cached);
            return;
        }
        m_scratch = std::make_unique<ScratchDb>(backend);
        if (!loadAccountSet(*m_scratch) || !loadDocuments(m_scratch->db()))
            qFatal("cannot load the account set");
        QElapsedTimer t;
        t.start();
        generateYear(m_scratch->db(), postgres, documents);
        std::printf("%s: %d documents of %d lines generated in %.1f s\n", qPrintable(backend),
                    documents, LinesPerDocument, t.nsecsElapsed() / 1e9);
        if (postgres)
            return;
        QDir().mkpath(QFileInfo(cached).absolutePath());
        const QString part = cached + QStringLiteral(".part");
        QFile::remove(part);
        QSqlQuery q(m_scratch->db());
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(part);
        if (!q.exec() || !QFile::rename(part, cached))
            qFatal("cannot cache %s", qPrintable(cached));
        m_scratch.reset();
        open(cached);
    }
    ~YearOfDocuments()
    {
        if (!m_connection.isEmpty()) {
            QSqlDatabase::database(m_connection, false).close();
            QSqlDatabase::removeDatabase(m_connection);
        }
    }

    QSqlDatabase db() const
    {
        return m_scratch ? m_scratch->db() : QSqlDatabase::database(m_connection, false);
    }

private:
    //! A cached year belongs to the shipped account set it was made from.
    static QString accountSetVersion()
    {
        QFile bk(QStringLiteral(KORVANE_DB_DIR "/BK"));
        if (!bk.open(QIODevice::ReadOnly))
            qFatal("no DB/BK");
        return QString::fromLatin1(
            QCryptographicHash::hash(bk.readAll(), QCryptographicHash::Sha1).toHex().left(10));
    }

    void open(const QString &file)
    {
        m_connection = QStringLiteral("bench_cached");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        DbConnectionInfo info;
        info.databaseName = file;
        setRunTimeConnection(info);
    }

    std::unique_ptr<ScratchDb> m_scratch;
    QString m_connection;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    if (backend == QLatin1String("postgresql") && pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");
    QList<int> sizes{10000, 100000, 1000000};
    if (argc > 2) {
        sizes.clear();
        for (const QString &size : QString::fromLocal8Bit(argv[2]).split(QLatin1Char(',')))
            sizes << size.toInt();
    }
    for (const int documents : sizes) {
        const YearOfDocuments year(backend, documents);
        benchDocumentList(year.db(), documents, QStringLiteral("the year"),
                          rangeParams(YearBegin, YearEnd));
        benchDocumentList(year.db(), documents, QStringLiteral("its last days"),
                          rangeParams(lastPurchaseDays(year.db()), YearEnd));
        if (documents == sizes.last())
            benchPaging();
        if (sizes.size() == 1) {
            benchSummaries(year.db());
            benchNumbering(year.db());
        }
    }
    return 0;
}
