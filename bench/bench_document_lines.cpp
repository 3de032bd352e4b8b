// A purchase receipt of 1,000 lines through the real server (Korvane --service and scktsrvr):
//  - opening it into the client data set (head with its nested lines, every line read as a
//    grid reads it), against the raw packet through the same server and against the same
//    head and line statements run flat in this process;
//  - saving a new one of 1,000 lines from the client data set, against the raw change set
//    through the same server and against a prepared INSERT loop in one transaction here.
// Best of several rounds each; the ratios are printed.
// Usage: bench_document_lines [sqlite|postgresql]

#include "../tests/server/DocumentFixture.h"
#include "BenchTransportKit.h"
#include "LumoCLientDataSet.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int kLines = 1000;
constexpr int kRounds = 5;
const QString kOpened = QStringLiteral("209903010001");
const QString kSaved = QStringLiteral("209903020001");
const QString kNested = QStringLiteral("qryBuyInOutD");

const char *const kProducts[][2] = {{"P1", "0001"}, {"P1", "0002"}, {"P2", "0001"}};

QString bodyno(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

void exec(QSqlQuery &q)
{
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

//! Writes a receipt head and its lines in one transaction, as flat as it gets.
void insertFlat(QSqlDatabase db, const QString &headno, const QString &date)
{
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO xStockChh (headno, Flag, InOutFlag, hdate, Storecode, "
                             "spcode, deptcode, mcode, State) VALUES (?, '1', '1', ?, 'W1', 'S1', "
                             "'0001', '0001', '1')"));
    q.addBindValue(headno);
    q.addBindValue(date);
    exec(q);
    q.prepare(QStringLiteral("INSERT INTO xStockChb (headno, bodyno, pdtcode, pdtno, pqty, note) "
                             "VALUES (?, ?, ?, ?, ?, ?)"));
    for (int n = 1; n <= kLines; ++n) {
        const auto &p = kProducts[n % 3];
        for (const QVariant &v :
             QVariantList{headno, bodyno(n), QLatin1String(p[0]), QLatin1String(p[1]),
                          double(n % 9 + 1), QStringLiteral("第%1行").arg(n)})
            q.addBindValue(v);
        exec(q);
    }
    db.commit();
}

void remove(QSqlDatabase db, const QString &headno)
{
    for (const char *table : {"xStockChb", "xStockChh"}) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE headno = ?").arg(QLatin1String(table)));
        q.addBindValue(headno);
        exec(q);
    }
}

//! The head and line statements the provider runs, flat on one connection.
int fetchFlat(QSqlDatabase db, const QString &date)
{
    QSqlQuery head(db);
    head.setForwardOnly(true);
    head.prepare(QStringLiteral(
        "SELECT h.*, s.name AS StoreName, f.name AS Spname, d.name AS DeptName, e.name AS MName "
        "FROM xStockChh h LEFT JOIN xStore s ON s.code = h.Storecode LEFT JOIN Xfatbn f ON "
        "f.code = h.spcode LEFT JOIN XDept d ON d.code = h.deptcode LEFT JOIN XPSemp e ON "
        "e.code = h.mcode WHERE substr(h.hdate, 1, 10) BETWEEN ? AND ? AND h.Flag = '1' "
        "ORDER BY h.headno"));
    head.addBindValue(date);
    head.addBindValue(date);
    exec(head);
    QStringList heads;
    while (head.next())
        heads << head.value(0).toString();
    QSqlQuery lines(db);
    lines.setForwardOnly(true);
    lines.prepare(QStringLiteral(
        "SELECT b.*, p.name AS PdtName, pb.SpecName AS specname FROM xStockChb b LEFT JOIN "
        "xPrdth p ON p.pdtcode = b.pdtcode LEFT JOIN xPrdtb pb ON pb.pdtcode = b.pdtcode AND "
        "pb.bodyno = b.pdtno WHERE b.headno = ? ORDER BY b.headno, b.bodyno"));
    int rows = 0;
    for (const QString &h : heads) {
        lines.addBindValue(h);
        exec(lines);
        const int columns = lines.record().count();
        while (lines.next()) {
            RowValues row(columns);
            for (int c = 0; c < columns; ++c)
                row[c] = lines.value(c);
            ++rows;
        }
    }
    return rows;
}

