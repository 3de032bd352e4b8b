#include "RowCursor.h"

#include "ProviderFields.h"
#include "ReadConnections.h"
#include "ServerCursor.h"
#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

QString errorText(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

PacketRow readRow(const QSqlQuery &q, const Fields &fields)
{
    PacketRow row;
    row.reserve(fields.size());
    int column = 0;
    for (const FieldDef &f : fields)
        row << (f.type == FieldType::Nested ? QVariant() : cellValue(q.value(column++), f.type));
    return row;
}

RowCursor::RowCursor(std::unique_ptr<ReadLease> lease, std::unique_ptr<QSqlQuery> query,
                     Fields fields)
    : m_fields(std::move(fields)), m_lease(std::move(lease)), m_query(std::move(query))
{
    advance();
}

RowCursor::RowCursor(std::unique_ptr<ReadLease> lease, std::unique_ptr<ServerCursor> cursor,
                     Fields fields)
    : m_fields(std::move(fields)), m_lease(std::move(lease)), m_cursor(std::move(cursor))
{
    advance();
}

RowCursor::RowCursor(QSqlQuery &query, Fields fields) : m_fields(std::move(fields))
{
    while (query.next())
        m_rows << readRow(query, m_fields);
    if (query.lastError().isValid())
        throw ServerError(errorText(query.lastError()));
    m_hasNext = !m_rows.isEmpty();
}

RowCursor::~RowCursor()
{
    release();
}

void RowCursor::release()
{
    // A cursor ends with its transaction, at once; a held SQLite statement is reset.
    m_query.reset();
    if (m_cursor && !m_cursor->end() && m_lease)
        m_lease->discard();
    m_cursor.reset();
    m_lease.reset();
}

bool RowCursor::nextHeld()
{
    if (m_query)
        return m_query->next();
    while (!m_cursor->rows().next()) {
        if (m_cursor->exhausted())
            return false;
        m_cursor->fetch(m_packetRows);
    }
    return true;
}

void RowCursor::advance()
{
    if (!m_query && !m_cursor) {
        m_hasNext = m_nextRow < m_rows.size();
        return;
    }
    QSqlError error;
    m_hasNext = false; // a failed fetch ends the opening
    try {
        m_hasNext = nextHeld();
    } catch (const ServerError &) {
        release();
        throw;
    }
    if (m_hasNext) {
        m_ahead = readRow(m_query ? *m_query : m_cursor->rows(), m_fields);
        return;
    }
    if (m_query)
        error = m_query->lastError();
    // The end frees the read connection for the next opening.
    release();
    if (error.isValid())
        throw ServerError(errorText(error));
}

bool RowCursor::next(PacketRow *row)
{
    if (!m_hasNext)
        return false;
    if (m_query || m_cursor) {
        *row = std::move(m_ahead);
    } else {
        *row = std::move(m_rows[m_nextRow++]);
    }
    advance();
    return true;
}

} // namespace korvane
