#pragma once
//! The report condition windows the main window shows for its report commands. Each is
//! TfrmRPTQry with its declaration; created once after login and reused.

#include "URPTQry.h"

//! The declaration of a condition window by its class name; null when unknown.
const TRPTQryDecl *reportQueryDecl(const QString &className);
//! The class names of the condition windows.
QStringList reportQueryClasses();
//! A new condition window of one of these classes; null for any other class name.
TfrmRPTQry *createReportQueryWindow(const QString &className, QWidget *parent = nullptr);

//! Registers the condition windows with the main window's registry.
void registerReportWindows();

class TfrmRPTBuyQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTBuyQry(QWidget *parent = nullptr);
};

class TfrmRPTBuyPriceQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTBuyPriceQry(QWidget *parent = nullptr);
};

class TfrmRPTSaleQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTSaleQry(QWidget *parent = nullptr);
};

class TfrmRPTSalePriceQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTSalePriceQry(QWidget *parent = nullptr);
};

class TfrmRPTempGainQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTempGainQry(QWidget *parent = nullptr);
};

class TfrmRPTGatherDetailQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTGatherDetailQry(QWidget *parent = nullptr);
};

class TfrmRPTGatherCustQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTGatherCustQry(QWidget *parent = nullptr);
};

class TfrmRPTStockDetailQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTStockDetailQry(QWidget *parent = nullptr);
};

class TfrmRPTPrdtQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTPrdtQry(QWidget *parent = nullptr);
};

class TfrmRPTempQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTempQry(QWidget *parent = nullptr);
};

class TfrmRPTCustQry : public TfrmRPTQry
{
    Q_OBJECT
public:
    explicit TfrmRPTCustQry(QWidget *parent = nullptr);
};
