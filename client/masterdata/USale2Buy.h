#pragma once
//! "销售转采购": sales order lines not yet fully delivered, turned into a purchase order.

#include "UToBuyList.h"

class TfrmSale2Buy : public TfrmToBuyList
{
    Q_OBJECT
public:
    explicit TfrmSale2Buy(QWidget *parent = nullptr);
};
