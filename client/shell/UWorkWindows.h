#pragma once
//! The windows the main window opens, by class name ("TfrmXCI", "TfrmBuyIn", "TfrmRPTBuyQry").
//! The libraries of windows register their factories once at start-up (main calls their
//! registration functions); an action whose window class is not registered stays disabled.
//!
//! What the main window does with a registered window depends on its action:
//! - work windows are created on each opening (factory parent: null) and shown maximised in
//!   the main window's work area; they close themselves through their frame (command 12);
//! - dialogs, report and chart condition windows are created once after login (factory
//!   parent: the main window) and shown modally (exec() for a QDialog) each time.
//!
//! Conventions the main window relies on:
//! - a report condition window takes the report code in its property "RPTCode" before each
//!   showing;
//! - the invoice window takes its kind in its property "InvoiceFlag" (1 blue, 2 red) after
//!   each opening;
//! - the purchase-order window answers the hand-overs through invokable methods
//!   "ImportSale2Buy(QVariant)" and "ImportStockToBuy(QVariant)".

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace korvane::workwindows {

//! Creates one window of a class; parent as described above.
using Factory = std::function<QWidget *(QWidget *parent)>;

//! Registers (or replaces) the factory of a window class.
void registerWindow(const QString &className, Factory factory);
//! Forgets a window class (tests).
void unregisterWindow(const QString &className);
bool isRegistered(const QString &className);
//! A new window of the class; null when the class is unknown or its factory made none.
QWidget *create(const QString &className, QWidget *parent = nullptr);
//! The registered class names, sorted.
QStringList registeredClasses();

//! Report code and invoice kind properties, and the two hand-over methods.
inline constexpr const char *ReportCodeProperty = "RPTCode";
inline constexpr const char *InvoiceFlagProperty = "InvoiceFlag";
inline constexpr const char *ImportSale2BuyMethod = "ImportSale2Buy";
inline constexpr const char *ImportStockToBuyMethod = "ImportStockToBuy";

} // namespace korvane::workwindows
