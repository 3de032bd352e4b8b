#include "Posting.h"

#include "AccountSettings.h"
#include "PostingBalances.h"
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

const QString kStockAndNames =
    QStringLiteral("SELECT s.storecode, s.pdtcode, s.pdtno, s.pqty, st.name, p.name FROM ") +
    stockRowsOfValues() +
    QStringLiteral(" LEFT JOIN XStore st ON st.code = s.storecode "
                   "LEFT JOIN xprdth p ON p.pdtcode = s.pdtcode");

//! When the account set refuses negative stock, the first lowered row (in key order) now
//! below zero ends the apply with a message naming it; the caller's transaction is then
//! rolled back.
void refuseNegativeStock(PostingStatements &statements, const Lowered &lowered)
{
    if (lowered.empty() || negativeStockAllowed(statements.db()))
        return;
    struct Stock
    {
        double pqty;
        QString store, product;
    };
    std::map<StockKey, Stock> stock;
    PostingStatements::Rows keys;
    for (const auto &[key, difference] : lowered)
        keys.push_back(stockKeyValues(key));
    statements.overRows(kStockAndNames, kStockKeyMarks, keys, [&](const QSqlQuery &q) {
        stock[stockKeyOf(q)] = {q.value(3).toDouble(), q.value(4).toString().trimmed(),
                                q.value(5).toString().trimmed()};
    });
    for (const auto &[key, difference] : lowered) {
        const auto found = stock.find(key);
        if (found == stock.end() || found->second.pqty >= kBelowZero)
            continue;
        const Stock &now = found->second;
        throw ServerError(
            QStringLiteral(
                "库存不足，不能保存：仓库 %1（%2）货品 %3（%4）项次 %5 现有 %6，需要 %7。")
                .arg(key.store, now.store, key.pdtcode, now.product, key.pdtno)
                .arg(now.pqty - difference)
                .arg(-difference));
    }
}

} // namespace

Posting::Posting(QSqlDatabase db, const QString &headTable)
    : m_db(std::move(db)), m_statements(m_db), m_table(postingTableOf(headTable))
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
    m_before = readEffect(m_statements, m_table, &m_heads);
}

void Posting::after()
{
    if (m_table == PostingTable::OpeningStock) {
        afterOpeningStock();
        return;
    }
    const Effect now = readEffect(m_statements, m_table, &m_heads);
    const Effect difference = now.minus(m_before);
    if (difference.isEmpty())
        return;
    writeDifference(m_statements, difference);
    Lowered lowered;
    for (const auto &[key, value] : difference.onHand)
        addLowered(&lowered, key, value);
    refuseNegativeStock(m_statements, lowered);
}

std::map<StockKey, Posting::Opening> Posting::openingOf(const std::set<StockKey> &keys)
{
    std::map<StockKey, Opening> opening;
    PostingStatements::Rows rows;
    for (const StockKey &key : keys)
        rows.push_back(stockKeyValues(key));
    m_statements.overRows(
        QStringLiteral("SELECT s.storecode, s.pdtcode, s.pdtno, s.startnum, s.pqty FROM ") +
            stockRowsOfValues(),
        kStockKeyMarks, rows, [&](const QSqlQuery &q) {
            opening[stockKeyOf(q)] = {q.value(3).toDouble(), q.value(4).toDouble()};
        });
    return opening;
}

// The stock on hand follows the opening quantity: whatever a change set wrote into pqty,
// it ends as it was, moved by the change of startnum (a new row starts at its startnum,
// plus what documents had already posted to it). The quantity on order is worked out.
void Posting::afterOpeningStock()
{
    const std::map<StockKey, Opening> now = openingOf(m_stockRows);
    Lowered lowered;
    std::map<StockKey, double> pqty;
    std::set<StockKey> keys;
    for (const auto &[key, opening] : now) {
        const auto was = m_opening.find(key);
        const double onHand = was == m_opening.end()
                                  ? opening.startnum
                                  : was->second.pqty + opening.startnum - was->second.startnum;
        addLowered(&lowered, key, onHand - (was == m_opening.end() ? 0 : was->second.pqty));
        pqty[key] = onHand;
        keys.insert(key);
    }
    lockStock(m_statements, keys, {});
    setOnHand(m_statements, pqty);
    writeOnOrder(m_statements, keys);
    refuseNegativeStock(m_statements, lowered);
}

} // namespace korvane
