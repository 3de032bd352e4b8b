#pragma once
//! The one renderer: draws a page's primitives with a QPainter, for the preview, the
//! printer and PDF alike.

#include "ReportPage.h"

#include <QString>

#include <functional>
#include <optional>

class QPainter;
class QPagedPaintDevice;

namespace korvane::report {

//! Draws a page; the painter's transform maps millimetres to the device.
void paintPage(QPainter &painter, const ReportPage &page);
//! The page as a picture at the given resolution, on white.
QImage pageImage(const ReportPage &page, double pxPerMm);

//! Pages one after another until it returns nothing, so long reports stream to the device.
using PageSource = std::function<std::optional<ReportPage>()>;
PageSource pagesOf(const QVector<ReportPage> &pages);

//! Each page on its own sheet of a printer or PDF writer, full page (the layout has its margins).
bool paintPages(QPagedPaintDevice &device, const PageSource &pages);
bool writePdf(const QString &fileName, const PageSource &pages, const QString &title);

} // namespace korvane::report
