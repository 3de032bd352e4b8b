#pragma once
//! Document numbering: "YYYYMMDD" followed by a four-digit daily serial, drawn from one
//! process-wide cache shared by every document and lookup module instance.

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace korvane {

//! One record of the number cache: the last serial handed out for a table on a day.
struct TAutoGainNO
{
    QString tableName; // upper-cased, unique in the cache
    QDate day;         // the day lastSerial belongs to; another day starts afresh
    int lastSerial = 0;
};

//! The process-wide number cache. Every operation is guarded by one mutex, so module
//! instances on different threads never hand out one number twice.
class AutoGainNO
{
public:
    using Clock = std::function<QDate()>;

    static AutoGainNO &instance();

    //! Today's date by the cache's clock (the local date unless a test set another clock).
    QDate today() const;
    //! Replaces the clock; an empty clock restores the local date.
    void setClock(Clock clock);

    //! The next number of the table for the given day: one past the higher of the serial
    //! cached for that day and storedSerial (the highest serial of that day already stored
    //! in the table, 0 when none). Throws ServerError when the day's 9999 numbers are used.
    QString next(const QString &tableName, const QDate &day, int storedSerial);

    //! The cached record of a table (a default record when none).
    TAutoGainNO record(const QString &tableName) const;

    //! Forgets every record (program end; tests).
    void clear();

    static constexpr int MaxSerial = 9999;

private:
    AutoGainNO() = default;

    mutable QMutex m_mutex;
    QHash<QString, TAutoGainNO> m_records; // by upper-cased table name
    Clock m_clock;
};

class SchemaCatalog;

//! The highest serial of the day stored in the table's headno column: 0 when the table
//! holds no number of that day, -1 when the table cannot be read.
int storedHeadnoSerial(const QSqlDatabase &db, const QString &tableName, const QDate &day);

//! GetHeadno as both modules publish it: the next document number for the table.
//! A table name the database does not know never reaches a statement: its number then
//! comes from the cache alone.
QString GetHeadno(const QSqlDatabase &db, const QString &tableName);
//! The same with the table looked up in a catalogue already read from that database.
QString GetHeadno(const QSqlDatabase &db, SchemaCatalog &catalog, const QString &tableName);

} // namespace korvane
