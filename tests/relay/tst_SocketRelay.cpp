#include "ModuleHost.h"
#include "PlantIni.h"
#include "Protocol.h"
#include "RelaySettings.h"
#include "SocketRelay.h"

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

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
    protocol::FrameReader reader;
    const QCborMap answer = nextAnswer(client, reader);
    QCOMPARE(answer.value(QStringLiteral("ok")).toBool(), false);
    QVERIFY(answer.value(QStringLiteral("error"))
                .toString()
                .startsWith(QStringLiteral("The Korvane server is not running")));
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

QTEST_GUILESS_MAIN(tst_SocketRelay)
#include "tst_SocketRelay.moc"
