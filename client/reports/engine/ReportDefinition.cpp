#include "ReportDefinition.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace korvane::report {

int ReportDefinition::headerRows() const
{
    int rows = 1;
    for (const HeaderCell &cell : header)
        rows = std::max(rows, cell.row + cell.rowSpan);
    return rows;
}

bool ReportDefinition::hasSums() const
{
    return std::any_of(columns.begin(), columns.end(),
                       [](const ReportColumn &c) { return c.summed; });
}

double ReportDefinition::tableWidthMm() const
{
    return std::accumulate(columns.begin(), columns.end(), 0.0,
                           [](double w, const ReportColumn &c) { return w + c.widthMm; });
}

QVector<HeaderCell> headerCells(const ReportDefinition &definition)
{
    if (!definition.header.isEmpty())
        return definition.header;
    QVector<HeaderCell> cells;
    for (int i = 0; i < definition.columns.size(); ++i)
        cells << HeaderCell{definition.columns.at(i).title, 0, i, 1, 1};
    return cells;
}

QString formatNumber(double value, const QString &format)
{
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    QString text;
    if (!format.contains(QLatin1Char(','))) {
        text = QString::number(value, 'f', decimals);
    } else {
        QLocale grouped(QLocale::C);
        grouped.setNumberOptions(QLocale::DefaultNumberOptions);
        text = grouped.toString(value, 'f', decimals);
    }
    // A sum that cancels out leaves a tiny negative rest of binary fractions: it is nothing.
    const bool onlyZeros = std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char(',');
    });
    if (text.startsWith(QLatin1Char('-')) && onlyZeros)
        text.remove(0, 1);
    return text;
}

QString formatCell(const ReportColumn &column, const QVariant &value)
{
    if (value.isNull())
        return {};
    if (!column.format.isEmpty()) {
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        if (isNumber)
            return formatNumber(number, column.format);
    }
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return value.toString();
}

} // namespace korvane::report
