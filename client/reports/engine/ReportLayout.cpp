#include "ReportLayout.h"

#include <algorithm>

namespace korvane::report {

QSizeF pageSizeMm(const ReportDefinition &definition)
{
    const QSizeF size = QPageSize(definition.pageSize).size(QPageSize::Millimeter);
    return definition.orientation == QPageLayout::Landscape ? size.transposed() : size;
}

ReportLayout::ReportLayout(ReportDefinition definition, ReportCursor &cursor, ReportContext context)
    : definition_(std::move(definition)), context_(std::move(context)),
      pageSize_(report::pageSizeMm(definition_)), lines_(definition_, cursor),
      bands_(definition_, context_, pageSize_.width() - 2 * definition_.marginMm),
      footer_(bands_.pageFooter(0)), columnHeader_(bands_.columnHeader())
{}

std::optional<ReportLine> ReportLayout::nextLine()
{
    if (pending_) {
        std::optional<ReportLine> line = std::move(pending_);
        pending_.reset();
        return line;
    }
    if (std::optional<ReportLine> line = lines_.next())
        return line;
    done_ = true;
    return std::nullopt;
}

ReportPage ReportLayout::nextPage()
{
    ReportPage page;
    page.number = ++pageNumber_;
    page.sizeMm = pageSize_;
    page.items.reserve(pageItems_);
    const double left = definition_.marginMm;
    const double footerTop = pageSize_.height() - definition_.marginMm - footer_.heightMm;
    double y = definition_.marginMm;
    const auto place = [&](Band &&band) {
        const double top = y;
        y += band.heightMm;
        std::move(band).placeOn(page, left, top);
    };
    if (definition_.pageHeader)
        place(bands_.pageHeader());
    if (page.number == 1)
        place(bands_.titleBlock());
    place(Band(columnHeader_));
    // A line taller than a whole page still goes on one, or the layout would never end.
    bool placedLine = false;
    while (std::optional<ReportLine> line = nextLine()) {
        Band band = bands_.line(placedLine ? *line : openingPage(*line));
        if (placedLine && y + band.heightMm > footerTop - 1.0) {
            pending_ = std::move(line);
            break;
        }
        place(std::move(band));
        placedLine = true;
    }
    bands_.pageFooter(page.number).placeOn(page, left, footerTop);
    pageItems_ = std::max(pageItems_, page.items.size());
    return page;
}

QVector<ReportPage> ReportLayout::remainingPages()
{
    QVector<ReportPage> pages;
    while (!atEnd())
        pages << nextPage();
    return pages;
}

} // namespace korvane::report
