#include "ReportBands.h"

#include "ReportMetrics.h"

#include <algorithm>

namespace korvane::report {

namespace {

const TextStyle kBody{9, false};
const TextStyle kBold{9, true};
const TextStyle kTitle{12, true};
const TextStyle kCompany{10, false};
constexpr double kPadX = 1.0;
constexpr double kPadY = 0.6;
constexpr double kFramePen = 0.2;
constexpr double kRulePen = 0.5;
constexpr double kGap = 1.5;
const QColor kHeaderGround(0xFF, 0xFF, 0xE0);
const QColor kClosingGround(0x87, 0xCE, 0xEB);

const ReportMetrics &metrics()
{
    return ReportMetrics::reference();
}

Primitive textItem(const QRectF &rect, const QString &text, Qt::Alignment align,
                   const TextStyle &style)
{
    Primitive p;
    p.rect = rect;
    p.text = text;
    p.align = align;
    p.style = style;
    return p;
}

Primitive rectItem(const QRectF &rect, double pen, const QColor &fill)
{
    Primitive p;
    p.kind = PrimitiveKind::Rect;
    p.rect = rect;
    p.penMm = pen;
    p.fill = fill;
    return p;
}

Primitive ruleItem(double y, double width, double pen)
{
    Primitive p;
    p.kind = PrimitiveKind::Line;
    p.rect = QRectF(0, y, width, 0);
    p.penMm = pen;
    return p;
}

QStringList cellLines(const QString &text, double width, const TextStyle &style)
{
    return metrics().wrap(text, width - 2 * kPadX, style);
}

double heightOf(const QStringList &lines, const TextStyle &style)
{
    return lines.size() * metrics().lineHeightMm(style) + 2 * kPadY;
}

double cellHeight(const QString &text, double width, const TextStyle &style)
{
    return heightOf(cellLines(text, width, style), style);
}

//! A framed cell of wrapped lines, from the top, or centred in a header.
void addLines(Band &band, const QRectF &box, const QStringList &lines, Qt::Alignment align,
              const TextStyle &style, const QColor &ground, bool centred)
{
    band.items << rectItem(box, kFramePen, ground);
    const double lh = metrics().lineHeightMm(style);
    double y = centred ? box.y() + (box.height() - lines.size() * lh) / 2 : box.y() + kPadY;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            band.items << textItem(QRectF(box.x() + kPadX, y, box.width() - 2 * kPadX, lh), line,
                                   align, style);
        y += lh;
    }
}

void addCell(Band &band, const QRectF &box, const QString &text, Qt::Alignment align,
             const TextStyle &style, const QColor &ground, bool centred)
{
    addLines(band, box, cellLines(text, box.width(), style), align, style, ground, centred);
}

//! Lines of text across the band, one under the other, each wrapped to the width.
double addParagraph(Band &band, double y, double width, const QString &text, Qt::Alignment align,
                    const TextStyle &style)
{
    const double lh = metrics().lineHeightMm(style);
    for (const QString &line : metrics().wrap(text, width, style)) {
        band.items << textItem(QRectF(0, y, width, lh), line, align, style);
        y += lh;
    }
    return y;
}

} // namespace

void Band::placeOn(ReportPage &page, double x, double y) &&
{
    for (Primitive &p : items) {
        p.rect.translate(x, y);
        page.items.append(std::move(p));
    }
    items.clear();
}

ReportBands::ReportBands(const ReportDefinition &definition, const ReportContext &context,
                         double contentWidthMm)
    : definition_(definition), context_(context), contentWidth_(contentWidthMm)
{
    double x = 0;
    for (const ReportColumn &column : definition.columns) {
        columnX_ << x;
        x += column.widthMm;
    }
    columnX_ << x;
}

double ReportBands::columnX(int column) const
{
    return columnX_.at(std::clamp(column, 0, int(columnX_.size() - 1)));
}

double ReportBands::spanWidth(int column, int span) const
{
    return columnX(column + span) - columnX(column);
}

Band ReportBands::pageHeader() const
{
    Band band;
    const double lh = metrics().lineHeightMm(kBody);
    band.items << textItem(QRectF(0, 0, contentWidth_, lh), context_.companyName, Qt::AlignLeft,
                           kBody);
    band.items << textItem(QRectF(0, 0, contentWidth_, lh),
                           QStringLiteral("打印时间：") +
                               context_.printTime.toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                           Qt::AlignRight, kBody);
    band.items << ruleItem(lh + 0.5, contentWidth_, kFramePen);
    band.heightMm = lh + 0.5 + kGap;
    return band;
}

Band ReportBands::titleBlock() const
{
    Band band;
    double logoBottom = 0;
    if (!context_.logo.isNull()) {
        constexpr double kLogoHeight = 15;
        const double width = kLogoHeight * context_.logo.width() / context_.logo.height();
        Primitive logo;
        logo.kind = PrimitiveKind::Image;
        logo.rect = QRectF(0, 0, width, kLogoHeight);
        logo.image = context_.logo;
        band.items << logo;
        logoBottom = kLogoHeight;
    }
    double y = addParagraph(band, 0, contentWidth_, definition_.title, Qt::AlignHCenter, kTitle);
    y = addParagraph(band, y, contentWidth_, context_.companyName, Qt::AlignHCenter, kCompany);
    const double lh = metrics().lineHeightMm(kBody);
    const QString dept = QStringLiteral("编制单位：【%1】").arg(context_.deptName);
    band.items << textItem(QRectF(0, y, contentWidth_, lh), dept, Qt::AlignLeft, kBody);
    if (!context_.dateLine.isEmpty())
        band.items << textItem(QRectF(0, y, contentWidth_, lh), context_.dateLine, Qt::AlignRight,
                               kBody);
    y += lh;
    for (const QString &condition : context_.conditionLines)
        y = addParagraph(band, y, contentWidth_, condition, Qt::AlignLeft, kBody);
    y = std::max(y, logoBottom) + 0.5;
    band.items << ruleItem(y, contentWidth_, kRulePen);
    band.heightMm = y + kGap;
    return band;
}

