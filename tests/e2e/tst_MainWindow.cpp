#include "LoginUserInfo.h"
#include "LumoCLientDataSet.h"
#include "LumoComboBox.h"
#include "LumoEdit.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "ULogIn.h"
#include "UMain.h"
#include "UMsgBox.h"
#include "UNavPane.h"
#include "UParentInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace korvane::test;

class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sessionAndReconnect_data() { addBackendRows(); }
    void sessionAndReconnect();

private:
    QStringList m_messages;
    QString iniPath() const { return QCoreApplication::applicationDirPath() + "/Plant.ini"; }
};

void tst_MainWindow::init()
{
    m_messages.clear();
    setMsgBoxHandler([this](const TMsgBoxRequest &r) {
        m_messages << r.text;
        return int(mrOk);
    });
    QFile::remove(iniPath());
}

void tst_MainWindow::cleanup()
{
    setMsgBoxHandler({});
    QFile::remove(iniPath());
}

void tst_MainWindow::sessionAndReconnect()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    TdmMain dm;
    for (TLumoSocketConnection *c : dm.connections())
        c->setPort(server.port());
    TfrmLogIn dialog(&dm, nullptr);
    dialog.edtSrv->setText(QStringLiteral("127.0.0.1"));
    dialog.cbUser->setEditText(QStringLiteral("0001"));
    dialog.edtPWD->setText(QStringLiteral("0001"));
    QVERIFY(dialog.logIn());

    // The session the login opened reaches the record every window reads.
    TfrmMain main(nullptr, &dm);
    main.pnlNav->setSlideDelay(0);
    main.fillSession(dialog.sessionId(), dialog.userInfo());
    QVERIFY(!dialog.sessionId().isEmpty());
    QCOMPARE(ParentInfo.Log.SessionId, dialog.sessionId());
    QCOMPARE(lumoSession().SessionId, dialog.sessionId());
    QCOMPARE(ParentInfo.Log.UserCode, QStringLiteral("0001"));
    QVERIFY(main.lblLogIn->text().startsWith(QStringLiteral("登录时间:")));
    QVERIFY(main.lblLogIn->text().contains(QStringLiteral("           操作员:") +
                                           ParentInfo.Log.UserName + QStringLiteral("【")));

    // "重新连接" renews the four module connections with the same session: no new login.
    main.action(QStringLiteral("actReconnect"))->trigger();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
    for (TLumoSocketConnection *c : dm.connections())
        QVERIFY2(c->Connected(), qPrintable(c->objectName()));
    TLumoCLientDataSet *money = dm.lookup(QStringLiteral("dspMoney"));
    money->Close();
    money->Open();
    QVERIFY(money->LocateValues("Code", {QStringLiteral("01")}, true));

    // With the server gone, reconnecting says so and nothing else happens.
    server.stopServer();
    QVERIFY(!main.reconnect());
    QCOMPARE(m_messages, QStringList{TfrmLogIn::statusMessage(-1)});
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
