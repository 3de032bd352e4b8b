#pragma once
//! The five stock documents: counts, production issues and returns, transfers, scrapping
//! and other stock changes. Each is TfrmMasterDetailtbl with its declaration; the type list
//! they share shows each window only its own kind, the count and the other change name
//! their quantity after the type, and the transfer keeps its two stores apart.

#include "UMasterDetailTBL.h"

//! A stock document: the shared type list filtered to this window's kind on activation.
class TfrmStockDocument : public TfrmMasterDetailtbl
{
    Q_OBJECT
public:
    TfrmStockDocument(const char *className, QWidget *parent);

protected:
    void beforeActivation() override;
};

//! The quantity read as a shortage for type "0" and as a surplus for any other type.
class TfrmStockCounted : public TfrmStockDocument
{
    Q_OBJECT
public:
    using TfrmStockDocument::TfrmStockDocument;

protected:
    void inOutFlagChanged(const QString &inOutFlag) override;
};

class TfrmStockCheck : public TfrmStockCounted
{
    Q_OBJECT
public:
    explicit TfrmStockCheck(QWidget *parent = nullptr);
};

class TfrmStockprocess : public TfrmStockDocument
{
    Q_OBJECT
public:
    explicit TfrmStockprocess(QWidget *parent = nullptr);
};

//! The transfer: goods leave one store for another.
class TfrmStockMove : public TfrmStockDocument
{
    Q_OBJECT
public:
    explicit TfrmStockMove(QWidget *parent = nullptr);

    //! The refusal of a store editor left holding the other store's code: says so, gives
    //! the focus back to that editor and answers false.
    bool storesDiffer(TLumoCodeName *edited);
};

class TfrmStockReject : public TfrmStockDocument
{
    Q_OBJECT
public:
    explicit TfrmStockReject(QWidget *parent = nullptr);
};

class TfrmStockOther : public TfrmStockCounted
{
    Q_OBJECT
public:
    explicit TfrmStockOther(QWidget *parent = nullptr);
};
