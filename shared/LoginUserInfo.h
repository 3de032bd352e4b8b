#pragma once
//! The operator a successful LogIn names in its UserInfo output: the employee with the
//! department and company it belongs to. It travels as one text (a JSON object with the
//! keys UserCode, UserName, DeptCode, DeptName, CorpCode, CorpName), so that the client's
//! session record shows the real operator.

#include <QString>

namespace korvane {

struct LoginUserInfo
{
    QString userCode;
    QString userName;
    QString deptCode;
    QString deptName;
    QString corpCode;
    QString corpName;

    QString toText() const;
    //! An empty record when the text is not such an object (an older server sends "").
    static LoginUserInfo fromText(const QString &text);

    bool isEmpty() const { return userCode.isEmpty(); }
    friend bool operator==(const LoginUserInfo &, const LoginUserInfo &) = default;
};

} // namespace korvane
