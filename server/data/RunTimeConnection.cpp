#include "RunTimeConnection.h"

#include <QMutex>
#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

namespace {
QMutex g_mutex;
DbConnectionInfo g_info;
} // namespace

void setRunTimeConnection(const DbConnectionInfo &info)
{
    QMutexLocker lock(&g_mutex);
    g_info = info;
}

DbConnectionInfo runTimeConnection()
{
    QMutexLocker lock(&g_mutex);
    return g_info;
}

QSqlDatabase openDatabase(const DbConnectionInfo &info, const QString &connectionName,
                          QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(info.driver, connectionName);
    db.setDatabaseName(info.databaseName);
    if (!info.hostName.isEmpty())
        db.setHostName(info.hostName);
    if (info.port > 0)
        db.setPort(info.port);
    if (!info.userName.isEmpty())
        db.setUserName(info.userName);
    if (!info.password.isEmpty())
        db.setPassword(info.password);
    if (!info.options.isEmpty())
        db.setConnectOptions(info.options);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return db;
    }
    // SQLite checks foreign keys only when each connection asks for it.
    if (info.driver == QLatin1String("QSQLITE"))
        QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    return db;
}

} // namespace korvane
