#include "ReportExport.h"
#include "ReportLines.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>

namespace korvane::report {

namespace {

void writeTitleBlock(QTextCursor &cursor, const QStringList &lines)
{
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCharFormat title;
    title.setFontPointSize(14);
    title.setFontWeight(QFont::Bold);
    cursor.setBlockFormat(centred);
    cursor.insertText(lines.value(0), title);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        cursor.insertBlock(i == 1 ? centred : QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(lines.at(i));
    }
}

QTextTableFormat tableFormat(const ReportDefinition &definition)
{
    QTextTableFormat format;
    format.setBorder(0.5);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    format.setHeaderRowCount(definition.headerRows());
    QVector<QTextLength> widths;
    for (const ReportColumn &column : definition.columns)
        widths << QTextLength(QTextLength::PercentageLength,
                              100 * column.widthMm / definition.tableWidthMm());
    format.setColumnWidthConstraints(widths);
    return format;
}

void putCell(QTextTable &table, int row, int column, const QString &text, Qt::Alignment align,
             bool bold = false)
{
    QTextCursor cell = table.cellAt(row, column).firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(align);
    cell.setBlockFormat(block);
    QTextCharFormat chars;
    if (bold)
        chars.setFontWeight(QFont::Bold);
    cell.insertText(text, chars);
}

void writeHeader(QTextTable &table, const ReportDefinition &definition)
{
    for (const HeaderCell &cell : headerCells(definition)) {
        table.mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        putCell(table, cell.row, cell.column, cell.text, Qt::AlignHCenter, true);
    }
}

void writeLine(QTextTable &table, const ReportDefinition &definition, const ReportLine &line)
{
    const int row = table.rows();
    table.appendRows(1);
    if (line.kind == LineKind::Closing) {
        table.mergeCells(row, 0, 1, table.columns());
        QStringList parts;
        for (const ClosingFigure &f : line.figures)
            parts << f.label + formatNumber(f.value, definition.closingLine.format);
        putCell(table, row, 0, parts.join(QStringLiteral("    ")), Qt::AlignLeft);
        return;
    }
    const bool sum = line.kind != LineKind::Detail;
    for (int c = 0; c < definition.columns.size(); ++c) {
        const ReportColumn &column = definition.columns.at(c);
        putCell(table, row, c, formatCell(column, line.cells.value(c)), column.align, sum);
    }
    if (sum)
        putCell(table, row, 0, line.label, Qt::AlignLeft, true);
}

} // namespace

bool exportOdt(const QString &fileName, const ReportDefinition &definition, ReportCursor &cursor,
               const ReportContext &context, QString *error)
{
    QTextDocument document;
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    document.setDefaultFont(font);
    QTextCursor at(&document);
    writeTitleBlock(at, titleBlockLines(definition, context));
    at.insertBlock();
    const int columns = int(definition.columns.size());
    QTextTable *table = at.insertTable(definition.headerRows(), columns, tableFormat(definition));
    writeHeader(*table, definition);
    ReportLines lines(definition, cursor);
    while (std::optional<ReportLine> line = lines.next())
        writeLine(*table, definition, *line);
    QTextDocumentWriter writer(fileName, "odf");
    if (writer.write(&document))
        return true;
    if (error)
        *error = writer.device() ? writer.device()->errorString() : QString();
    return false;
}

} // namespace korvane::report