Params listParams(const QString &date)
{
    return requestParams({{"BeginDate", date}, {"EndDate", date}, {"Flag", "1"}},
                         {"StoreCode", "spCode", "DeptCode"}, {});
}

//! A receipt window's two data sets over the document module.
struct Window
{
    explicit Window(TLumoSocketConnection *bill)
    {
        heads.setRemoteServer(bill);
        heads.setProviderName(QStringLiteral("dspBuyInOut"));
        heads.setTableName(QStringLiteral("xStockChh"));
        heads.addDataField(kNested, FieldType::Nested);
        lines.setDataSetField(&heads.FieldByName(kNested));
    }
    //! Opens the day's list and reads every line of the current head, as the grid paints.
    int open(const QString &date)
    {
        heads.Close();
        heads.Params().assign(listParams(date));
        heads.Open();
        int cells = 0;
        for (lines.First(); !lines.Eof(); lines.Next()) {
            for (const char *name : {"bodyno", "pdtcode", "PdtName", "specname", "pqty", "note"})
                cells += lines.FieldByName(QLatin1String(name)).AsString().isEmpty() ? 0 : 1;
        }
        return cells;
    }
    void enter(const QString &headno)
    {
        heads.Append();
        const QVariantMap head{{"headno", headno},   {"Flag", "1"},
                               {"InOutFlag", "1"},   {"hdate", "2026-03-20 09:00:00"},
                               {"Storecode", "W1"},  {"spcode", "S1"},
                               {"deptcode", "0001"}, {"mcode", "0001"},
                               {"State", "1"}};
        for (auto it = head.begin(); it != head.end(); ++it)
            heads.FieldByName(it.key()).setValue(it.value());
        for (int n = 1; n <= kLines; ++n) {
            const auto &p = kProducts[n % 3];
            lines.Append();
            lines.FieldByName(QStringLiteral("headno")).setValue(headno);
            lines.FieldByName(QStringLiteral("bodyno")).setValue(bodyno(n));
            lines.FieldByName(QStringLiteral("pdtcode")).setValue(QLatin1String(p[0]));
            lines.FieldByName(QStringLiteral("pdtno")).setValue(QLatin1String(p[1]));
            lines.FieldByName(QStringLiteral("pqty")).setValue(double(n % 9 + 1));
            lines.FieldByName(QStringLiteral("note")).setValue(QStringLiteral("第%1行").arg(n));
            lines.Post();
        }
        heads.Post();
    }
    TLumoCLientDataSet heads;
    TLumoCLientDataSet lines;
};

