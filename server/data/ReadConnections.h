#pragma once
//! Connections of a module that only read: an opening whose rows are handed out packet by
//! packet keeps its statement open on one of these between requests, so that the module's
//! own connection stays free for catalogue lookups, nested lines and applies, and a held
//! read never sees (or blocks) the module's own writes.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace korvane {

class ReadConnections;

//! One read connection lent to an opening; given back when the lease dies.
class ReadLease
{
public:
    ReadLease(ReadConnections *pool, const QString &name, int generation);
    ~ReadLease();
    ReadLease(const ReadLease &) = delete;
    ReadLease &operator=(const ReadLease &) = delete;

    QSqlDatabase database() const;
    //! The connection is closed when given back instead of being lent again.
    void discard() { m_reusable = false; }

private:
    ReadConnections *m_pool;
    QString m_name;
    int m_generation;
    bool m_reusable = true;
};

class ReadConnections
{
public:
    //! At most this many openings of one module hold a read connection at once; any
    //! further opening is read in full on the module's connection.
    static constexpr int MaxLeases = 4;

    explicit ReadConnections(const QString &baseName);
    ~ReadConnections();
    ReadConnections(const ReadConnections &) = delete;
    ReadConnections &operator=(const ReadConnections &) = delete;

    //! A read connection like main; null when the database cannot keep a read open across
    //! requests without holding up writers (SQLite outside WAL mode), when every lease is
    //! out, or when no connection can be opened.
    std::unique_ptr<ReadLease> lease(const QSqlDatabase &main);
    //! Closes the idle connections; those lent out are closed when they come back.
    void closeAll();

private:
    friend class ReadLease;
    void giveBack(const QString &name, int generation, bool reusable);
    bool mayHoldReads(const QSqlDatabase &main);
    QString openConnection(const QSqlDatabase &main);
    static void remove(const QString &name);

    QString m_baseName;
    QStringList m_idle;
    int m_out = 0;
    int m_serial = 0;
    int m_generation = 0;
    std::optional<bool> m_mayHold; // asked once per connection of the module
};

} // namespace korvane
