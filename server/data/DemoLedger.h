#pragma once
//! What the demonstration's documents have done so far, kept while they are written in date
//! order, so that each new document reads what is still open: stock per store and product
//! line, the order lines with what was received, delivered, settled and invoiced, and the
//! document numbers drawn per table and day. Only checked documents count, as in posting;
//! the balances themselves are then written by posting's own recompute.

#include "DemoModel.h"

#include <QDateTime>
#include <QHash>
#include <QMap>

#include <memory>

namespace korvane::demo {

struct OrderLine
{
    QString headno;
    QString bodyno;
    const ProductLine *product = nullptr;
    double pqty = 0;
    double price = 0;
    double amount = 0;
    double tax = 0;
    double taxamount = 0;
    double moved = 0;    // received (purchase) or delivered (sales) by checked documents
    double claimed = 0;  // named by documents not yet checked, so nothing is read twice
    double settled = 0;  // money received or paid by checked documents
    double invoiced = 0; // quantity on blue invoices less red ones
};

struct Order
{
    QString headno;
    QDate date;
    QString partner;
    QString store;
    bool checked = false;
    QList<std::shared_ptr<OrderLine>> lines;

    double openQuantity() const;
};

class DemoLedger
{
public:
    explicit DemoLedger(DemoWriter &writer);

    //! The next number of the table on that day: "YYYYMMDD" and a four-digit serial.
    QString headno(const QString &table, const QDate &day);
    //! A time on that day during office hours, as the documents store it.
    QString timeOn(const QDate &day);

    double stock(const QString &store, const ProductLine &line) const;
    void move(const QString &store, const ProductLine &line, double quantity);
    //! Whether a stock document's sub-kind takes stock in ("I") or out ("O"), as the
    //! account set's XStockChAttr says.
    bool takesIn(const QString &flag, const QString &inOutFlag) const;

    QList<Order> purchaseOrders;
    QList<Order> salesOrders;

private:
    static QString key(const QString &store, const ProductLine &line);

    DemoWriter &m_writer;
    QHash<QString, double> m_stock;
    QHash<QString, bool> m_takesIn; // "Flag/InOutFlag"
    QHash<QString, int> m_serials;  // "table/day"
};

} // namespace korvane::demo
