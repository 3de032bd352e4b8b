#include "UChartPeriods.h"

#include <QStringList>

#include <map>

QDate periodStart(const QDate &date, TChartPeriod period)
{
    switch (period) {
    case TChartPeriod::cpYear:
        return QDate(date.year(), 1, 1);
    case TChartPeriod::cpQuarter:
        return QDate(date.year(), (date.month() - 1) / 3 * 3 + 1, 1);
    case TChartPeriod::cpMonth:
        return QDate(date.year(), date.month(), 1);
    case TChartPeriod::cpWeek:
        return date.addDays(1 - date.dayOfWeek());
    case TChartPeriod::cpDay:
        break;
    }
    return date;
}

QString periodLabel(const QDate &start, TChartPeriod period)
{
    switch (period) {
    case TChartPeriod::cpYear:
        return QString::number(start.year());
    case TChartPeriod::cpQuarter:
        return QStringLiteral("%1年第%2季度").arg(start.year()).arg((start.month() - 1) / 3 + 1);
    case TChartPeriod::cpMonth:
        return start.toString(QStringLiteral("yyyy-MM"));
    case TChartPeriod::cpWeek: {
        // A week across the year end belongs to the year of its Thursday.
        int year = 0;
        const int week = start.weekNumber(&year);
        return QStringLiteral("%1年第%2周").arg(year).arg(week);
    }
    case TChartPeriod::cpDay:
        break;
    }
    return start.toString(QStringLiteral("yyyy-MM-dd"));
}

QList<TChartPoint> groupSales(const QList<TChartSale> &sales, TChartPeriod period,
                              TChartMeasure measure)
{
    std::map<QDate, double> sums; // ordered by date
    for (const TChartSale &sale : sales) {
        if (!sale.date.isValid())
            continue;
        sums[periodStart(sale.date, period)] +=
            measure == TChartMeasure::cmAmount ? sale.amount : sale.quantity;
    }
    QList<TChartPoint> points;
    for (const auto &[start, value] : sums)
        points.append({start, periodLabel(start, period), value});
    return points;
}

QString periodTitle(TChartPeriod period)
{
    static const char *const titles[] = {"销售分析图(按年度)", "销售分析图(按季度)",
                                         "销售分析图(按月份)", "销售分析图(按每周)",
                                         "销售分析图(按每日)"};
    return QString::fromUtf8(titles[int(period)]);
}

QString measureAxisTitle(TChartMeasure measure, const QString &measureName)
{
    if (measure == TChartMeasure::cmAmount)
        return QStringLiteral("销售额(元)");
    return QStringLiteral("数量(") + measureName + QLatin1Char(')');
}

QStringList periodCaptions()
{
    return {QStringLiteral("按年度"), QStringLiteral("按季度"), QStringLiteral("按月度"),
            QStringLiteral("按每周"), QStringLiteral("按每日")};
}

QStringList measureCaptions()
{
    return {QStringLiteral("按销售量"), QStringLiteral("按销售额")};
}
