#pragma once
//! The run-time connection every module instance connects with: built once at start-up
//! from Plant.ini, written before the first module instance exists, read afterwards.

#include <QSqlDatabase>
#include <QString>

namespace korvane {

struct DbConnectionInfo
{
    QString driver = QStringLiteral("QSQLITE"); // QSQLITE or QPSQL
    QString databaseName;                       // SQLite: file path; PostgreSQL: database name
    QString hostName;                           // PostgreSQL only
    int port = -1;                              // PostgreSQL only; -1 = driver default
    QString userName;
    QString password;
    QString options; // driver connect options
};

void setRunTimeConnection(const DbConnectionInfo &info);
DbConnectionInfo runTimeConnection();

//! Adds and opens a connection under the given name; on failure returns a closed
//! connection and puts the driver's text into *error.
QSqlDatabase openDatabase(const DbConnectionInfo &info, const QString &connectionName,
                          QString *error);

} // namespace korvane
