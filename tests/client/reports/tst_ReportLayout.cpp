// The layout's pages against golden dumps, and the rules every page keeps: headers on every
// page, the title block on the first, the footer with its page number, nothing below it.
// KORVANE_UPDATE_GOLDEN=1 rewrites the goldens; look at the pages before committing them.

#include "reports/GoldenPages.h"
#include "reports/ReportFixtures.h"

#include "ReportLayout.h"

#include <QTest>

using namespace korvane::report;

namespace {

const QString kGoldenDir = QStringLiteral(KORVANE_FIXTURES_DIR "/reports/");

QVector<ReportPage> layOut(const ReportDefinition &definition, ReportCursor &cursor)
{
    ReportLayout layout(definition, cursor, fixtures::context());
    return layout.remainingPages();
}

int countText(const ReportPage &page, const QString &text)
{
    return int(std::count_if(page.items.begin(), page.items.end(), [&](const Primitive &p) {
        return p.kind == PrimitiveKind::Text && p.text == text;
    }));
}

const Primitive *findText(const ReportPage &page, const QString &text)
{
    for (const Primitive &p : page.items)
        if (p.kind == PrimitiveKind::Text && p.text == text)
            return &p;
    return nullptr;
}

ReportDefinition wrappedNames()
{
    ReportDefinition d = fixtures::purchaseSummary();
    d.columns[1].widthMm = 25;
    return d;
}

ReportDefinition twoRowHeader()
{
    ReportDefinition d = fixtures::purchaseSummary();
    d.orientation = QPageLayout::Landscape;
    d.header = {{QStringLiteral("货品编码"), 0, 0, 1, 2},
                {QStringLiteral("货品销售情况"), 0, 1, 5, 1},
                {QStringLiteral("货品名称"), 1, 1},
                {QStringLiteral("规格型号"), 1, 2},
                {QStringLiteral("单位"), 1, 3},
                {QStringLiteral("采购数量"), 1, 4},
                {QStringLiteral("金额"), 1, 5}};
    return d;
}

} // namespace

class tst_ReportLayout : public QObject
{
    Q_OBJECT
private slots:
    void matchesGolden_data();
    void matchesGolden();
    void everyPageRepeatsHeaderAndFooter();
    void wrappedFieldStretchesItsLine();
    void groupCarriedOverShowsItsCellsAgain();
    void firstPageBeforeAllRowsAreRead();
    void landscapeTurnsThePage();
};

void tst_ReportLayout::matchesGolden_data()
{
    QTest::addColumn<ReportDefinition>("definition");
    QTest::addColumn<std::shared_ptr<ReportCursor>>("cursor");
    QTest::newRow("grouped") << fixtures::purchaseSummary()
                             << std::shared_ptr<ReportCursor>(fixtures::twoProducts());
    QTest::newRow("closing") << fixtures::purchasePrices()
                             << std::shared_ptr<ReportCursor>(fixtures::threePrices());
    QTest::newRow("receivables") << fixtures::receivables()
                                 << std::shared_ptr<ReportCursor>(fixtures::oneReceivable());
    QTest::newRow("empty") << fixtures::purchaseSummary()
                           << std::shared_ptr<ReportCursor>(std::make_shared<RowsCursor>(
                                  fixtures::purchaseFields(), QVector<QVariantList>{}));
    QTest::newRow("pages") << fixtures::purchaseSummary()
                           << std::shared_ptr<ReportCursor>(fixtures::manyProducts(90));
    QTest::newRow("wrapped") << wrappedNames()
                             << std::shared_ptr<ReportCursor>(fixtures::longName());
    QTest::newRow("two-row-header")
        << twoRowHeader() << std::shared_ptr<ReportCursor>(fixtures::twoProducts());
}

void tst_ReportLayout::matchesGolden()
{
    QFETCH(ReportDefinition, definition);
    QFETCH(std::shared_ptr<ReportCursor>, cursor);
    fixtures::compareWithGolden(layOut(definition, *cursor),
                                kGoldenDir + QString::fromLatin1(QTest::currentDataTag()) +
                                    QStringLiteral(".txt"));
}

