#pragma once
//! The four documents with a business partner: purchase receipts and returns, sales
//! deliveries and returns. Each is TfrmMasterDetailtbl with its declaration; their lines
//! may be read from checked orders through the order-line picker.

#include "UMasterDetailTBL.h"

class TfrmBuyIn : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    explicit TfrmBuyIn(QWidget *parent = nullptr);
};

class TfrmBuyOut : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    explicit TfrmBuyOut(QWidget *parent = nullptr);
};

class TfrmSaleOut : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    explicit TfrmSaleOut(QWidget *parent = nullptr);
};

class TfrmSaleIn : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    explicit TfrmSaleIn(QWidget *parent = nullptr);
};
