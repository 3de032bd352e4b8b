// Through the real server and relay, on both databases: the base module refuses a wrong
// login and accepts the administrator, the session it hands out opens the other modules,
// and without it they serve nothing.

#include "LoginUserInfo.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"

#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

struct Login
{
    QString id, userInfo, sysSet, purView, para1;
};

Login logIn(TLumoSocketConnection &base, const QString &user, const QString &password)
{
    Login r;
    base.callWithOutputs(QStringLiteral("LogIn"), {user, password, "127.0.0.1", "e2e"},
                         {&r.id, &r.userInfo, &r.sysSet, &r.purView, &r.para1});
    return r;
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TLumoRemoteError &e) {
        return e.text();
    }
    return QString();
}

} // namespace

class tst_ServerModules : public QObject
{
    Q_OBJECT

private slots:
    void loginRefusedAndAccepted_data() { addBackendRows(); }
    void loginRefusedAndAccepted()
    {
        QFETCH(QString, backend);
        TestServer server(backend);
        QVERIFY2(server.start(), qPrintable(server.error()));
        TLumoSocketConnection base;
        base.setPort(server.port());
        base.setServerName(QStringLiteral("Korvane.BaseRDM"));
        base.Open();

        // Before login: the database test and the login list.
        QCOMPARE(base.call(QStringLiteral("DBActive"), {}), QVariant(true));
        const Packet users =
            base.getRecords(QStringLiteral("dspUserList"), -1, grMetaData | grReset, {});
        QCOMPARE(users.rows.size(), 1);
        QCOMPARE(users.indexOf(QStringLiteral("PWD")), -1);
        QCOMPARE(errorOf([&] { base.getRecords(QStringLiteral("dspCI"), -1, grReset, {}); }),
                 QStringLiteral("请先登录！"));

        const Login refused = logIn(base, QStringLiteral("0001"), QStringLiteral("0002"));
        QCOMPARE(refused.id, QStringLiteral("-5"));
        QVERIFY(refused.userInfo.isEmpty());

        const Login accepted = logIn(base, QStringLiteral("0001"), QStringLiteral("0001"));
        QVERIFY2(accepted.id.toInt() >= 0, qPrintable(accepted.id));
        const LoginUserInfo info = LoginUserInfo::fromText(accepted.userInfo);
        QCOMPARE(info.userName, QStringLiteral("系统管理员"));
        QCOMPARE(info.deptName, QStringLiteral("总部"));
        QCOMPARE(info.corpName, QStringLiteral("本公司"));
        QCOMPARE(
            base.getRecords(QStringLiteral("dspPsEmp"), -1, grMetaData | grReset, {}).rows.size(),
            1);

        // The session opens the other modules of this client.
        TLumoSocketConnection lookup;
        lookup.setPort(server.port());
        lookup.setServerName(QStringLiteral("Korvane.LookupRDM"));
        lookup.setSession(accepted.id);
        lookup.Open();
        const Packet staff =
            lookup.getRecords(QStringLiteral("dspXpsEmp"), -1, grMetaData | grReset, {});
        QCOMPARE(staff.rows.size(), 1);
        QCOMPARE(staff.rows[0].at(staff.indexOf(QStringLiteral("pwd"))).toString(), QString());

        // A module opened without a login, or with a made-up session, serves nothing.
        TLumoSocketConnection stranger;
        stranger.setPort(server.port());
        stranger.setServerName(QStringLiteral("Korvane.BillRDM"));
        stranger.setSession(QStringLiteral("12345"));
        stranger.Open();
        QCOMPARE(errorOf([&] { stranger.call(QStringLiteral("GetHeadNO"), {"xStockChh"}); }),
                 QStringLiteral("请先登录！"));

        // When the client's base module goes, its session ends with it.
        base.Close();
        QTRY_COMPARE(errorOf([&] {
                         lookup.getRecords(QStringLiteral("dspXCi"), -1, grMetaData | grReset, {});
                     }),
                     QStringLiteral("请先登录！"));
    }
};

QTEST_MAIN(tst_ServerModules)
#include "tst_ServerModules.moc"
