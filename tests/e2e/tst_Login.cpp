#include "LumoCLientDataSet.h"
#include "LumoComboBox.h"
#include "LumoEdit.h"
#include "LumoSocketConnection.h"
#include "PlantIni.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "ULogIn.h"
#include "UMsgBox.h"
#include "UParentInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTcpServer>
#include <QTest>

using namespace korvane::test;

class tst_Login : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void logIn_data() { addBackendRows(); }
    void logIn();
    void serverNotRunning();
    void statusMessages_data();
    void statusMessages();

private:
    QStringList m_messages;
    QString iniPath() const { return QCoreApplication::applicationDirPath() + "/Plant.ini"; }
};

void tst_Login::init()
{
    m_messages.clear();
    setMsgBoxHandler([this](const TMsgBoxRequest &r) {
        m_messages << r.text;
        return int(mrOk);
    });
    QFile::remove(iniPath());
}

void tst_Login::cleanup()
{
    setMsgBoxHandler({});
    QFile::remove(iniPath());
}

static void pointAt(TdmMain &dm, quint16 port)
{
    for (TLumoSocketConnection *c : dm.connections())
        c->setPort(port);
}

void tst_Login::logIn()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    TdmMain dm;
    pointAt(dm, server.port());
    TfrmLogIn dialog(&dm, nullptr);
    dialog.edtSrv->setText(QStringLiteral("127.0.0.1"));

    // The user list comes from the server once, sorted, as code--name【department】.
    dialog.fillUserList();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
    QVERIFY(dialog.cbUser->count() >= 1);
    QVERIFY(dialog.cbUser->itemText(0).startsWith(QStringLiteral("0001--")));
    QVERIFY(dialog.cbUser->itemText(0).endsWith(QStringLiteral("】")));

    // A wrong password is refused and the dialog stays; nothing is written.
    dialog.cbUser->setEditText(QStringLiteral("0001"));
    dialog.edtPWD->setText(QStringLiteral("wrong"));
    QVERIFY(!dialog.logIn());
    QCOMPARE(m_messages, QStringList{QStringLiteral("用户名或密码错误！")});
    QVERIFY(!dm.SCBase->Connected());
    // Only the server's certificate is kept from the first connection, not the login.
    QVERIFY(korvane::ReadPlantIni(iniPath(), "KORVANEQUV", "Srvname", {}).isEmpty());
    QVERIFY(korvane::ReadPlantIni(iniPath(), "KORVANEQUV", "UserID", {}).isEmpty());
    QCOMPARE(korvane::ReadPlantIni(iniPath(), "CERTIFICATES",
                                   QStringLiteral("127.0.0.1:%1").arg(server.port()), {})
                 .size(),
             64);

    // The right one, ended with Enter in the password box, connects all five modules, opens
    // the lookups and remembers the login.
    m_messages.clear();
    dialog.edtPWD->setText(QStringLiteral("0001"));
    QTest::keyClick(dialog.edtPWD, Qt::Key_Return);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    for (TLumoSocketConnection *c : dm.connections())
        QVERIFY2(c->Connected(), qPrintable(c->objectName()));
    QVERIFY(dm.lookup(QStringLiteral("dspMoney"))->Active());
    QVERIFY(dm.lookup(QStringLiteral("cdsInvoiceAttr"))->Active());
    QVERIFY(
        dm.lookup(QStringLiteral("dspMoney"))->LocateValues("Code", {QStringLiteral("01")}, true));
    QCOMPARE(korvane::ReadPlantIni(iniPath(), "KORVANEQUV", "Srvname", {}),
             QStringLiteral("127.0.0.1"));
    QCOMPARE(korvane::ReadPlantIni(iniPath(), "KORVANEQUV", "UserID", {}), QStringLiteral("0001"));

    // The session record names the real operator.
    TParentInfo info;
    fillParentInfo(info, dialog.sessionId(), dialog.userInfo());
    QCOMPARE(info.Log.UserCode, QStringLiteral("0001"));
    QCOMPARE(info.Log.DeptCode, QStringLiteral("0001"));
    QVERIFY(!info.Log.SessionId.isEmpty());
    QVERIFY(loginStatusText(info, QDateTime(QDate(2026, 12, 10), QTime(9, 5, 1)))
                .startsWith(QStringLiteral("登录时间:2026-12-10 09:05:01           操作员:")));
}

void tst_Login::serverNotRunning()
{
    QTcpServer probe; // a port nobody listens on
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    TdmMain dm;
    pointAt(dm, port);
    TfrmLogIn dialog(&dm, nullptr);
    dialog.edtSrv->setText(QStringLiteral("127.0.0.1"));
    dialog.cbUser->setEditText(QStringLiteral("0001"));
    QVERIFY(!dialog.logIn());
    QCOMPARE(m_messages, QStringList{TfrmLogIn::statusMessage(-1)});

    // An empty server name stops before any connection.
    m_messages.clear();
    dialog.edtSrv->clear();
    QVERIFY(!dialog.logIn());
    dialog.fillUserList();
    QCOMPARE(m_messages,
             QStringList(2, QStringLiteral("请输入套帐管理程序所在的计算机名称或IP地址")));
}

void tst_Login::statusMessages_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("-1")
        << -1
        << QStringLiteral(
               "服务器连接失败！请联系系统管理员。\r检查网络是否连接正常，服务器是否正确配置！");
    QTest::newRow("-2")
        << -2
        << QStringLiteral(
               "服务器端数据库连接错误！请联系系统管理员。\r正确配置数据库服务器后再试！");
    QTest::newRow("-3") << -3 << TfrmLogIn::statusMessage(-2);
    QTest::newRow("-4") << -4 << QStringLiteral("服务器端所连接的客户已满。");
    QTest::newRow("-5") << -5 << QStringLiteral("用户名或密码错误！");
    QTest::newRow("-9") << -9 << QString();
}

void tst_Login::statusMessages()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(TfrmLogIn::statusMessage(status), text);
}

QTEST_MAIN(tst_Login)
#include "tst_Login.moc"
