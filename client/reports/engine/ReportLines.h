#pragma once
//! The report's lines in print order, before any page exists: detail lines with their
//! shown-once cells blanked, a subtotal at each change of group, the total and the closing
//! line. The layout and the exporters read the same stream, so they cannot disagree.

#include "ReportCursor.h"
#include "ReportDefinition.h"

#include <deque>
#include <optional>

namespace korvane::report {

enum class LineKind { Detail, Subtotal, Total, Closing };

//! A figure of the closing line: its label and its value.
struct ClosingFigure
{
    QString label;
    double value = 0;
};

struct ReportLine
{
    LineKind kind = LineKind::Detail;
    QVariantList cells; //!< one per column; null prints blank; sums are doubles
    //! A detail line inside its group: the group's shown-once cells it leaves blank, so that
    //! a page it opens can print them again. Empty for a line that starts its group.
    QVariantList groupCells;
    QString label; //!< "小计：" or "合计：" of a sum line
    QVector<ClosingFigure> figures;
};

//! The line as it prints at the top of a page: a group carried over from the page before
//! shows its shown-once cells again.
ReportLine openingPage(ReportLine line);

class ReportLines
{
public:
    //! Rewinds the cursor; the definition and cursor must outlive the stream.
    ReportLines(const ReportDefinition &definition, ReportCursor &cursor);
    std::optional<ReportLine> next();
    qsizetype rowsRead() const { return rows_; }

private:
    void readRow();
    void finish();
    ReportLine sumLine(LineKind kind, const QString &label, const QVector<double> &sums) const;
    QVariant cellValue(int column) const;
    QString groupValue() const;

    const ReportDefinition &definition_;
    ReportCursor &cursor_;
    ReportRow row_;
    QVector<int> fieldIndex_;
    QVector<int> groupIndexes_; //!< the outer keys, then the group key
    int closingIndex_ = -1;
    std::deque<ReportLine> ready_;
    QVector<double> groupSums_;
    QVector<double> totalSums_;
    QString groupValue_;
    qsizetype rows_ = 0;
    double closingSum_ = 0;
    double highest_ = 0;
    double lowest_ = 0;
    bool finished_ = false;
};

} // namespace korvane::report
