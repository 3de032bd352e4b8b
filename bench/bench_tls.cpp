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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    qputenv("KORVANE_INSTANCE", "bench-" + QUuid::createUuid().toString(QUuid::Id128).toLatin1());
    test::ScratchDb scratch(QStringLiteral("sqlite"));
    bench::makeBrands(scratch.db(), Rows);
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
        bench::medianFetch(plain, Fetches); // warm-up, and both connected
        bench::medianFetch(encrypted, Fetches);
        std::vector<double> plainTimes, tlsTimes;
        for (int round = 0; round < Rounds; ++round) {
            plainTimes.push_back(bench::medianFetch(plain, Fetches));
            tlsTimes.push_back(bench::medianFetch(encrypted, Fetches));
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
