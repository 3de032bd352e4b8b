// What encryption costs a round trip: a 20-row fetch through the real relay over TLS against
// the same fetch over plain TCP (the relay lets both in for the run). SQLite; the medians of
// alternating rounds and their ratio are printed.

#include "BenchTransportKit.h"
#include "InstanceNames.h"
#include "LumoSocketConnection.h"
#include "PlantIni.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>

#include <algorithm>
#include <vector>

using namespace korvane;

namespace {

constexpr int Rows = 20;
constexpr int Fetches = 400;
constexpr int Rounds = 5;

double medianFetch(TLumoSocketConnection &connection)
{
    std::vector<double> times;
    times.reserve(Fetches);
    for (int i = 0; i < Fetches; ++i) {
        QElapsedTimer timer;
        timer.start();
        connection.getRecords(QStringLiteral("dspCI"), -1, grReset, {});
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + Fetches / 2, times.end());
    return times[Fetches / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    qputenv("KORVANE_INSTANCE", "bench-" + QUuid::createUuid().toString(QUuid::Id128).toLatin1());
    test::ScratchDb scratch(QStringLiteral("sqlite"));
    QSqlQuery(scratch.db())
        .exec(QStringLiteral(
            "CREATE TABLE XCI (Code VARCHAR(4) NOT NULL PRIMARY KEY, Name VARCHAR(20))"));
    for (int i = 0; i < Rows; ++i)
        QSqlQuery(scratch.db())
            .exec(QStringLiteral("INSERT INTO XCI VALUES ('B%1', '品牌%1')")
                      .arg(i, 3, 10, QLatin1Char('0')));
    DbConnectionInfo connection;
    connection.databaseName = scratch.databaseName();
    setRunTimeConnection(connection);

    QTemporaryDir bin;
    PlantIni(QDir(bin.path()).filePath(QStringLiteral("Plant.ini")))
        .write(QStringLiteral("SCKTSRVR"), QStringLiteral("AllowPlain"), QStringLiteral("1"));
    bench::HostThread host(moduleHostSocketName(bin.path()));
    quint16 port = 0;
    const std::unique_ptr<QProcess> relay = bench::startRelay(bin.path(), &port);
    if (!host.isListening() || !relay) {
        out << "cannot start the module host and the relay" << Qt::endl;
        return 1;
    }
    TLumoSocketConnection plain, encrypted;
    for (TLumoSocketConnection *c : {&plain, &encrypted}) {
        c->setPort(port);
        c->setServerName(QStringLiteral("Korvane.BaseRDM"));
    }
    plain.setTls(false);
    try {
        medianFetch(plain); // warm-up, and both connected
        medianFetch(encrypted);
        std::vector<double> plainTimes, tlsTimes;
        for (int round = 0; round < Rounds; ++round) {
            plainTimes.push_back(medianFetch(plain));
            tlsTimes.push_back(medianFetch(encrypted));
        }
        const double p = *std::min_element(plainTimes.begin(), plainTimes.end());
        const double t = *std::min_element(tlsTimes.begin(), tlsTimes.end());
        out << "20-row fetch, best median of " << Rounds << " rounds: plain " << p << " ms, TLS "
            << t << " ms, ratio " << t / p << Qt::endl;
    } catch (const TLumoRemoteError &e) {
        out << "remote call failed: " << e.text() << Qt::endl;
        return 1;
    }
    plain.Close();
    encrypted.Close();
    relay->terminate();
    relay->waitForFinished(5000);
    return 0;
}
