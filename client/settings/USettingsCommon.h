#pragma once
//! What the rights, password and parameter dialogs share: the base module they call (the
//! login's connection, or one a test sets), a call that shows the server's refusal, and the
//! string grid they draw their tables with.

#include <QString>
#include <QVariant>

class QTableWidget;
class QWidget;
class TLumoBtn;
class TLumoRemoteServer;

namespace korvane::settings {

//! The base module the dialogs call: the one set here, else dmMain's SCBase; null when none.
TLumoRemoteServer *baseServer();
//! For tests: calls go to this server (null: back to dmMain's).
void setBaseServer(TLumoRemoteServer *server);

//! Calls a method of the base module. A failure shows the server's text (a refusal names the
//! missing right) and answers false; *result gets the method's result.
bool callShowingRefusal(const QString &method, const QVariantList &args,
                        QVariant *result = nullptr);

//! A string grid: rows × columns of text cells, row 0 the header row, rows of alternating
//! white and information background, each 18 pixels high, no fixed columns, no editing.
QTableWidget *stringGrid(const QString &name, int rows, int columns, QWidget *parent);
//! The text of a cell; empty for a cell without an item.
QString cellText(const QTableWidget *grid, int row, int column);
void setCellText(QTableWidget *grid, int row, int column, const QString &text);

//! A dialog button of the usual size.
TLumoBtn *dialogButton(const QString &name, const QString &caption, QWidget *parent);

//! The mark of a granted right in a grid cell.
inline const QString Granted = QStringLiteral("√");

} // namespace korvane::settings
