#include "UChartClassSale.h"

#include "UChartBars.h"
#include "UMsgBox.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLineSeries>
#include <QPainter>
#include <QRegularExpression>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor LightRed(0xFF, 0x80, 0x80);
const QColor CurveBlue(0x20, 0x40, 0xE0);

TfrmChartClassSale::ColourQuestion &colourQuestion()
{
    static TfrmChartClassSale::ColourQuestion question;
    return question;
}

TfrmChartClassSale::OpenQuestion &openQuestion()
{
    static TfrmChartClassSale::OpenQuestion question;
    return question;
}

//! A period's label under its bar: weeks, quarters and days in two lines, the year above, so
//! that many of them still fit ("2004年<br>第1周", "2003<br>01-03").
QString axisLabel(const QString &label)
{
    if (label.contains(QStringLiteral("年")))
        return QString(label).replace(QStringLiteral("年"), QStringLiteral("年<br>"));
    static const QRegularExpression day(QStringLiteral("^(\\d{4})-(\\d{2}-\\d{2})$"));
    return QString(label).replace(day, QStringLiteral("\\1<br>\\2"));
}

//! A round top for the value axis above the highest value, room left for the marks.
double niceTop(double highest)
{
    if (highest <= 0)
        return 1;
    const double raw = highest * 1.2;
    const double step = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        if (m * step >= raw)
            return m * step;
    }
    return 10 * step;
}

const QStringList SaleTools{
    "actRandomColour", "actCustomColour",     "actGradient",   "actBar",         "actCurve",
    "actBackPicture",  "actClearBackPicture", "actBackColour", "actRotate",      "actThreeD",
    "actLabels",       "actPrintSetup",       "actPrint",      "actSavePicture", "actReturn"};

} // namespace

TfrmChartClassSale::TfrmChartClassSale(QWidget *parent)
    : TfrmChartWindow(QStringLiteral("商品销售分析"), SaleTools, parent)
{
    setObjectName(QStringLiteral("frmChartClassSale"));
    axisBottom = new QBarCategoryAxis(this);
    axisBottom->setTitleText(QStringLiteral("日期"));
    axisLeft = new QValueAxis(this);
    axisLeft->setTitleText(QStringLiteral("数量"));
    axisLeft->setLabelFormat(QStringLiteral("%.10g"));
    chart->addAxis(axisBottom, Qt::AlignBottom);
    chart->addAxis(axisLeft, Qt::AlignLeft);

    Series2 = new QLineSeries;
    Series2->setObjectName(QStringLiteral("Series2"));
    Series2->setPen(QPen(CurveBlue, 2.5));
    Series2->setPointsVisible(false);
    // The curve's marks are the bars' marks drawn without the bars: the series' own marks
    // round to six digits.
    Series2->setPointLabelsVisible(false);
    chart->addSeries(Series2);
    Series2->attachAxis(axisBottom);
    Series2->attachAxis(axisLeft);

    connect(chart, &QChart::plotAreaChanged, this, [this] { fitBottomLabels(); });
    Series1 = new TChartBars(chart, axisLeft);
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setColour(LightRed);
    setChartTitle(QStringLiteral("货品销量分析图"));
    connectTools();
    showBars(true);
    setPoints({});
}

void TfrmChartClassSale::connectTools()
{
    auto on = [this](const char *name, auto slot) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    on("actBar", [this] { showBars(true); });
    on("actCurve", [this] { showBars(false); });
    on("actThreeD", [this](bool checked) { setThreeD(checked); });
    on("actRotate", [this](bool checked) { setRotate(checked); });
    on("actLabels", [this](bool checked) { setLabelsShown(checked); });
    on("actRandomColour", [this](bool checked) { setRandomColours(checked); });
    on("actGradient", [this](bool checked) { setGradient(checked); });
    on("actCustomColour", [this] {
        // The tick follows the colours in use, not the click.
        action(QStringLiteral("actCustomColour"))->setChecked(!Series1->randomColours());
        const QColor colour = askColour(Series1->colour());
        if (colour.isValid())
            setCustomColour(colour);
    });
    on("actBackPicture", [this] {
        const QString fileName =
            openQuestion()
                ? openQuestion()(this)
                : QFileDialog::getOpenFileName(
                      this, QStringLiteral("背景图"), QString(),
                      QStringLiteral("图片(*.bmp *.jpg *.jpeg *.png *.gif);;所有文件(*)"));
        if (!fileName.isEmpty())
            loadBackPicture(fileName);
    });
    on("actClearBackPicture", [this] { clearBackPicture(); });
    on("actBackColour", [this] {
        const QColor colour = askColour(m_backColour);
        if (colour.isValid())
            setBackColour(colour);
    });
}

QColor TfrmChartClassSale::askColour(const QColor &initial)
{
    return colourQuestion() ? colourQuestion()(initial, this)
                            : QColorDialog::getColor(initial, this, QStringLiteral("颜色"));
}

void TfrmChartClassSale::setPoints(const QList<TChartPoint> &points)
{
    m_points = points;
    QStringList labels;
    QList<double> values;
    QList<QPointF> curve;
    for (const TChartPoint &p : points) {
        labels << axisLabel(p.label);
        curve << QPointF(values.size(), p.value);
        values << p.value;
    }
    axisBottom->setCategories(labels);
    Series2->replace(curve);
    Series1->setValues(values);
    applyRange();
    fitBottomLabels();
}

