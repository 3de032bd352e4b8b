#pragma once
//! The frame edges and rules of a page, drawn as solid bars: the cells of a line share their
//! edges and the lines of a table continue each other's, so collinear pieces of one pen join
//! into one run and a page of a hundred cells draws a few dozen bars.

#include <QLineF>
#include <QRectF>
#include <QVector>

class QPainter;

namespace korvane::report {

class ReportRules
{
public:
    //! The four edges of a frame, in millimetres.
    void addRect(const QRectF &rect, double penMm);
    //! A rule; one neither horizontal nor vertical is drawn as a line of its own.
    void addLine(const QLineF &line, double penMm);
    //! Draws every run with the painter's transform (millimetres to the device), each bar at
    //! least one device pixel thick so that a thin rule never falls between two rows of
    //! pixels, and the ends squared so that frames close at their corners.
    void paint(QPainter &painter) const;

    //! One edge along a line at `at` (y across, x down) from `from` to `to`.
    struct Edge
    {
        double penMm;
        double at;
        double from;
        double to;
    };
    //! The edges joined into runs: same pen, same line, touching or overlapping.
    static QVector<Edge> joined(QVector<Edge> edges);

private:
    QVector<Edge> across_;
    QVector<Edge> down_;
    QVector<QPair<QLineF, double>> slanted_;
};

} // namespace korvane::report
