#pragma once
//! The session record: who is logged in and how the session behaves. Filled once after
//! login, read by every work window and report.

#include "LumoChild.h"
#include "RightsCatalog.h"
#include "SystemParameters.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace korvane {
struct LoginUserInfo;
}

struct TUserSet
{
    QString DateFormat = QStringLiteral("YYYY-MM-DD HH:MM:SS");
    bool CheckOnSave = true;    // a saved document is checked at once
    bool HeadNoReadOnly = true; // editors bound to "HeadNO" are read-only
};

struct TLogInfo
{
    QString SessionId;
    QString UserCode;
    QString UserName;
    QString CorpCode;
    QString CorpName;
    QString ReportCorpName;
    QString DeptCode;
    QString DeptName;
    QString RightsText;
};

struct TParentInfo
{
    TUserSet UserSet;
    //! Registers the active work window's command entry with the main window.
    std::function<void(const TCommandEntry &entry)> SetCommandTarget;
    TLogInfo Log;
    //! The operator's rights and the account set's parameters, as the login answered them.
    //! Until RightsKnown (before login) nothing is greyed.
    korvane::rights::Grants Rights;
    bool RightsKnown = false;
    korvane::SystemParameters Parameters;
};

extern TParentInfo ParentInfo;

//! Fills the session record after a successful login: the operator the server named,
//! the session's fixed values where the server named nothing.
void fillParentInfo(TParentInfo &info, const QString &sessionId,
                    const korvane::LoginUserInfo &user);

//! Takes the rights and the system parameters of the login: "单据自动审核" becomes
//! UserSet.CheckOnSave.
void applyLoginSettings(TParentInfo &info, const korvane::rights::Grants &rights,
                        const korvane::SystemParameters &parameters);

//! What the work windows' frames take from the session record.
void copyToLumoSession(const TParentInfo &info, TLumoSession &session);

//! The status line after login: "登录时间:… 操作员:name【company--department】".
QString loginStatusText(const TParentInfo &info, const QDateTime &loginTime);
