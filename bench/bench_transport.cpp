// What the transport costs: a 10,000-row fetch through scktsrvr and the module host against
// the same rows read by a prepared statement in-process, and 1,000 inserted rows applied as
// one change set against a prepared INSERT loop in one transaction; the ratios are printed.
// The relay is the real program; the module host runs on a thread of this program, as it
// does in the server, with a provider module over the brand table.
// Usage: bench_transport [sqlite|postgresql]

#include "../tests/server/DocumentFixture.h"
#include "BenchTransportKit.h"
#include "InstanceNames.h"
#include "LumoSocketConnection.h"
#include "ModuleHost.h"
#include "ProviderModule.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

#include <functional>

using namespace korvane;

namespace {

constexpr int FetchRows = 10000;
constexpr int InsertRows = 1000;
constexpr int Rounds = 3;

//! Four-character codes (the brand table's width): prefix letter and three base-36 digits.
QString code(QChar prefix, int n)
{
    return prefix + QString::number(n, 36).toUpper().rightJustified(3, QLatin1Char('0'));
}

void insertDirect(QSqlDatabase db, QChar prefix, int rows)
{
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO XCI (Code, Name) VALUES (?, ?)"));
    for (int i = 0; i < rows; ++i) {
        q.addBindValue(code(prefix, i));
        q.addBindValue(QStringLiteral("品牌%1").arg(i));
        q.exec();
    }
    db.commit();
}

void deletePrefix(QSqlDatabase db, QChar prefix)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM XCI WHERE substr(Code, 1, 1) = ?"));
    q.addBindValue(QString(prefix));
    q.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    if (backend == QLatin1String("postgresql") && test::pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");
    qputenv("KORVANE_INSTANCE", "bench-" + QUuid::createUuid().toString(QUuid::Id128).toLatin1());
    test::ScratchDb scratch(backend);
    QSqlDatabase db = scratch.db();
    QSqlQuery(db).exec(QStringLiteral(
        "CREATE TABLE XCI (Code VARCHAR(4) NOT NULL PRIMARY KEY, Name VARCHAR(20))"));
    insertDirect(db, QLatin1Char('A'), FetchRows);
    test::useAsRunTimeConnection(scratch);
    out << backend << Qt::endl;

    QTemporaryDir bin;
    bench::HostThread host(moduleHostSocketName(bin.path()));
    quint16 port = 0;
    const std::unique_ptr<QProcess> relay = bench::startRelay(bin.path(), &port);
    if (!host.isListening() || !relay) {
        out << "cannot start the module host and the relay" << Qt::endl;
        return 1;
    }

    TLumoSocketConnection base;
    base.setPort(port);
    base.setServerName(QStringLiteral("Korvane.BaseRDM"));
    try {
        const double directFetch = bench::best(Rounds, [&] { bench::selectBrands(db); });
        int fetched = 0;
        const double remoteFetch = bench::best(Rounds, [&] {
            fetched = int(
                base.getRecords(QStringLiteral("dspCI"), -1, grMetaData | grReset, {}).rows.size());
        });

        const double directInsert = bench::best(
            Rounds, [&] { insertDirect(db, QLatin1Char('Y'), InsertRows); },
            [&] { deletePrefix(db, QLatin1Char('Y')); });
        const Packet shape = base.getRecords(QStringLiteral("dspCI"), 0, grMetaData | grReset, {});
        ChangeSet delta;
        delta.fields = shape.fields;
        for (int i = 0; i < InsertRows; ++i) {
            ChangeRow row;
            row.op = ChangeOp::Insert;
            row.newValues = RowValues(shape.fields.size());
            row.newValues[shape.indexOf(QStringLiteral("Code"))] = code(QLatin1Char('Z'), i);
            row.newValues[shape.indexOf(QStringLiteral("Name"))] = QStringLiteral("品牌%1").arg(i);
            delta.rows.append(row);
        }
        int errors = 0;
        const double remoteInsert = bench::best(
            Rounds,
            [&] { errors = base.applyUpdates(QStringLiteral("dspCI"), delta, 0).errorCount; },
            [&] { deletePrefix(db, QLatin1Char('Z')); });

        out << "fetch " << fetched << " rows: in-process " << directFetch
            << " ms, through relay and host " << remoteFetch << " ms, ratio "
            << remoteFetch / directFetch << Qt::endl;
        out << "insert " << InsertRows << " rows (" << errors << " refused): prepared loop "
            << directInsert << " ms, change set " << remoteInsert << " ms, ratio "
            << remoteInsert / directInsert << Qt::endl;
    } catch (const TLumoRemoteError &e) {
        out << "remote call failed: " << e.text() << Qt::endl;
        return 1;
    }
    base.Close();
    relay->terminate();
    relay->waitForFinished(5000);
    return 0;
}
