#include "Posting.h"

#include "AccountSettings.h"
#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

namespace {

//! The stock rows a change set on XStock touches, by their old and new keys.
std::set<StockKey> touchedStockRows(const ChangeSet &delta)
{
    const int store = indexOfField(delta.fields, QStringLiteral("storecode"));
    const int product = indexOfField(delta.fields, QStringLiteral("pdtcode"));
    const int line = indexOfField(delta.fields, QStringLiteral("pdtno"));
    std::set<StockKey> keys;
    if (store < 0 || product < 0 || line < 0)
        return keys;
    for (const ChangeRow &row : delta.rows) {
        for (const RowValues *values : {&row.oldValues, &row.newValues}) {
            if (values->size() <= std::max({store, product, line}))
                continue;
            const StockKey key{values->at(store).toString().trimmed(),
                               values->at(product).toString().trimmed(),
                               values->at(line).toString().trimmed()};
            if (!key.store.isEmpty())
                keys.insert(key);
        }
    }
    return keys;
}

constexpr double kBelowZero = -1e-9;

//! The stock rows an apply lowers, by how much (a negative difference).
using Lowered = std::map<StockKey, double>;

void addLowered(Lowered *lowered, const StockKey &key, double difference)
{
    if (difference < 0)
        (*lowered)[key] += difference;
}

//! When the account set refuses negative stock, the first lowered row now below zero ends
//! the apply with a message naming it; the caller's transaction is then rolled back.
void refuseNegativeStock(QSqlDatabase db, const Lowered &lowered)
{
    if (lowered.empty() || negativeStockAllowed(db))
        return;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT s.pqty, st.name, p.name FROM XStock s "
                             "LEFT JOIN XStore st ON st.code = s.storecode "
                             "LEFT JOIN xprdth p ON p.pdtcode = s.pdtcode "
                             "WHERE s.storecode = ? AND s.pdtcode = ? AND s.pdtno = ?"));
    for (const auto &[key, difference] : lowered) {
        q.addBindValue(key.store);
        q.addBindValue(key.pdtcode);
        q.addBindValue(key.pdtno);
        if (!q.exec())
            throw ServerError(q.lastError().text());
        if (!q.next())
            continue;
        const double now = q.value(0).toDouble();
        if (now >= kBelowZero)
            continue;
        throw ServerError(
            QStringLiteral(
                "库存不足，不能保存：仓库 %1（%2）货品 %3（%4）项次 %5 现有 %6，需要 %7。")
                .arg(key.store, q.value(1).toString().trimmed(), key.pdtcode,
                     q.value(2).toString().trimmed(), key.pdtno)
                .arg(now - difference)
                .arg(-difference));
    }
}

} // namespace

Posting::Posting(QSqlDatabase db, const QString &headTable)
    : m_db(std::move(db)), m_table(postingTableOf(headTable))
{}

bool Posting::posts(const QString &headTable)
{
    return postingTableOf(headTable) != PostingTable::None;
}

QStringList Posting::touchedHeads(const ChangeSet &delta)
{
    const int column = indexOfField(delta.fields, QStringLiteral("headno"));
    QStringList heads;
    if (column < 0)
        return heads;
    for (const ChangeRow &row : delta.rows) {
        for (const RowValues *values : {&row.oldValues, &row.newValues}) {
            const QString headno =
                column < values->size() ? values->at(column).toString().trimmed() : QString();
            if (!headno.isEmpty() && !heads.contains(headno))
                heads << headno;
        }
    }
    return heads;
}

void Posting::before(const ChangeSet &delta)
{
    if (m_table == PostingTable::OpeningStock) {
        m_stockRows = touchedStockRows(delta);
        m_opening = openingOf(m_stockRows);
        return;
    }
    m_heads = touchedHeads(delta);
    m_before = readEffect(m_db, m_table, &m_heads);
}

void Posting::after()
{
    if (m_table == PostingTable::OpeningStock) {
        afterOpeningStock();
        return;
    }
    const Effect now = readEffect(m_db, m_table, &m_heads);
    const Effect difference = now.minus(m_before);
    if (difference.isEmpty())
        return;
    writeDifference(m_db, difference);
    Lowered lowered;
    for (const auto &[key, value] : difference.onHand)
        addLowered(&lowered, key, value);
    refuseNegativeStock(m_db, lowered);
}

std::map<StockKey, Posting::Opening> Posting::openingOf(const std::set<StockKey> &keys) const
{
    std::map<StockKey, Opening> opening;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT startnum, pqty FROM XStock WHERE storecode = ? AND "
                             "pdtcode = ? AND pdtno = ?"));
    for (const StockKey &key : keys) {
        q.addBindValue(key.store);
        q.addBindValue(key.pdtcode);
        q.addBindValue(key.pdtno);
        if (!q.exec())
            throw ServerError(q.lastError().text());
        if (q.next())
            opening[key] = {q.value(0).toDouble(), q.value(1).toDouble()};
    }
    return opening;
}

// The stock on hand follows the opening quantity: whatever a change set wrote into pqty,
// it ends as it was, moved by the change of startnum (a new row starts at its startnum,
// plus what documents had already posted to it). The quantity on order is worked out.
void Posting::afterOpeningStock()
{
    const std::map<StockKey, Opening> now = openingOf(m_stockRows);
    Lowered lowered;
    for (const auto &[key, opening] : now) {
        const auto was = m_opening.find(key);
        const double pqty = was == m_opening.end()
                                ? opening.startnum
                                : was->second.pqty + opening.startnum - was->second.startnum;
        addLowered(&lowered, key, pqty - (was == m_opening.end() ? 0 : was->second.pqty));
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral(
            "UPDATE XStock SET pqty = ? WHERE storecode = ? AND pdtcode = ? AND pdtno = ?"));
        q.addBindValue(pqty);
        q.addBindValue(key.store);
        q.addBindValue(key.pdtcode);
        q.addBindValue(key.pdtno);
        if (!q.exec())
            throw ServerError(q.lastError().text());
        writeOnOrder(m_db, key);
    }
    refuseNegativeStock(m_db, lowered);
}

} // namespace korvane
