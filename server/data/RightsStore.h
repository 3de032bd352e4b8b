#pragma once
//! The operators' rights as the account set keeps them (table XRight): loading and storing
//! an employee's grants, and the checks every request of a logged-in operator passes. The
//! checks read the table each time, so rights taken away apply from the next request.

#include "Packet.h"
#include "RightsCatalog.h"

#include <QSqlDatabase>

namespace korvane {

namespace RightsStore {

//! The employee's granted rights. Throws ServerError when the table cannot be read.
rights::Grants load(const QSqlDatabase &db, const QString &empCode);
//! Replaces the employee's rights in one transaction. Refused (ServerError, nothing
//! stored) for an employee that does not exist, and when afterwards no employee holds
//! "人员权限".
void store(const QSqlDatabase &db, const QString &empCode, const rights::Grants &grants);
bool holds(const QSqlDatabase &db, const QString &empCode, const rights::Right &right);
//! Throws ServerError with the right's refusal when the employee lacks it.
void require(const QSqlDatabase &db, const QString &empCode, const rights::Right &right);

//! The rights a change set for the provider needs: 新增 for inserted rows, 删除 for deleted
//! ones, 修改 for modified ones (a head row or its lines) and 审核 when a head's State moves
//! to or from "2"; a modification that only checks (State and the assessor columns) needs
//! 审核 alone. For a provider covered by Flag, every row's Flag (old and new) counts.
//! Throws ServerError when no right covers the provider or a row's Flag.
QList<rights::Right> neededFor(const QString &provider, const ChangeSet &delta);
//! Throws the refusal of the first needed right the employee lacks.
void requireForChanges(const QSqlDatabase &db, const QString &empCode, const QString &provider,
                       const ChangeSet &delta);
//! Throws the refusal when the employee holds none of the report rights of the code (or
//! the code has no right at all).
void requireReport(const QSqlDatabase &db, const QString &empCode, const QString &code);

} // namespace RightsStore

} // namespace korvane
