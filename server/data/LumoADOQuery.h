#pragma once
//! TLumoADOQuery: a query on a module's connection with the run-SQL helper. Decimal columns
//! arrive as doubles.

#include <QObject>
#include <QSqlQuery>
#include <QString>

#include <memory>

namespace korvane {

class TLumoADOC;

class TLumoADOQuery : public QObject
{
    Q_OBJECT
public:
    explicit TLumoADOQuery(TLumoADOC *connection, QObject *parent = nullptr);
    ~TLumoADOQuery() override;

    //! Closes the query, makes text its only statement and executes it (execute = true) or
    //! opens it as a row set. Any failure gives false, leaves the query closed and says
    //! nothing; lastError() keeps the database's text for callers that want it.
    bool runSql(const QString &text, bool execute);

    QString sql() const { return m_sql; }
    //! True while a row set is open.
    bool isActive() const;
    void close();
    QSqlQuery &query();
    QString lastError() const { return m_lastError; }

private:
    TLumoADOC *m_connection;
    QString m_sql;
    QString m_lastError;
    std::unique_ptr<QSqlQuery> m_query;
};

} // namespace korvane
