#include "PostingEffect.h"

#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace korvane {

namespace {

constexpr int kChunk = 400; // document numbers per statement

QSqlQuery run(QSqlDatabase db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw ServerError(query.lastError().text());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw ServerError(query.lastError().text());
    return query;
}

//! Runs a statement whose "%1" is the document filter on h.headno, for all documents or a
//! chunk of numbers at a time; calls take with each row.
template <typename Take>
void eachRow(QSqlDatabase db, const QString &sql, const QStringList *headnos, Take take)
{
    const auto runOne = [&](const QString &filter, const QVariantList &values) {
        QSqlQuery query = run(db, sql.arg(filter), values);
        while (query.next())
            take(query);
    };
    if (!headnos) {
        runOne(QStringLiteral("1 = 1"), {});
        return;
    }
    for (qsizetype start = 0; start < headnos->size(); start += kChunk) {
        const QStringList part = headnos->mid(start, kChunk);
        QStringList marks;
        QVariantList values;
        for (const QString &headno : part) {
            marks << QStringLiteral("?");
            values << headno;
        }
        runOne(QStringLiteral("h.headno IN (%1)").arg(marks.join(QLatin1Char(','))), values);
    }
}

QString text(const QSqlQuery &q, int column)
{
    return q.value(column).toString().trimmed();
}

// Stock documents: every kind moves stock as its sub-kind says (I in, O out), a transfer
// from its store into the receiving one; receipts and deliveries that name an order line
// move what that line has received or delivered.
const QString kStockLines = QStringLiteral(R"(
SELECT h.Flag, h.Storecode, h.StorecodeIn, a.InOut, b.pdtcode, b.pdtno, b.pqty,
       b.LinkHeadno, b.LinkBodyno
FROM xStockChh h
JOIN xStockChb b ON b.headno = h.headno
LEFT JOIN XStockChAttr a ON a.Flag = h.Flag AND a.InOutFlag = h.InOutFlag
WHERE h.State = '2' AND %1)");

void readStockDocuments(QSqlDatabase db, const QStringList *headnos, Effect *effect)
{
    eachRow(db, kStockLines, headnos, [&](const QSqlQuery &q) {
        const QString flag = text(q, 0);
        const double pqty = q.value(6).toDouble();
        const StockKey from{text(q, 1), text(q, 4), text(q, 5)};
        const StockKey into{text(q, 2), from.pdtcode, from.pdtno};
        // A document without its store moves nothing there.
        const auto move = [&](const StockKey &key, double quantity) {
            if (!key.store.isEmpty() && !key.pdtcode.isEmpty())
                effect->onHand[key] += quantity;
        };
        if (flag == QLatin1String("6")) {
            move(from, -pqty);
            move(into, pqty);
        } else if (text(q, 3) == QLatin1String("I")) {
            move(from, pqty);
        } else if (text(q, 3) == QLatin1String("O")) {
            move(from, -pqty);
        }
        if (flag == QLatin1String("5") && !from.store.isEmpty())
            effect->counted.insert(from);
        const QString linkHead = text(q, 7);
        if (linkHead.isEmpty() || flag.isEmpty() || flag.at(0) < QLatin1Char('1') ||
            flag.at(0) > QLatin1Char('4'))
            return;
        // 1 receipt, 2 purchase return, 3 delivery, 4 sales return.
        const bool sales = flag >= QLatin1String("3");
        const bool back = flag == QLatin1String("2") || flag == QLatin1String("4");
        effect->moved[OrderLineKey{sales, linkHead, text(q, 8)}] += back ? -pqty : pqty;
    });
}

// Purchase orders: their checked lines are on order at their store until received.
const QString kOrderLines = QStringLiteral(R"(
SELECT h.storecode, b.pdtcode, b.pdtno
FROM XBuyh h JOIN XBuyb b ON b.headno = h.headno
WHERE %1)");

void readPurchaseOrders(QSqlDatabase db, const QStringList *headnos, Effect *effect)
{
    // Unchecked orders too: a store or line changed away must be worked out again.
    eachRow(db, kOrderLines, headnos, [&](const QSqlQuery &q) {
        effect->onOrder.insert(StockKey{text(q, 0), text(q, 1), text(q, 2)});
    });
}

void readMoney(QSqlDatabase db, const QStringList *headnos, bool receipts, Effect *effect)
{
    const QString sql =
        QStringLiteral(R"(
SELECT b.LinkHeadno, b.LinkBodyno, b.GetTaxamount
FROM %1 h JOIN %2 b ON b.headno = h.headno
WHERE h.State = '2' AND %3)")
            .arg(receipts ? QStringLiteral("XIncomeh") : QStringLiteral("XOutcomeh"),
                 receipts ? QStringLiteral("XInComeb") : QStringLiteral("XoUTComeb"),
                 QStringLiteral("%1"));
    eachRow(db, sql, headnos, [&](const QSqlQuery &q) {
        const QString linkHead = text(q, 0);
        if (!linkHead.isEmpty())
            effect->settled[OrderLineKey{receipts, linkHead, text(q, 1)}] += q.value(2).toDouble();
    });
}

QString lineTable(const OrderLineKey &key)
{
    return key.sales ? QStringLiteral("XSaleb") : QStringLiteral("XBuyb");
}

void writeCount(QSqlDatabase db, const StockKey &key)
{
    const QVariant last = lastCount(db, key);
    if (last.isNull())
        return; // never counted by a document: the date kept is the operator's
    run(db,
        QStringLiteral(
            "UPDATE XStock SET cntdate = ? WHERE storecode = ? AND pdtcode = ? AND pdtno = ?"),
        {last, key.store, key.pdtcode, key.pdtno});
}

//! The stock row a purchase order line is on order at.
std::optional<StockKey> stockOfOrderLine(QSqlDatabase db, const OrderLineKey &key)
{
    QSqlQuery q = run(db,
                      QStringLiteral("SELECT h.storecode, b.pdtcode, b.pdtno FROM XBuyh h "
                                     "JOIN XBuyb b ON b.headno = h.headno "
                                     "WHERE b.headno = ? AND b.bodyno = ?"),
                      {key.headno, key.bodyno});
    if (!q.next() || text(q, 0).isEmpty())
        return std::nullopt;
    return StockKey{text(q, 0), text(q, 1), text(q, 2)};
}

} // namespace

