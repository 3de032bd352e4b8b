#pragma once
//! The ranking chart: the products sold most in a date range, the first at the top, as
//! horizontal bars of the chosen measure, with its own title and the range as subtitle.

#include "UChartPeriods.h"
#include "UChartWindow.h"

class QBarCategoryAxis;
class QBarSet;
class QHorizontalBarSeries;
class QValueAxis;

//! One product of the ranking, in rank order.
struct TRankedProduct
{
    QString code;
    QString name;
    double value = 0;
};

class TfrmChartSaleOrder : public TfrmChartWindow
{
    Q_OBJECT
public:
    explicit TfrmChartSaleOrder(QWidget *parent = nullptr);

    QHorizontalBarSeries *Series1 = nullptr;
    QBarSet *setRanking1 = nullptr;
    QBarCategoryAxis *axisLeft = nullptr; // the products
    QValueAxis *axisBottom = nullptr;     // the measure

    //! The products in rank order (the first is drawn at the top), asked for the first
    //! count of them by the measure.
    void setRanking(const QList<TRankedProduct> &ranked, int count, TChartMeasure measure);
    const QList<TRankedProduct> &ranking() const { return m_ranked; }
    //! The product names as drawn, the first in rank at the top.
    QStringList productLabels() const;
    QString valueAxisTitle() const;

private:
    QList<TRankedProduct> m_ranked;
};
