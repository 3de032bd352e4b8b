#include "ReportPainter.h"

#include "ReportMetrics.h"
#include "ReportRules.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QHash>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

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

//! A text shaped for one font on one kind of device: its glyphs, width and line height.
struct ShapedText
{
    QList<QGlyphRun> runs;
    double width = 0;
    double height = 0;
};

struct ShapeKey
{
    QString text;
    double pointSize;
    bool bold;
    int dpi;
    bool operator==(const ShapeKey &o) const
    {
        return pointSize == o.pointSize && bold == o.bold && dpi == o.dpi && text == o.text;
    }
};

size_t qHash(const ShapeKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.pointSize, key.bold, key.dpi);
}

//! Reports repeat their texts page after page (units, names, dates, amounts, the headers),
//! so each is shaped once per font and device resolution and kept, up to a bound that keeps
//! a long report's memory flat. Painting runs on the GUI thread only.
QHash<ShapeKey, ShapedText> &shapeCache()
{
    static QHash<ShapeKey, ShapedText> cache;
    // The glyph runs hold the application's fonts: they go before the application does.
    static const bool released = (qAddPostRoutine([] { shapeCache().clear(); }), true);
    Q_UNUSED(released);
    return cache;
}

const ShapedText &shaped(const QString &text, const QFont &font, QPaintDevice *device)
{
    QHash<ShapeKey, ShapedText> &cache = shapeCache();
    constexpr qsizetype kMaxShaped = 20000;
    const ShapeKey key{text, font.pointSizeF(), font.bold(), device->logicalDpiY()};
    auto known = cache.constFind(key);
    if (known != cache.constEnd())
        return *known;
    if (cache.size() >= kMaxShaped)
        cache.clear();
    QTextLayout layout(text, font, device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    ShapedText s;
    if (line.isValid()) {
        s.runs = line.glyphRuns();
        s.width = line.naturalTextWidth();
        s.height = line.height();
    }
    return *cache.insert(key, std::move(s));
}

//! Grounds and pictures first, then every rule, then the texts above them.
void paintGrounds(QPainter &painter, const ReportPage &page, ReportRules &rules)
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

//! A one-line text in its box: aligned across, centred down, never clipped.
void paintText(QPainter &painter, const QRectF &box, Qt::Alignment align, const ShapedText &text)
{
    double x = box.left();
    if (align & Qt::AlignRight)
        x = box.right() - text.width;
    else if (align & Qt::AlignHCenter)
        x = box.center().x() - text.width / 2;
    const QPointF origin(x, box.center().y() - text.height / 2);
    for (const QGlyphRun &run : text.runs)
        painter.drawGlyphRun(origin, run);
}

void paintTexts(QPainter &painter, const ReportPage &page)
{
    const QTransform toDevice = painter.worldTransform();
    painter.resetTransform();
    painter.setPen(Qt::black);
    std::optional<TextStyle> current;
    QFont font;
    for (const Primitive &p : page.items) {
        if (p.kind != PrimitiveKind::Text)
            continue;
        if (!current || !sameStyle(*current, p.style)) {
            current = p.style;
            font = deviceFont(p.style, toDevice, *painter.device());
        }
        paintText(painter, toDevice.mapRect(p.rect), horizontal(p.align),
                  shaped(p.text, font, painter.device()));
    }
    painter.setWorldTransform(toDevice);
}

} // namespace

void paintPage(QPainter &painter, const ReportPage &page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing);
    ReportRules rules;
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
