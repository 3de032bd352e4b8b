// A second start of the windowed server: the notice is above every window (the client's splash
// and login among them), and once it is answered the second program ends.

#include "ServerProgram.h"
#include "ShownBox.h"

#include <QTest>

using namespace korvane;

class tst_SecondStart : public QObject
{
    Q_OBJECT

private slots:
    void endsOnceTheNoticeIsAnswered()
    {
        int status = -1;
        const test::ShownBox box =
            test::readShownBox([&status] { status = refuseSecondStart(false); });
        QVERIFY(box.shown);
        QCOMPARE(box.text, QStringLiteral("系统已运行！"));
        QVERIFY(box.flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(status, 1);
    }
};

QTEST_MAIN(tst_SecondStart)
#include "tst_SecondStart.moc"
