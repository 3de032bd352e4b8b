#pragma once
//! How the sales chart groups its rows: the sales of each document date summed per year,
//! quarter, month, ISO week or day, in ascending date order, by quantity or by amount; and
//! the titles that name the grouping and the measure.

#include <QDate>
#include <QList>
#include <QString>

enum class TChartPeriod { cpYear, cpQuarter, cpMonth, cpWeek, cpDay };
enum class TChartMeasure { cmQuantity, cmAmount };

//! One row of the chart's data set: the document date with its quantity and amount.
struct TChartSale
{
    QDate date;
    double quantity = 0;
    double amount = 0;
};

//! One bar or curve point: the first day of its period, the label under it, its sum.
struct TChartPoint
{
    QDate start;
    QString label;
    double value = 0;

    bool operator==(const TChartPoint &) const = default;
};

//! The first day of the period the date falls in (Monday for weeks).
QDate periodStart(const QDate &date, TChartPeriod period);
//! The label of the period that starts on the date: "2003", "2003年第1季度", "2003-01",
//! "2004年第1周" (the ISO week's own year), "2003-01-03".
QString periodLabel(const QDate &start, TChartPeriod period);
//! The rows summed per period in ascending date order; rows without a valid date are left out.
QList<TChartPoint> groupSales(const QList<TChartSale> &sales, TChartPeriod period,
                              TChartMeasure measure);

//! The chart title after the product name: "销售分析图(按月份)" …
QString periodTitle(TChartPeriod period);
//! The left-axis title: "销售额(元)", or "数量(" + the unit + ")".
QString measureAxisTitle(TChartMeasure measure, const QString &measureName);
//! The captions of the period and measure choices, in the order of the enums.
QStringList periodCaptions();
QStringList measureCaptions();
