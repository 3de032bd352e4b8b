#include "PostingBalances.h"

#include <QSqlQuery>

namespace korvane {

const QString kStockKeyMarks = QStringLiteral("(?, ?, ?)");

// Joined from the list, so that each key finds its row by the primary key.
QString stockRowsOfValues()
{
    return QStringLiteral("(VALUES %1) AS v JOIN XStock s ON s.storecode = v.column1 AND "
                          "s.pdtcode = v.column2 AND s.pdtno = v.column3");
}

namespace {

// A stock key and an amount; an order line key and an amount.
const QString kStockAmountMarks = QStringLiteral("(?, ?, ?, CAST(? AS DOUBLE PRECISION))");
const QString kLineMarks = QStringLiteral("(?, ?)");
const QString kLineAmountMarks = QStringLiteral("(?, ?, CAST(? AS DOUBLE PRECISION))");

// The statements' "%1" is the VALUES list; in those that update a table, the rows named
// "v", its columns column1, column2, … as both databases call them.
const QString kStockOfV = QStringLiteral("XStock.storecode = v.column1 AND XStock.pdtcode = "
                                         "v.column2 AND XStock.pdtno = v.column3");

// PostgreSQL locks the rows as it returns them, so in the sort order; byte order, as the
// keys are ordered here, whatever collation the database has.
const QString kLockStock = QStringLiteral("SELECT s.storecode, s.pdtcode, s.pdtno FROM ") +
                           stockRowsOfValues() +
                           QStringLiteral(" ORDER BY s.storecode COLLATE \"C\", s.pdtcode COLLATE "
                                          "\"C\", s.pdtno COLLATE \"C\" FOR UPDATE OF s");
const QString kFindStock =
    QStringLiteral("SELECT s.storecode, s.pdtcode, s.pdtno FROM ") + stockRowsOfValues();
const QString kCreateStock =
    QStringLiteral("INSERT INTO XStock (storecode, pdtcode, pdtno, startnum, startbad, pqty, "
                   "badnum, stdpqty) VALUES %1");
const QString kCreateStockMarks = QStringLiteral("(?, ?, ?, 0, 0, 0, 0, 0)");

const QString kSetStock =
    QStringLiteral("UPDATE XStock SET pqty = v.column4 FROM (VALUES %1) AS v WHERE ") + kStockOfV;

// The quantity on order of the XStock row being updated: its purchase lines, found by their
// product line, whose order is checked and at the row's store (the order found by number).
const QString kOnOrderOfRow = QStringLiteral(R"((
    SELECT coalesce(sum(CASE WHEN b.pqty - coalesce(b.getpqty, 0) > 0
                             THEN b.pqty - coalesce(b.getpqty, 0) ELSE 0 END), 0)
    FROM XBuyb b
    WHERE b.pdtcode = XStock.pdtcode AND b.pdtno = XStock.pdtno
      AND (SELECT h.storecode FROM XBuyh h WHERE h.headno = b.headno AND h.State = '2')
          = XStock.storecode))");

const QString kWriteOnOrder =
    QStringLiteral("UPDATE XStock SET stdpqty = %1 FROM (VALUES %2) AS v WHERE ")
        .arg(kOnOrderOfRow, QStringLiteral("%1")) +
    kStockOfV;

// Each touched row once: its quantity on hand moved by column4, its quantity on order worked
// out again where column5 is 1 (PostgreSQL checks a row's foreign keys again on each update
// of a row the transaction wrote before).
const QString kMoveStock =
    QStringLiteral("UPDATE XStock SET pqty = coalesce(XStock.pqty, 0) + v.column4, "
                   "stdpqty = CASE WHEN v.column5 = 1 THEN %1 ELSE XStock.stdpqty END "
                   "FROM (VALUES %2) AS v WHERE ")
        .arg(kOnOrderOfRow, QStringLiteral("%1")) +
    kStockOfV;
const QString kMoveStockMarks =
    QStringLiteral("(?, ?, ?, CAST(? AS DOUBLE PRECISION), CAST(? AS INTEGER))");

// A row never counted by a document keeps the date the operator gave it.
const QString kWriteCount = QStringLiteral(R"(
UPDATE XStock SET cntdate = coalesce((
    SELECT max(h.hdate) FROM xStockChh h JOIN xStockChb b ON b.headno = h.headno
    WHERE h.State = '2' AND h.Flag = '5' AND h.Storecode = XStock.storecode
      AND b.pdtcode = XStock.pdtcode AND b.pdtno = XStock.pdtno), XStock.cntdate)
FROM (VALUES %1) AS v WHERE )") +
                            kStockOfV;

const QString kLockLines =
    QStringLiteral("SELECT l.headno FROM (VALUES %2) AS v JOIN %1 l ON l.headno = v.column1 AND "
                   "l.bodyno = v.column2 ORDER BY l.headno COLLATE \"C\", l.bodyno COLLATE \"C\" "
                   "FOR UPDATE OF l");
const QString kMoveLines = QStringLiteral(
    "UPDATE %1 SET getpqty = coalesce(%1.getpqty, 0) + v.column3, "
    "ifinish = CASE WHEN coalesce(%1.getpqty, 0) + v.column3 >= coalesce(%1.pqty, 0) "
    "AND coalesce(%1.pqty, 0) > 0 THEN '1' ELSE '0' END "
    "FROM (VALUES %2) AS v WHERE %1.headno = v.column1 AND %1.bodyno = v.column2");
const QString kSettleLines =
    QStringLiteral("UPDATE %1 SET getTaxamount = coalesce(%1.getTaxamount, 0) + v.column3 "
                   "FROM (VALUES %2) AS v WHERE %1.headno = v.column1 AND %1.bodyno = v.column2");

QString lineTable(bool sales)
{
    return sales ? QStringLiteral("XSaleb") : QStringLiteral("XBuyb");
}

//! A statement on an order line table, "%1" left for the VALUES list.
QString onLines(const QString &sql, bool sales)
{
    return sql.arg(lineTable(sales), QStringLiteral("%1"));
}

PostingStatements::Rows keyRows(const std::set<StockKey> &keys)
{
    PostingStatements::Rows rows;
    rows.reserve(keys.size());
    for (const StockKey &key : keys)
        rows.push_back(stockKeyValues(key));
    return rows;
}

PostingStatements::Rows amountRows(const std::map<StockKey, double> &amounts)
{
    PostingStatements::Rows rows;
    rows.reserve(amounts.size());
    for (const auto &[key, amount] : amounts)
        rows.push_back(stockKeyValues(key) << amount);
    return rows;
}

//! The amounts that are not zero.
template <typename Key> std::map<Key, double> nonZero(const std::map<Key, double> &amounts)
{
    std::map<Key, double> result;
    for (const auto &[key, amount] : amounts) {
        if (amount != 0)
            result.emplace(key, amount);
    }
    return result;
}

//! The order lines of one table (purchase or sales) and their amounts, in key order.
PostingStatements::Rows lineRows(const std::map<OrderLineKey, double> &amounts, bool sales,
                                 bool withAmounts)
{
    PostingStatements::Rows rows;
    for (const auto &[key, amount] : amounts) {
        if (key.sales != sales)
            continue;
        rows.push_back(withAmounts ? QVariantList{key.headno, key.bodyno, amount}
                                   : QVariantList{key.headno, key.bodyno});
    }
    return rows;
}

//! Moves the order lines of one table: what they received or delivered, or were paid.
void moveLines(PostingStatements &statements, const std::map<OrderLineKey, double> &moved,
               const std::map<OrderLineKey, double> &settled, bool sales)
{
    const PostingStatements::Rows movedRows = lineRows(moved, sales, true);
    const PostingStatements::Rows settledRows = lineRows(settled, sales, true);
    if (movedRows.empty() && settledRows.empty())
        return;
    if (statements.postgres()) {
        std::map<OrderLineKey, double> all = moved;
        all.insert(settled.begin(), settled.end());
        statements.overRows(onLines(kLockLines, sales), kLineMarks, lineRows(all, sales, false));
    }
    if (!movedRows.empty())
        statements.overRows(onLines(kMoveLines, sales), kLineAmountMarks, movedRows);
    if (!settledRows.empty())
        statements.overRows(onLines(kSettleLines, sales), kLineAmountMarks, settledRows);
}

} // namespace

