// The line stream: which cells print, where subtotals fall and what the sums and the closing
// line hold, before any page exists.

#include "reports/ReportFixtures.h"

#include "ReportLines.h"

#include <QTest>

using namespace korvane::report;

namespace {

QVector<ReportLine> allLines(const ReportDefinition &definition, ReportCursor &cursor)
{
    ReportLines lines(definition, cursor);
    QVector<ReportLine> all;
    while (std::optional<ReportLine> line = lines.next())
        all << *line;
    return all;
}

QString kinds(const QVector<ReportLine> &lines)
{
    QString text;
    for (const ReportLine &line : lines)
        text += QStringLiteral("DSTC").at(int(line.kind));
    return text;
}

} // namespace

class tst_ReportLines : public QObject
{
    Q_OBJECT
private slots:
    void groupsPrintSubtotalsAndTotal();
    void shownOnceColumnsBlankAfterFirstLine();
    void outerKeyStartsAGroupOfTheSameKey();
    void computedColumnIsSummed();
    void closingLineHighestLowestAverage();
    void emptyReportHasZeroTotal();
    void emptyReportHasZeroTotal_data();
    void rewindsTheCursor();
    void numbersPrintByTheirFormat_data();
    void numbersPrintByTheirFormat();
};

void tst_ReportLines::groupsPrintSubtotalsAndTotal()
{
    auto cursor = fixtures::twoProducts();
    const QVector<ReportLine> lines = allLines(fixtures::purchaseSummary(), *cursor);
    QCOMPARE(kinds(lines), QStringLiteral("DDSDST"));
    QCOMPARE(lines.at(2).label, QStringLiteral("小计："));
    QCOMPARE(lines.at(2).cells.at(4).toDouble(), 15.0);
    QCOMPARE(lines.at(2).cells.at(5).toDouble(), 22.5);
    QCOMPARE(lines.at(4).cells.at(5).toDouble(), 9.0);
    QCOMPARE(lines.at(5).label, QStringLiteral("合计："));
    QCOMPARE(lines.at(5).cells.at(4).toDouble(), 17.0);
    QCOMPARE(lines.at(5).cells.at(5).toDouble(), 31.5);
    QVERIFY(lines.at(5).cells.at(0).isNull());
}

void tst_ReportLines::shownOnceColumnsBlankAfterFirstLine()
{
    auto cursor = fixtures::twoProducts();
    const QVector<ReportLine> lines = allLines(fixtures::purchaseSummary(), *cursor);
    QCOMPARE(lines.at(0).cells.at(0).toString(), QStringLiteral("A001"));
    QVERIFY(lines.at(1).cells.at(0).isNull());
    QVERIFY(lines.at(1).cells.at(1).isNull());
    // Columns not shown once still print on every line.
    QCOMPARE(lines.at(1).cells.at(3).toString(), QStringLiteral("个"));
    QCOMPARE(lines.at(3).cells.at(1).toString(), QStringLiteral("笔记本"));
}

void tst_ReportLines::outerKeyStartsAGroupOfTheSameKey()
{
    // The last product of one store is the first of the next: still two groups, and the
    // second store's name prints.
    ReportDefinition d = fixtures::purchaseSummary();
    d.columns[2].shownOnce = true;
    d.outerGroupKeys = {QStringLiteral("PdtSpecName")};
    RowsCursor cursor(fixtures::purchaseFields(),
                      {{QStringLiteral("A001"), QStringLiteral("圆珠笔"), QStringLiteral("一号仓"),
                        QStringLiteral("个"), 1.0, 2.0},
                       {QStringLiteral("A001"), QStringLiteral("圆珠笔"), QStringLiteral("二号仓"),
                        QStringLiteral("个"), 3.0, 4.0}});
    const QVector<ReportLine> lines = allLines(d, cursor);
    QCOMPARE(kinds(lines), QStringLiteral("DSDST"));
    QCOMPARE(lines.at(2).cells.at(2).toString(), QStringLiteral("二号仓"));
    QCOMPARE(lines.at(3).cells.at(4).toDouble(), 3.0);
}