//! The change set the window sends for a new receipt of 1,000 lines.
ChangeSet newReceipt(const Packet &shape, const QString &headno)
{
    const int nested = shape.indexOf(kNested);
    ChangeSet save;
    save.fields = shape.fields;
    ChangeRow head;
    head.op = ChangeOp::Insert;
    head.newValues = RowValues(shape.fields.size());
    const QVariantMap values{{"headno", headno},   {"Flag", "1"},
                             {"InOutFlag", "1"},   {"hdate", "2026-03-20 09:00:00"},
                             {"Storecode", "W1"},  {"spcode", "S1"},
                             {"deptcode", "0001"}, {"mcode", "0001"},
                             {"State", "1"}};
    for (auto it = values.begin(); it != values.end(); ++it)
        head.newValues[shape.indexOf(it.key())] = it.value();
    ChangeSet lines;
    lines.fields = shape.fields.at(nested).fields;
    for (int n = 1; n <= kLines; ++n) {
        const auto &p = kProducts[n % 3];
        ChangeRow line;
        line.op = ChangeOp::Insert;
        line.newValues = RowValues(lines.fields.size());
        const QVariantMap cells{{"headno", headno},
                                {"bodyno", bodyno(n)},
                                {"pdtcode", QLatin1String(p[0])},
                                {"pdtno", QLatin1String(p[1])},
                                {"pqty", double(n % 9 + 1)},
                                {"note", QStringLiteral("第%1行").arg(n)}};
        for (auto it = cells.begin(); it != cells.end(); ++it)
            line.newValues[indexOfField(lines.fields, it.key())] = it.value();
        lines.rows << line;
    }
    head.details << qMakePair(nested, lines);
    save.rows << head;
    return save;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    if (backend == QLatin1String("postgresql") && pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");
    TestServer server(backend);
    if (!server.start())
        qFatal("%s", qPrintable(server.error()));
    QSqlDatabase db = server.db().db();
    if (!loadDocuments(db))
        qFatal("cannot load the documents");
    const QString day = QStringLiteral("2026-03-19");
    insertFlat(db, kOpened, day + QStringLiteral(" 09:00:00"));

    TLumoSocketConnection base, bill;
    QString session, userInfo, sysSet, purView, para1;
    try {
        base.setPort(server.port());
        base.setServerName(QStringLiteral("Korvane.BaseRDM"));
        base.callWithOutputs(QStringLiteral("LogIn"), {"0001", "0001", "127.0.0.1", "bench"},
                             {&session, &userInfo, &sysSet, &purView, &para1});
        bill.setPort(server.port());
        bill.setServerName(QStringLiteral("Korvane.BillRDM"));
        bill.setSession(session);
        bill.Open();

        int flatRows = 0, rawRows = 0, cells = 0;
        const double openFlat = bench::best(kRounds, [&] { flatRows = fetchFlat(db, day); });
        const double openRaw = bench::best(kRounds, [&] {
            const Packet p = bill.getRecords(QStringLiteral("dspBuyInOut"), -1,
                                             grMetaData | grReset, listParams(day));
            rawRows =
                p.rows.isEmpty() ? 0 : int(p.rows.first().detailRows(p.indexOf(kNested)).size());
        });
        Window window(&bill);
        const double openWindow = bench::best(kRounds, [&] { cells = window.open(day); });

        const double saveFlat = bench::best(
            kRounds, [&] { insertFlat(db, kSaved, QStringLiteral("2026-03-20 09:00:00")); },
            [&] { remove(db, kSaved); });
        const Packet shape = bill.getRecords(QStringLiteral("dspBuyInOut"), 0, grMetaData | grReset,
                                             listParams(day));
        const ChangeSet delta = newReceipt(shape, kSaved);
        int refused = 0;
        const double saveRaw = bench::best(
            kRounds,
            [&] {
                refused += bill.applyUpdates(QStringLiteral("dspBuyInOut"), delta, 0).errorCount;
            },
            [&] { remove(db, kSaved); });
        // The operator's typing is not the save: it is timed apart.
        double entering = 1e300, saveOnly = 1e300;
        for (int i = 0; i < kRounds; ++i) {
            window.open(QStringLiteral("2026-03-20"));
            QElapsedTimer typing;
            typing.start();
            window.enter(kSaved);
            entering = std::min(entering, typing.nsecsElapsed() / 1e6);
            QElapsedTimer saving;
            saving.start();
            refused += window.heads.ApplyUpdates(0);
            saveOnly = std::min(saveOnly, saving.nsecsElapsed() / 1e6);
            remove(db, kSaved);
        }

        std::printf("%s, one receipt of %d lines, best of %d\n", qPrintable(backend), kLines,
                    kRounds);
        std::printf("open:  flat statements %.2f ms (%d lines), raw packet %.2f ms (%d lines), "
                    "client data set %.2f ms (%d cells read)\n",
                    openFlat, flatRows, openRaw, rawRows, openWindow, cells);
        std::printf("       ratio data set / flat %.2f, raw / flat %.2f, data set / raw %.2f\n",
                    openWindow / openFlat, openRaw / openFlat, openWindow / openRaw);
        std::printf("save:  prepared loop %.2f ms, raw change set %.2f ms, client data set %.2f "
                    "ms (entering the lines %.2f ms apart; %d refused)\n",
                    saveFlat, saveRaw, saveOnly, entering, refused);
        std::printf("       ratio data set / flat %.2f, raw / flat %.2f, data set / raw %.2f\n",
                    saveOnly / saveFlat, saveRaw / saveFlat, saveOnly / saveRaw);
    } catch (const TLumoRemoteError &e) {
        qFatal("remote call failed: %s", qPrintable(e.text()));
    }
    return 0;
}