//! Moves one stock column by a difference; a row not there yet starts from zero.
void moveStock(QSqlDatabase db, const StockKey &key, double difference)
{
    QSqlQuery moved = run(db,
                          QStringLiteral("UPDATE XStock SET pqty = coalesce(pqty, 0) + ? "
                                         "WHERE storecode = ? AND pdtcode = ? AND pdtno = ?"),
                          {difference, key.store, key.pdtcode, key.pdtno});
    if (moved.numRowsAffected() > 0)
        return;
    run(db,
        QStringLiteral("INSERT INTO XStock (storecode, pdtcode, pdtno, startnum, startbad, pqty, "
                       "badnum, stdpqty) VALUES (?, ?, ?, 0, 0, ?, 0, 0)"),
        {key.store, key.pdtcode, key.pdtno, difference});
}

void writeOnOrder(QSqlDatabase db, const StockKey &key)
{
    // The row is locked (created when missing) before the sum is read, so that the lines
    // a concurrent apply committed meanwhile are counted.
    moveStock(db, key, 0);
    run(db,
        QStringLiteral(
            "UPDATE XStock SET stdpqty = ? WHERE storecode = ? AND pdtcode = ? AND pdtno = ?"),
        {quantityOnOrder(db, key), key.store, key.pdtcode, key.pdtno});
}

PostingTable postingTableOf(const QString &table)
{
    const QString t = table.toLower();
    if (t == QLatin1String("xstockchh"))
        return PostingTable::StockDocuments;
    if (t == QLatin1String("xbuyh"))
        return PostingTable::PurchaseOrders;
    if (t == QLatin1String("xincomeh"))
        return PostingTable::Receipts;
    if (t == QLatin1String("xoutcomeh"))
        return PostingTable::Payments;
    if (t == QLatin1String("xstock"))
        return PostingTable::OpeningStock;
    return PostingTable::None;
}

