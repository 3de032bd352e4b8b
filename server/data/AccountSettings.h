#pragma once
//! Settings kept with the account set (table XSysPara, a row per setting). A setting without
//! its row, and every setting of an account set made before the table existed, reads its
//! default; setting one creates the table when it is missing.

#include <QSqlDatabase>

namespace korvane {

//! Whether an apply may leave stock on hand below zero; true unless switched off.
//! Throws ServerError when the database cannot be read.
bool negativeStockAllowed(QSqlDatabase db);
//! Stores the choice. Throws ServerError.
void setNegativeStockAllowed(QSqlDatabase db, bool allowed);

} // namespace korvane
