#include "FrameWatch.h"
#include "LumoSocketConnection.h"
#include "ModuleHost.h"
#include "PlantIni.h"
#include "Protocol.h"
#include "RelayCertificate.h"
#include "RelayLimits.h"
#include "RelaySettings.h"
#include "SocketRelay.h"

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <functional>

using namespace korvane;

namespace {

//! The smallest module: provider names only.
class NamesModule : public RemoteDataModule
{
public:
    QString className() const override { return QStringLiteral("CodeNameRDM"); }
    QStringList providerNames() const override { return {QStringLiteral("dspStoreCN")}; }
    Packet getRecords(const GetRecordsRequest &) override { return Packet(); }
    ApplyResult applyUpdates(const QString &, const ChangeSet &, int) override
    {
        return ApplyResult();
    }
    Params getParams(const QString &) override { return Params(); }
    void execute(const QString &, const QString &, const Params &) override {}
    QVariant invoke(const QString &, const QVariantList &, QVariantList *) override
    {
        return QVariant();
    }
};

//! Reads one answer while the relay and the host run in this thread's event loop.
QCborMap nextAnswer(QTcpSocket &socket, protocol::FrameReader &reader)
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        reader.append(socket.readAll());
        QCborMap answer;
        QString error;
        if (reader.next(&answer, &error) == protocol::FrameReader::Status::Message)
            return answer;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        socket.waitForReadyRead(10);
    }
    return QCborMap();
}

QCborMap message(const QString &op, const QString &key = QString(),
                 const QString &value = QString())
{
    QCborMap m{{QStringLiteral("op"), op}, {QStringLiteral("id"), 1}};
    if (!key.isEmpty())
        m.insert(key, value);
    return m;
}

//! A module host with the smallest module and a relay in front of it, in this thread.
struct RelayBench
{
    explicit RelayBench(const RelayLimits &limits, const RelayTls &tls = {}, quint16 port = 0)
        : socketName(QStringLiteral("korvane-relay-test-") +
                     QUuid::createUuid().toString(QUuid::Id128)),
          relay(socketName, limits, tls)
    {
        host.registerClass(QStringLiteral("CodeNameRDM"),
                           [] { return std::make_unique<NamesModule>(); });
        listening = host.listen(socketName, nullptr) && relay.listen(port, nullptr);
    }

    //! A client that has opened the module; false when it could not.
    bool open(QTcpSocket &client, protocol::FrameReader &reader)
    {
        client.connectToHost(QHostAddress::LocalHost, relay.port());
        if (!client.waitForConnected(5000))
            return false;
        client.write(protocol::encodeFrame(message(QStringLiteral("open"), QStringLiteral("class"),
                                                   QStringLiteral("Korvane.CodeNameRDM"))));
        return nextAnswer(client, reader).value(QStringLiteral("class")).toString() ==
               QStringLiteral("CodeNameRDM");
    }

    bool namesAnswered(QTcpSocket &client, protocol::FrameReader &reader)
    {
        client.write(protocol::encodeFrame(message(QStringLiteral("AS_GetProviderNames"))));
        return !nextAnswer(client, reader).value(QStringLiteral("names")).toArray().isEmpty();
    }

    QString socketName;
    ModuleHost host;
    SocketRelay relay;
    bool listening = false;
};

//! The encryption of a relay whose identity is made in the given folder.
RelayTls encryptedOnly(const QString &dir)
{
    QTemporaryDir ini;
    PlantIni(ini.filePath(QStringLiteral("Plant.ini")))
        .write(QStringLiteral("SCKTSRVR"), QStringLiteral("Tls"), QStringLiteral("1"));
    RelayTls tls;
    QString error;
    if (!relayTls(ini.filePath(QStringLiteral("Plant.ini")), dir, &tls, &error))
        qWarning("no identity: %s", qPrintable(error));
    return tls;
}

//! Runs a blocking client call on a thread of its own while this thread's event loop serves the
//! relay; what the call threw comes back as text.
QString onClientThread(const std::function<void()> &call)
{
    QString failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            call();
        } catch (const TLumoRemoteError &e) {
            failure = e.text();
        }
    }));
    thread->start();
    while (!thread->wait(10))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return failure;
}

