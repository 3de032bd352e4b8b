#pragma once
//! Definition + cursor → pages, one at a time, so a preview can show the first page while
//! the rest are still being laid out.

#include "ReportBands.h"
#include "ReportLines.h"
#include "ReportPage.h"

#include <optional>

namespace korvane::report {

class ReportLayout
{
public:
    //! Keeps copies of the definition and context; the cursor must outlive the layout.
    ReportLayout(ReportDefinition definition, ReportCursor &cursor, ReportContext context);
    bool atEnd() const { return done_ && !pending_; }
    //! The next page; call only while !atEnd().
    ReportPage nextPage();
    QVector<ReportPage> remainingPages();
    const ReportDefinition &definition() const { return definition_; }
    const ReportContext &context() const { return context_; }
    QSizeF pageSizeMm() const { return pageSize_; }

private:
    std::optional<ReportLine> nextLine();

    ReportDefinition definition_;
    ReportContext context_;
    QSizeF pageSize_;
    ReportLines lines_;
    ReportBands bands_;
    Band footer_;
    Band columnHeader_;
    std::optional<ReportLine> pending_; //!< the line that did not fit on the page before
    qsizetype pageItems_ = 0;           //!< the most primitives a page has taken, to size the next
    int pageNumber_ = 0;
    bool done_ = false;
};

//! The page in millimetres, turned for landscape.
QSizeF pageSizeMm(const ReportDefinition &definition);

} // namespace korvane::report
