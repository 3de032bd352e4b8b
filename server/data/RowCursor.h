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
class ServerCursor;

//! The database's own words for an error, else the driver's.
QString errorText(const QSqlError &error);

//! A row's cells; a nested field has no column, its detail rows come later.
PacketRow readRow(const QSqlQuery &q, const Fields &fields);

class RowCursor
{
public:
    //! Continues query, executed on the lease's connection, row by row.
    RowCursor(std::unique_ptr<ReadLease> lease, std::unique_ptr<QSqlQuery> query, Fields fields);
    //! Continues cursor, declared on the lease's connection, a fetch per packet.
    RowCursor(std::unique_ptr<ReadLease> lease, std::unique_ptr<ServerCursor> cursor,
              Fields fields);
    //! Reads every row of query now.
    RowCursor(QSqlQuery &query, Fields fields);
    ~RowCursor();
    RowCursor(const RowCursor &) = delete;
    RowCursor &operator=(const RowCursor &) = delete;

    const Fields &fields() const { return m_fields; }
    bool atEnd() const { return !m_hasNext; }
    //! The rows the packet being read asks for (-1 all): what a cursor fetches at a time.
    void setPacketRows(int rows) { m_packetRows = rows; }
    //! The next row; false at the end. Throws ServerError when the database fails midway.
    bool next(PacketRow *row);

private:
    void advance();
    bool nextHeld();
    void release();

    Fields m_fields;
    std::unique_ptr<ReadLease> m_lease;     // outlives m_query and m_cursor
    std::unique_ptr<ServerCursor> m_cursor; // PostgreSQL: the rows fetched come from here
    std::unique_ptr<QSqlQuery> m_query;     // SQLite: the statement held open
    PacketRows m_rows;                      // read in full
    qsizetype m_nextRow = 0;
    PacketRow m_ahead; // held open: the row the next call hands out
    bool m_hasNext = false;
    int m_packetRows = 1;
};

} // namespace korvane
