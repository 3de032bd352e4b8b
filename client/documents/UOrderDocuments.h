#pragma once
//! The purchase and sales orders: TfrmMasterDetailtbl with their declarations and the
//! rules of priced lines. A currency takes its rate, a tax kind its rate, a line's amount,
//! tax and total follow its quantity, price and rate, and every posted line brings the
//! head's totals up to date. The purchase order also takes the rows the demand lists hand
//! over; its lines made from a sales order keep their product.

#include "UMasterDetailTBL.h"

#include <QVariant>

#include <functional>

class TLumoCodeName;
class TLumoField;

//! What both orders share.
class TfrmOrderDocument : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    TfrmOrderDocument(const char *className, QWidget *parent);

    //! The line money rule: amount = quantity × price, tax = amount × rate / 100, total =
    //! amount + tax; nothing is rounded.
    void lineMoney();
    //! The head's totals from the lines' sums; the home-currency total is the rate times
    //! the total, or the total itself when that product is zero.
    void headTotals();

protected:
    //! The quantity of the current line changed.
    virtual void quantityChanged() { lineMoney(); }

    std::function<void(TLumoField &)> m_packageRule; // the frame's rule on the quantity

private:
    void currencyChanged();
    void rateChanged();
    void taxKindChanged();
    void homeTotal();
    bool quantityAllowed();
};

//! "采购单".
class TfrmXBuyh : public TfrmOrderDocument
{
    Q_OBJECT
public:
    explicit TfrmXBuyh(QWidget *parent = nullptr);

    //! Rows of the sales-to-purchase list (a data packet): a new purchase order with one
    //! line per row, each naming its sales order line. False when nothing was imported.
    Q_INVOKABLE bool ImportSale2Buy(const QVariant &rows);
    //! Rows of the stock-shortage list: a new purchase order for the first row's store.
    Q_INVOKABLE bool ImportStockToBuy(const QVariant &rows);

protected:
    void quantityChanged() override;

private:
    bool pickerAllowed(TLumoCodeName &picker);
    bool import(const QVariant &rows, bool fromSales);
};

//! "销售单": list price and discount make the price.
class TfrmXSale : public TfrmOrderDocument
{
    Q_OBJECT
public:
    explicit TfrmXSale(QWidget *parent = nullptr);

private:
    void listPriceChanged();
    void discountChanged();
};