class MemoryPins : public TLumoCertificatePins
{
public:
    QString pinned(const QString &address) const override { return pins.value(address); }
    void pin(const QString &address, const QString &digest) override
    {
        pins.insert(address, digest);
    }
    QHash<QString, QString> pins;
};

} // namespace

class tst_SocketRelay : public QObject
{
    Q_OBJECT
private slots:
    void portChoice_data();
    void portChoice();
    void bindFailureNamesTheRemedies();
    void relaysBothWays();
    void missingHostIsReportedToTheClient();
    void limitsFromPlantIni_data();
    void limitsFromPlantIni();
    void frameWatchFollowsBoundaries_data();
    void frameWatchFollowsBoundaries();
    void stuckPeersAreClosedAtTheirDeadlines();
    void capsRefuseTheNextPeer_data();
    void capsRefuseTheNextPeer();
    void identityIsMadeOnceAndKeptPrivate();
    void encryptedClientsPinTheCertificate();
    void plainPeersOfAnEncryptedRelay_data();
    void plainPeersOfAnEncryptedRelay();
};

void tst_SocketRelay::portChoice_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("iniPort");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("error");
    QTest::newRow("default") << QStringList{"scktsrvr"} << "" << 211 << "";
    QTest::newRow("Plant.ini") << QStringList{"scktsrvr"} << "2110" << 2110 << "";
    QTest::newRow("--port wins") << QStringList{"scktsrvr", "--port", "3000"} << "2110" << 3000
                                 << "";
    QTest::newRow("--port=") << QStringList{"scktsrvr", "--port=3001"} << "" << 3001 << "";
    QTest::newRow("--port without number")
        << QStringList{"scktsrvr", "--port"} << "" << 0 << "--port needs a port number";
    QTest::newRow("port out of range") << QStringList{"scktsrvr", "--port", "70000"} << "" << 0
                                       << "\"70000\" is not a port number";
    QTest::newRow("bad Plant.ini")
        << QStringList{"scktsrvr"} << "abc" << 0 << "Plant.ini [SCKTSRVR] Port";
}

void tst_SocketRelay::portChoice()
{
    QFETCH(QStringList, args);
    QFETCH(QString, iniPort);
    QFETCH(int, port);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Plant.ini"));
    if (!iniPort.isEmpty())
        QVERIFY(PlantIni(ini).write(QStringLiteral("SCKTSRVR"), QStringLiteral("Port"), iniPort));
    quint16 chosen = 0;
    QString reason;
    QCOMPARE(relayPort(args, ini, &chosen, &reason), error.isEmpty());
    if (error.isEmpty())
        QCOMPARE(int(chosen), port);
    else
        QVERIFY2(reason.contains(error), qPrintable(reason));
}

void tst_SocketRelay::bindFailureNamesTheRemedies()
{
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress::Any, 0));
    SocketRelay relay(QStringLiteral("unused"));
    QString error;
    QVERIFY(!relay.listen(occupant.serverPort(), &error));
    QVERIFY2(error.contains(QStringLiteral("[SCKTSRVR]")) &&
                 error.contains(QStringLiteral("--port")),
             qPrintable(error));
    const QString privileged = bindFailureHelp(211, QStringLiteral("permission denied"));
    QVERIFY(privileged.contains(QStringLiteral("setcap cap_net_bind_service=+ep scktsrvr")));
    QVERIFY(privileged.contains(QStringLiteral("Port")));
}

void tst_SocketRelay::relaysBothWays()
{
    const QString socketName =
        QStringLiteral("korvane-relay-test-") + QUuid::createUuid().toString(QUuid::Id128);
    ModuleHost host;
    host.registerClass(QStringLiteral("CodeNameRDM"),
                       [] { return std::make_unique<NamesModule>(); });
    QVERIFY(host.listen(socketName, nullptr));
    SocketRelay relay(socketName);
    QVERIFY(relay.listen(0, nullptr));

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, relay.port());
    QVERIFY(client.waitForConnected(5000));
    protocol::FrameReader reader;
    // A frame split across writes arrives whole.
    const QByteArray open = protocol::encodeFrame(message(
        QStringLiteral("open"), QStringLiteral("class"), QStringLiteral("Korvane.CodeNameRDM")));
    client.write(open.left(3));
    client.flush();
    QTest::qWait(20);
    client.write(open.mid(3));
    QCOMPARE(nextAnswer(client, reader).value(QStringLiteral("class")).toString(),
             QStringLiteral("CodeNameRDM"));
    client.write(protocol::encodeFrame(message(QStringLiteral("AS_GetProviderNames"))));
    QCOMPARE(nextAnswer(client, reader).value(QStringLiteral("names")).toArray().first().toString(),
             QStringLiteral("dspStoreCN"));

    client.disconnectFromHost();
    QTRY_COMPARE(host.connectionCount(), 0);
    QTRY_COMPARE(relay.linkCount(), 0);
}

