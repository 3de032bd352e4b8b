#pragma once
//! "库存不足转采购": the stock of one store below its safety level, turned into a purchase
//! order.

#include "UToBuyList.h"

class TfrmStockToBuy : public TfrmToBuyList
{
    Q_OBJECT
public:
    explicit TfrmStockToBuy(QWidget *parent = nullptr);
};
