// What stuck peers cost a healthy client: a 20-row fetch through the real relay and the module
// host while nobody else is connected, against the same fetch while 150 peers are connected
// and silent and 150 have sent half a message. SQLite, one run; the ratio is printed, with the
// host threads the bad peers hold (none: they never reach the host).

#include "BenchTransportKit.h"
#include "InstanceNames.h"
#include "LumoSocketConnection.h"
#include "PlantIni.h"
#include "Protocol.h"
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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr int Rows = 20;
constexpr int Fetches = 400;
constexpr int BadPeers = 300;
constexpr int Rounds = 5;

//! A peer as another machine would be: a plain socket this program never looks at again.
class RawPeer
{
public:
    RawPeer(quint16 port, const QByteArray &bytes) : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            !bytes.isEmpty())
            (void)::write(m_fd, bytes.constData(), size_t(bytes.size()));
    }
    ~RawPeer() { ::close(m_fd); }
    RawPeer(const RawPeer &) = delete;
    RawPeer &operator=(const RawPeer &) = delete;

private:
    int m_fd;
};

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
    // The bad peers all come from this machine: let them all in, and keep them for the run.
    PlantIni(QDir(bin.path()).filePath(QStringLiteral("Plant.ini")))
        .write(QStringLiteral("SCKTSRVR"),
               {{QStringLiteral("MaxConnectionsPerAddress"), QString::number(BadPeers + 10)},
                {QStringLiteral("OpenTimeout"), QStringLiteral("600")},
                {QStringLiteral("FrameTimeout"), QStringLiteral("600")}});
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
        bench::medianFetch(base, Fetches); // warm-up
        const QByteArray half =
            protocol::encodeFrame(QCborMap{{QStringLiteral("op"), QStringLiteral("open")}}).left(6);
        // Quiet and crowded in turns, so that what else the machine does falls on both.
        std::vector<double> quiet, crowded;
        int threads = 0;
        for (int round = 0; round < Rounds; ++round) {
            quiet.push_back(bench::medianFetch(base, Fetches));
            std::vector<std::unique_ptr<RawPeer>> peers;
            for (int i = 0; i < BadPeers; ++i)
                peers.push_back(std::make_unique<RawPeer>(port, i % 2 ? half : QByteArray()));
            bench::medianFetch(base, Fetches); // while the relay takes the peers in
            crowded.push_back(bench::medianFetch(base, Fetches));
            threads = std::max(threads, host.connectionCount());
        }
        const double q = *std::min_element(quiet.begin(), quiet.end());
        const double c = *std::min_element(crowded.begin(), crowded.end());
        out << "20-row fetch, best median of " << Rounds << " rounds: quiet " << q << " ms, with "
            << BadPeers << " stuck peers " << c << " ms, ratio " << c / q
            << "; host threads at most " << threads << " (the healthy client's one)" << Qt::endl;
    } catch (const TLumoRemoteError &e) {
        out << "remote call failed: " << e.text() << Qt::endl;
        return 1;
    }
    base.Close();
    relay->terminate();
    relay->waitForFinished(5000);
    return 0;
}
