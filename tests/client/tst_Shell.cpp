#include "UMsgBox.h"
#include "USplash.h"
#include "UStartup.h"
#include "UWait.h"

#include <QLabel>
#include <QTest>

class tst_Shell : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        setMsgBoxHandler({});
        HideWait();
    }
    void launchCheck_data();
    void launchCheck();
    void msgBoxKinds_data();
    void msgBoxKinds();
    void showWaitKeepsDefaultsAndReusesWindow();
    void splashLeavesOtherProgramsOnTop();
};

void tst_Shell::launchCheck_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    const QString prog = QStringLiteral("KorvaneQUV");
    QTest::newRow("RUN") << QStringList{prog, QStringLiteral("RUN")} << true;
    QTest::newRow("lower case") << QStringList{prog, QStringLiteral("run")} << false;
    QTest::newRow("trailing blank") << QStringList{prog, QStringLiteral("RUN ")} << false;
    QTest::newRow("second argument")
        << QStringList{prog, QStringLiteral("X"), QStringLiteral("RUN")} << false;
    QTest::newRow("missing") << QStringList{prog} << false;
    QTest::newRow("extra after RUN")
        << QStringList{prog, QStringLiteral("RUN"), QStringLiteral("x")} << true;
}

void tst_Shell::launchCheck()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QCOMPARE(launchedByServer(arguments), accepted);
}

void tst_Shell::msgBoxKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("hint") << 0 << QStringLiteral("提示") << QStringLiteral("abc") << int(mrOk)
                          << int(mrOk);
    QTest::newRow("info") << 1 << QStringLiteral("信息") << QStringLiteral("abc") << int(mrOk)
                          << int(mrOk);
    QTest::newRow("yes/no") << 2 << QStringLiteral("询问") << QStringLiteral("abc") << int(mrNo)
                            << int(mrNo);
    QTest::newRow("yes/no/cancel")
        << 3 << QStringLiteral("询问") << QStringLiteral("abc") << int(mrCancel) << int(mrCancel);
    QTest::newRow("debug") << 4 << QStringLiteral("Debug")
                           << QStringLiteral(
                                  "-----------------Lumo控件Debug功能----------------\r\rabc"
                                  "\r\r---------------------请杀死此BUG！-----------------")
                           << int(mrOk) << int(mrOk);
    QTest::newRow("unknown kind shows nothing")
        << 9 << QString() << QString() << int(mrNo) << int(mrOk);
}

void tst_Shell::msgBoxKinds()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(int, result);
    QList<TMsgBoxRequest> shown;
    setMsgBoxHandler([&](const TMsgBoxRequest &r) {
        shown << r;
        return answer;
    });
    QCOMPARE(MsgBox(QStringLiteral("abc"), kind), result);
    if (caption.isEmpty()) {
        QVERIFY(shown.isEmpty());
        return;
    }
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].caption, caption);
    QCOMPARE(shown[0].text, text);
}

void tst_Shell::showWaitKeepsDefaultsAndReusesWindow()
{
    ShowWait(QStringLiteral("DEFAULT"), QString());
    TfrmWait *wait = TfrmWait::current();
    QVERIFY(wait);
    QCOMPARE(wait->lbl1->text(), QStringLiteral("请稍等，根据您选择内容"));
    QCOMPARE(wait->lbl2->text(), QString());
    ShowWait(QStringLiteral("请稍等，连接服务器......"), QStringLiteral("DEFAULT"));
    QCOMPARE(TfrmWait::current(), wait);
    QCOMPARE(wait->lbl1->text(), QStringLiteral("请稍等，连接服务器......"));
    QCOMPARE(wait->lbl2->text(), QString());
    HideWait();
    QVERIFY(!TfrmWait::current());
    HideWait(); // a second hide is harmless
}

void tst_Shell::splashLeavesOtherProgramsOnTop()
{
    // A second server start says "系统已运行！" while this splash waits behind the login.
    const TfrmSplash splash;
    QCOMPARE(splash.windowType(), Qt::SplashScreen);
    QVERIFY(!splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

QTEST_MAIN(tst_Shell)
#include "tst_Shell.moc"