QVariantList stockKeyValues(const StockKey &key)
{
    return {key.store, key.pdtcode, key.pdtno};
}

StockKey stockKeyOf(const QSqlQuery &query)
{
    return StockKey{query.value(0).toString(), query.value(1).toString(),
                    query.value(2).toString()};
}

void lockStock(PostingStatements &statements, const std::set<StockKey> &keys,
               const std::set<StockKey> &create)
{
    if (keys.empty())
        return;
    std::set<StockKey> missing = create;
    statements.overRows(statements.postgres() ? kLockStock : kFindStock, kStockKeyMarks,
                        keyRows(keys), [&](const QSqlQuery &q) { missing.erase(stockKeyOf(q)); });
    // In key order too: two applies creating the same rows wait for each other in order.
    if (!missing.empty())
        statements.overRows(kCreateStock, kCreateStockMarks, keyRows(missing));
}

void setOnHand(PostingStatements &statements, const std::map<StockKey, double> &pqty)
{
    if (!pqty.empty())
        statements.overRows(kSetStock, kStockAmountMarks, amountRows(pqty));
}

void writeOnOrder(PostingStatements &statements, const std::set<StockKey> &keys)
{
    if (!keys.empty())
        statements.overRows(kWriteOnOrder, kStockKeyMarks, keyRows(keys));
}

void writeDifference(PostingStatements &statements, const Effect &difference)
{
    const std::map<StockKey, double> onHand = nonZero(difference.onHand);
    const std::map<OrderLineKey, double> moved = nonZero(difference.moved);
    const std::map<OrderLineKey, double> settled = nonZero(difference.settled);

    std::set<StockKey> onOrder = difference.onOrder;
    for (const auto &[line, amount] : moved) {
        const auto stock = difference.orderStock.find(line);
        if (stock != difference.orderStock.end())
            onOrder.insert(stock->second);
    }
    std::set<StockKey> touched = onOrder;
    for (const auto &[key, amount] : onHand)
        touched.insert(key);
    std::set<StockKey> locked = touched;
    locked.insert(difference.counted.begin(), difference.counted.end());

    lockStock(statements, locked, touched);
    moveLines(statements, moved, settled, false);
    moveLines(statements, moved, settled, true);
    // The order lines have moved: the quantity on order counts what they now received.
    PostingStatements::Rows rows;
    for (const StockKey &key : touched) {
        const auto amount = onHand.find(key);
        rows.push_back(stockKeyValues(key) << (amount == onHand.end() ? 0.0 : amount->second)
                                           << int(onOrder.count(key)));
    }
    statements.overRows(kMoveStock, kMoveStockMarks, rows);
    if (!difference.counted.empty())
        statements.overRows(kWriteCount, kStockKeyMarks, keyRows(difference.counted));
}

} // namespace korvane
