#pragma once
//! The system parameters as the account set keeps them: one row of XSysPara per name.

#include "SystemParameters.h"

#include <QSqlDatabase>

namespace korvane::SysParaStore {

//! The stored parameters, defaults for names without a row. Throws ServerError when the
//! table cannot be read.
SystemParameters load(const QSqlDatabase &db);
//! Replaces every parameter in one transaction; a logo that is no picture, or too big, is
//! refused (ServerError) before anything is written.
void store(const QSqlDatabase &db, const SystemParameters &parameters);

} // namespace korvane::SysParaStore