void tst_ReportLayout::everyPageRepeatsHeaderAndFooter()
{
    auto cursor = fixtures::manyProducts(200);
    const QVector<ReportPage> pages = layOut(fixtures::purchaseSummary(), *cursor);
    QVERIFY(pages.size() >= 3);
    for (const ReportPage &page : pages) {
        QCOMPARE(countText(page, QStringLiteral("货品编码")), 1);
        QCOMPARE(countText(page, QStringLiteral("采购汇总表")), page.number == 1 ? 1 : 0);
        const Primitive *number = findText(page, QStringLiteral("页次：%1").arg(page.number));
        QVERIFY(number);
        QVERIFY(findText(page, QStringLiteral("制单：管理员")));
        QVERIFY(findText(page, QStringLiteral("打印时间：2003-02-01 09:30:00")));
        // Nothing but the footer reaches the footer's rule.
        const double footerTop = number->rect.top() - 1.0;
        for (const Primitive &p : page.items)
            if (p.rect.top() < footerTop)
                QVERIFY2(p.rect.bottom() < footerTop, qPrintable(p.text));
    }
    QCOMPARE(countText(pages.last(), QStringLiteral("合计：")), 1);
}

void tst_ReportLayout::wrappedFieldStretchesItsLine()
{
    auto cursor = fixtures::longName();
    const ReportPage page = layOut(wrappedNames(), *cursor).first();
    const Primitive *code = findText(page, QStringLiteral("A001"));
    QVERIFY(code);
    // The unit cell beside the wrapped name is framed to the line's full height.
    QVector<double> heights;
    for (const Primitive &p : page.items)
        if (p.kind == PrimitiveKind::Rect && qAbs(p.rect.top() - (code->rect.top() - 0.6)) < 0.01)
            heights << p.rect.height();
    QCOMPARE(heights.size(), 6);
    QVERIFY(heights.first() > 2 * code->rect.height());
    QVERIFY(std::all_of(heights.begin(), heights.end(),
                        [&](double h) { return h == heights.first(); }));
}

void tst_ReportLayout::groupCarriedOverShowsItsCellsAgain()
{
    // One product's lines (quantity 1.00) run over three pages, then a product of one line.
    QVector<QVariantList> rows;
    for (int i = 0; i < 120; ++i)
        rows << fixtures::purchaseRow(QStringLiteral("A001"), QStringLiteral("圆珠笔"), 1, 3);
    rows << fixtures::purchaseRow(QStringLiteral("B002"), QStringLiteral("笔记本"), 7, 9);
    RowsCursor cursor(fixtures::purchaseFields(), rows);
    const QVector<ReportPage> pages = layOut(fixtures::purchaseSummary(), cursor);
    QCOMPARE(pages.size(), 3);
    for (const ReportPage &page : pages) {
        // The code and name print on the first line of each page the group reaches, and
        // on that line only: right under the column header.
        QVERIFY(countText(page, QStringLiteral("1.00")) > 0);
        QCOMPARE(countText(page, QStringLiteral("A001")), 1);
        QCOMPARE(countText(page, QStringLiteral("圆珠笔")), 1);
        const Primitive *code = findText(page, QStringLiteral("A001"));
        const Primitive *header = findText(page, QStringLiteral("货品编码"));
        QVERIFY(code->rect.top() - header->rect.bottom() < 3);
    }
    QCOMPARE(countText(pages.last(), QStringLiteral("B002")), 1);
}

//! Counts the rows a layout has read, to see the first page come before the last row.
class CountingCursor : public RowsCursor
{
public:
    using RowsCursor::RowsCursor;
    bool next() override
    {
        ++read;
        return RowsCursor::next();
    }
    int read = 0;
};

void tst_ReportLayout::firstPageBeforeAllRowsAreRead()
{
    auto many = fixtures::manyProducts(5000);
    QVector<QVariantList> rows;
    for (many->rewind(); many->next();) {
        QVariantList row;
        for (int f = 0; f < fixtures::purchaseFields().size(); ++f)
            row << many->value(f);
        rows << row;
    }
    CountingCursor cursor(fixtures::purchaseFields(), rows);
    ReportLayout layout(fixtures::purchaseSummary(), cursor, fixtures::context());
    layout.nextPage();
    QVERIFY(!layout.atEnd());
    QVERIFY(cursor.read < 100);
}

void tst_ReportLayout::landscapeTurnsThePage()
{
    auto cursor = fixtures::twoProducts();
    const ReportPage page = layOut(twoRowHeader(), *cursor).first();
    QCOMPARE(page.sizeMm.toSize(), QSize(297, 210));
}

QTEST_MAIN(tst_ReportLayout)
#include "tst_ReportLayout.moc"
