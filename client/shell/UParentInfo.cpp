#include "UParentInfo.h"

#include "LoginUserInfo.h"

TParentInfo ParentInfo;

namespace {

QString orDefault(const QString &value, const char *fallback)
{
    return value.isEmpty() ? QString::fromUtf8(fallback) : value;
}

} // namespace

void fillParentInfo(TParentInfo &info, const QString &sessionId, const korvane::LoginUserInfo &user)
{
    info.UserSet = TUserSet();
    info.Log.SessionId = sessionId;
    info.Log.UserCode = orDefault(user.userCode, "0002");
    info.Log.UserName = orDefault(user.userName, "操作员");
    info.Log.CorpCode = orDefault(user.corpCode, "0001");
    info.Log.CorpName = orDefault(user.corpName, "本公司");
    info.Log.ReportCorpName = info.Log.CorpName;
    info.Log.DeptCode = orDefault(user.deptCode, "0001");
    info.Log.DeptName = orDefault(user.deptName, "销售部");
    info.Log.RightsText = QString(25, QLatin1Char('1'));
}

void applyLoginSettings(TParentInfo &info, const korvane::rights::Grants &rights,
                        const korvane::SystemParameters &parameters)
{
    info.Rights = rights;
    info.RightsKnown = true;
    info.Parameters = parameters;
    info.UserSet.CheckOnSave = parameters.autoCheck;
}

QString loginStatusText(const TParentInfo &info, const QDateTime &loginTime)
{
    return QStringLiteral("登录时间:") + loginTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral("           操作员:") + info.Log.UserName + QStringLiteral("【") +
           info.Log.CorpName + QStringLiteral("--") + info.Log.DeptName + QStringLiteral("】");
}

void copyToLumoSession(const TParentInfo &info, TLumoSession &session)
{
    session.DateFormat = info.UserSet.DateFormat;
    session.CheckOnSave = info.UserSet.CheckOnSave;
    session.HeadNoReadOnly = info.UserSet.HeadNoReadOnly;
    session.SessionId = info.Log.SessionId;
    session.UserCode = info.Log.UserCode;
    session.UserName = info.Log.UserName;
    session.SetCommandTarget = info.SetCommandTarget;
}
