#include "LumoADOQuery.h"

#include "LumoADOC.h"
#include "ServerError.h"

#include <QSqlError>

namespace korvane {

TLumoADOQuery::TLumoADOQuery(TLumoADOC *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{}

TLumoADOQuery::~TLumoADOQuery() = default;

QSqlQuery &TLumoADOQuery::query()
{
    if (!m_query) {
        m_query = std::make_unique<QSqlQuery>(m_connection->database());
        m_query->setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    }
    return *m_query;
}

bool TLumoADOQuery::isActive() const
{
    return m_query && m_query->isActive() && m_query->isSelect();
}

void TLumoADOQuery::close()
{
    if (m_query)
        m_query->finish();
}

bool TLumoADOQuery::runSql(const QString &text, bool execute)
{
    close();
    m_sql = text;
    m_lastError.clear();
    try {
        QSqlQuery &q = query();
        if (q.exec(text) && (execute || q.isSelect()))
            return true;
        m_lastError = q.isActive() && !q.isSelect()
                          ? QStringLiteral("The statement returns no rows")
                          : q.lastError().text();
        q.finish();
        q.clear();
        m_query.reset();
    } catch (const ServerError &e) {
        m_lastError = e.text();
    }
    return false;
}

} // namespace korvane
