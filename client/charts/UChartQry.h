#pragma once
//! The condition windows of the charts. The sales chart's window fetches one product's sales
//! over a date range and shows them grouped by the chosen period and measure in the sales
//! chart; the ranking's window fetches the products sold most in the range and shows the
//! first N in its own chart. Both are report condition windows that show a chart instead of
//! a report form, created once after login and reused.

#include "UChartPeriods.h"
#include "URPTQry.h"

class QButtonGroup;
class TfrmChartClassSale;
class TfrmChartSaleOrder;

class TfrmChartClassSaleQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmChartClassSaleQry(QWidget *parent = nullptr);

    TfrmChartClassSale *frmChart = nullptr; // the chart window, reused by every run
    QButtonGroup *rgpPeriod = nullptr;      // "分析时段", ids in the order of TChartPeriod
    QButtonGroup *rgpMeasure = nullptr;     // "分析内容", ids in the order of TChartMeasure

    TChartPeriod period() const;
    void setPeriod(TChartPeriod period);
    TChartMeasure measure() const;
    void setMeasure(TChartMeasure measure);

    //! "分析图": checks, fetches, titles and groups, then shows the chart modally.
    bool Generate() override;
    //! The left-axis title by the measure, the title by the period and the sums per period,
    //! from the fetched rows.
    void applyChart();
    //! The fetched rows as the chart reads them.
    QList<TChartSale> sales();

protected:
    bool showsReportForm() const override { return false; }
};

class TfrmChartSaleOrderQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmChartSaleOrderQry(QWidget *parent = nullptr);

    TfrmChartSaleOrder *frmChart = nullptr;
    class TLumoEdit *edtSelCount = nullptr; // "排行前" … "位"
    QButtonGroup *rgpMeasure = nullptr;

    TChartMeasure measure() const;
    void setMeasure(TChartMeasure measure);

    //! "分析图": checks the dates and the count, fetches the first N products by the measure
    //! and shows them in the ranking chart.
    bool Generate() override;

protected:
    bool showsReportForm() const override { return false; }

private:
    bool checkCount();
};

//! Registers the two chart condition windows with the main window's registry.
void registerChartWindows();