void tst_ReportLines::computedColumnIsSummed()
{
    auto cursor = fixtures::oneReceivable();
    const QVector<ReportLine> lines = allLines(fixtures::receivables(), *cursor);
    QCOMPARE(kinds(lines), QStringLiteral("DST"));
    for (const ReportLine &line : lines)
        QCOMPARE(line.cells.at(4).toDouble(), 600.0);
}

void tst_ReportLines::closingLineHighestLowestAverage()
{
    auto cursor = fixtures::threePrices();
    const QVector<ReportLine> lines = allLines(fixtures::purchasePrices(), *cursor);
    QCOMPARE(kinds(lines), QStringLiteral("DDDC"));
    const QVector<ClosingFigure> &figures = lines.last().figures;
    QCOMPARE(figures.at(0).label, QStringLiteral("历史最高价格："));
    QCOMPARE(figures.at(0).value, 12.0);
    QCOMPARE(figures.at(1).value, 10.0);
    QCOMPARE(figures.at(2).value, 11.0);
}

void tst_ReportLines::emptyReportHasZeroTotal_data()
{
    QTest::addColumn<ReportDefinition>("definition");
    QTest::addColumn<QString>("expected");
    QTest::newRow("grouped sums") << fixtures::purchaseSummary() << QStringLiteral("T");
    QTest::newRow("closing line") << fixtures::purchasePrices() << QStringLiteral("C");
    ReportDefinition plain = fixtures::purchaseSummary();
    for (ReportColumn &c : plain.columns)
        c.summed = false;
    QTest::newRow("no sums") << plain << QString();
}

void tst_ReportLines::emptyReportHasZeroTotal()
{
    QFETCH(ReportDefinition, definition);
    QFETCH(QString, expected);
    RowsCursor empty(fixtures::purchaseFields(), {});
    const QVector<ReportLine> lines = allLines(definition, empty);
    QCOMPARE(kinds(lines), expected);
    for (const ReportLine &line : lines) {
        for (const QVariant &cell : line.cells)
            QVERIFY(cell.isNull() || cell.toDouble() == 0);
        for (const ClosingFigure &figure : line.figures)
            QCOMPARE(figure.value, 0.0);
    }
}

void tst_ReportLines::rewindsTheCursor()
{
    auto cursor = fixtures::twoProducts();
    const ReportDefinition definition = fixtures::purchaseSummary();
    const QVector<ReportLine> first = allLines(definition, *cursor);
    QCOMPARE(allLines(definition, *cursor).size(), first.size());
}

void tst_ReportLines::numbersPrintByTheirFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("printed");
    QTest::newRow("two decimals") << 1234.5 << "0.00"
                                  << "1234.50";
    QTest::newRow("grouped") << -1234.5 << "#,##0.00"
                             << "-1,234.50";
    QTest::newRow("none") << 2.6 << "0"
                          << "3";
    // A sum that cancels out leaves a tiny negative rest: it prints as nothing owed.
    QTest::newRow("cancelled sum") << (0.1 + 0.2 - 0.3 - 0.3 + 0.3 - 1e-16) << "0.00"
                                   << "0.00";
    QTest::newRow("rounds to zero") << -0.004 << "0.00"
                                    << "0.00";
    QTest::newRow("grouped zero") << -1e-9 << "#,##0.00"
                                  << "0.00";
    QTest::newRow("no decimals zero") << -0.4 << "0"
                                      << "0";
    QTest::newRow("a cent owed back") << -0.006 << "0.00"
                                      << "-0.01";
}

void tst_ReportLines::numbersPrintByTheirFormat()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, printed);
    QCOMPARE(formatNumber(value, format), printed);
}

QTEST_MAIN(tst_ReportLines)
#include "tst_ReportLines.moc"
