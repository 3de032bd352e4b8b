// Grouping the sales chart's rows by period: sums per year, quarter, month, ISO week and day
// in ascending date order, by quantity or amount, and the titles that name them.

#include "UChartPeriods.h"

#include <QTest>

Q_DECLARE_METATYPE(TChartPeriod)
Q_DECLARE_METATYPE(TChartMeasure)

namespace {

TChartSale sale(const char *date, double quantity, double amount = 0)
{
    return {QDate::fromString(QString::fromLatin1(date), QStringLiteral("yyyy-MM-dd")), quantity,
            amount};
}

//! "label=value" of every point.
QStringList drawn(const QList<TChartPoint> &points)
{
    QStringList out;
    for (const TChartPoint &p : points)
        out << p.label + QLatin1Char('=') + QString::number(p.value);
    return out;
}

// Three sales of one product: 5 on 3 January, 7 on 20 January, 4 on 2 February 2003.
const QList<TChartSale> Winter{sale("2003-01-03", 5, 50), sale("2003-01-20", 7, 84),
                               sale("2003-02-02", 4, 40)};

} // namespace

class tst_ChartPeriods : public QObject
{
    Q_OBJECT
private slots:
    void grouping_data();
    void grouping();
    void startsAscendingWhateverTheRowOrder();
    void weekAcrossTheYearEnd_data();
    void weekAcrossTheYearEnd();
    void titles();
};

void tst_ChartPeriods::grouping_data()
{
    QTest::addColumn<QList<TChartSale>>("sales");
    QTest::addColumn<TChartPeriod>("period");
    QTest::addColumn<TChartMeasure>("measure");
    QTest::addColumn<QStringList>("points");
    using P = TChartPeriod;
    using M = TChartMeasure;
    QTest::newRow("month, quantity")
        << Winter << P::cpMonth << M::cmQuantity << QStringList{"2003-01=12", "2003-02=4"};
    QTest::newRow("day, quantity") << Winter << P::cpDay << M::cmQuantity
                                   << QStringList{"2003-01-03=5", "2003-01-20=7", "2003-02-02=4"};
    QTest::newRow("month, amount")
        << Winter << P::cpMonth << M::cmAmount << QStringList{"2003-01=134", "2003-02=40"};
    QTest::newRow("two documents of one day are one bar")
        << QList<TChartSale>{sale("2003-03-04", 2, 20), sale("2003-03-04", 3, 30)} << P::cpDay
        << M::cmQuantity << QStringList{"2003-03-04=5"};
    QTest::newRow("year") << QList<TChartSale>{sale("2002-12-31", 1), sale("2003-01-01", 2),
                                               sale("2003-12-31", 3)}
                          << P::cpYear << M::cmQuantity << QStringList{"2002=1", "2003=5"};
    QTest::newRow("quarter boundaries")
        << QList<TChartSale>{sale("2003-03-31", 1), sale("2003-04-01", 2), sale("2003-06-30", 3),
                             sale("2003-07-01", 4), sale("2003-12-31", 5)}
        << P::cpQuarter << M::cmQuantity
        << QStringList{"2003年第1季度=1", "2003年第2季度=5", "2003年第3季度=4", "2003年第4季度=5"};
    QTest::newRow("week from Monday to Sunday")
        << QList<TChartSale>{sale("2003-01-05", 1), sale("2003-01-06", 2), sale("2003-01-12", 3),
                             sale("2003-01-13", 4)}
        << P::cpWeek << M::cmQuantity
        << QStringList{"2003年第1周=1", "2003年第2周=5", "2003年第3周=4"};
    QTest::newRow("fractions and returns are summed as they are")
        << QList<TChartSale>{sale("2003-01-03", 1.25), sale("2003-01-04", -0.5)} << P::cpMonth
        << M::cmQuantity << QStringList{"2003-01=0.75"};
    QTest::newRow("no rows, no points")
        << QList<TChartSale>{} << P::cpDay << M::cmQuantity << QStringList{};
    QTest::newRow("a row without a date is left out")
        << QList<TChartSale>{TChartSale{QDate(), 9, 9}, sale("2003-01-03", 1)} << P::cpDay
        << M::cmQuantity << QStringList{"2003-01-03=1"};
}

void tst_ChartPeriods::grouping()
{
    QFETCH(QList<TChartSale>, sales);
    QFETCH(TChartPeriod, period);
    QFETCH(TChartMeasure, measure);
    QFETCH(QStringList, points);
    QCOMPARE(drawn(groupSales(sales, period, measure)), points);
}

// The chart's x values are dates in ascending order even when the rows come unordered.
void tst_ChartPeriods::startsAscendingWhateverTheRowOrder()
{
    const QList<TChartPoint> points =
        groupSales({sale("2003-02-02", 4), sale("2003-01-20", 7), sale("2003-01-03", 5)},
                   TChartPeriod::cpMonth, TChartMeasure::cmQuantity);
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.at(0).start, QDate(2003, 1, 1));
    QCOMPARE(points.at(1).start, QDate(2003, 2, 1));
    QCOMPARE(points.at(0).value, 12.0);
}

void tst_ChartPeriods::weekAcrossTheYearEnd_data()
{
    QTest::addColumn<QList<TChartSale>>("sales");
    QTest::addColumn<QStringList>("points");
    QTest::addColumn<QDate>("firstStart");
    // 2003-12-29 is the Monday of ISO week 1 of 2004; 2004-12-31 falls in week 53 of 2004,
    // as does 2005-01-02, a Sunday.
    QTest::newRow("into 2004") << QList<TChartSale>{sale("2003-12-28", 1), sale("2003-12-29", 2),
                                                    sale("2004-01-01", 3), sale("2004-01-04", 4)}
                               << QStringList{"2003年第52周=1", "2004年第1周=9"}
                               << QDate(2003, 12, 22);
    QTest::newRow("into 2005") << QList<TChartSale>{sale("2004-12-31", 5), sale("2005-01-02", 6),
                                                    sale("2005-01-03", 7)}
                               << QStringList{"2004年第53周=11", "2005年第1周=7"}
                               << QDate(2004, 12, 27);
}

void tst_ChartPeriods::weekAcrossTheYearEnd()
{
    QFETCH(QList<TChartSale>, sales);
    QFETCH(QStringList, points);
    QFETCH(QDate, firstStart);
    const QList<TChartPoint> grouped =
        groupSales(sales, TChartPeriod::cpWeek, TChartMeasure::cmQuantity);
    QCOMPARE(drawn(grouped), points);
    QCOMPARE(grouped.first().start, firstStart);
}

void tst_ChartPeriods::titles()
{
    QCOMPARE(periodTitle(TChartPeriod::cpYear), QStringLiteral("销售分析图(按年度)"));
    QCOMPARE(periodTitle(TChartPeriod::cpMonth), QStringLiteral("销售分析图(按月份)"));
    QCOMPARE(periodTitle(TChartPeriod::cpDay), QStringLiteral("销售分析图(按每日)"));
    QCOMPARE(measureAxisTitle(TChartMeasure::cmQuantity, QStringLiteral("个")),
             QStringLiteral("数量(个)"));
    QCOMPARE(measureAxisTitle(TChartMeasure::cmAmount, QStringLiteral("个")),
             QStringLiteral("销售额(元)"));
    QCOMPARE(periodCaptions().size(), 5);
    QCOMPARE(periodCaptions().at(int(TChartPeriod::cpDay)), QStringLiteral("按每日"));
}

QTEST_GUILESS_MAIN(tst_ChartPeriods)
#include "tst_ChartPeriods.moc"
