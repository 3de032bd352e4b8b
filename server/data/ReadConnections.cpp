#include "ReadConnections.h"

#include <QSqlQuery>

namespace korvane {

ReadLease::ReadLease(ReadConnections *pool, const QString &name, int generation)
    : m_pool(pool), m_name(name), m_generation(generation)
{}

ReadLease::~ReadLease()
{
    m_pool->giveBack(m_name, m_generation, m_reusable);
}

QSqlDatabase ReadLease::database() const
{
    return QSqlDatabase::database(m_name, false);
}

ReadConnections::ReadConnections(const QString &baseName) : m_baseName(baseName) {}

ReadConnections::~ReadConnections()
{
    closeAll();
}

void ReadConnections::remove(const QString &name)
{
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

void ReadConnections::closeAll()
{
    for (const QString &name : std::as_const(m_idle))
        remove(name);
    m_idle.clear();
    m_mayHold.reset();
    ++m_generation;
}

bool ReadConnections::mayHoldReads(const QSqlDatabase &main)
{
    if (!m_mayHold) {
        bool may = main.driverName() == QLatin1String("QPSQL");
        if (main.driverName() == QLatin1String("QSQLITE")) {
            // Outside WAL mode an open read keeps every other connection from committing.
            QSqlQuery q(main);
            may = q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next() &&
                  q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        }
        m_mayHold = may;
    }
    return *m_mayHold;
}

QString ReadConnections::openConnection(const QSqlDatabase &main)
{
    const QString name = m_baseName + QStringLiteral("_read") + QString::number(++m_serial);
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(main, name);
        opened = db.open();
        if (opened && db.driverName() == QLatin1String("QSQLITE"))
            opened = QSqlQuery(db).exec(QStringLiteral("PRAGMA query_only = 1"));
        else if (opened)
            opened = QSqlQuery(db).exec(QStringLiteral("SET default_transaction_read_only = on")) &&
                     // An opening here is read a packet at a time: its first rows count, so
                     // where an index gives the order PostgreSQL walks it instead of sorting
                     // the whole result first (SQLite's planner already prefers that).
                     QSqlQuery(db).exec(QStringLiteral("SET enable_sort = off"));
    }
    if (!opened) {
        remove(name);
        return QString();
    }
    return name;
}

std::unique_ptr<ReadLease> ReadConnections::lease(const QSqlDatabase &main)
{
    if (m_out >= MaxLeases || !mayHoldReads(main))
        return nullptr;
    QString name = m_idle.isEmpty() ? openConnection(main) : m_idle.takeLast();
    if (name.isEmpty())
        return nullptr;
    ++m_out;
    return std::make_unique<ReadLease>(this, name, m_generation);
}

void ReadConnections::giveBack(const QString &name, int generation, bool reusable)
{
    --m_out;
    if (reusable && generation == m_generation)
        m_idle << name;
    else
        remove(name);
}

} // namespace korvane
