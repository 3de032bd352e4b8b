#include "ReportCursor.h"

namespace korvane::report {

RowsCursor::RowsCursor(QStringList fields, QVector<QVariantList> rows)
    : fields_(std::move(fields)), rows_(std::move(rows))
{}

ReportRow::ReportRow(const ReportCursor &cursor) : cursor_(cursor)
{
    const QStringList names = cursor.fieldNames();
    for (int i = 0; i < names.size(); ++i)
        index_.insert(names.at(i).toLower(), i);
}

QVariant ReportRow::value(const QString &field) const
{
    return value(indexOf(field));
}

} // namespace korvane::report
