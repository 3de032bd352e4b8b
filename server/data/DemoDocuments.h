#pragma once
//! The documents of one day of the demonstration firm, each written with its lines and,
//! when checked, its effect on the ledger.

#include "DemoLedger.h"

namespace korvane::demo {

struct Demo
{
    DemoWriter &writer;
    DemoLedger &ledger;
    const Firm &firm;
    QDate today;

    //! Whether a document of that day is checked: most older ones are, recent ones often not.
    bool checkedOn(const QDate &day);
    //! Assessor columns of a checked head, its time an hour after the head's.
    Values checkColumns(bool checked, const QString &hdate) const;
};

// Orders: priced, with a currency; nothing moves until receipts and deliveries read them.
void purchaseOrder(Demo &d, const QDate &day, bool checked);
void salesOrder(Demo &d, const QDate &day, bool checked);

// Stock documents (xStockChh) that read order lines: Flag 1 to 4.
void receiveOrder(Demo &d, const QDate &day, Order &order, bool checked);
void returnToSupplier(Demo &d, const QDate &day, Order &order, bool checked);
void deliverOrder(Demo &d, const QDate &day, Order &order, bool checked);
void returnFromCustomer(Demo &d, const QDate &day, Order &order, bool checked);
//! Stock documents without a partner: count 5, transfer 6, scrap 7, production 8, other 9.
void stockDocument(Demo &d, const QDate &day, const QString &flag, bool checked);

// Money received and paid against order lines, and invoices of sales order lines.
void receiveMoney(Demo &d, const QDate &day, Order &order, bool checked);
void payMoney(Demo &d, const QDate &day, Order &order, bool checked);
void invoice(Demo &d, const QDate &day, Order &order, bool red, bool checked);

} // namespace korvane::demo
