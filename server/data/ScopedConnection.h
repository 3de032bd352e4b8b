#pragma once
//! A database connection of its own for one piece of work (creating, backing up or
//! checking an account set), closed and removed again on every path.

#include "RunTimeConnection.h"

#include <QSqlDatabase>
#include <QString>
#include <QUuid>

namespace korvane {

inline QString uniqueConnectionName(const char *purpose)
{
    return QStringLiteral("korvane_%1_%2")
        .arg(QLatin1String(purpose), QUuid::createUuid().toString(QUuid::Id128));
}

//! A database connection of its own that is closed and removed on every path.
class ScopedConnection
{
public:
    ScopedConnection(const DbConnectionInfo &info, QString *error, const char *purpose = "restore")
        : m_name(uniqueConnectionName(purpose))
    {
        m_ok = openDatabase(info, m_name, error).isOpen();
    }
    ~ScopedConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    bool isOpen() const { return m_ok; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_ok = false;
};

} // namespace korvane
