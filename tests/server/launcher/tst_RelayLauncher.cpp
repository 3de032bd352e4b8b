// The windowed server's relay: when scktsrvr cannot listen, the operator reads why and which
// keys to change in a box above every window; a relay that listens stays until the server ends.

#include "PlantIni.h"
#include "RelayExit.h"
#include "RelayLauncher.h"
#include "SrvMessage.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace korvane;

class tst_RelayLauncher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QList<SrvMessageText> m_messages;

    QString bin() const { return m_dir.path(); }
    void setPort(const QString &port) const
    {
        PlantIni(bin() + QStringLiteral("/Plant.ini")).write("SCKTSRVR", "Port", port);
    }
    static quint16 freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }
    static bool accepts(quint16 port)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(200);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/scktsrvr"),
                             bin() + QStringLiteral("/scktsrvr")),
                 "build scktsrvr first");
        // Only relays started from this folder count as running.
        qputenv("KORVANE_INSTANCE", QUuid::createUuid().toByteArray(QUuid::Id128));
        setSrvMessageHandler([this](QWidget *parent, const SrvMessageText &message) {
            QVERIFY(!parent); // a box of no window: above every window
            m_messages << message;
        });
    }
    void init() { m_messages.clear(); }

    void endingIsExplained_data()
    {
        QTest::addColumn<bool>("portTaken");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("named");
        const QStringList keys{"[SCKTSRVR]", "[KORVANEQUV]", "Port"};
        QTest::newRow("port in use") << true << QString() << relayexit::CannotListen
                                     << keys + QStringList{"setcap cap_net_bind_service=+ep "
                                                           "scktsrvr"};
        QTest::newRow("not a port") << false << "two-eleven" << relayexit::BadPort << keys;
    }
    void endingIsExplained()
    {
        QFETCH(bool, portTaken);
        QFETCH(QString, port);
        QTcpServer occupant;
        if (portTaken) {
            QVERIFY(occupant.listen(QHostAddress::Any, 0));
            port = QString::number(occupant.serverPort());
        }
        setPort(port);
        RelayLauncher relay(bin());
        QSignalSpy ended(&relay, &RelayLauncher::ended);
        QCOMPARE(relay.start(QStringLiteral("scktsrvr")), StartResult::Started);
        QVERIFY(ended.wait(10000));
        QTEST(ended.at(0).at(0).toInt(), "exitCode");

        QCOMPARE(m_messages.size(), 1);
        const SrvMessageText &message = m_messages.first();
        QCOMPARE(message.kind, SrvMessageKind::Error);
        QFETCH(QStringList, named);
        for (const QString &name : named)
            QVERIFY2(message.text.contains(name),
                     qPrintable(name + QLatin1String(" in ") + message.text));
        // The relay's own words, with the port, are there on request.
        QVERIFY2(message.detail.contains(port), qPrintable(message.detail));
        QCOMPARE(ended.at(0).at(1).toString(), message.detail);
    }

    void listeningRelayEndsWithTheServer()
    {
        const quint16 port = freePort();
        QVERIFY(port);
        setPort(QString::number(port));
        {
            RelayLauncher relay(bin());
            QCOMPARE(relay.start(QStringLiteral("scktsrvr")), StartResult::Started);
            QTRY_VERIFY_WITH_TIMEOUT(accepts(port), 10000);
            // Another start while it runs leaves it be.
            QCOMPARE(relay.start(QStringLiteral("scktsrvr")), StartResult::AlreadyRunning);
        }
        QVERIFY(!accepts(port));
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(tst_RelayLauncher)
#include "tst_RelayLauncher.moc"
