#include "PostingStatements.h"

#include "ServerError.h"

#include <QSqlError>
#include <QStringList>

namespace korvane {

namespace {

// Rows per statement: well inside both databases' limits on bound values and statement size.
constexpr std::size_t kRowsPerStatement = 500;

} // namespace

PostingStatements::PostingStatements(QSqlDatabase db)
    : m_db(std::move(db)), m_postgres(m_db.driverName() == QLatin1String("QPSQL"))
{}

QSqlQuery &PostingStatements::run(const QString &sql, const QVariantList &values)
{
    std::unique_ptr<QSqlQuery> &query = m_prepared[sql];
    if (!query) {
        auto prepared = std::make_unique<QSqlQuery>(m_db);
        prepared->setForwardOnly(true);
        if (!prepared->prepare(sql))
            throw ServerError(prepared->lastError().text());
        query = std::move(prepared);
    }
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    if (!query->exec())
        throw ServerError(query->lastError().text());
    return *query;
}

void PostingStatements::overRows(const QString &sql, const QString &rowMarks, const Rows &rows,
                                 const Take &take)
{
    for (std::size_t start = 0; start < rows.size(); start += kRowsPerStatement) {
        const std::size_t end = std::min(rows.size(), start + kRowsPerStatement);
        QStringList marks;
        QVariantList values;
        for (std::size_t i = start; i < end; ++i) {
            marks << rowMarks;
            values << rows[i];
        }
        QSqlQuery &query = run(sql.arg(marks.join(QStringLiteral(", "))), values);
        while (query.next()) {
            if (take)
                take(query);
        }
    }
}

} // namespace korvane
