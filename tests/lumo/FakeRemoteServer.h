#pragma once
//! An in-memory provider for the data set's own tests: serves packets in pages and applies
//! change sets to its rows by key, refusing rows whose key is listed in refuse.

#include "LumoRemoteServer.h"

#include <QHash>

#include <algorithm>

class FakeRemoteServer : public TLumoRemoteServer
{
public:
    korvane::Packet table;      // what the provider holds
    int keyColumn = 0;          // locates rows for modify and delete
    QHash<QString, int> refuse; // key value -> error code of a refused row
    bool gone = false;          // the connection dropped
    int position = 0;
    int requests = 0;
    QList<korvane::ChangeSet> applied;
    QList<korvane::Params> paramsSeen;

    korvane::Packet getRecords(const QString &, int count, int options,
                               const korvane::Params &params) override
    {
        failWhenGone();
        ++requests;
        paramsSeen << params;
        if (options & korvane::grReset)
            position = 0;
        korvane::Packet packet;
        packet.fields = table.fields;
        const int end =
            count < 0 ? table.rows.size() : std::min<int>(table.rows.size(), position + count);
        for (; position < end; ++position)
            packet.rows << table.rows[position];
        packet.eof = position >= table.rows.size();
        return packet;
    }

    korvane::ApplyResult applyUpdates(const QString &, const korvane::ChangeSet &delta,
                                      int maxErrors) override
    {
        failWhenGone();
        applied << delta;
        korvane::ApplyResult result;
        korvane::Packet after = table;
        for (int i = 0; i < delta.rows.size(); ++i) {
            const korvane::ChangeRow &row = delta.rows[i];
            const QString key =
                (row.op == korvane::ChangeOp::Insert ? row.newValues : row.oldValues)
                    .value(keyColumn)
                    .toString();
            const QString newKey = row.newValues.value(keyColumn).toString();
            if (refuse.contains(key) || refuse.contains(newKey)) {
                const int code = refuse.value(refuse.contains(key) ? key : newKey);
                result.errors << korvane::ApplyError{
                    i, -1, -1, QStringLiteral("refused %1").arg(key), code, row.newValues};
                continue;
            }
            applyRow(after, row);
        }
        result.errorCount = result.errors.size();
        if (maxErrors >= 0 && result.errorCount > maxErrors)
            return result; // rolled back
        table = after;
        result.refreshed.fields = table.fields;
        for (int i = 0; i < delta.rows.size(); ++i) {
            const korvane::ChangeRow &row = delta.rows[i];
            const bool refused =
                std::any_of(result.errors.begin(), result.errors.end(),
                            [i](const korvane::ApplyError &e) { return e.row == i; });
            if (row.op == korvane::ChangeOp::Delete || refused)
                continue;
            const int at = find(table, row.newValues.value(keyColumn).toString());
            if (at >= 0)
                result.refreshed.rows << table.rows[at];
        }
        return result;
    }

    QStringList getProviderNames() override { return {QStringLiteral("dspTest")}; }
    korvane::Params getParams(const QString &) override { return {}; }
    QVariant call(const QString &, const QVariantList &, QVariantList *) override { return {}; }

    // A column the server fills in on every applied row, to see refreshed values merged.
    int stampColumn = -1;

private:
    void failWhenGone() const
    {
        if (gone)
            throw TLumoRemoteError(QStringLiteral("连接已断开"));
    }

    int find(const korvane::Packet &packet, const QString &key) const
    {
        for (int r = 0; r < packet.rows.size(); ++r) {
            if (packet.rows[r].value(keyColumn).toString() == key)
                return r;
        }
        return -1;
    }

    void applyRow(korvane::Packet &into, const korvane::ChangeRow &row) const
    {
        korvane::RowValues values = row.newValues;
        if (stampColumn >= 0 && !values.isEmpty())
            values[stampColumn] = QStringLiteral("stamped");
        switch (row.op) {
        case korvane::ChangeOp::Insert:
            into.rows << values;
            break;
        case korvane::ChangeOp::Modify: {
            const int at = find(into, row.oldValues.value(keyColumn).toString());
            if (at >= 0 && !row.changed.isEmpty()) {
                for (int c = 0; c < values.size(); ++c) {
                    if (row.changed.testBit(c) || c == stampColumn)
                        into.rows[at][c] = values[c];
                }
            }
            break;
        }
        case korvane::ChangeOp::Delete: {
            const int at = find(into, row.oldValues.value(keyColumn).toString());
            if (at >= 0)
                into.rows.removeAt(at);
            break;
        }
        }
    }
};
