#include "LoginUserInfo.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace korvane {

namespace {

struct Key
{
    const char *name;
    QString LoginUserInfo::*member;
};

const Key kKeys[] = {
    {"UserCode", &LoginUserInfo::userCode}, {"UserName", &LoginUserInfo::userName},
    {"DeptCode", &LoginUserInfo::deptCode}, {"DeptName", &LoginUserInfo::deptName},
    {"CorpCode", &LoginUserInfo::corpCode}, {"CorpName", &LoginUserInfo::corpName},
};

} // namespace

QString LoginUserInfo::toText() const
{
    QJsonObject object;
    for (const Key &key : kKeys)
        object.insert(QLatin1String(key.name), this->*key.member);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

LoginUserInfo LoginUserInfo::fromText(const QString &text)
{
    LoginUserInfo info;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return info;
    const QJsonObject object = document.object();
    for (const Key &key : kKeys)
        info.*key.member = object.value(QLatin1String(key.name)).toString();
    return info;
}

} // namespace korvane
