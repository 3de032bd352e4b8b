#pragma once
// Helpers for tests that drive a module instance in-process over the shipped account set:
// the backends to run on, rows by field name, change sets and reading rows back.

#include "DocumentFixture.h"
#include "Posting.h"
#include "RemoteDataModule.h"

#include <QTest>

#include <functional>
#include <map>
#include <memory>

namespace korvane::test {

//! "sqlite", and "postgresql" when a test cluster runs.
inline QStringList backends()
{
    QStringList list{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        list << QStringLiteral("postgresql");
    return list;
}

//! A scratch database holding the shipped account set, the run-time connection of the
//! modules the test creates.
struct AccountSet
{
    //! Makes this account set the modules' connection again (after another one was).
    void useForModules() const { useAsRunTimeConnection(scratch); }

    explicit AccountSet(const QString &backend) : scratch(backend)
    {
        // A scratch file needs no durability: without a sync per statement it loads at once.
        if (!scratch.isPostgres())
            exec(QStringLiteral("PRAGMA synchronous = OFF"));
        ok = loadAccountSet(scratch);
    }
    bool exec(const QString &sql) const
    {
        QSqlQuery q(scratch.db());
        if (q.exec(sql))
            return true;
        qWarning() << sql << q.lastError().text();
        return false;
    }
    QVariant scalar(const QString &sql) const
    {
        QSqlQuery q(scratch.db());
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    ScratchDb scratch;
    bool ok = false;
};

inline Packet records(RemoteDataModule &module, const QString &provider, const Params &params = {},
                      int count = -1)
{
    GetRecordsRequest request;
    request.provider = provider;
    request.count = count;
    request.options = grMetaData | grReset;
    request.params = params;
    return module.getRecords(request);
}

//! A row in the packet's field order from values by field name (any case); unnamed cells null.
inline RowValues rowOf(const Fields &fields, const QVariantMap &values)
{
    RowValues row(fields.size());
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int i = indexOfField(fields, it.key());
        if (i < 0)
            qWarning() << "no field" << it.key();
        else
            row[i] = it.value();
    }
    return row;
}

inline ChangeSet insertion(const Fields &fields, const QVariantMap &values)
{
    ChangeSet set;
    set.fields = fields;
    ChangeRow row;
    row.op = ChangeOp::Insert;
    row.newValues = rowOf(fields, values);
    set.rows << row;
    return set;
}

//! The first row whose field holds the value; empty when none.
inline PacketRow findRow(const Packet &packet, const QString &field, const QVariant &value)
{
    const int i = packet.indexOf(field);
    for (const PacketRow &row : packet.rows) {
        if (i >= 0 && row.at(i).toString() == value.toString())
            return row;
    }
    return {};
}

//! One fixture per backend, made on first use and kept for the test's other rows; each use
//! makes its account set the modules' connection. T has a member db (an AccountSet).
template <typename T> class PerBackend
{
public:
    T &operator()(const QString &backend)
    {
        auto &item = m_items[backend];
        if (!item)
            item = std::make_unique<T>(backend);
        item->db.useForModules();
        return *item;
    }
    void clear() { m_items.clear(); }

private:
    std::map<QString, std::unique_ptr<T>> m_items;
};

//! The text of the ServerError the action throws; empty when it throws none.
inline QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ServerError &e) {
        return e.text();
    }
    return QString();
}

inline QString errorsOf(const ApplyResult &result)
{
    QStringList texts;
    for (const ApplyError &e : result.errors)
        texts << e.message;
    return texts.join(QLatin1String(" | "));
}

//! The first balances that differ, stored against recomputed, for a failure message.
inline QString differencesOf(const QList<BalanceDifference> &differences)
{
    QStringList lines;
    for (const BalanceDifference &d : differences.mid(0, 8))
        lines << QStringLiteral("%1: %2 / %3")
                     .arg(d.balance, d.stored.toString(), d.recomputed.toString());
    return lines.join(QStringLiteral("; "));
}

} // namespace korvane::test
