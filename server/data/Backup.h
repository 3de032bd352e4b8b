#pragma once
//! Backups of the account set. A backup is a consistent copy taken while clients keep
//! working: the embedded database copies itself inside one read transaction (VACUUM INTO),
//! PostgreSQL through pg_dump's snapshot. A new account set is made from one by
//! AccountSet::restoreBackup, which first asks isAccountSetBackup whether the file is one.

#include "RunTimeConnection.h"

#include <QDateTime>
#include <QString>

namespace korvane {

//! "QUV-20261210-0954.db" (embedded) or "QUV-20261210-0954.backup" (PostgreSQL).
QString defaultBackupName(const QString &catalog, const QDateTime &at, bool embedded);

//! Writes the backup of the account set the connection names to file, replacing a file
//! the operator chose to overwrite only once the new copy is complete.
bool backupAccountSet(const DbConnectionInfo &accountSet, const QString &file, QString *error);

//! Whether the file is a backup of an account set of this system for that database
//! (its tables are there); false with the reason shown to the operator.
bool isAccountSetBackup(const QString &file, const DbConnectionInfo &server, QString *error);

//! Loads a PostgreSQL backup into the existing, empty database the connection names.
bool loadPostgresBackup(const DbConnectionInfo &target, const QString &file, QString *error);

} // namespace korvane
