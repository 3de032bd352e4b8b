#pragma once
//! The order-line picker: checked order lines of one partner within a date range (and,
//! when the document names one, of one store), several of which may be chosen. Declared
//! twice: TfrmReadBuy reads purchase orders, TfrmReadSale sales orders.

#include "UDocumentDecl.h"

#include <QDialog>

#include <functional>

class TLumoCLientDataSet;
class TLumoDataSource;
class TLumoDateEdit;
class TLumoEdit;
class TLumoRemoteServer;
class TLumobitBtn;
class Tlumodbgrid;

class TfrmReadOrder : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmReadOrder(const TReadOrderDecl &decl, QWidget *parent = nullptr);

    const TReadOrderDecl &decl() const { return m_decl; }
    //! The connection and provider the order lines come from.
    void bindSource(TLumoRemoteServer *server, const QString &provider);

    //! Shows the picker modally, or hands it to the hook while one is set (tests).
    int run();
    using THook = std::function<int(TfrmReadOrder &picker)>;
    static void setHook(THook hook);

    //! Activation: nothing shown, both dates today.
    void FormActivate();
    //! The query button.
    void btnQryClick();
    //! "确定": closes with OK only when lines are shown.
    void BitBtn1Click();
    //! The rows chosen, in list order (the current row when none is marked).
    QList<int> chosenRows() const;
    //! Fills the appended line from the first chosen row and a new line from each further
    //! one, with the order reference and the document's remark; each line is posted.
    //! False when not even the first line could be filled.
    bool copyChosen(TLumoCLientDataSet &lines, const TDocReadDecl &read);

    TLumoDateEdit *deBegin = nullptr;
    TLumoDateEdit *deEnd = nullptr;
    TLumoEdit *edtspCode = nullptr;
    TLumoEdit *edtspName = nullptr;
    TLumoEdit *edtStoreCode = nullptr;
    TLumoEdit *edtStoreName = nullptr;
    TLumobitBtn *btnQry = nullptr;
    Tlumodbgrid *dbGridFpo = nullptr;
    TLumoCLientDataSet *cds = nullptr;
    TLumoDataSource *ds = nullptr;
    TLumobitBtn *BitBtn1 = nullptr;
    TLumobitBtn *BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    QStringList columnFields() const;

    TReadOrderDecl m_decl;
};

//! The purchase-order line picker.
class TfrmReadBuy : public TfrmReadOrder
{
    Q_OBJECT
public:
    explicit TfrmReadBuy(QWidget *parent = nullptr);
};

//! The sales-order line picker.
class TfrmReadSale : public TfrmReadOrder
{
    Q_OBJECT
public:
    explicit TfrmReadSale(QWidget *parent = nullptr);
};

//! A picker by class name ("TfrmReadBuy"); null when unknown.
TfrmReadOrder *createReadOrder(const QString &className, QWidget *parent = nullptr);
