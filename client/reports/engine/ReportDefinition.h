#pragma once
//! A report form as data: page, title block, columns, grouping and totals. The layout, the
//! painter and the exporters interpret it; a form adds no layout code of its own.

#include <QDateTime>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

namespace korvane::report {

class ReportRow;

//! A computed column's value, from the fields of one row.
using ColumnFunction = std::function<QVariant(const ReportRow &)>;

struct ReportColumn
{
    QString title;       //!< header text when the header has one row
    QString field;       //!< the row's field; empty for a computed column
    double widthMm = 20; //!< printed width
    Qt::Alignment align = Qt::AlignLeft;
    QString format;         //!< number format such as "0.00"; empty prints the value as it is
    bool shownOnce = false; //!< printed on a group's first line only
    bool summed = false;    //!< summed into the subtotal and total lines
    ColumnFunction compute; //!< set for a computed column
};

//! One cell of a header of several rows; a cell may span columns and header rows.
struct HeaderCell
{
    QString text;
    int row = 0;
    int column = 0;
    int columnSpan = 1;
    int rowSpan = 1;
};

//! The closing line of the price reports: highest, lowest and average of one column.
struct ClosingLine
{
    QString field;
    QString highestLabel = QStringLiteral("历史最高价格：");
    QString lowestLabel = QStringLiteral("最低价格：");
    QString averageLabel = QStringLiteral("平均价格：");
    QString format = QStringLiteral("0.00");
};

struct ReportDefinition
{
    QString title;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double marginMm = 10;
    QVector<ReportColumn> columns;
    QVector<HeaderCell> header; //!< empty: one header row of the column titles
    QString groupKey;           //!< empty: the lines print plainly
    //! Fields whose change also starts a group, for a key that repeats under another
    //! heading (one product in two stores).
    QStringList outerGroupKeys;
    bool closing = false;
    ClosingLine closingLine;
    bool pageHeader = false; //!< company name and print time above every page
    QString subtotalLabel = QStringLiteral("小计：");
    QString totalLabel = QStringLiteral("合计：");

    int headerRows() const;
    bool hasSums() const;
    double tableWidthMm() const;
};

//! What a run of a report fills in: the title block's lines and the footer's facts.
struct ReportContext
{
    QString companyName;
    QString deptName;
    QString userName;
    QString dateLine; //!< "日期：2003-01-01~2003-01-31", written by the condition window
    QStringList conditionLines;
    QDateTime printTime;
    QImage logo;
};

} // namespace korvane::report

namespace korvane::report {

//! The header's cells; a definition without its own header gets one row of column titles.
QVector<HeaderCell> headerCells(const ReportDefinition &definition);
//! "0.00" → two decimals, "#,##0.00" → grouped thousands, "0" → none.
QString formatNumber(double value, const QString &format);
//! A cell's printed text: numbers by the column's format, dates as YYYY-MM-DD.
QString formatCell(const ReportColumn &column, const QVariant &value);

} // namespace korvane::report
