#pragma once
//! The bands a page is made of (page header, title block, column header, a printed line,
//! page footer), each a stack of primitives measured from its own top edge.

#include "ReportDefinition.h"
#include "ReportLines.h"
#include "ReportPage.h"

namespace korvane::report {

struct Band
{
    double heightMm = 0;
    QVector<Primitive> items;
    //! Moves the band's primitives onto a page with its top edge at (x, y).
    void placeOn(ReportPage &page, double x, double y) &&;
};

class ReportBands
{
public:
    ReportBands(const ReportDefinition &definition, const ReportContext &context,
                double contentWidthMm);
    Band pageHeader() const;
    Band titleBlock() const;
    Band columnHeader() const;
    Band line(const ReportLine &line) const;
    Band pageFooter(int pageNumber) const;

private:
    Band detailLine(const ReportLine &line) const;
    Band sumLine(const ReportLine &line) const;
    Band closingLine(const ReportLine &line) const;
    double columnX(int column) const;
    double spanWidth(int column, int span) const;

    const ReportDefinition &definition_;
    const ReportContext &context_;
    double contentWidth_;
    QVector<double> columnX_;
};

} // namespace korvane::report
