#pragma once
//! The priced documents settled in money, as data: receipts from customers and payments to
//! suppliers (one declaration with what the payment changes), and invoices.

#include "UDocumentDecl.h"

//! TfrmInCome, TfrmOutCome and TfrmInvoice with their declarations.
const QList<TDocumentKind> &moneyDocumentKinds();
//! Their class names, in menu order.
QStringList moneyDocumentClasses();
