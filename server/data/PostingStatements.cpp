#include "PostingStatements.h"

#include "ServerError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QStringList>

namespace korvane {

namespace {

// Rows per statement: well inside both databases' limits on bound values and statement size.
constexpr std::size_t kRowsPerStatement = 500;

} // namespace

PostingStatements::PostingStatements(QSqlDatabase db)
    : m_db(std::move(db)), m_postgres(m_db.driverName() == QLatin1String("QPSQL"))
{}

QSqlQuery &PostingStatements::prepared(const QString &sql)
{
    std::unique_ptr<QSqlQuery> &query = m_prepared[sql];
    if (!query) {
        auto made = std::make_unique<QSqlQuery>(m_db);
        made->setForwardOnly(true);
        if (!made->prepare(sql))
            throw ServerError(made->lastError().text());
        query = std::move(made);
    }
    return *query;
}

QString PostingStatements::withValues(const QString &sql, const QVariantList &values) const
{
    const QSqlDriver *driver = m_db.driver();
    QString text;
    text.reserve(sql.size() + values.size() * 8);
    int next = 0;
    for (const QChar c : sql) {
        if (c != QLatin1Char('?')) {
            text += c;
            continue;
        }
        if (next >= values.size())
            throw ServerError(QStringLiteral("A statement has more marks than values"));
        const QVariant &value = values.at(next++);
        // A null text is NULL, as the driver binds it, not an empty text.
        if (value.isNull() ||
            (value.metaType().id() == QMetaType::QString && value.toString().isNull())) {
            text += QLatin1String("NULL");
            continue;
        }
        QSqlField field(QString(), value.metaType());
        field.setValue(value);
        text += driver->formatValue(field);
    }
    if (next != values.size())
        throw ServerError(QStringLiteral("A statement has fewer marks than values"));
    return text;
}

QSqlQuery &PostingStatements::run(const QString &sql, const QVariantList &values)
{
    if (m_postgres) {
        if (!m_text) {
            m_text = std::make_unique<QSqlQuery>(m_db);
            m_text->setForwardOnly(true);
        }
        if (!m_text->exec(withValues(sql, values)))
            throw ServerError(m_text->lastError().text());
        return *m_text;
    }
    QSqlQuery &query = prepared(sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        throw ServerError(query.lastError().text());
    return query;
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
