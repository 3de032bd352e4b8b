#pragma once
//! TfrmInvoice: invoices issued to customers, blue (kind 1) or red (kind 2), ordinary or with
//! value-added tax. One window serves both kinds; the main window sets the kind after each
//! opening. One tax rate applies to the whole invoice.

#include "UMasterDetailTBL.h"

class TLumoComboBox;

class TfrmInvoice : public TfrmMasterDetailtbl
{
    Q_OBJECT
    Q_PROPERTY(int InvoiceFlag READ Flag WRITE SetFlag)

public:
    explicit TfrmInvoice(QWidget *parent = nullptr);

    //! The kind: 1 blue, 2 red, 0 before the main window has set one.
    int Flag() const { return m_flag; }
    //! Sets the kind: the read button, the query's type list and the head's type list follow.
    //! The first kind set lists today's invoices of that kind; a later switch leaves the list
    //! as it is until the next query.
    void SetFlag(int flag);

    TLumoComboBox *cbInOurFlag = nullptr;

protected:
    QString kindFlag() const override;
    void queryParamsSet(TLumoParams &params) override;
    void beforeActivation() override;

private:
    void createTypeFilter();
    //! Every line's tax from the head's rate; the line rules and head totals follow.
    void taxRateChanged();
    void taxTypeChanged();
    //! amt, Tax and Taxamt from the lines' sums.
    void linesChanged();

    int m_flag = 0;
};
