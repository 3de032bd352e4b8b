#include "InstanceNames.h"
#include "ShellMessages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using korvane::ShellMessages;

class tst_ShellMessages : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin;
    QTemporaryDir m_otherBin;

    static void registerOrFail(ShellMessages &messages)
    {
        QString error;
        QVERIFY2(messages.registerMessages(&error),
                 qPrintable(error + QStringLiteral(" (run under dbus-run-session)")));
    }

private slots:
    void initTestCase() { qRegisterMetaType<ShellMessages::Message>(); }

    void deliveredToEveryProgramOfTheInstall_data()
    {
        QTest::addColumn<ShellMessages::Message>("message");
        QTest::addColumn<qint64>("wParam");
        QTest::addColumn<qint64>("lParam");
        QTest::newRow("exit request") << ShellMessages::KorvaneClose << qint64(0) << qint64(0);
        QTest::newRow("client ended") << ShellMessages::KorvaneClose << qint64(1) << qint64(0);
        QTest::newRow("restore") << ShellMessages::KorvaneRestore << qint64(0) << qint64(0);
        QTest::newRow("minimise, wide words")
            << ShellMessages::KorvaneMin << qint64(-7) << qint64(1);
    }
    void deliveredToEveryProgramOfTheInstall()
    {
        QFETCH(ShellMessages::Message, message);
        QFETCH(qint64, wParam);
        QFETCH(qint64, lParam);
        ShellMessages server(m_bin.path());
        ShellMessages client(m_bin.path());
        ShellMessages otherInstall(m_otherBin.path());
        ShellMessages notRegistered(m_bin.path());
        registerOrFail(server);
        registerOrFail(client);
        registerOrFail(otherInstall);
        QSignalSpy atServer(&server, &ShellMessages::received);
        QSignalSpy atClient(&client, &ShellMessages::received);
        QSignalSpy atOther(&otherInstall, &ShellMessages::received);
        QSignalSpy atUnregistered(&notRegistered, &ShellMessages::received);

        QVERIFY(client.broadcast(message, wParam, lParam));
        QVERIFY(atServer.wait());
        QTRY_COMPARE(atClient.count(), 1);
        const QVariantList args = atServer.takeFirst();
        QCOMPARE(args.at(0).value<ShellMessages::Message>(), message);
        QCOMPARE(args.at(1).toLongLong(), wParam);
        QCOMPARE(args.at(2).toLongLong(), lParam);
        QCOMPARE(atOther.count(), 0);
        QCOMPARE(atUnregistered.count(), 0);
    }

    void unregisteredCannotBroadcast()
    {
        ShellMessages messages(m_bin.path());
        QVERIFY(!messages.broadcast(ShellMessages::KorvaneClose, 1, 0));
    }

    void foreignSignalsOnThePathAreDropped()
    {
        ShellMessages receiver(m_bin.path());
        registerOrFail(receiver);
        QSignalSpy spy(&receiver, &ShellMessages::received);
        const QString path = korvane::shellMessagePath(m_bin.path());
        const QString iface = QStringLiteral("org.korvane.Shell");
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusMessage wrongTypes = QDBusMessage::createSignal(path, iface, "SM_KorvaneClose");
        wrongTypes << QStringLiteral("1") << QStringLiteral("0");
        QDBusMessage tooFew = QDBusMessage::createSignal(path, iface, "SM_KorvaneClose");
        tooFew << qint64(1);
        QDBusMessage good = QDBusMessage::createSignal(path, iface, "SM_KorvaneRestore");
        good << 3 << 4; // 32-bit words are fine too
        QVERIFY(bus.send(wrongTypes));
        QVERIFY(bus.send(tooFew));
        QVERIFY(bus.send(good));
        QVERIFY(spy.wait());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<ShellMessages::Message>(), ShellMessages::KorvaneRestore);
        QCOMPARE(spy.at(0).at(1).toLongLong(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_ShellMessages)
#include "tst_ShellMessages.moc"
