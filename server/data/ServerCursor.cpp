#include "ServerCursor.h"

#include "RowCursor.h"
#include "ServerError.h"
#include "SqlStatement.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace korvane {

namespace {

const QString kCursorName = QStringLiteral("korvane_opening");

//! A value as a literal the database types from where it stands, as it types a parameter:
//! text for everything but binary data, quoted and escaped by the driver.
QString literal(const QSqlDriver *driver, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    if (value.metaType() == QMetaType::fromType<QByteArray>()) {
        QSqlField field(QString(), value.metaType());
        field.setValue(value);
        return driver->formatValue(field);
    }
    QSqlField field(QString(), QMetaType::fromType<QString>());
    field.setValue(value.toString());
    return driver->formatValue(field);
}

} // namespace

ServerCursor::ServerCursor(const QSqlDatabase &db) : m_db(db), m_rows(db)
{
    m_rows.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
}

ServerCursor::~ServerCursor()
{
    end();
}

bool ServerCursor::end()
{
    if (m_ended)
        return true;
    m_ended = true;
    m_rows.clear();
    // Ends the read-only transaction and with it the cursor, whatever is left unread.
    return m_db.rollback();
}

QString ServerCursor::boundText(const QSqlDatabase &db, const SqlStatement &st,
                                const QVariantList &values)
{
    QStringList literals;
    literals.reserve(values.size());
    for (const QVariant &v : values)
        literals << literal(db.driver(), v);
    return st.textWithLiterals(literals);
}

std::unique_ptr<ServerCursor> ServerCursor::declare(const QSqlDatabase &db, const SqlStatement &st,
                                                    const QVariantList &values, int firstRows)
{
    QSqlDatabase connection(db);
    if (!connection.transaction())
        return nullptr;
    std::unique_ptr<ServerCursor> cursor(new ServerCursor(db));
    QSqlQuery declare(db);
    if (!declare.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR %2")
                          .arg(kCursorName, boundText(db, st, values))) ||
        !cursor->tryFetch(firstRows))
        return nullptr; // the destructor ends the transaction
    return cursor;
}

bool ServerCursor::tryFetch(int rows)
{
    const QString count = rows < 0 ? QStringLiteral("ALL") : QString::number(qMax(rows, 1));
    // Every row of a fetch is read, so the whole result comes at once (no row-by-row mode).
    m_rows.setForwardOnly(false);
    if (!m_rows.exec(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count, kCursorName)))
        return false;
    m_exhausted = rows < 0 || m_rows.size() < qMax(rows, 1);
    return true;
}

void ServerCursor::fetch(int rows)
{
    if (!tryFetch(rows))
        throw ServerError(errorText(m_rows.lastError()));
}

} // namespace korvane