void tst_SocketRelay::missingHostIsReportedToTheClient()
{
    SocketRelay relay(QStringLiteral("korvane-nobody-") +
                      QUuid::createUuid().toString(QUuid::Id128));
    QVERIFY(relay.listen(0, nullptr));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, relay.port());
    QVERIFY(client.waitForConnected(5000));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot reach the module host")));
    // The host is looked for once the client has said something.
    client.write(protocol::encodeFrame(message(QStringLiteral("open"), QStringLiteral("class"),
                                               QStringLiteral("Korvane.CodeNameRDM"))));
    protocol::FrameReader reader;
    const QCborMap answer = nextAnswer(client, reader);
    QCOMPARE(answer.value(QStringLiteral("ok")).toBool(), false);
    QVERIFY(answer.value(QStringLiteral("error"))
                .toString()
                .startsWith(QStringLiteral("The Korvane server is not running")));
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

void tst_SocketRelay::limitsFromPlantIni_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("field");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<bool>("warned");
    QTest::newRow("seconds") << "OpenTimeout"
                             << "30"
                             << "open" << qint64(30000) << false;
    QTest::newRow("fractions of a second") << "FrameTimeout"
                                           << "0.25"
                                           << "frame" << qint64(250) << false;
    QTest::newRow("byte rate") << "MinByteRate"
                               << "100"
                               << "rate" << qint64(100) << false;
    QTest::newRow("total cap") << "MaxConnections"
                               << "3"
                               << "total" << qint64(3) << false;
    QTest::newRow("address cap") << "MaxConnectionsPerAddress"
                                 << "2"
                                 << "address" << qint64(2) << false;
    QTest::newRow("words keep the default") << "MaxConnections"
                                            << "many"
                                            << "total" << qint64(500) << true;
    QTest::newRow("zero keeps the default") << "OpenTimeout"
                                            << "0"
                                            << "open" << qint64(30000) << true;
    QTest::newRow("negative keeps the default") << "MinByteRate"
                                                << "-5"
                                                << "rate" << qint64(4096) << true;
}

void tst_SocketRelay::limitsFromPlantIni()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, field);
    QFETCH(qint64, expected);
    QFETCH(bool, warned);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Plant.ini"));
    QVERIFY(PlantIni(ini).write(QStringLiteral("SCKTSRVR"), key, value));
    QString warnings;
    const RelayLimits limits = relayLimits(ini, &warnings);
    const QHash<QString, qint64> got{{QStringLiteral("open"), limits.openTimeoutMs},
                                     {QStringLiteral("frame"), limits.frameTimeoutMs},
                                     {QStringLiteral("rate"), limits.minByteRate},
                                     {QStringLiteral("total"), limits.maxConnections},
                                     {QStringLiteral("address"), limits.maxConnectionsPerAddress}};
    QCOMPARE(got.value(field), expected);
    QCOMPARE(warnings.contains(key), warned);
}

void tst_SocketRelay::frameWatchFollowsBoundaries_data()
{
    QTest::addColumn<QList<int>>("cuts"); // where the stream of two frames is cut into feeds
    QTest::addColumn<QList<qint64>>("framesAfter");
    QTest::addColumn<QList<bool>>("inFrameAfter");
    // Two frames of a 4-byte length and a 4-byte body each: bytes 0..7 and 8..15.
    QTest::newRow("whole stream") << QList<int>{16} << QList<qint64>{2} << QList<bool>{false};
    QTest::newRow("byte by byte of the length")
        << QList<int>{1, 2, 3, 4, 8, 16} << QList<qint64>{0, 0, 0, 0, 1, 2}
        << QList<bool>{true, true, true, true, false, false};
    QTest::newRow("a frame and a half")
        << QList<int>{12, 16} << QList<qint64>{1, 2} << QList<bool>{true, false};
}

