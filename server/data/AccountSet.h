#pragma once
//! The account set (套帐): the system's database on one database server. It is tested for
//! and created from the shipped script DB/BK; an existing account set is never touched.

#include "RunTimeConnection.h"

#include <QString>

#include <functional>
#include <optional>

namespace korvane {

class AccountSet
{
public:
    //! server: the connection to the database server itself (catalogue "Master"): for
    //! PostgreSQL its maintenance database, for the embedded database the folder.
    AccountSet(const DbConnectionInfo &server, const QString &catalog);
    ~AccountSet();
    AccountSet(const AccountSet &) = delete;
    AccountSet &operator=(const AccountSet &) = delete;

    //! Connects to the database server; false with the driver's reason.
    bool connect(QString *error);
    void disconnect();
    bool isConnected() const { return m_connected; }

    //! Whether the account set exists; nullopt with the reason when the test fails.
    std::optional<bool> exists(QString *error) const;

    //! Rows written into a new account set after the script, in the same all-or-nothing
    //! creation; false with the reason.
    using Filler = std::function<bool(QSqlDatabase db, QString *error)>;

    //! Creates the account set and runs the script into it, then the filler if one is
    //! given, all or nothing: on failure nothing of the new account set is left behind.
    //! Refuses when it exists already.
    bool restore(const QString &scriptPath, QString *error, const Filler &fill = Filler());

    //! Creates the account set from a backup of this system (Backup.h), all or nothing;
    //! refuses a file that is not one, and an account set that exists already.
    bool restoreBackup(const QString &backupFile, QString *error);

    //! The shipped script: "BK" in the account-set folder beside the program folder.
    static QString scriptPath(const QString &programDir);

private:
    //! Fills the new account set the connection names; false with the reason.
    using Builder = std::function<bool(const DbConnectionInfo &target, QString *error)>;

    bool mayCreate(QString *error) const;
    bool buildEmbedded(const Builder &build, QString *error);
    bool buildPostgres(const Builder &build, QString *error);
    QString embeddedFile() const;
    bool isEmbedded() const;

    DbConnectionInfo m_server;
    QString m_catalog;
    QString m_connectionName;
    bool m_connected = false;
};

} // namespace korvane
