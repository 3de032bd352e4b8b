#pragma once
//! Checking an order can carry its prices to the products: with "用采购单中单价更新货物采购价格"
//! each line of a purchase order that becomes checked writes its price into its product
//! line's purchase price (Inprice) and the price with tax (TInprice); with
//! "用销售单中单价更新货物销售价格" a sales order does the same for SalePrice and TSalePrice.
//! It runs inside the apply's transaction, beside posting: a refused apply changes no price.

#include "Packet.h"

#include <QSqlDatabase>
#include <QStringList>

namespace korvane {

class OrderPrices
{
public:
    //! headTable: the update table of the apply (any case).
    OrderPrices(QSqlDatabase db, const QString &headTable);

    //! Whether the head table is that of purchase or sales orders.
    static bool updates(const QString &headTable);

    //! Notes which of the change set's orders are not checked yet.
    void before(const ChangeSet &delta);
    //! Writes the prices of the orders that are checked now and were not. Throws ServerError.
    void after();

private:
    QStringList checkedAmong(const QStringList &heads) const;

    QSqlDatabase m_db;
    bool m_purchase = false;
    bool m_sales = false;
    QStringList m_unchecked;
};

} // namespace korvane
