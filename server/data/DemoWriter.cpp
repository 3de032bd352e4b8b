#include "DemoWriter.h"

#include "ServerError.h"

#include <QSqlError>
#include <QStringList>

namespace korvane::demo {

DemoWriter::DemoWriter(QSqlDatabase db, quint32 seed) : m_db(std::move(db)), m_random(seed) {}

QSqlQuery &DemoWriter::prepared(const QString &statement)
{
    auto found = m_statements.find(statement);
    if (found != m_statements.end())
        return *found;
    QSqlQuery query(m_db);
    if (!query.prepare(statement))
        throw ServerError(query.lastError().text());
    return *m_statements.insert(statement, query);
}

void DemoWriter::insert(const QString &table, const Values &values)
{
    QStringList columns;
    QStringList marks;
    for (const auto &value : values) {
        columns << value.first;
        marks << QStringLiteral("?");
    }
    QSqlQuery &query =
        prepared(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i].second);
    if (!query.exec())
        throw ServerError(QStringLiteral("%1: %2").arg(table, query.lastError().text()));
}

void DemoWriter::update(const QString &table, const Values &values, const Values &keys)
{
    QStringList sets;
    for (const auto &value : values)
        sets << value.first + QStringLiteral(" = ?");
    QStringList wheres;
    for (const auto &key : keys)
        wheres << key.first + QStringLiteral(" = ?");
    QSqlQuery &query = prepared(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(table, sets.join(QLatin1Char(',')), wheres.join(QStringLiteral(" AND "))));
    int i = 0;
    for (const auto &value : values)
        query.bindValue(i++, value.second);
    for (const auto &key : keys)
        query.bindValue(i++, key.second);
    if (!query.exec())
        throw ServerError(QStringLiteral("%1: %2").arg(table, query.lastError().text()));
}

} // namespace korvane::demo
