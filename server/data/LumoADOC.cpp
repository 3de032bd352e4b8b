#include "LumoADOC.h"

#include "ServerError.h"

#include <QSqlQuery>
#include <QUuid>

namespace korvane {

TLumoADOC::TLumoADOC(QObject *parent)
    : QObject(parent),
      m_connectionName(QStringLiteral("korvane_") + QUuid::createUuid().toString(QUuid::Id128)),
      m_reads(m_connectionName)
{}

TLumoADOC::~TLumoADOC()
{
    close();
}

bool TLumoADOC::isConnected() const
{
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

bool TLumoADOC::connectWith(const DbConnectionInfo &info, QString *error)
{
    close();
    bool opened = false;
    {
        QSqlDatabase db = openDatabase(info, m_connectionName, error);
        opened = db.isOpen();
        if (opened && db.driverName() == QLatin1String("QSQLITE")) {
            // SQLite leaves references unchecked unless asked, per connection.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = ON"));
            // In WAL mode readers and the one writer do not wait for each other, so a
            // list read packet by packet never holds up another client's save. The mode
            // stays with the file; a database that refuses it keeps reading in full.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        }
        if (opened)
            m_catalog.setDatabase(db);
    }
    if (!opened)
        close(); // no handle is left, so the failed connection goes quietly
    return opened;
}

QSqlDatabase TLumoADOC::database()
{
    if (isConnected())
        return QSqlDatabase::database(m_connectionName, false);
    QString error;
    if (!connectWith(runTimeConnection(), &error))
        throw ServerError(error.isEmpty() ? QStringLiteral("Cannot connect to the database")
                                          : error);
    return QSqlDatabase::database(m_connectionName, false);
}

void TLumoADOC::close()
{
    m_reads.closeAll();
    m_catalog.setDatabase(QSqlDatabase());
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

SchemaCatalog &TLumoADOC::catalog()
{
    database();
    return m_catalog;
}

bool TLumoADOC::isPostgres() const
{
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).driverName() == QLatin1String("QPSQL");
}

std::unique_ptr<ReadLease> TLumoADOC::leaseReadConnection()
{
    return m_reads.lease(database());
}

} // namespace korvane
