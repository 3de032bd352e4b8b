#include "PostingEffect.h"

#include "PostingStatements.h"
#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane {

namespace {

constexpr int kChunk = 400; // document numbers per statement

//! Runs a statement whose "%1" is the document filter on h.headno, for all documents or a
//! chunk of numbers at a time; calls take with each row.
template <typename Take>
void eachRow(PostingStatements &statements, const QString &sql, const QStringList *headnos,
             Take take)
{
    const auto runOne = [&](const QString &filter, const QVariantList &values) {
        QSqlQuery &query = statements.run(sql.arg(filter), values);
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
       b.LinkHeadno, b.LinkBodyno, oh.storecode, ob.pdtcode, ob.pdtno
FROM xStockChh h
JOIN xStockChb b ON b.headno = h.headno
LEFT JOIN XStockChAttr a ON a.Flag = h.Flag AND a.InOutFlag = h.InOutFlag
LEFT JOIN XBuyb ob ON h.Flag IN ('1', '2') AND ob.headno = trim(b.LinkHeadno)
                      AND ob.bodyno = trim(b.LinkBodyno)
LEFT JOIN XBuyh oh ON oh.headno = ob.headno
WHERE h.State = '2' AND %1)");

void readStockDocuments(PostingStatements &statements, const QStringList *headnos, Effect *effect)
{
    eachRow(statements, kStockLines, headnos, [&](const QSqlQuery &q) {
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
        const OrderLineKey line{sales, linkHead, text(q, 8)};
        effect->moved[line] += back ? -pqty : pqty;
        if (!text(q, 9).isEmpty())
            effect->orderStock[line] = StockKey{text(q, 9), text(q, 10), text(q, 11)};
    });
}

// Purchase orders: their checked lines are on order at their store until received.
const QString kOrderLines = QStringLiteral(R"(
SELECT h.storecode, b.pdtcode, b.pdtno
FROM XBuyh h JOIN XBuyb b ON b.headno = h.headno
WHERE %1)");

void readPurchaseOrders(PostingStatements &statements, const QStringList *headnos, Effect *effect)
{
    // Unchecked orders too: a store or line changed away must be worked out again.
    eachRow(statements, kOrderLines, headnos, [&](const QSqlQuery &q) {
        effect->onOrder.insert(StockKey{text(q, 0), text(q, 1), text(q, 2)});
    });
}

void readMoney(PostingStatements &statements, const QStringList *headnos, bool receipts,
               Effect *effect)
{
    const QString sql =
        QStringLiteral(R"(
SELECT b.LinkHeadno, b.LinkBodyno, b.GetTaxamount
FROM %1 h JOIN %2 b ON b.headno = h.headno
WHERE h.State = '2' AND %3)")
            .arg(receipts ? QStringLiteral("XIncomeh") : QStringLiteral("XOutcomeh"),
                 receipts ? QStringLiteral("XInComeb") : QStringLiteral("XoUTComeb"),
                 QStringLiteral("%1"));
    eachRow(statements, sql, headnos, [&](const QSqlQuery &q) {
        const QString linkHead = text(q, 0);
        if (!linkHead.isEmpty())
            effect->settled[OrderLineKey{receipts, linkHead, text(q, 1)}] += q.value(2).toDouble();
    });
}

} // namespace

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
    result.orderStock.insert(other.orderStock.begin(), other.orderStock.end());
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
    orderStock.insert(other.orderStock.begin(), other.orderStock.end());
}

bool Effect::isEmpty() const
{
    return onHand.empty() && moved.empty() && settled.empty() && onOrder.empty() && counted.empty();
}

Effect readEffect(QSqlDatabase db, PostingTable table, const QStringList *headnos)
{
    PostingStatements statements(std::move(db));
    return readEffect(statements, table, headnos);
}

Effect readEffect(PostingStatements &statements, PostingTable table, const QStringList *headnos)
{
    Effect effect;
    if (headnos && headnos->isEmpty())
        return effect;
    switch (table) {
    case PostingTable::StockDocuments:
        readStockDocuments(statements, headnos, &effect);
        break;
    case PostingTable::PurchaseOrders:
        readPurchaseOrders(statements, headnos, &effect);
        break;
    case PostingTable::Receipts:
        readMoney(statements, headnos, true, &effect);
        break;
    case PostingTable::Payments:
        readMoney(statements, headnos, false, &effect);
        break;
    case PostingTable::OpeningStock: // its own rule (Posting), no document effect
    case PostingTable::None:
        break;
    }
    return effect;
}

} // namespace korvane
