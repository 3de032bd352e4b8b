#include "ReportExport.h"
#include "ReportLines.h"

#include <xlsxwriter.h>

#include <QFile>

#include <algorithm>
#include <memory>

namespace korvane::report {

namespace {

struct WorkbookCloser
{
    void operator()(lxw_workbook *book) const { workbook_close(book); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookCloser>;

constexpr int kMaxWidth = 60;

//! The formats the sheet uses, made once per workbook.
struct Formats
{
    explicit Formats(lxw_workbook *book, const ReportDefinition &definition);
    lxw_format *cell(int column, bool sum) const { return (sum ? sums : plain).at(column); }

    lxw_format *title;
    lxw_format *across;
    lxw_format *header;
    QVector<lxw_format *> plain;
    QVector<lxw_format *> sums;
};

lxw_format *cellFormat(lxw_workbook *book, const ReportColumn &column, bool bold)
{
    lxw_format *f = workbook_add_format(book);
    format_set_border(f, LXW_BORDER_THIN);
    if (!column.format.isEmpty())
        format_set_num_format(f, column.format.toUtf8().constData());
    if (column.align & Qt::AlignRight)
        format_set_align(f, LXW_ALIGN_RIGHT);
    else if (column.align & Qt::AlignHCenter)
        format_set_align(f, LXW_ALIGN_CENTER);
    if (bold)
        format_set_bold(f);
    return f;
}

Formats::Formats(lxw_workbook *book, const ReportDefinition &definition)
    : title(workbook_add_format(book)), across(workbook_add_format(book)),
      header(workbook_add_format(book))
{
    format_set_bold(title);
    format_set_font_size(title, 14);
    format_set_align(title, LXW_ALIGN_CENTER_ACROSS);
    format_set_align(across, LXW_ALIGN_CENTER_ACROSS);
    format_set_bold(header);
    format_set_border(header, LXW_BORDER_THIN);
    format_set_align(header, LXW_ALIGN_CENTER);
    format_set_align(header, LXW_ALIGN_VERTICAL_CENTER);
    format_set_bg_color(header, 0xFFFFE0);
    for (const ReportColumn &column : definition.columns) {
        plain << cellFormat(book, column, false);
        sums << cellFormat(book, column, true);
    }
}

class SheetWriter
{
public:
    SheetWriter(lxw_workbook *book, const ReportDefinition &definition)
        : sheet_(workbook_add_worksheet(book, nullptr)), formats_(book, definition),
          definition_(definition)
    {
        for (const ReportColumn &column : definition.columns)
            widths_ << std::max(int(column.widthMm / 2.2), 6);
    }
    void titleBlock(const QStringList &lines);
    void header();
    void line(const ReportLine &line);
    void setWidths();

private:
    void text(int column, const QString &value, lxw_format *format);
    void value(int column, const QVariant &value, lxw_format *format);

    lxw_worksheet *sheet_;
    Formats formats_;
    const ReportDefinition &definition_;
    QVector<int> widths_;
    lxw_row_t row_ = 0;
};

void SheetWriter::text(int column, const QString &value, lxw_format *format)
{
    worksheet_write_string(sheet_, row_, lxw_col_t(column), value.toUtf8().constData(), format);
    if (column < widths_.size())
        widths_[column] = std::min(kMaxWidth, std::max(widths_[column], displayWidth(value) + 2));
}

void SheetWriter::value(int column, const QVariant &value, lxw_format *format)
{
    const ReportColumn &c = definition_.columns.at(column);
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    const bool numeric = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
                         value.typeId() == QMetaType::LongLong || !c.format.isEmpty();
    if (value.isNull())
        worksheet_write_blank(sheet_, row_, lxw_col_t(column), format);
    else if (numeric && isNumber) {
        worksheet_write_number(sheet_, row_, lxw_col_t(column), number, format);
        widths_[column] = std::max(widths_[column], displayWidth(formatCell(c, value)) + 2);
    } else
        text(column, formatCell(c, value), format);
}

//! Centred across the table, since constant-memory sheets cannot merge cells.
void SheetWriter::titleBlock(const QStringList &lines)
{
    const int columns = int(definition_.columns.size());
    for (int i = 0; i < lines.size(); ++i, ++row_) {
        lxw_format *format = i == 0 ? formats_.title : nullptr;
        worksheet_write_string(sheet_, row_, 0, lines.at(i).toUtf8().constData(), format);
        if (i == 0)
            for (int c = 1; c < columns; ++c)
                worksheet_write_blank(sheet_, row_, lxw_col_t(c), formats_.title);
    }
    ++row_;
}

void SheetWriter::header()
{
    const QVector<HeaderCell> cells = headerCells(definition_);
    for (int r = 0; r < definition_.headerRows(); ++r, ++row_) {
        for (int c = 0; c < definition_.columns.size(); ++c)
            worksheet_write_blank(sheet_, row_, lxw_col_t(c), formats_.header);
        for (const HeaderCell &cell : cells)
            if (cell.row == r)
                text(cell.column, cell.text, formats_.header);
    }
}

void SheetWriter::line(const ReportLine &line)
{
    const bool sum = line.kind != LineKind::Detail;
    if (line.kind == LineKind::Closing) {
        for (int i = 0; i < line.figures.size(); ++i) {
            worksheet_write_string(sheet_, row_, lxw_col_t(2 * i),
                                   line.figures.at(i).label.toUtf8().constData(), nullptr);
            worksheet_write_number(sheet_, row_, lxw_col_t(2 * i + 1), line.figures.at(i).value,
                                   nullptr);
        }
        ++row_;
        return;
    }
    if (sum)
        text(0, line.label, formats_.cell(0, true));
    for (int c = sum ? 1 : 0; c < definition_.columns.size(); ++c)
        value(c, line.cells.value(c), formats_.cell(c, sum));
    ++row_;
}

void SheetWriter::setWidths()
{
    for (int c = 0; c < widths_.size(); ++c)
        worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), widths_.at(c), nullptr);
}

} // namespace

int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar ch : text)
        width += ch.unicode() >= 0x2E80 ? 2 : 1;
    return width;
}

QStringList titleBlockLines(const ReportDefinition &definition, const ReportContext &context)
{
    QStringList lines{definition.title};
    if (!context.companyName.isEmpty())
        lines << context.companyName;
    lines << QStringLiteral("编制单位：【%1】").arg(context.deptName);
    if (!context.dateLine.isEmpty())
        lines << context.dateLine;
    return lines + context.conditionLines;
}

bool exportXlsx(const QString &fileName, const ReportDefinition &definition, ReportCursor &cursor,
                const ReportContext &context, QString *error)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray name = QFile::encodeName(fileName);
    lxw_workbook *raw = workbook_new_opt(name.constData(), &options);
    if (!raw) {
        if (error)
            *error = QStringLiteral("无法建立文件 %1").arg(fileName);
        return false;
    }
    Workbook book(raw);
    SheetWriter sheet(raw, definition);
    sheet.titleBlock(titleBlockLines(definition, context));
    sheet.header();
    ReportLines lines(definition, cursor);
    while (std::optional<ReportLine> line = lines.next())
        sheet.line(*line);
    sheet.setWidths();
    const lxw_error result = workbook_close(book.release());
    if (result != LXW_NO_ERROR && error)
        *error = QString::fromUtf8(lxw_strerror(result));
    return result == LXW_NO_ERROR;
}

} // namespace korvane::report
