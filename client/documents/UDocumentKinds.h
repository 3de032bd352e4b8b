#pragma once
//! The nine documents of the stock-movement tables as data, by window class name.

#include "UDocumentDecl.h"

//! The declaration of a document window by its class name ("TfrmBuyIn"), also of those
//! settled in money (UMoneyKinds); null when unknown.
const TDocumentDecl *documentDecl(const QString &className);
//! The class names of the document windows, in menu order.
QStringList documentClasses();