void tst_SocketRelay::frameWatchFollowsBoundaries()
{
    QFETCH(QList<int>, cuts);
    QFETCH(QList<qint64>, framesAfter);
    QFETCH(QList<bool>, inFrameAfter);
    const QByteArray frame = protocol::encodeFrame(QCborMap{{QStringLiteral("a"), 1}});
    QCOMPARE(frame.size(), 8);
    const QByteArray stream = frame + frame;
    FrameWatch watch;
    int from = 0;
    for (int i = 0; i < cuts.size(); ++i) {
        watch.feed(stream.mid(from, cuts[i] - from));
        from = cuts[i];
        QCOMPARE(watch.frames(), framesAfter[i]);
        QCOMPARE(watch.inFrame(), inFrameAfter[i]);
    }
    QVERIFY(!watch.broken());

    FrameWatch broken;
    broken.feed(QByteArray("\0\0\0\0", 4)); // a frame of no bytes
    QVERIFY(broken.broken());
}

void tst_SocketRelay::stuckPeersAreClosedAtTheirDeadlines()
{
    RelayLimits limits;
    limits.openTimeoutMs = 150;
    limits.frameTimeoutMs = 150;
    RelayBench bench(limits);
    QVERIFY(bench.listening);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no whole message")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no whole message")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("was not finished")));

    QTcpSocket healthy, silent, halfFirst, halfLater;
    protocol::FrameReader healthyReader, laterReader;
    QVERIFY(bench.open(healthy, healthyReader));
    QVERIFY(bench.open(halfLater, laterReader));
    silent.connectToHost(QHostAddress::LocalHost, bench.relay.port());
    halfFirst.connectToHost(QHostAddress::LocalHost, bench.relay.port());
    QVERIFY(silent.waitForConnected(5000) && halfFirst.waitForConnected(5000));
    const QByteArray frame = protocol::encodeFrame(message(QStringLiteral("AS_GetProviderNames")));
    halfFirst.write(frame.left(6));
    halfLater.write(frame.left(6));
    // Peers that never sent a whole message never reached the host.
    QCOMPARE(bench.host.connectionCount(), 2);

    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QAbstractSocket::UnconnectedState, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(halfFirst.state(), QAbstractSocket::UnconnectedState, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(halfLater.state(), QAbstractSocket::UnconnectedState, 5000);
    QTRY_COMPARE(bench.host.connectionCount(), 1);
    // The client that idled past every deadline between its messages is still served.
    QVERIFY(bench.namesAnswered(healthy, healthyReader));
    QCOMPARE(bench.relay.linkCount(), 1);
}

void tst_SocketRelay::capsRefuseTheNextPeer_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("perAddress");
    QTest::newRow("total") << 2 << 50;
    QTest::newRow("per address") << 50 << 2;
}

