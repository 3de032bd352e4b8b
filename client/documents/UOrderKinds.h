#pragma once
//! The purchase and sales orders as data: priced lines with tax, a currency and its rate
//! on the head, and the head's money totals in the footer.

#include "UDocumentDecl.h"

//! The declaration of an order window by its class name ("TfrmXBuyh"); null when unknown.
const TDocumentDecl *orderDocumentDecl(const QString &className);
//! The class names of the order windows, in menu order.
QStringList orderDocumentClasses();
