#pragma once
//! The sales chart of one product: the sums per period as bars (light red, gradient, marked
//! with their values, three-dimensional unless switched off) or as a blue curve marked with
//! its values, one of the two shown; colours, background, rotation, 3-D and marks are the
//! operator's and are kept between runs, while each showing starts with the bars.

#include "UChartPeriods.h"
#include "UChartWindow.h"

#include <QColor>
#include <QImage>

#include <functional>

class QBarCategoryAxis;
class QLineSeries;
class QValueAxis;
class TChartBars;

class TfrmChartClassSale : public TfrmChartWindow
{
    Q_OBJECT
public:
    explicit TfrmChartClassSale(QWidget *parent = nullptr);

    TChartBars *Series1 = nullptr;  // the bars
    QLineSeries *Series2 = nullptr; // the curve
    QBarCategoryAxis *axisBottom = nullptr;
    QValueAxis *axisLeft = nullptr;

    //! The sums to draw, one bar or curve point each, labelled under the bottom axis.
    void setPoints(const QList<TChartPoint> &points);
    const QList<TChartPoint> &points() const { return m_points; }
    void setLeftAxisTitle(const QString &title);
    QString leftAxisTitle() const;
    QString bottomAxisTitle() const;

    //! "柱图" / "分析曲线": the bars or the curve alone.
    void showBars(bool bars);
    bool barsShown() const;
    bool curveShown() const;
    void setThreeD(bool on);
    void setRotate(bool on);
    void setLabelsShown(bool on);
    void setRandomColours(bool on);
    //! "自定义颜色": random colours off, both series in the colour.
    void setCustomColour(const QColor &colour);
    void setGradient(bool on);
    //! "背景图": false, with the reason shown, when the file is no picture that can be read.
    bool loadBackPicture(const QString &fileName);
    void clearBackPicture();
    bool hasBackPicture() const { return !m_backPicture.isNull(); }
    void setBackColour(const QColor &colour);
    QColor backColour() const { return m_backColour; }

    //! The colour and file dialogs behind the tools (tests answer them).
    using ColourQuestion = std::function<QColor(const QColor &initial, QWidget *parent)>;
    using OpenQuestion = std::function<QString(QWidget *parent)>;
    static ColourQuestion setColourQuestion(ColourQuestion question);
    static OpenQuestion setOpenQuestion(OpenQuestion question);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectTools();
    void applyRange();
    void fitBottomLabels();
    void paintBackPicture();
    QColor askColour(const QColor &initial);

    QList<TChartPoint> m_points;
    QImage m_backPicture;
    QColor m_backColour = Qt::white;
};
