// Every balance worked out afresh from the opening stock and all checked documents: the
// repair tool for an account set used before posting existed, and the oracle of the tests.

#include "Posting.h"

#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>
#include <functional>

namespace korvane {

namespace {

constexpr double kTolerance = 1e-6;

QSqlQuery select(QSqlDatabase db, const QString &sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw ServerError(query.lastError().text());
    return query;
}

void exec(QSqlDatabase db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw ServerError(query.lastError().text());
}

Effect allDocuments(QSqlDatabase db)
{
    Effect all;
    for (PostingTable table : {PostingTable::StockDocuments, PostingTable::PurchaseOrders,
                               PostingTable::Receipts, PostingTable::Payments})
        all.add(readEffect(db, table, nullptr));
    return all;
}

//! Collects the differences and, with fix, the statements that mend them.
class Audit
{
public:
    Audit(QSqlDatabase db, bool fix) : m_db(std::move(db)), m_fix(fix) {}

    void number(const QString &balance, const QVariant &stored, double recomputed,
                const std::function<void()> &mend)
    {
        if (!stored.isNull() && std::abs(stored.toDouble() - recomputed) < kTolerance)
            return;
        if (stored.isNull() && std::abs(recomputed) < kTolerance)
            return;
        differences << BalanceDifference{balance, stored, recomputed};
        if (m_fix)
            mend();
    }
    void text(const QString &balance, const QString &stored, const QString &recomputed,
              const std::function<void()> &mend)
    {
        if (stored == recomputed)
            return;
        differences << BalanceDifference{balance, stored, recomputed};
        if (m_fix)
            mend();
    }

