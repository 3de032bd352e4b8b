#include "RowCursor.h"

#include "ProviderFields.h"
#include "ReadConnections.h"
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
                     Fields fields, const QSqlDatabase &main)
    : m_fields(std::move(fields)), m_main(main), m_lease(std::move(lease)),
      m_query(std::move(query))
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
    if (m_query && m_hasNext && m_lease)
        m_lease->abandonStatement(m_main);
    m_query.reset();
}

void RowCursor::advance()
{
    if (!m_query) {
        m_hasNext = m_nextRow < m_rows.size();
        return;
    }
    m_hasNext = m_query->next();
    if (m_hasNext) {
        m_ahead = readRow(*m_query, m_fields);
        return;
    }
    const QSqlError error = m_query->lastError();
    // The end frees the read connection for the next opening.
    m_query.reset();
    m_lease.reset();
    if (error.isValid())
        throw ServerError(errorText(error));
}

bool RowCursor::next(PacketRow *row)
{
    if (!m_hasNext)
        return false;
    if (m_query) {
        *row = std::move(m_ahead);
    } else {
        *row = std::move(m_rows[m_nextRow++]);
    }
    advance();
    return true;
}

} // namespace korvane
