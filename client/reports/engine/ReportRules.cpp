#include "ReportRules.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace korvane::report {

namespace {

constexpr double kJoinMm = 0.005;

//! A bar on the device, grown about its middle to a whole pixel where it is thinner.
QRectF deviceBar(const QTransform &toDevice, const QRectF &mm)
{
    QRectF bar = toDevice.mapRect(mm);
    if (bar.height() < 1)
        bar = QRectF(bar.left(), bar.center().y() - 0.5, bar.width(), 1);
    if (bar.width() < 1)
        bar = QRectF(bar.center().x() - 0.5, bar.top(), 1, bar.height());
    return bar;
}

} // namespace

void ReportRules::addRect(const QRectF &r, double pen)
{
    across_ << Edge{pen, r.top(), r.left(), r.right()}
            << Edge{pen, r.bottom(), r.left(), r.right()};
    down_ << Edge{pen, r.left(), r.top(), r.bottom()} << Edge{pen, r.right(), r.top(), r.bottom()};
}

void ReportRules::addLine(const QLineF &l, double pen)
{
    if (l.y1() == l.y2())
        across_ << Edge{pen, l.y1(), std::min(l.x1(), l.x2()), std::max(l.x1(), l.x2())};
    else if (l.x1() == l.x2())
        down_ << Edge{pen, l.x1(), std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2())};
    else
        slanted_ << qMakePair(l, pen);
}

QVector<ReportRules::Edge> ReportRules::joined(QVector<Edge> edges)
{
    std::sort(edges.begin(), edges.end(), [](const Edge &a, const Edge &b) {
        return std::tie(a.penMm, a.at, a.from) < std::tie(b.penMm, b.at, b.from);
    });
    QVector<Edge> runs;
    for (const Edge &e : edges) {
        if (!runs.isEmpty()) {
            Edge &run = runs.last();
            if (run.penMm == e.penMm && std::abs(run.at - e.at) < kJoinMm &&
                e.from <= run.to + kJoinMm) {
                run.to = std::max(run.to, e.to);
                continue;
            }
        }
        runs << e;
    }
    return runs;
}

void ReportRules::paint(QPainter &painter) const
{
    const QTransform toDevice = painter.worldTransform();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto &[line, pen] : slanted_) {
        QPen p(Qt::black, pen);
        p.setCapStyle(Qt::FlatCap);
        painter.setPen(p);
        painter.drawLine(line);
    }
    painter.resetTransform();
    for (const Edge &e : joined(across_)) {
        const double half = e.penMm / 2;
        painter.fillRect(deviceBar(toDevice, QRectF(e.from - half, e.at - half,
                                                    e.to - e.from + e.penMm, e.penMm)),
                         Qt::black);
    }
    for (const Edge &e : joined(down_)) {
        const double half = e.penMm / 2;
        painter.fillRect(deviceBar(toDevice, QRectF(e.at - half, e.from - half, e.penMm,
                                                    e.to - e.from + e.penMm)),
                         Qt::black);
    }
    painter.restore();
}

} // namespace korvane::report
