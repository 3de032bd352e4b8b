#pragma once
//! The login of a client in a test: the login dialog's steps without the dialog, which
//! would remember the user beside the tests.

#include "LoginUserInfo.h"
#include "LumoChild.h"
#include "LumoSocketConnection.h"
#include "UDMMain.h"
#include "UParentInfo.h"

namespace korvane::test {

//! Connects the data module's five connections to the server on port, logs in as user 0001
//! and opens the shared lists; the session record follows, with the given check-on-save.
inline bool logInDesk(TdmMain &dm, quint16 port, bool checkOnSave)
{
    for (TLumoSocketConnection *c : dm.connections())
        c->setPort(port);
    QString session, info, sysSet, purView, para;
    try {
        dm.SCBase->callWithOutputs(QStringLiteral("LogIn"),
                                   {QStringLiteral("0001"), QStringLiteral("0001"),
                                    QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                                   {&session, &info, &sysSet, &purView, &para});
    } catch (const TLumoRemoteError &) {
        return false;
    }
    for (TLumoSocketConnection *c : dm.connections())
        c->setSession(session);
    if (!dm.OpenAllLookups().isEmpty())
        return false;
    fillParentInfo(ParentInfo, session, LoginUserInfo::fromText(info));
    ParentInfo.UserSet.CheckOnSave = checkOnSave;
    copyToLumoSession(ParentInfo, lumoSession());
    return true;
}

} // namespace korvane::test
