#include "ReadOnlyTransaction.h"

#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtGlobal>

namespace korvane {

namespace {

QString run(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) ? QString() : q.lastError().text();
}

} // namespace

bool isOneStatement(const QString &text)
{
    QString statement = text.trimmed();
    while (statement.endsWith(QLatin1Char(';')))
        statement = statement.chopped(1).trimmed();
    return !statement.contains(QLatin1Char(';'));
}

ReadOnlyTransaction::ReadOnlyTransaction(const QSqlDatabase &db) : m_db(db)
{
    if (!m_db.transaction())
        throw ServerError(
            QStringLiteral("The statement cannot run read-only: %1").arg(m_db.lastError().text()));
    const bool postgres = m_db.driverName() == QLatin1String("QPSQL");
    // A COMMIT in the text ends PostgreSQL's read-only transaction; what could follow it is
    // kept out by isOneStatement, not by this.
    const QString error = run(m_db, postgres ? QStringLiteral("SET TRANSACTION READ ONLY")
                                             : QStringLiteral("PRAGMA query_only = ON"));
    m_queryOnly = !postgres && error.isEmpty();
    if (!error.isEmpty()) {
        end();
        throw ServerError(QStringLiteral("The statement cannot run read-only: %1").arg(error));
    }
}

ReadOnlyTransaction::~ReadOnlyTransaction()
{
    end();
}

void ReadOnlyTransaction::end()
{
    m_db.rollback(); // fails harmlessly when the text itself ended the transaction
    if (m_queryOnly) {
        const QString error = run(m_db, QStringLiteral("PRAGMA query_only = OFF"));
        if (!error.isEmpty())
            qWarning("the connection stays read-only: %s", qPrintable(error));
    }
    m_queryOnly = false;
}

} // namespace korvane
