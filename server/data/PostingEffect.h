#pragma once
//! What checked documents do to the balances, read from the database: the effect of a set
//! of documents, and the writing of the difference between two effects.

#include "Packet.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <tuple>

namespace korvane {

//! The head tables whose documents move balances.
enum class PostingTable {
    None,
    StockDocuments, // xStockChh: every Flag
    PurchaseOrders, // XBuyh: quantity on order
    Receipts,       // XIncomeh: money received against sales order lines
    Payments,       // XOutcomeh: money paid against purchase order lines
    OpeningStock,   // XStock itself: the opening quantity carries the stock on hand with it
};

PostingTable postingTableOf(const QString &table);

//! A stock row: store, product and variant line.
struct StockKey
{
    QString store;
    QString pdtcode;
    QString pdtno;
    bool operator<(const StockKey &o) const
    {
        return std::tie(store, pdtcode, pdtno) < std::tie(o.store, o.pdtcode, o.pdtno);
    }
};

//! An order line: of a sales order or of a purchase order.
struct OrderLineKey
{
    bool sales = false;
    QString headno;
    QString bodyno;
    bool operator<(const OrderLineKey &o) const
    {
        return std::tie(sales, headno, bodyno) < std::tie(o.sales, o.headno, o.bodyno);
    }
};

struct Effect
{
    std::map<StockKey, double> onHand;      // XStock.pqty
    std::map<OrderLineKey, double> moved;   // getpqty: received or delivered
    std::map<OrderLineKey, double> settled; // getTaxamount
    std::set<StockKey> onOrder;             // stdpqty to be worked out again
    std::set<StockKey> counted;             // cntdate to be worked out again

    //! This effect less another: the amounts subtracted, the keys to work out joined.
    Effect minus(const Effect &other) const;
    //! Another effect added to this one.
    void add(const Effect &other);
    bool isEmpty() const;
};

//! The effect of the checked documents among headnos (all documents when null).
//! Throws ServerError.
Effect readEffect(QSqlDatabase db, PostingTable table, const QStringList *headnos);

//! Moves the balances by the difference, in key order, creating stock rows that do not
//! exist yet with zero opening values, then works out the derived balances (quantity on
//! order, finished marks, count dates) of what it touched. Throws ServerError.
void writeDifference(QSqlDatabase db, const Effect &difference);

//! Moves one stock row's quantity on hand by a difference; a row not there yet starts
//! from zero opening values.
void moveStock(QSqlDatabase db, const StockKey &key, double difference);
//! Works out a stock row's quantity on order again.
void writeOnOrder(QSqlDatabase db, const StockKey &key);

//! The quantity on order of a stock row: the open quantity of its checked purchase lines.
double quantityOnOrder(QSqlDatabase db, const StockKey &key);
//! The time of the last checked count of a stock row; null when it was never counted.
QVariant lastCount(QSqlDatabase db, const StockKey &key);

} // namespace korvane
