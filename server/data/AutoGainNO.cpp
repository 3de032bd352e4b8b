#include "AutoGainNO.h"

#include "SchemaCatalog.h"
#include "ServerError.h"

#include <QMutexLocker>
#include <QSqlQuery>

#include <algorithm>

namespace korvane {

namespace {

constexpr int SerialDigits = 4;

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

bool isSerial(QStringView text)
{
    return text.size() == SerialDigits &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

//! The database's own spelling of a table name, empty when the database has no such table.
QString knownTable(const QSqlDatabase &db, const QString &tableName)
{
    if (tableName.isEmpty())
        return {};
    const QStringList tables = db.tables(QSql::Tables);
    for (const QString &table : tables) {
        if (table.compare(tableName, Qt::CaseInsensitive) == 0)
            return table;
    }
    return {};
}

} // namespace

AutoGainNO &AutoGainNO::instance()
{
    static AutoGainNO cache;
    return cache;
}

QDate AutoGainNO::today() const
{
    QMutexLocker lock(&m_mutex);
    return m_clock ? m_clock() : QDate::currentDate();
}

void AutoGainNO::setClock(Clock clock)
{
    QMutexLocker lock(&m_mutex);
    m_clock = std::move(clock);
}

QString AutoGainNO::next(const QString &tableName, const QDate &day, int storedSerial)
{
    const QString key = tableName.toUpper();
    QMutexLocker lock(&m_mutex);
    TAutoGainNO &rec = m_records[key];
    rec.tableName = key;
    const int cached = rec.day == day ? rec.lastSerial : 0;
    const int serial = std::max(cached, storedSerial) + 1;
    if (serial > MaxSerial) {
        throw ServerError(QStringLiteral("表 %1 在 %2 的单据号已用完（每天最多 %3 张）。")
                              .arg(key, day.toString(Qt::ISODate))
                              .arg(MaxSerial));
    }
    rec.day = day;
    rec.lastSerial = serial;
    return dayText(day) + QStringLiteral("%1").arg(serial, SerialDigits, 10, QLatin1Char('0'));
}

TAutoGainNO AutoGainNO::record(const QString &tableName) const
{
    QMutexLocker lock(&m_mutex);
    return m_records.value(tableName.toUpper());
}

void AutoGainNO::clear()
{
    QMutexLocker lock(&m_mutex);
    m_records.clear();
}

namespace {

//! The highest serial of the day in a table the database has (its own spelling).
int storedSerialOf(const QSqlDatabase &db, const QString &table, const QDate &day)
{
    if (table.isEmpty())
        return -1;
    // The table name is the database's own spelling of a table it has; every value is bound.
    // Numbers of the day sort together; the highest one made of digits only counts.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT headno FROM %1 WHERE headno >= :lo AND headno <= :hi"
                             " AND length(headno) = :len ORDER BY headno DESC")
                  .arg(table));
    const QString prefix = dayText(day);
    q.bindValue(QStringLiteral(":lo"), prefix + QStringLiteral("0000"));
    q.bindValue(QStringLiteral(":hi"), prefix + QStringLiteral("9999"));
    q.bindValue(QStringLiteral(":len"), int(prefix.size() + SerialDigits));
    if (!q.exec())
        return -1;
    while (q.next()) {
        const QString headno = q.value(0).toString();
        const QStringView serial = QStringView(headno).mid(prefix.size());
        if (isSerial(serial))
            return serial.toInt();
    }
    return 0;
}

//! realTable: the database's spelling of tableName, empty when it has no such table.
QString nextHeadno(const QSqlDatabase &db, const QString &realTable, const QString &tableName)
{
    AutoGainNO &cache = AutoGainNO::instance();
    const QDate day = cache.today();
    // A table that cannot be read numbers from the cache alone.
    const int stored = std::max(storedSerialOf(db, realTable, day), 0);
    return cache.next(tableName, day, stored);
}

} // namespace

int storedHeadnoSerial(const QSqlDatabase &db, const QString &tableName, const QDate &day)
{
    return storedSerialOf(db, knownTable(db, tableName), day);
}

QString GetHeadno(const QSqlDatabase &db, const QString &tableName)
{
    return nextHeadno(db, knownTable(db, tableName), tableName);
}

QString GetHeadno(const QSqlDatabase &db, SchemaCatalog &catalog, const QString &tableName)
{
    const QString table = tableName.isEmpty() ? QString() : catalog.tableName(tableName);
    return nextHeadno(db, table, tableName);
}

} // namespace korvane