Effect Effect::minus(const Effect &other) const
{
    Effect result = *this;
    for (const auto &[key, value] : other.onHand)
        result.onHand[key] -= value;
    for (const auto &[key, value] : other.moved)
        result.moved[key] -= value;
    for (const auto &[key, value] : other.settled)
        result.settled[key] -= value;
    result.onOrder.insert(other.onOrder.begin(), other.onOrder.end());
    result.counted.insert(other.counted.begin(), other.counted.end());
    return result;
}

void Effect::add(const Effect &other)
{
    for (const auto &[key, value] : other.onHand)
        onHand[key] += value;
    for (const auto &[key, value] : other.moved)
        moved[key] += value;
    for (const auto &[key, value] : other.settled)
        settled[key] += value;
    onOrder.insert(other.onOrder.begin(), other.onOrder.end());
    counted.insert(other.counted.begin(), other.counted.end());
}

bool Effect::isEmpty() const
{
    return onHand.empty() && moved.empty() && settled.empty() && onOrder.empty() && counted.empty();
}

Effect readEffect(QSqlDatabase db, PostingTable table, const QStringList *headnos)
{
    Effect effect;
    if (headnos && headnos->isEmpty())
        return effect;
    switch (table) {
    case PostingTable::StockDocuments:
        readStockDocuments(db, headnos, &effect);
        break;
    case PostingTable::PurchaseOrders:
        readPurchaseOrders(db, headnos, &effect);
        break;
    case PostingTable::Receipts:
        readMoney(db, headnos, true, &effect);
        break;
    case PostingTable::Payments:
        readMoney(db, headnos, false, &effect);
        break;
    case PostingTable::OpeningStock: // its own rule (Posting), no document effect
    case PostingTable::None:
        break;
    }
    return effect;
}

void writeDifference(QSqlDatabase db, const Effect &difference)
{
    std::set<StockKey> onOrder = difference.onOrder;
    for (const auto &[key, value] : difference.onHand) {
        if (value != 0)
            moveStock(db, key, value);
    }
    for (const auto &[key, value] : difference.moved) {
        if (value == 0)
            continue;
        run(db,
            QStringLiteral("UPDATE %1 SET getpqty = coalesce(getpqty, 0) + ?, "
                           "ifinish = CASE WHEN coalesce(getpqty, 0) + ? >= coalesce(pqty, 0) "
                           "AND coalesce(pqty, 0) > 0 "
                           "THEN '1' ELSE '0' END WHERE headno = ? AND bodyno = ?")
                .arg(lineTable(key)),
            {value, value, key.headno, key.bodyno});
        if (!key.sales) {
            if (const auto stock = stockOfOrderLine(db, key))
                onOrder.insert(*stock);
        }
    }
    for (const auto &[key, value] : difference.settled) {
        if (value != 0)
            run(db,
                QStringLiteral("UPDATE %1 SET getTaxamount = coalesce(getTaxamount, 0) + ? "
                               "WHERE headno = ? AND bodyno = ?")
                    .arg(lineTable(key)),
                {value, key.headno, key.bodyno});
    }
    for (const StockKey &key : onOrder)
        writeOnOrder(db, key);
    for (const StockKey &key : difference.counted)
        writeCount(db, key);
}

double quantityOnOrder(QSqlDatabase db, const StockKey &key)
{
    QSqlQuery q = run(db, QStringLiteral(R"(
SELECT coalesce(sum(CASE WHEN b.pqty - coalesce(b.getpqty, 0) > 0
                         THEN b.pqty - coalesce(b.getpqty, 0) ELSE 0 END), 0)
FROM XBuyh h JOIN XBuyb b ON b.headno = h.headno
WHERE h.State = '2' AND h.storecode = ? AND b.pdtcode = ? AND b.pdtno = ?)"),
                      {key.store, key.pdtcode, key.pdtno});
    return q.next() ? q.value(0).toDouble() : 0;
}

QVariant lastCount(QSqlDatabase db, const StockKey &key)
{
    QSqlQuery q = run(db, QStringLiteral(R"(
SELECT max(h.hdate) FROM xStockChh h JOIN xStockChb b ON b.headno = h.headno
WHERE h.State = '2' AND h.Flag = '5' AND h.Storecode = ? AND b.pdtcode = ? AND b.pdtno = ?)"),
                      {key.store, key.pdtcode, key.pdtno});
    return q.next() ? q.value(0) : QVariant();
}

} // namespace korvane
