// The server's message boxes: one of no window of ours stays above every other window (a
// second start, a relay that cannot listen), and its button speaks Chinese.

#include "QtTranslations.h"
#include "ShownBox.h"
#include "SrvMessage.h"

#include <QTest>
#include <QWidget>

using namespace korvane;

class tst_SrvMessage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installQtTranslations()); }

    void onTopUnlessAWindowOwnsIt_data()
    {
        QTest::addColumn<bool>("ownedByAWindow");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("no window") << false << true;
        QTest::newRow("a window's") << true << false;
    }
    void onTopUnlessAWindowOwnsIt()
    {
        QFETCH(bool, ownedByAWindow);
        QWidget window;
        if (ownedByAWindow)
            window.show();
        QWidget *const parent = ownedByAWindow ? &window : nullptr;
        const test::ShownBox box = test::readShownBox(
            [&] { SrvMessage(parent, SrvMessageKind::Error, QStringLiteral("系统已运行！")); });
        QVERIFY(box.shown);
        QCOMPARE(box.text, QStringLiteral("系统已运行！"));
        QTEST(box.flags.testFlag(Qt::WindowStaysOnTopHint), "onTop");
        QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
    }
};

QTEST_MAIN(tst_SrvMessage)
#include "tst_SrvMessage.moc"
