#include "ReportPainter.h"

#include "ReportMetrics.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace korvane::report {

namespace {

Qt::Alignment horizontal(Qt::Alignment align)
{
    return align & Qt::AlignHorizontal_Mask;
}

//! Text is drawn untransformed with the reference font scaled to the device's pixels:
//! glyphs then come from the glyph cache instead of being drawn as paths, and the unhinted
//! font takes the room the layout measured.
void paintText(QPainter &painter, const Primitive &p)
{
    const QTransform toDevice = painter.worldTransform();
    const QRectF box = toDevice.mapRect(p.rect);
    QFont font = ReportMetrics::reference().font(p.style);
    const double devicePx = font.pixelSize() * toDevice.m22() / ReportMetrics::PxPerMm;
    font.setPointSizeF(devicePx * 72.0 / painter.device()->logicalDpiY());
    painter.save();
    painter.resetTransform();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(box, int(horizontal(p.align) | Qt::AlignVCenter | Qt::TextDontClip), p.text);
    painter.restore();
}

QPen penOf(const Primitive &p)
{
    QPen pen(Qt::black, p.penMm);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void paintItem(QPainter &painter, const Primitive &p)
{
    switch (p.kind) {
    case PrimitiveKind::Text:
        paintText(painter, p);
        break;
    case PrimitiveKind::Line:
        painter.setPen(penOf(p));
        painter.drawLine(p.rect.topLeft(), p.rect.bottomRight());
        break;
    case PrimitiveKind::Rect:
        if (p.fill.isValid())
            painter.fillRect(p.rect, p.fill);
        if (p.penMm > 0) {
            painter.setPen(penOf(p));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(p.rect);
        }
        break;
    case PrimitiveKind::Image:
        painter.drawImage(p.rect, p.image);
        break;
    }
}

} // namespace

void paintPage(QPainter &painter, const ReportPage &page)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Primitive &p : page.items)
        paintItem(painter, p);
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
