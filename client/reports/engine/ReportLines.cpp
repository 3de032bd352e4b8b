#include "ReportLines.h"

#include <algorithm>

namespace korvane::report {

ReportLine openingPage(ReportLine line)
{
    for (qsizetype c = 0; c < line.groupCells.size(); ++c)
        if (!line.groupCells.at(c).isNull())
            line.cells[c] = line.groupCells.at(c);
    line.groupCells.clear();
    return line;
}

ReportLines::ReportLines(const ReportDefinition &definition, ReportCursor &cursor)
    : definition_(definition), cursor_(cursor), row_(cursor)
{
    cursor_.rewind();
    for (const ReportColumn &column : definition.columns)
        fieldIndex_ << row_.indexOf(column.field);
    if (!definition.groupKey.isEmpty()) {
        for (const QString &key : definition.outerGroupKeys)
            groupIndexes_ << row_.indexOf(key);
        groupIndexes_ << row_.indexOf(definition.groupKey);
    }
    if (definition.closing)
        closingIndex_ = row_.indexOf(definition.closingLine.field);
    groupSums_.fill(0, definition.columns.size());
    totalSums_ = groupSums_;
}

std::optional<ReportLine> ReportLines::next()
{
    if (ready_.empty() && !finished_) {
        if (cursor_.next())
            readRow();
        else
            finish();
    }
    if (ready_.empty())
        return std::nullopt;
    ReportLine line = std::move(ready_.front());
    ready_.pop_front();
    return line;
}

QVariant ReportLines::cellValue(int column) const
{
    const ReportColumn &c = definition_.columns.at(column);
    return c.compute ? c.compute(row_) : row_.value(fieldIndex_.at(column));
}

QString ReportLines::groupValue() const
{
    QStringList values;
    for (int index : groupIndexes_)
        values << row_.value(index).toString();
    return values.join(QChar(0x1f));
}

void ReportLines::readRow()
{
    const bool grouped = !definition_.groupKey.isEmpty();
    const QString key = grouped ? groupValue() : QString();
    const bool groupStarts = rows_ == 0 || (grouped && key != groupValue_);
    if (grouped && rows_ > 0 && groupStarts && definition_.hasSums()) {
        ready_.push_back(sumLine(LineKind::Subtotal, definition_.subtotalLabel, groupSums_));
        groupSums_.fill(0);
    }
    groupValue_ = key;

    ReportLine line;
    for (int c = 0; c < definition_.columns.size(); ++c) {
        const ReportColumn &column = definition_.columns.at(c);
        const QVariant value = cellValue(c);
        if (column.summed) {
            groupSums_[c] += value.toDouble();
            totalSums_[c] += value.toDouble();
        }
        const bool blank = grouped && column.shownOnce && !groupStarts;
        line.cells << (blank ? QVariant() : value);
        if (blank) {
            line.groupCells.resize(definition_.columns.size());
            line.groupCells[c] = value;
        }
    }
    if (definition_.closing) {
        const double price = row_.value(closingIndex_).toDouble();
        highest_ = rows_ == 0 ? price : std::max(highest_, price);
        lowest_ = rows_ == 0 ? price : std::min(lowest_, price);
        closingSum_ += price;
    }
    ++rows_;
    ready_.push_back(std::move(line));
}

void ReportLines::finish()
{
    finished_ = true;
    if (!definition_.hasSums() && !definition_.closing)
        return;
    if (definition_.hasSums()) {
        if (!definition_.groupKey.isEmpty() && rows_ > 0)
            ready_.push_back(sumLine(LineKind::Subtotal, definition_.subtotalLabel, groupSums_));
        ready_.push_back(sumLine(LineKind::Total, definition_.totalLabel, totalSums_));
    }
    if (definition_.closing) {
        const ClosingLine &c = definition_.closingLine;
        ReportLine line;
        line.kind = LineKind::Closing;
        line.figures = {{c.highestLabel, highest_},
                        {c.lowestLabel, lowest_},
                        {c.averageLabel, rows_ > 0 ? closingSum_ / rows_ : 0.0}};
        ready_.push_back(std::move(line));
    }
}

ReportLine ReportLines::sumLine(LineKind kind, const QString &label,
                                const QVector<double> &sums) const
{
    ReportLine line;
    line.kind = kind;
    line.label = label;
    for (int c = 0; c < definition_.columns.size(); ++c)
        line.cells << (definition_.columns.at(c).summed ? QVariant(sums.at(c)) : QVariant());
    return line;
}

} // namespace korvane::report
