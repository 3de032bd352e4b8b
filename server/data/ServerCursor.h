#pragma once
//! A PostgreSQL cursor of one opening, declared in a read-only transaction of a read
//! connection: its rows are fetched a packet at a time, the statement is planned for its
//! first rows, and ending it (however much is left unread) is one statement that ends the
//! transaction, with nothing to drain.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

namespace korvane {

class SqlStatement;

class ServerCursor
{
public:
    //! Declares the cursor over st with values bound as literals the driver escapes (as it
    //! does for the values of its own prepared statements) and fetches its first rows;
    //! null, with the transaction ended, when the database refuses the statement.
    static std::unique_ptr<ServerCursor> declare(const QSqlDatabase &db, const SqlStatement &st,
                                                 const QVariantList &values, int firstRows);
    //! Ends the cursor unless end() did.
    ~ServerCursor();
    ServerCursor(const ServerCursor &) = delete;
    ServerCursor &operator=(const ServerCursor &) = delete;

    //! The rows of the last fetch, before the first of them.
    QSqlQuery &rows() { return m_rows; }
    //! The last fetch reached the end: no further fetch finds anything.
    bool exhausted() const { return m_exhausted; }
    //! Fetches the next rows (-1: all the rest); throws ServerError when the database fails.
    void fetch(int rows);

    //! Ends the cursor and its transaction; false when the connection could not, so that
    //! it is not lent again.
    bool end();

    //! The statement's text with each parameter replaced by its value as a literal.
    static QString boundText(const QSqlDatabase &db, const SqlStatement &st,
                             const QVariantList &values);

private:
    explicit ServerCursor(const QSqlDatabase &db);
    bool tryFetch(int rows);

    QSqlDatabase m_db;
    QSqlQuery m_rows;
    bool m_exhausted = false;
    bool m_ended = false;
};

} // namespace korvane
