#include "UChartSaleOrder.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

const QStringList RankingTools{"actPrintSetup", "actPrint", "actSavePicture", "actReturn"};

//! "P1 电视", or the code alone for a product without a name.
QString productLabel(const TRankedProduct &p)
{
    return p.name.trimmed().isEmpty() ? p.code : p.code + QLatin1Char(' ') + p.name;
}

} // namespace

TfrmChartSaleOrder::TfrmChartSaleOrder(QWidget *parent)
    : TfrmChartWindow(QStringLiteral("货品销售排行"), RankingTools, parent)
{
    setObjectName(QStringLiteral("frmChartSaleOrder"));
    setRanking1 = new QBarSet(QStringLiteral("销售排行"));
    setRanking1->setColor(QColor(0xFF, 0x80, 0x80));
    setRanking1->setBorderColor(QColor(0xC0, 0x50, 0x50));
    setRanking1->setLabelColor(Qt::black);
    Series1 = new QHorizontalBarSeries;
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->append(setRanking1);
    Series1->setLabelsVisible(true);
    Series1->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    Series1->setLabelsFormat(QStringLiteral("@value"));
    Series1->setLabelsPrecision(12); // amounts to the cent, not six digits
    Series1->setBarWidth(0.6);
    chart->addSeries(Series1);
    axisLeft = new QBarCategoryAxis(this);
    axisLeft->setTitleText(QStringLiteral("货品"));
    axisBottom = new QValueAxis(this);
    axisBottom->setLabelFormat(QStringLiteral("%.10g"));
    chart->addAxis(axisLeft, Qt::AlignLeft);
    chart->addAxis(axisBottom, Qt::AlignBottom);
    Series1->attachAxis(axisLeft);
    Series1->attachAxis(axisBottom);
    setRanking({}, 10, TChartMeasure::cmQuantity);
}

void TfrmChartSaleOrder::setRanking(const QList<TRankedProduct> &ranked, int count,
                                    TChartMeasure measure)
{
    m_ranked = ranked;
    const bool amount = measure == TChartMeasure::cmAmount;
    setChartTitle(QStringLiteral("货品销售排行(前%1位，%2)")
                      .arg(count)
                      .arg(amount ? QStringLiteral("按销售额") : QStringLiteral("按销售量")));
    axisBottom->setTitleText(amount ? QStringLiteral("销售额(元)") : QStringLiteral("销售量"));

    // The axis runs upwards: the last category is drawn at the top.
    QStringList labels;
    QList<qreal> values;
    double highest = 0;
    for (auto it = ranked.crbegin(); it != ranked.crend(); ++it) {
        labels << productLabel(*it);
        values << it->value;
        highest = std::max(highest, it->value);
    }
    if (setRanking1->count() > 0)
        setRanking1->remove(0, setRanking1->count());
    setRanking1->append(values);
    axisLeft->setCategories(labels);
    axisBottom->setRange(0, highest > 0 ? highest * 1.15 : 1);
    axisBottom->applyNiceNumbers();
}

QStringList TfrmChartSaleOrder::productLabels() const
{
    QStringList labels = axisLeft->categories();
    std::reverse(labels.begin(), labels.end());
    return labels;
}

QString TfrmChartSaleOrder::valueAxisTitle() const
{
    return axisBottom->titleText();
}
