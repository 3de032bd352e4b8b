#pragma once
//! Receipts of money from customers and payments to suppliers, settled against order lines.
//! Each is TfrmMasterDetailtbl with its declaration; the head's total is the money this
//! document receives or pays, the sum of its lines' settled amounts.

#include "UMasterDetailTBL.h"

//! A receipt or payment: currency and rate, the line money rules and the head totals.
class TfrmSettlement : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    TfrmSettlement(const char *className, QWidget *parent);

private:
    //! Taxamt = the sum of the lines' GetTaxamount; the home total follows.
    void linesChanged();
};

//! 收款单: money received against sales-order lines.
class TfrmInCome : public TfrmSettlement
{
    Q_OBJECT
public:
    explicit TfrmInCome(QWidget *parent = nullptr);
};

//! 付款单: money paid against purchase-order lines.
class TfrmOutCome : public TfrmSettlement
{
    Q_OBJECT
public:
    explicit TfrmOutCome(QWidget *parent = nullptr);
};
