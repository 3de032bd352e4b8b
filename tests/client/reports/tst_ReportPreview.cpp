// The preview window: it shows the first page while the rest are laid out, pages back and
// forth, and offers print, PDF, spreadsheet and document. KORVANE_REPORT_OUT=dir saves a
// picture of the window there.

#include "reports/ReportFixtures.h"

#include "ReportPreview.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace korvane::report;

class tst_ReportPreview : public QObject
{
    Q_OBJECT
private slots:
    void offersTheActions();
    void showsFirstPageBeforeLayoutEnds();
    void pagesBackAndForth();
};

void tst_ReportPreview::offersTheActions()
{
    auto cursor = fixtures::twoProducts();
    ReportPreview preview(fixtures::purchaseSummary(), *cursor, fixtures::context());
    QStringList captions;
    for (QAction *action : preview.findChild<QToolBar *>()->actions())
        captions << action->text();
    for (const char *caption :
         {"打印", "导出PDF", "导出Excel", "导出文档", "上一页", "下一页", "关闭"})
        QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
    preview.show();
    QVERIFY(preview.windowState() & Qt::WindowMaximized);
}

void tst_ReportPreview::showsFirstPageBeforeLayoutEnds()
{
    auto cursor = fixtures::manyProducts(20000);
    ReportPreview preview(fixtures::purchaseSummary(), *cursor, fixtures::context());
    QCOMPARE(preview.pageCount(), 1);
    QVERIFY(!preview.layoutDone());
    QVERIFY(!preview.findChild<QLabel *>(QStringLiteral("pageView"))->pixmap().isNull());
    QSignalSpy added(&preview, &ReportPreview::pagesAdded);
    QVERIFY(added.wait());
    QVERIFY(preview.pageCount() > 1);
    preview.finishLayout();
    QVERIFY(preview.layoutDone());
}

void tst_ReportPreview::pagesBackAndForth()
{
    auto cursor = fixtures::manyProducts(200);
    ReportPreview preview(fixtures::purchaseSummary(), *cursor, fixtures::context());
    preview.resize(1200, 900);
    preview.finishLayout();
    QVERIFY(preview.pageCount() >= 3);
    QToolBar *bar = preview.findChild<QToolBar *>();
    const auto press = [&](const QString &caption) {
        for (QAction *action : bar->actions())
            if (action->text() == caption)
                action->trigger();
    };
    press(QStringLiteral("下一页"));
    press(QStringLiteral("下一页"));
    QCOMPARE(preview.currentPage(), 2);
    press(QStringLiteral("上一页"));
    QCOMPARE(preview.currentPage(), 1);
    press(QStringLiteral("末页"));
    QCOMPARE(preview.currentPage(), preview.pageCount() - 1);
    press(QStringLiteral("下一页"));
    QCOMPARE(preview.currentPage(), preview.pageCount() - 1);
    press(QStringLiteral("首页"));
    QCOMPARE(preview.currentPage(), 0);
    const QString keep = qEnvironmentVariable("KORVANE_REPORT_OUT");
    if (!keep.isEmpty()) {
        preview.show();
        QTest::qWait(50);
        preview.grab().save(keep + QStringLiteral("/preview.png"));
    }
}

QTEST_MAIN(tst_ReportPreview)
#include "tst_ReportPreview.moc"
