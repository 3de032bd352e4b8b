#pragma once
//! TfrmXSpecH: the product variants (colour, size, …), each head with its items, on the
//! master-detail frame. Items are numbered by the window: the lowest free number first.

#include "UMasterDetailTBL.h"

//! The declaration of the variant window.
TDocumentDecl variantHeadsDecl();

class TfrmXSpecH : public TfrmMasterDetailtbl
{
    Q_OBJECT

public:
    explicit TfrmXSpecH(QWidget *parent = nullptr);

protected:
    void lineInserted() override;
};
