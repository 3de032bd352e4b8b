#pragma once
//! Running a client's own statement text so that it can only read: one statement, inside a
//! transaction that the database itself keeps from writing and that is always rolled back.

#include <QSqlDatabase>
#include <QString>

namespace korvane {

//! Whether the text is one statement (trailing ';' allowed). Any other ';' counts as a
//! second statement, even inside quotes: telling those apart safely would take the
//! database's own lexer (comments, dollar quotes, backslash strings).
bool isOneStatement(const QString &text);

//! A transaction in which the connection only reads, rolled back when the guard dies:
//! SQLite refuses writes on the connection (PRAGMA query_only) until then, PostgreSQL runs
//! the transaction READ ONLY. Throws ServerError when the database will not set this up.
class ReadOnlyTransaction
{
public:
    explicit ReadOnlyTransaction(const QSqlDatabase &db);
    ~ReadOnlyTransaction();
    ReadOnlyTransaction(const ReadOnlyTransaction &) = delete;
    ReadOnlyTransaction &operator=(const ReadOnlyTransaction &) = delete;

private:
    void end();

    QSqlDatabase m_db;
    bool m_queryOnly = false; // SQLite: switched on here, so switched off again
};

} // namespace korvane
