#pragma once
//! The rows of one opening of a provider, handed out as its packets ask for them. On a read
//! connection of its own the statement stays open between packets and only the rows asked
//! for (and one ahead, to know the end) are read; without one the rows are read in full
//! when the opening starts.

#include "Packet.h"

#include <QSqlDatabase>

#include <memory>

class QSqlError;
class QSqlQuery;

namespace korvane {

class ReadLease;

//! The database's own words for an error, else the driver's.
QString errorText(const QSqlError &error);

//! A row's cells; a nested field has no column, its detail rows come later.
PacketRow readRow(const QSqlQuery &q, const Fields &fields);

class RowCursor
{
public:
    //! Continues query, executed on the lease's connection; main cancels it if it is
    //! left before its end.
    RowCursor(std::unique_ptr<ReadLease> lease, std::unique_ptr<QSqlQuery> query, Fields fields,
              const QSqlDatabase &main);
    //! Reads every row of query now.
    RowCursor(QSqlQuery &query, Fields fields);
    ~RowCursor();
    RowCursor(const RowCursor &) = delete;
    RowCursor &operator=(const RowCursor &) = delete;

    const Fields &fields() const { return m_fields; }
    bool atEnd() const { return !m_hasNext; }
    //! The next row; false at the end. Throws ServerError when the database fails midway.
    bool next(PacketRow *row);

private:
    void advance();

    Fields m_fields;
    QSqlDatabase m_main;
    std::unique_ptr<ReadLease> m_lease; // outlives m_query
    std::unique_ptr<QSqlQuery> m_query; // null once the rows are read in full
    PacketRows m_rows;                  // read in full
    qsizetype m_nextRow = 0;
    PacketRow m_ahead; // held open: the row the next call hands out
    bool m_hasNext = false;
};

} // namespace korvane
