#include "ReportPainter.h"

#include "ReportMetrics.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace korvane::report {

namespace {

Qt::Alignment horizontal(Qt::Alignment align)
{
    return align & Qt::AlignHorizontal_Mask;
}

bool sameStyle(const TextStyle &a, const TextStyle &b)
{
    return a.pointSize == b.pointSize && a.bold == b.bold;
}

//! The reference font scaled to the device's pixels: text is drawn untransformed, so that
//! glyphs come from the glyph cache instead of being drawn as paths, and the unhinted font
//! takes the room the layout measured.
QFont deviceFont(const TextStyle &style, const QTransform &toDevice, const QPaintDevice &device)
{
    QFont font = ReportMetrics::reference().font(style);
    const double devicePx = font.pixelSize() * toDevice.m22() / ReportMetrics::PxPerMm;
    font.setPointSizeF(devicePx * 72.0 / device.logicalDpiY());
    return font;
}

//! One edge of a frame or a rule: along a line at `at` (y for a horizontal edge, x for a
//! vertical one) from `from` to `to`.
struct Edge
{
    double penMm;
    double at;
    double from;
    double to;
};

//! The page's frame edges and rules, collinear pieces of one pen joined into one run: the
//! cells of a line share their edges, so a table of lines draws a few long rules instead of
//! four edges per cell.
struct Rules
{
    QVector<Edge> across; //!< horizontal
    QVector<Edge> down;   //!< vertical

    void addRect(const QRectF &r, double pen)
    {
        across << Edge{pen, r.top(), r.left(), r.right()}
               << Edge{pen, r.bottom(), r.left(), r.right()};
        down << Edge{pen, r.left(), r.top(), r.bottom()}
             << Edge{pen, r.right(), r.top(), r.bottom()};
    }
    void addLine(const QLineF &l, double pen)
    {
        if (l.y1() == l.y2())
            across << Edge{pen, l.y1(), std::min(l.x1(), l.x2()), std::max(l.x1(), l.x2())};
        else if (l.x1() == l.x2())
            down << Edge{pen, l.x1(), std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2())};
        else
            slanted << qMakePair(l, pen);
    }
    void paint(QPainter &painter);

    QVector<QPair<QLineF, double>> slanted;
};

constexpr double kJoinMm = 0.005;

QVector<Edge> joined(QVector<Edge> edges)
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

QPen penOf(double penMm)
{
    QPen pen(Qt::black, penMm);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void Rules::paint(QPainter &painter)
{
    const QVector<Edge> a = joined(std::move(across));
    const QVector<Edge> d = joined(std::move(down));
    QVector<QLineF> lines;
    const auto flush = [&](double pen) {
        if (lines.isEmpty())
            return;
        painter.setPen(penOf(pen));
        painter.drawLines(lines);
        lines.clear();
    };
    for (const QVector<Edge> *runs : {&a, &d}) {
        const bool horizontal = runs == &a;
        for (qsizetype i = 0; i < runs->size(); ++i) {
            const Edge &e = runs->at(i);
            lines << (horizontal ? QLineF(e.from, e.at, e.to, e.at)
                                 : QLineF(e.at, e.from, e.at, e.to));
            if (i + 1 == runs->size() || runs->at(i + 1).penMm != e.penMm)
                flush(e.penMm);
        }
    }
    for (const auto &[line, pen] : slanted) {
        painter.setPen(penOf(pen));
        painter.drawLine(line);
    }
}

//! Grounds and pictures first, then every rule, then the texts above them.
void paintGrounds(QPainter &painter, const ReportPage &page, Rules &rules)
{
    for (const Primitive &p : page.items) {
        switch (p.kind) {
        case PrimitiveKind::Text:
            break;
        case PrimitiveKind::Line:
            rules.addLine(QLineF(p.rect.topLeft(), p.rect.bottomRight()), p.penMm);
            break;
        case PrimitiveKind::Rect:
            if (p.fill.isValid())
                painter.fillRect(p.rect, p.fill);
            if (p.penMm > 0)
                rules.addRect(p.rect, p.penMm);
            break;
        case PrimitiveKind::Image:
            painter.drawImage(p.rect, p.image);
            break;
        }
    }
}

void paintTexts(QPainter &painter, const ReportPage &page)
{
    const QTransform toDevice = painter.worldTransform();
    painter.resetTransform();
    painter.setPen(Qt::black);
    std::optional<TextStyle> current;
    for (const Primitive &p : page.items) {
        if (p.kind != PrimitiveKind::Text)
            continue;
        if (!current || !sameStyle(*current, p.style)) {
            current = p.style;
            painter.setFont(deviceFont(p.style, toDevice, *painter.device()));
        }
        painter.drawText(toDevice.mapRect(p.rect),
                         int(horizontal(p.align) | Qt::AlignVCenter | Qt::TextDontClip), p.text);
    }
    painter.setWorldTransform(toDevice);
}

} // namespace

void paintPage(QPainter &painter, const ReportPage &page)
{
    painter.save();
    // Rules are straight and thin: drawn whole pixels they stay sharp and cost far less.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBrush(Qt::NoBrush);
    Rules rules;
    paintGrounds(painter, page, rules);
    rules.paint(painter);
    paintTexts(painter, page);
    painter.restore();
}

QImage pageImage(const ReportPage &page, double pxPerMm)
{
    QImage image((page.sizeMm * pxPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(pxPerMm, pxPerMm);
    paintPage(painter, page);
    return image;
}

PageSource pagesOf(const QVector<ReportPage> &pages)
{
    return [&pages, at = qsizetype(0)]() mutable -> std::optional<ReportPage> {
        if (at >= pages.size())
            return std::nullopt;
        return pages.at(at++);
    };
}

bool paintPages(QPagedPaintDevice &device, const PageSource &pages)
{
    std::optional<ReportPage> page = pages();
    if (!page)
        return false;
    const auto layoutFor = [](const ReportPage &p) {
        const bool landscape = p.sizeMm.width() > p.sizeMm.height();
        const QPageSize size(landscape ? p.sizeMm.transposed() : p.sizeMm, QPageSize::Millimeter,
                             QString(), QPageSize::FuzzyOrientationMatch);
        return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(), QPageLayout::Millimeter);
    };
    device.setPageLayout(layoutFor(*page));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (bool first = true; page; page = pages(), first = false) {
        if (!first) {
            device.setPageLayout(layoutFor(*page));
            device.newPage();
        }
        const double pxPerMm = device.logicalDpiX() / 25.4;
        painter.resetTransform();
        painter.scale(pxPerMm, device.logicalDpiY() / 25.4);
        paintPage(painter, *page);
    }
    return painter.end();
}

bool writePdf(const QString &fileName, const PageSource &pages, const QString &title)
{
    QPdfWriter writer(fileName);
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Korvane"));
    return paintPages(writer, pages);
}

} // namespace korvane::report
