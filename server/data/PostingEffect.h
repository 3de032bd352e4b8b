#pragma once
//! What checked documents do to the balances, read from the database: the effect of a set
//! of documents (PostingBalances writes the difference between two).

#include "Packet.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <tuple>

namespace korvane {

class PostingStatements;

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
    // The stock row each purchase order line in moved is on order at (a line of an order
    // without a store has none): its quantity on order follows what the line received.
    std::map<OrderLineKey, StockKey> orderStock;

    //! This effect less another: the amounts subtracted, the keys to work out joined.
    Effect minus(const Effect &other) const;
    //! Another effect added to this one.
    void add(const Effect &other);
    bool isEmpty() const;
};

//! The effect of the checked documents among headnos (all documents when null).
//! Throws ServerError.
Effect readEffect(QSqlDatabase db, PostingTable table, const QStringList *headnos);
//! The same through the statements of one posting, prepared once for its reads before and
//! after the apply.
Effect readEffect(PostingStatements &statements, PostingTable table, const QStringList *headnos);

} // namespace korvane
