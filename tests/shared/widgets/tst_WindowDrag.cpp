#include "WindowDrag.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

class tst_WindowDrag : public QObject
{
    Q_OBJECT
private slots:
    void dragMovesTheWindow_data();
    void dragMovesTheWindow();
};

void tst_WindowDrag::dragMovesTheWindow_data()
{
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<Qt::MouseButtons>("buttons");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<bool>("moves");
    const int far = QApplication::startDragDistance() + 20;
    QTest::newRow("drag") << QPoint(far, 7) << Qt::MouseButtons(Qt::LeftButton) << false << true;
    QTest::newRow("a click's jitter")
        << QPoint(1, 0) << Qt::MouseButtons(Qt::LeftButton) << false << false;
    QTest::newRow("button let go") << QPoint(far, 0) << Qt::MouseButtons() << false << false;
    QTest::newRow("maximised") << QPoint(far, 0) << Qt::MouseButtons(Qt::LeftButton) << true
                               << false;
}

void tst_WindowDrag::dragMovesTheWindow()
{
    QFETCH(QPoint, by);
    QFETCH(Qt::MouseButtons, buttons);
    QFETCH(bool, maximised);
    QFETCH(bool, moves);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    auto *handle = new QWidget(&window);
    window.setGeometry(100, 100, 300, 200);
    if (maximised)
        window.showMaximized();
    else
        window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint before = window.frameGeometry().topLeft();
    korvane::TWindowDrag drag(handle);
    const QPoint pressAt = before + QPoint(10, 5);
    drag.press(pressAt);
    QCOMPARE(drag.move(pressAt + by, buttons), moves);
    QCOMPARE(drag.dragging(), moves);
    // Without a window manager to take the move over, the window follows the mouse.
    QCOMPARE(window.frameGeometry().topLeft(), moves ? before + by : before);
    drag.release();
    QVERIFY(!drag.dragging());
}

QTEST_MAIN(tst_WindowDrag)
#include "tst_WindowDrag.moc"
