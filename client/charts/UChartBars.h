#pragma once
//! The bars of the sales chart, drawn by the chart itself so that the screen, the printed
//! page and the saved picture are one drawing: one colour or a random colour per bar, plain
//! or with a gradient, marked with their values, flat or extruded (a front face with a darker
//! top and side) and seen from an angle that dragging the mouse turns.

#include <QColor>
#include <QGraphicsObject>
#include <QList>

class QChart;
class QValueAxis;

class TChartBars : public QGraphicsObject
{
    Q_OBJECT
public:
    //! Drawn over the chart's plot area; the value axis gives the height of a value.
    TChartBars(QChart *chart, QValueAxis *valueAxis);

    //! One bar per category of the chart, in category order.
    void setValues(const QList<double> &values);
    const QList<double> &values() const { return m_values; }

    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }
    //! One colour per bar, drawn at random when switched on.
    void setRandomColours(bool on);
    bool randomColours() const { return m_random; }
    //! The colour bar i is drawn in.
    QColor colourAt(int i) const;
    void setGradient(bool on);
    bool gradient() const { return m_gradient; }
    //! Without the bars only the marks are drawn, each at its value (over the curve).
    void setBarsVisible(bool on);
    bool barsVisible() const { return m_bars; }
    void setLabelsVisible(bool on);
    bool labelsVisible() const { return m_labels; }
    void setThreeD(bool on);
    bool threeD() const { return m_threeD; }
    //! Dragging turns the view while the bars are three-dimensional.
    void setRotatable(bool on);
    bool rotatable() const { return m_rotatable; }
    //! The direction the bars are extruded in, degrees above the horizontal (5 … 175).
    void setAngle(double degrees);
    double angle() const { return m_angle; }

    //! The front face of bar i in chart coordinates.
    QRectF frontFace(int i) const;
    //! The extrusion of every bar (zero when flat or without bars).
    QPointF depthOffset() const;
    //! The text of a value's mark: "12", "12.5", "1234.56".
    static QString markText(double value);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void paintBar(QPainter *painter, int i) const;
    void paintMark(QPainter *painter, int i) const;
    void updateMouse();
    double barWidth() const;

    QChart *m_chart;
    QValueAxis *m_valueAxis;
    QList<double> m_values;
    QList<QColor> m_randomColours;
    QColor m_colour;
    bool m_random = false;
    bool m_gradient = true;
    bool m_bars = true;
    bool m_labels = true;
    bool m_threeD = true;
    bool m_rotatable = true;
    double m_angle = 45;
    double m_dragFrom = 0;
};
