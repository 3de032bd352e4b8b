#include "UChartBars.h"

#include <QChart>
#include <QCursor>
#include <QFontInfo>
#include <QGraphicsSceneMouseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BarShare = 0.6;   // of a category's width
constexpr double DepthShare = 0.4; // of a bar's width
constexpr double MaxDepth = 28;    // pixels
constexpr double DegreesPerPixel = 0.5;

QColor randomColour()
{
    // Bright enough for the darker top and side to read as the same bar.
    return QColor::fromHsv(QRandomGenerator::global()->bounded(360),
                           110 + QRandomGenerator::global()->bounded(120),
                           170 + QRandomGenerator::global()->bounded(70));
}

} // namespace

TChartBars::TChartBars(QChart *chart, QValueAxis *valueAxis)
    : QGraphicsObject(chart), m_chart(chart), m_valueAxis(valueAxis),
      m_colour(QColor(0xFF, 0x80, 0x80))
{
    setZValue(10); // above the grid, below nothing else of the chart's
    connect(chart, &QChart::plotAreaChanged, this, [this] { update(); });
    connect(valueAxis, &QValueAxis::rangeChanged, this, [this] { update(); });
    updateMouse();
}

void TChartBars::setValues(const QList<double> &values)
{
    prepareGeometryChange();
    m_values = values;
    if (m_random) {
        while (m_randomColours.size() < m_values.size())
            m_randomColours << randomColour();
    }
    update();
}

void TChartBars::setColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void TChartBars::setRandomColours(bool on)
{
    m_random = on;
    m_randomColours.clear();
    if (on) {
        for (int i = 0; i < m_values.size(); ++i)
            m_randomColours << randomColour();
    }
    update();
}

QColor TChartBars::colourAt(int i) const
{
    return m_random && i < m_randomColours.size() ? m_randomColours.at(i) : m_colour;
}

void TChartBars::setGradient(bool on)
{
    m_gradient = on;
    update();
}

void TChartBars::setBarsVisible(bool on)
{
    m_bars = on;
    updateMouse();
    update();
}

void TChartBars::setLabelsVisible(bool on)
{
    m_labels = on;
    update();
}

void TChartBars::setThreeD(bool on)
{
    m_threeD = on;
    updateMouse();
    update();
}

void TChartBars::setRotatable(bool on)
{
    m_rotatable = on;
    updateMouse();
}

void TChartBars::setAngle(double degrees)
{
    m_angle = std::clamp(degrees, 5.0, 175.0);
    update();
}

void TChartBars::updateMouse()
{
    const bool turning = m_bars && m_threeD && m_rotatable;
    setAcceptedMouseButtons(turning ? Qt::LeftButton : Qt::NoButton);
    if (turning)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

double TChartBars::barWidth() const
{
    if (m_values.isEmpty())
        return 0;
    return m_chart->plotArea().width() / m_values.size() * BarShare;
}

QRectF TChartBars::frontFace(int i) const
{
    const QRectF plot = m_chart->plotArea();
    const double span = m_valueAxis->max() - m_valueAxis->min();
    if (i < 0 || i >= m_values.size() || span <= 0)
        return {};
    auto yOf = [&](double v) {
        const double clamped = std::clamp(v, m_valueAxis->min(), m_valueAxis->max());
        return plot.bottom() - (clamped - m_valueAxis->min()) / span * plot.height();
    };
    const double category = plot.width() / m_values.size();
    const double centre = plot.left() + category * (i + 0.5);
    const double width = barWidth();
    return QRectF(QPointF(centre - width / 2, yOf(m_values.at(i))),
                  QPointF(centre + width / 2, yOf(0)))
        .normalized();
}

QPointF TChartBars::depthOffset() const
{
    if (!m_threeD || !m_bars)
        return {};
    const double depth = std::min(barWidth() * DepthShare, MaxDepth);
    const double radians = m_angle * M_PI / 180;
    return {depth * std::cos(radians), -depth * std::sin(radians)};
}

QString TChartBars::markText(double value)
{
    if (std::abs(value - std::round(value)) < 1e-9)
        return QString::number(qint64(std::round(value)));
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

QRectF TChartBars::boundingRect() const
{
    return m_chart->rect();
}

void TChartBars::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // Bars further along the extrusion are behind the nearer ones.
    const bool leftFirst = depthOffset().x() >= 0;
    for (int n = 0; m_bars && n < m_values.size(); ++n)
        paintBar(painter, leftFirst ? m_values.size() - 1 - n : n);
    if (m_labels) {
        for (int i = 0; i < m_values.size(); ++i)
            paintMark(painter, i);
    }
    painter->restore();
}

void TChartBars::paintBar(QPainter *painter, int i) const
{
    const QRectF front = frontFace(i);
    if (front.width() <= 0)
        return;
    const QColor colour = colourAt(i);
    const QPointF off = depthOffset();
    painter->setPen(QPen(colour.darker(170), 0.8));
    if (!off.isNull()) {
        const QPolygonF top{front.topLeft(), front.topRight(), front.topRight() + off,
                            front.topLeft() + off};
        const bool right = off.x() >= 0;
        const QPointF a = right ? front.topRight() : front.topLeft();
        const QPointF b = right ? front.bottomRight() : front.bottomLeft();
        const QPolygonF side{a, b, b + off, a + off};
        painter->setBrush(colour.darker(150));
        painter->drawPolygon(side);
        painter->setBrush(colour.darker(120));
        painter->drawPolygon(top);
    }
    if (m_gradient) {
        QLinearGradient fill(front.topLeft(), front.topRight());
        fill.setColorAt(0, colour.lighter(135));
        fill.setColorAt(0.45, colour);
        fill.setColorAt(1, colour.darker(125));
        painter->setBrush(fill);
    } else {
        painter->setBrush(colour);
    }
    painter->drawRect(front);
}

void TChartBars::paintMark(QPainter *painter, int i) const
{
    const QRectF front = frontFace(i);
    const QPointF off = depthOffset();
    const QString text = markText(m_values.at(i));
    // A size in pixels of the chart, not in points of the device: a printer resolves points
    // at its own resolution, and the chart is already scaled to the page.
    QFont font = m_chart->font();
    font.setPixelSize(QFontInfo(m_chart->font()).pixelSize());
    painter->setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 2);
    const double top = std::min(front.top(), front.top() + off.y());
    QRectF box(
        QPointF(front.center().x() + off.x() / 2 - size.width() / 2, top - size.height() - 3),
        size);
    painter->setPen(QPen(QColor(0x80, 0x80, 0x80), 0.8));
    painter->setBrush(QColor(0xFF, 0xFF, 0xE1)); // a note under the bar's top
    painter->drawRect(box);
    painter->setPen(Qt::black);
    painter->drawText(box, Qt::AlignCenter, text);
}

void TChartBars::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_dragFrom = event->scenePos().x();
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void TChartBars::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    const double dx = event->scenePos().x() - m_dragFrom;
    m_dragFrom = event->scenePos().x();
    setAngle(m_angle - dx * DegreesPerPixel);
}

void TChartBars::mouseReleaseEvent(QGraphicsSceneMouseEvent *)
{
    updateMouse();
}