//! Labels wider than their category (weeks, days) are turned so that they can be read whole.
void TfrmChartClassSale::fitBottomLabels()
{
    const QStringList labels = axisBottom->categories();
    const double plotWidth =
        chart->plotArea().width() > 0 ? chart->plotArea().width() : DBChart1->width() - 120;
    if (labels.isEmpty() || plotWidth <= 0)
        return;
    const QFontMetricsF metrics(axisBottom->labelsFont());
    double widest = 0;
    for (const QString &label : labels) {
        for (const QString &line : label.split(QStringLiteral("<br>")))
            widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    // Turned half-way a label is cut short; upright it has the whole height.
    const int angle = widest * 1.15 + 12 > plotWidth / labels.size() ? -90 : 0;
    if (axisBottom->labelsAngle() != angle)
        axisBottom->setLabelsAngle(angle);
}

void TfrmChartClassSale::applyRange()
{
    double highest = 0;
    double lowest = 0;
    for (const TChartPoint &p : m_points) {
        highest = std::max(highest, p.value);
        lowest = std::min(lowest, p.value);
    }
    axisLeft->setRange(lowest < 0 ? -niceTop(-lowest) : 0, niceTop(highest));
    axisLeft->applyNiceNumbers();
}

void TfrmChartClassSale::setLeftAxisTitle(const QString &title)
{
    axisLeft->setTitleText(title);
}

QString TfrmChartClassSale::leftAxisTitle() const
{
    return axisLeft->titleText();
}

QString TfrmChartClassSale::bottomAxisTitle() const
{
    return axisBottom->titleText();
}

void TfrmChartClassSale::showBars(bool bars)
{
    Series1->setBarsVisible(bars);
    Series2->setVisible(!bars);
    action(QString::fromLatin1(bars ? "actBar" : "actCurve"))->setChecked(true);
}

bool TfrmChartClassSale::barsShown() const
{
    return Series1->barsVisible();
}

bool TfrmChartClassSale::curveShown() const
{
    return Series2->isVisible();
}

void TfrmChartClassSale::setThreeD(bool on)
{
    Series1->setThreeD(on);
    action(QStringLiteral("actThreeD"))->setChecked(on);
}

void TfrmChartClassSale::setRotate(bool on)
{
    Series1->setRotatable(on);
    action(QStringLiteral("actRotate"))->setChecked(on);
}

void TfrmChartClassSale::setLabelsShown(bool on)
{
    Series1->setLabelsVisible(on);
    action(QStringLiteral("actLabels"))->setChecked(on);
}

void TfrmChartClassSale::setRandomColours(bool on)
{
    Series1->setRandomColours(on);
    action(QStringLiteral("actRandomColour"))->setChecked(on);
    if (on)
        action(QStringLiteral("actCustomColour"))->setChecked(false);
}

void TfrmChartClassSale::setCustomColour(const QColor &colour)
{
    if (Series1->randomColours())
        setRandomColours(false);
    Series1->setColour(colour);
    Series2->setPen(QPen(colour, Series2->pen().widthF()));
    action(QStringLiteral("actCustomColour"))->setChecked(true);
}

void TfrmChartClassSale::setGradient(bool on)
{
    Series1->setGradient(on);
    action(QStringLiteral("actGradient"))->setChecked(on);
}

bool TfrmChartClassSale::loadBackPicture(const QString &fileName)
{
    QImageReader reader(fileName);
    QImage image = reader.read();
    if (image.isNull()) {
        MsgBox(QStringLiteral("无法读取背景图 %1：%2").arg(fileName, reader.errorString()), mkHint);
        return false;
    }
    m_backPicture = std::move(image);
    paintBackPicture();
    return true;
}

void TfrmChartClassSale::clearBackPicture()
{
    m_backPicture = QImage();
    paintBackPicture();
}

void TfrmChartClassSale::setBackColour(const QColor &colour)
{
    m_backPicture = QImage(); // the colour is what the operator asked to see
    m_backColour = colour;
    paintBackPicture();
}

//! The picture stretched over the whole chart; without one, the chart's colour.
void TfrmChartClassSale::paintBackPicture()
{
    if (m_backPicture.isNull()) {
        chart->setBackgroundBrush(m_backColour);
        return;
    }
    const QSize size = chart->size().toSize().expandedTo(QSize(1, 1));
    QBrush brush(m_backPicture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    // The brush is laid from the chart's background rectangle, inside its margins.
    brush.setTransform(QTransform::fromTranslate(chart->rect().left(), chart->rect().top()));
    chart->setBackgroundBrush(brush);
}

void TfrmChartClassSale::showEvent(QShowEvent *event)
{
    TfrmChartWindow::showEvent(event);
    showBars(true); // every showing starts with the bars
}

void TfrmChartClassSale::resizeEvent(QResizeEvent *event)
{
    TfrmChartWindow::resizeEvent(event);
    if (!m_backPicture.isNull())
        paintBackPicture();
}

TfrmChartClassSale::ColourQuestion TfrmChartClassSale::setColourQuestion(ColourQuestion question)
{
    ColourQuestion previous = std::move(colourQuestion());
    colourQuestion() = std::move(question);
    return previous;
}

TfrmChartClassSale::OpenQuestion TfrmChartClassSale::setOpenQuestion(OpenQuestion question)
{
    OpenQuestion previous = std::move(openQuestion());
    openQuestion() = std::move(question);
    return previous;
}
