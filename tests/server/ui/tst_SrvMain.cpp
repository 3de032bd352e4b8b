#include "AccountSet.h"
#include "PlantIni.h"
#include "ShellMessages.h"
#include "SrvMessage.h"
#include "USrvMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>

using namespace korvane;

class tst_SrvMain : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin;
    QStringList m_launched;

    TfrmSrvMain::Launcher recorder()
    {
        return [this](const QString &name, const QString &commandLine) {
            m_launched << name + QLatin1Char('|') + commandLine;
        };
    }
    static void registerOrFail(ShellMessages &messages)
    {
        QString error;
        QVERIFY2(messages.registerMessages(&error),
                 qPrintable(error + QStringLiteral(" (run under dbus-run-session)")));
    }
    //! Sends from a client of the same install and waits until the bus has delivered it.
    static void sendFromClient(ShellMessages &client, ShellMessages::Message message, qint64 wParam)
    {
        QSignalSpy delivered(&client, &ShellMessages::received);
        QVERIFY(client.broadcast(message, wParam, 0));
        QVERIFY(delivered.wait());
        QCoreApplication::processEvents();
    }

private slots:
    void init() { m_launched.clear(); }

    void looksAsDesigned()
    {
        TfrmSrvMain w(m_bin.path(), recorder());
        QCOMPARE(w.size(), QSize(335, 156));
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvane进销存套帐管理"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QStringList captions;
        for (const char *name : {"btnDBPara", "btnIP", "btnBackup", "btnAbout", "btnClose"})
            captions << w.findChild<QToolButton *>(QString::fromLatin1(name))->text();
        QCOMPARE(captions,
                 QStringList({"数据库参数", "本机IP地址", "备份数据", " 关于本软件", "退出"}));
        QCOMPARE(w.trayIcon()->toolTip(), QStringLiteral("Korvane进销存套帐管理"));
        QCOMPARE(w.findChild<QLabel *>("lblTitle")->text(), QStringLiteral("套帐管理"));
    }

    void startsTheRelayThenTheClientOnTheFirstTick()
    {
        TfrmSrvMain w(m_bin.path(), recorder());
        QCOMPARE(m_launched, QStringList{"scktsrvr|scktsrvr"});
        auto *timer = w.findChild<QTimer *>("Timer2");
        QVERIFY(timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(!w.shellMessages()->isRegistered());

        w.Timer2Timer();
        QCOMPARE(m_launched, QStringList({"scktsrvr|scktsrvr", "KorvaneQUV|KorvaneQUV RUN"}));
        QVERIFY(!timer->isActive());
        QVERIFY(w.shellMessages()->isRegistered());
        auto *title = w.popupMenu()->findChild<QWidgetAction *>("nmain");
        QCOMPARE(static_cast<QLabel *>(title->defaultWidget())->text(),
                 QStringLiteral("      KorvaneTradimo2003"));
        QCOMPARE(w.popupMenu()->findChild<QAction *>("nClose")->text(),
                 QStringLiteral("退出KorvaneTradimo2003"));
    }

    void showsItselfWhereNoTrayExists()
    {
        TfrmSrvMain w(m_bin.path(), recorder());
        w.startInTray();
        QCOMPARE(w.isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());
    }

    void closesOnlyWhenTheClientHasEnded()
    {
        TfrmSrvMain w(m_bin.path(), recorder());
        w.show();
        ShellMessages client(m_bin.path());
        registerOrFail(client);
        QSignalSpy closed(&w, &TfrmSrvMain::closed);

        // Before the first tick the server does not hear the messages at all.
        sendFromClient(client, ShellMessages::KorvaneClose, 1);
        QCOMPARE(closed.count(), 0);

        w.Timer2Timer();
        QSignalSpy atClient(&client, &ShellMessages::received);
        QTest::mouseClick(w.findChild<QToolButton *>("btnClose"), Qt::LeftButton);
        QVERIFY(atClient.wait());
        QCOMPARE(atClient.at(0).at(0).value<ShellMessages::Message>(), ShellMessages::KorvaneClose);
        QCOMPARE(atClient.at(0).at(1).toLongLong(), 0);
        QCoreApplication::processEvents();
        QVERIFY(w.isVisible()); // the exit request alone closes nothing
        QCOMPARE(closed.count(), 0);

        sendFromClient(client, ShellMessages::KorvaneClose, 1);
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!w.isVisible());
    }

    void menuAndTitleCommandsBroadcast_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<ShellMessages::Message>("message");
        QTest::newRow("N1") << "N1" << ShellMessages::KorvaneRestore;
        QTest::newRow("N4") << "N4" << ShellMessages::KorvaneMin;
        QTest::newRow("nClose") << "nClose" << ShellMessages::KorvaneClose;
        QTest::newRow("imgMin") << "imgMin" << ShellMessages::KorvaneMin;
        QTest::newRow("imgClose") << "imgClose" << ShellMessages::KorvaneClose;
    }
    void menuAndTitleCommandsBroadcast()
    {
        QFETCH(QString, command);
        QFETCH(ShellMessages::Message, message);
        TfrmSrvMain w(m_bin.path(), recorder());
        w.show();
        w.Timer2Timer();
        ShellMessages client(m_bin.path());
        registerOrFail(client);
        QSignalSpy atClient(&client, &ShellMessages::received);
        if (auto *action = w.popupMenu()->findChild<QAction *>(command))
            action->trigger();
        else
            QTest::mouseClick(w.findChild<QToolButton *>(command), Qt::LeftButton);
        QVERIFY(atClient.wait());
        QCOMPARE(atClient.at(0).at(0).value<ShellMessages::Message>(), message);
        QCOMPARE(atClient.at(0).at(1).toLongLong(), 0);
    }

    void restoreShowsAndMinimiseHides()
    {
        TfrmSrvMain w(m_bin.path(), recorder());
        w.Timer2Timer();
        ShellMessages client(m_bin.path());
        registerOrFail(client);
        sendFromClient(client, ShellMessages::KorvaneRestore, 0);
        QTRY_VERIFY(w.isVisible() && !w.isMinimized());
        sendFromClient(client, ShellMessages::KorvaneMin, 0);
        QTRY_VERIFY(!w.isVisible() || w.isMinimized());
    }

    void backupDataWritesTheChosenFile_data()
    {
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("chosen file") << true << true << QStringLiteral("备份数据完成！");
        QTest::newRow("chooser cancelled") << true << false << QString();
        QTest::newRow("no account set") << false << true << QStringLiteral("套帐尚未创建");
    }
    void backupDataWritesTheChosenFile()
    {
        QFETCH(bool, ready);
        QFETCH(bool, chosen);
        QFETCH(QString, message);
        QTemporaryDir site;
        const QString bin = site.filePath(QStringLiteral("BIN"));
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(site.filePath(QStringLiteral("DB"))));
        if (ready) {
            AccountSet set(DbConnectionInfo{QStringLiteral("QSQLITE"), site.filePath("DB")},
                           QStringLiteral("QUV"));
            QString error;
            QVERIFY2(set.connect(&error) &&
                         set.restore(QStringLiteral(KORVANE_DB_DIR "/BK"), &error),
                     qPrintable(error));
            QVERIFY(PlantIni(QDir(bin).filePath("Plant.ini"))
                        .write(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"), "1"));
        }
        QStringList messages;
        setSrvMessageHandler([&](QWidget *, const SrvMessageText &m) { messages << m.text; });
        TfrmSrvMain w(bin, recorder());
        QString suggested;
        const QString target = site.filePath(QStringLiteral("copy.db"));
        w.setBackupFileChooser([&](QWidget *, const QString &offered) {
            suggested = offered;
            return chosen ? target : QString();
        });
        QTest::mouseClick(w.findChild<QToolButton *>(QStringLiteral("btnBackup")), Qt::LeftButton);
        setSrvMessageHandler({});
        QCOMPARE(QFile::exists(target), ready && chosen);
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages.first().startsWith(message), qPrintable(messages.first()));
        if (ready) // the account set's folder, its name and the time
            QVERIFY2(QFileInfo(suggested).fileName().startsWith(QStringLiteral("QUV-")) &&
                         QFileInfo(suggested).absolutePath() ==
                             QFileInfo(site.filePath("DB")).absoluteFilePath(),
                     qPrintable(suggested));
    }
};

QTEST_MAIN(tst_SrvMain)
#include "tst_SrvMain.moc"