Band ReportBands::columnHeader() const
{
    const QVector<HeaderCell> cells = headerCells(definition_);
    QVector<double> rowHeight(definition_.headerRows(), metrics().lineHeightMm(kBody) + 2 * kPadY);
    for (const HeaderCell &cell : cells) {
        if (cell.rowSpan == 1)
            rowHeight[cell.row] =
                std::max(rowHeight[cell.row],
                         cellHeight(cell.text, spanWidth(cell.column, cell.columnSpan), kBody));
    }
    QVector<double> rowY{0};
    for (double h : rowHeight)
        rowY << rowY.last() + h;
    Band band;
    for (const HeaderCell &cell : cells) {
        const double top = rowY.at(cell.row);
        const double bottom = rowY.at(std::min<int>(cell.row + cell.rowSpan, rowY.size() - 1));
        const QRectF box(columnX(cell.column), top, spanWidth(cell.column, cell.columnSpan),
                         bottom - top);
        addCell(band, box, cell.text, Qt::AlignHCenter, kBody, kHeaderGround, true);
    }
    band.heightMm = rowY.last();
    return band;
}

Band ReportBands::line(const ReportLine &line) const
{
    switch (line.kind) {
    case LineKind::Detail:
        return detailLine(line);
    case LineKind::Subtotal:
    case LineKind::Total:
        return sumLine(line);
    case LineKind::Closing:
        return closingLine(line);
    }
    return {};
}

Band ReportBands::detailLine(const ReportLine &line) const
{
    QVector<QStringList> lines;
    double height = 0;
    for (int c = 0; c < definition_.columns.size(); ++c) {
        const ReportColumn &column = definition_.columns.at(c);
        lines << cellLines(formatCell(column, line.cells.value(c)), column.widthMm, kBody);
        height = std::max(height, heightOf(lines.last(), kBody));
    }
    Band band;
    band.items.reserve(2 * lines.size());
    for (int c = 0; c < definition_.columns.size(); ++c) {
        const ReportColumn &column = definition_.columns.at(c);
        addLines(band, QRectF(columnX(c), 0, column.widthMm, height), lines.at(c), column.align,
                 kBody, QColor(), false);
    }
    band.heightMm = height;
    return band;
}

//! The label takes the leading columns up to the first summed one; each sum its own cell.
Band ReportBands::sumLine(const ReportLine &line) const
{
    const QVector<ReportColumn> &columns = definition_.columns;
    const auto firstSum = std::find_if(columns.begin(), columns.end(),
                                       [](const ReportColumn &c) { return c.summed; });
    const int labelSpan = std::max(1, int(firstSum - columns.begin()));
    const TextStyle &style = line.kind == LineKind::Total ? kBold : kBody;
    QStringList texts{line.label};
    double height = cellHeight(line.label, spanWidth(0, labelSpan), style);
    for (int c = labelSpan; c < columns.size(); ++c) {
        texts << formatCell(columns.at(c), line.cells.value(c));
        height = std::max(height, cellHeight(texts.last(), columns.at(c).widthMm, style));
    }
    Band band;
    addCell(band, QRectF(0, 0, spanWidth(0, labelSpan), height), line.label, Qt::AlignLeft, style,
            QColor(), false);
    for (int c = labelSpan; c < columns.size(); ++c)
        addCell(band, QRectF(columnX(c), 0, columns.at(c).widthMm, height),
                texts.at(c - labelSpan + 1), columns.at(c).align, style, QColor(), false);
    band.heightMm = height;
    return band;
}

Band ReportBands::closingLine(const ReportLine &line) const
{
    QStringList parts;
    for (const ClosingFigure &figure : line.figures)
        parts << figure.label + formatNumber(figure.value, definition_.closingLine.format);
    const QString text = parts.join(QStringLiteral("    "));
    const double width = columnX_.last();
    const double height = cellHeight(text, width, kBody);
    Band band;
    addCell(band, QRectF(0, 0, width, height), text, Qt::AlignLeft, kBody, kClosingGround, false);
    band.heightMm = height;
    return band;
}

Band ReportBands::pageFooter(int pageNumber) const
{
    Band band;
    band.items << ruleItem(0, contentWidth_, kRulePen);
    const double lh = metrics().lineHeightMm(kBody);
    const QRectF row(0, 1.0, contentWidth_, lh);
    band.items << textItem(row,
                           QStringLiteral("打印时间：") +
                               context_.printTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                           Qt::AlignLeft, kBody);
    band.items << textItem(row, QStringLiteral("制单：") + context_.userName, Qt::AlignHCenter,
                           kBody);
    band.items << textItem(row, QStringLiteral("页次：%1").arg(pageNumber), Qt::AlignRight, kBody);
    band.heightMm = 1.0 + lh;
    return band;
}

} // namespace korvane::report