void tst_SocketRelay::capsRefuseTheNextPeer()
{
    QFETCH(int, total);
    QFETCH(int, perAddress);
    RelayLimits limits;
    limits.maxConnections = total;
    limits.maxConnectionsPerAddress = perAddress;
    RelayBench bench(limits);
    QVERIFY(bench.listening);
    QTcpSocket first, second, third;
    protocol::FrameReader firstReader, secondReader, thirdReader;
    QVERIFY(bench.open(first, firstReader));
    QVERIFY(bench.open(second, secondReader));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused")));
    third.connectToHost(QHostAddress::LocalHost, bench.relay.port());
    QVERIFY(third.waitForConnected(5000));
    const QCborMap refusal = nextAnswer(third, thirdReader);
    QCOMPARE(refusal.value(QStringLiteral("ok")).toBool(), false);
    QCOMPARE(refusal.value(QStringLiteral("error")).toString(),
             QStringLiteral("服务器的连接已满，请稍后再试。"));
    QTRY_COMPARE(third.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(bench.namesAnswered(first, firstReader));
    QVERIFY(bench.namesAnswered(second, secondReader));
    // A place freed is a place to take.
    first.disconnectFromHost();
    QTRY_COMPARE(bench.relay.linkCount(), 1);
    QTcpSocket fourth;
    protocol::FrameReader fourthReader;
    QVERIFY(bench.open(fourth, fourthReader));
}

void tst_SocketRelay::identityIsMadeOnceAndKeptPrivate()
{
    QTemporaryDir dir;
    RelayIdentity first, second;
    QString error;
    QVERIFY2(relayIdentity(dir.path(), &first, &error), qPrintable(error));
    QVERIFY2(relayIdentity(dir.path(), &second, &error), qPrintable(error));
    QCOMPARE(second.certificate, first.certificate); // made once, then read
    QCOMPARE(QFile(dir.filePath(QStringLiteral("scktsrvr.key"))).permissions() &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    // A damaged key stops the relay with a reason instead of making a new identity behind the
    // clients' backs.
    QFile key(dir.filePath(QStringLiteral("scktsrvr.key")));
    QVERIFY(key.open(QIODevice::WriteOnly));
    key.write("not a key");
    key.close();
    RelayIdentity damaged;
    QVERIFY(!relayIdentity(dir.path(), &damaged, &error));
    QVERIFY2(error.contains(QStringLiteral("remove both")), qPrintable(error));
}

void tst_SocketRelay::encryptedClientsPinTheCertificate()
{
    QTemporaryDir first, second;
    const RelayTls firstTls = encryptedOnly(first.path());
    const RelayTls secondTls = encryptedOnly(second.path());
    QVERIFY(firstTls.enabled() && secondTls.enabled());
    MemoryPins pins;
    quint16 port = 0;
    QString refusal;
    auto names = [&] {
        TLumoSocketConnection client;
        client.setCertificatePins(&pins);
        client.setServerName(QStringLiteral("Korvane.CodeNameRDM"));
        client.setPort(port);
        client.setTimeout(10000);
        QCOMPARE(client.getProviderNames(), QStringList{QStringLiteral("dspStoreCN")});
    };
    {
        RelayBench bench(RelayLimits(), firstTls);
        QVERIFY(bench.listening);
        port = bench.relay.port();
        QCOMPARE(onClientThread(names), QString());
        QCOMPARE(pins.pins.value(QStringLiteral("127.0.0.1:%1").arg(port)),
                 certificateDigest(firstTls.configuration.localCertificate()));
        QCOMPARE(onClientThread(names), QString()); // the pinned server again
    }
    // Another server on the same address: the client refuses it and says what to do.
    RelayBench impostor(RelayLimits(), secondTls, port);
    QVERIFY(impostor.listening);
    refusal = onClientThread(names);
    QVERIFY2(refusal.contains(QStringLiteral("证书与第一次连接时记下的不同")) &&
                 refusal.contains(QStringLiteral("[CERTIFICATES]")),
             qPrintable(refusal));
    QCOMPARE(impostor.host.connectionCount(), 0);
}

void tst_SocketRelay::plainPeersOfAnEncryptedRelay_data()
{
    QTest::addColumn<bool>("allowPlain");
    QTest::newRow("refused") << false;
    QTest::newRow("let in by the switch") << true;
}

void tst_SocketRelay::plainPeersOfAnEncryptedRelay()
{
    QFETCH(bool, allowPlain);
    QTemporaryDir dir;
    RelayTls tls = encryptedOnly(dir.path());
    tls.allowPlain = allowPlain;
    RelayBench bench(RelayLimits(), tls);
    QVERIFY(bench.listening);
    QTcpSocket plain;
    protocol::FrameReader reader;
    if (allowPlain) {
        QVERIFY(bench.open(plain, reader));
        QVERIFY(bench.namesAnswered(plain, reader));
        return;
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("plain connections")));
    plain.connectToHost(QHostAddress::LocalHost, bench.relay.port());
    QVERIFY(plain.waitForConnected(5000));
    plain.write(protocol::encodeFrame(message(QStringLiteral("open"))));
    const QCborMap farewell = nextAnswer(plain, reader);
    QVERIFY2(farewell.value(QStringLiteral("error"))
                 .toString()
                 .contains(QStringLiteral("只接受加密连接")),
             qPrintable(farewell.value(QStringLiteral("error")).toString()));
    QTRY_COMPARE(plain.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(bench.host.connectionCount(), 0);
}

QTEST_GUILESS_MAIN(tst_SocketRelay)
#include "tst_SocketRelay.moc"