    QSqlDatabase db() const { return m_db; }
    QList<BalanceDifference> differences;

private:
    QSqlDatabase m_db;
    bool m_fix;
};

//! A value per stock row from a statement that returns store, product, line and the value.
std::map<StockKey, QVariant> perStockRow(QSqlDatabase db, const QString &sql)
{
    std::map<StockKey, QVariant> values;
    QSqlQuery q = select(db, sql);
    while (q.next())
        values[StockKey{q.value(0).toString().trimmed(), q.value(1).toString().trimmed(),
                        q.value(2).toString().trimmed()}] = q.value(3);
    return values;
}

// The last counts of every stock row at once, as lastCount() works them out for one.
const QString kAllLastCounts = QStringLiteral(R"(
SELECT h.Storecode, b.pdtcode, b.pdtno, max(h.hdate)
FROM xStockChh h JOIN xStockChb b ON b.headno = h.headno
WHERE h.State = '2' AND h.Flag = '5'
GROUP BY h.Storecode, b.pdtcode, b.pdtno)");

//! The quantity on order of every stock row: the open quantity of the checked purchase
//! lines, with what they have received as the documents say (not as stored).
std::map<StockKey, double> quantitiesOnOrder(QSqlDatabase db, const Effect &all)
{
    std::map<StockKey, double> onOrder;
    QSqlQuery q = select(db, QStringLiteral("SELECT h.storecode, b.pdtcode, b.pdtno, b.headno, "
                                            "b.bodyno, b.pqty FROM XBuyh h JOIN XBuyb b "
                                            "ON b.headno = h.headno WHERE h.State = '2'"));
    while (q.next()) {
        const OrderLineKey line{false, q.value(3).toString().trimmed(),
                                q.value(4).toString().trimmed()};
        const auto moved = all.moved.find(line);
        const double got = moved == all.moved.end() ? 0 : moved->second;
        onOrder[StockKey{q.value(0).toString().trimmed(), q.value(1).toString().trimmed(),
                         q.value(2).toString().trimmed()}] +=
            std::max(0.0, q.value(5).toDouble() - got);
    }
    return onOrder;
}

QString stockName(const StockKey &key, const char *column)
{
    return QStringLiteral("XStock %1/%2/%3 %4")
        .arg(key.store, key.pdtcode, key.pdtno, QLatin1String(column));
}

void auditStock(Audit &audit, const Effect &all)
{
    std::map<StockKey, std::pair<QVariant, QVariant>> stored; // pqty, stdpqty
    std::map<StockKey, double> opening;
    std::map<StockKey, QString> countDates;
    QSqlQuery q = select(audit.db(), QStringLiteral("SELECT storecode, pdtcode, pdtno, startnum, "
                                                    "pqty, stdpqty, cntdate FROM XStock"));
    while (q.next()) {
        const StockKey key{q.value(0).toString().trimmed(), q.value(1).toString().trimmed(),
                           q.value(2).toString().trimmed()};
        opening[key] = q.value(3).toDouble();
        stored[key] = {q.value(4), q.value(5)};
        countDates[key] = q.value(6).toString();
    }
    const std::map<StockKey, double> onOrderNow = quantitiesOnOrder(audit.db(), all);
    std::set<StockKey> keys = all.onOrder;
    for (const auto &[key, value] : all.onHand)
        keys.insert(key);
    for (const auto &[key, value] : opening)
        keys.insert(key);
    for (const StockKey &key : keys) {
        const auto row = stored.find(key);
        const QVariant storedPqty = row != stored.end() ? row->second.first : QVariant();
        const QVariant storedOnOrder = row != stored.end() ? row->second.second : QVariant();
        bool present = row != stored.end();
        const auto write = [&](const char *column, double value) {
            if (!present) {
                exec(audit.db(),
                     QStringLiteral(
                         "INSERT INTO XStock (storecode, pdtcode, pdtno, startnum, "
                         "startbad, pqty, badnum, stdpqty) VALUES (?, ?, ?, 0, 0, 0, 0, 0)"),
                     {key.store, key.pdtcode, key.pdtno});
                present = true;
            }
            exec(audit.db(),
                 QStringLiteral("UPDATE XStock SET %1 = ? WHERE storecode = ? AND pdtcode = ? AND "
                                "pdtno = ?")
                     .arg(QLatin1String(column)),
                 {value, key.store, key.pdtcode, key.pdtno});
        };
        const auto onHand = all.onHand.find(key);
        const double pqty = opening[key] + (onHand == all.onHand.end() ? 0 : onHand->second);
        const auto onOrder = onOrderNow.find(key);
        const double stdpqty = onOrder == onOrderNow.end() ? 0 : onOrder->second;
        audit.number(stockName(key, "pqty"), storedPqty, pqty, [&] { write("pqty", pqty); });
        audit.number(stockName(key, "stdpqty"), storedOnOrder, stdpqty,
                     [&] { write("stdpqty", stdpqty); });
    }
    // Named members rather than bindings: the lambda below captures them.
    for (const auto &entry : perStockRow(audit.db(), kAllLastCounts)) {
        const StockKey &key = entry.first;
        const QVariant &last = entry.second;
        audit.text(stockName(key, "cntdate"), countDates[key], last.toString(), [&] {
            exec(audit.db(),
                 QStringLiteral("UPDATE XStock SET cntdate = ? WHERE storecode = ? AND "
                                "pdtcode = ? AND pdtno = ?"),
                 {last, key.store, key.pdtcode, key.pdtno});
        });
    }
}

void auditOrderLines(Audit &audit, const Effect &all, bool sales)
{
    const QString table = sales ? QStringLiteral("XSaleb") : QStringLiteral("XBuyb");
    struct Line
    {
        OrderLineKey key;
        double pqty;
        QVariant getpqty, ifinish, getTaxamount;
    };
    // Read to the end before anything is written: a connection that hands out a result row
    // by row runs no other statement meanwhile.
    QList<Line> lines;
    {
        QSqlQuery q =
            select(audit.db(), QStringLiteral("SELECT headno, bodyno, pqty, getpqty, ifinish, "
                                              "getTaxamount FROM %1")
                                   .arg(table));
        while (q.next())
            lines << Line{{sales, q.value(0).toString().trimmed(), q.value(1).toString().trimmed()},
                          q.value(2).toDouble(),
                          q.value(3),
                          q.value(4),
                          q.value(5)};
    }
    for (const Line &line : std::as_const(lines)) {
        const OrderLineKey &key = line.key;
        const QString name = QStringLiteral("%1 %2/%3 ").arg(table, key.headno, key.bodyno);
        const auto moved = all.moved.find(key);
        const double got = moved == all.moved.end() ? 0 : moved->second;
        const auto settled = all.settled.find(key);
        const double paid = settled == all.settled.end() ? 0 : settled->second;
        const QString finished =
            got >= line.pqty && line.pqty > 0 ? QStringLiteral("1") : QStringLiteral("0");
        const QString storedFinish =
            line.ifinish.toString().isEmpty() ? QStringLiteral("0") : line.ifinish.toString();
        const auto write = [&](const char *column, const QVariant &value) {
            exec(audit.db(),
                 QStringLiteral("UPDATE %1 SET %2 = ? WHERE headno = ? AND bodyno = ?")
                     .arg(table, QLatin1String(column)),
                 {value, key.headno, key.bodyno});
        };
        audit.number(name + QStringLiteral("getpqty"), line.getpqty, got,
                     [&] { write("getpqty", got); });
        audit.text(name + QStringLiteral("ifinish"), storedFinish, finished,
                   [&] { write("ifinish", finished); });
        audit.number(name + QStringLiteral("getTaxamount"), line.getTaxamount, paid,
                     [&] { write("getTaxamount", paid); });
    }
}

} // namespace

QList<BalanceDifference> auditBalances(QSqlDatabase db, bool fix)
{
    Audit audit(db, fix);
    const Effect all = allDocuments(db);
    auditStock(audit, all);
    auditOrderLines(audit, all, false);
    auditOrderLines(audit, all, true);
    return audit.differences;
}

QList<BalanceDifference> recomputeBalances(QSqlDatabase db, bool fix)
{
    if (fix && !db.transaction())
        throw ServerError(db.lastError().text());
    try {
        const QList<BalanceDifference> differences = auditBalances(db, fix);
        if (fix && !db.commit())
            throw ServerError(db.lastError().text());
        return differences;
    } catch (...) {
        if (fix)
            db.rollback();
        throw;
    }
}

} // namespace korvane
