#pragma once
//! The report as a spreadsheet (.xlsx) and as a document (.odt). Both read the same line
//! stream as the layout: the title block above the table, the header, the lines and sums.

#include "ReportCursor.h"
#include "ReportDefinition.h"

namespace korvane::report {

//! Streams the rows in libxlsxwriter's constant-memory mode; numbers stay numbers.
bool exportXlsx(const QString &fileName, const ReportDefinition &definition, ReportCursor &cursor,
                const ReportContext &context, QString *error = nullptr);
bool exportOdt(const QString &fileName, const ReportDefinition &definition, ReportCursor &cursor,
               const ReportContext &context, QString *error = nullptr);

//! The title block's lines as the exports print them above the table.
QStringList titleBlockLines(const ReportDefinition &definition, const ReportContext &context);
//! Width in character cells: a CJK character takes two.
int displayWidth(const QString &text);

} // namespace korvane::report
