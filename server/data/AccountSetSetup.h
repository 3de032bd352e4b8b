#pragma once
//! The database dialog's OK steps without the window: test the connection to the chosen
//! database server, create the account set when it does not exist, save the settings.
//! The dialog and "Korvane --create-account-set" both run them.

#include "SrvMessageKind.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace korvane {

//! What the operator chose in the dialog.
struct DBLogInChoice
{
    QString server;          // text of the server box
    bool integrated = false; // operating-system login instead of user and password
    QString user;
    QString password;
    bool demo = false;  // a new account set gets the demonstration firm's data
    QString backupFile; // a new account set is made from this backup instead of DB/BK
};

enum class SetupOutcome {
    MissingServer, // nothing was tried
    MissingUser,
    ConnectFailed,
    CreateFailed,
    SaveFailed,
    Saved, // connection tested, account set present, settings written
};

class AccountSetSetup
{
public:
    //! Works on Plant.ini and the account-set folder of the program folder.
    explicit AccountSetSetup(const QString &programDir);

    //! Called whenever the progress text changes ("连接数据库......成功！", ...).
    std::function<void(const QStringList &lines)> onProgress;
    //! Called for every message to the operator.
    std::function<void(SrvMessageKind kind, const QString &text, const QString &detail)> onMessage;

    SetupOutcome run(const DBLogInChoice &choice);

private:
    void progress(int line, const QString &text);
    void message(const QString &text, const QString &detail = QString());
    SetupOutcome createIfMissing(class AccountSet &set, const DBLogInChoice &choice);
    SetupOutcome save(const DBLogInChoice &choice);

    QString m_programDir;
    QString m_catalog;
    QStringList m_lines;
};

} // namespace korvane
