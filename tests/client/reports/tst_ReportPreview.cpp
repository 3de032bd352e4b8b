// The preview window: it shows the first page while the rest are laid out, pages back and
// forth, and offers print, PDF, spreadsheet and document. KORVANE_REPORT_OUT=dir saves a
// picture of the window there.

#include "reports/ReportFixtures.h"

#include "ReportPreview.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    void longReportKeepsFewPages();
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

void tst_ReportPreview::longReportKeepsFewPages()
{
    auto cursor = fixtures::manyProducts(8000);
    ReportPreview preview(fixtures::purchaseSummary(), *cursor, fixtures::context());
    preview.finishLayout();
    QVERIFY(preview.pageCount() > 2 * ReportPreview::MaxKeptPages);
    QVERIFY(preview.keptPages() <= ReportPreview::MaxKeptPages);
    // A page let go is laid out again as it was: the same primitives, far back and forth.
    auto same = fixtures::manyProducts(8000);
    ReportLayout layout(fixtures::purchaseSummary(), *same, fixtures::context());
    const QVector<ReportPage> pages = layout.remainingPages();
    QCOMPARE(int(pages.size()), preview.pageCount());
    for (int index : {preview.pageCount() - 1, 0, 150, 151, 149, preview.pageCount() / 2, 1})
        QCOMPARE(dumpPage(preview.page(index)), dumpPage(pages.at(index)));
    QVERIFY(preview.keptPages() <= ReportPreview::MaxKeptPages);
    // The PDF holds every page, laid out once more as it is written.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    QVERIFY(preview.savePdf(pdf));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QCOMPARE(int(content.count("/Type /Page\n") + content.count("/Type /Page\r")) +
                 int(content.count("/Type /Page ")) + int(content.count("/Type /Page/")),
             preview.pageCount());
}

QTEST_MAIN(tst_ReportPreview)
#include "tst_ReportPreview.moc"
