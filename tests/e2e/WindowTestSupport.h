#pragma once
//! What the tests of work windows share: one running server per database and the
//! messages the windows show.

#include "../lumo/LumoChildTestSupport.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "UMsgBox.h"

#include <map>
#include <memory>

namespace korvane::test {

//! One running server per database, shared by the rows of every test of a program: each
//! test keeps to codes of its own. stopServers() ends them.
inline std::map<QString, std::unique_ptr<TestServer>> &runningServers()
{
    static std::map<QString, std::unique_ptr<TestServer>> servers;
    return servers;
}

inline TestServer *serverFor(const QString &backend, QString *error)
{
    auto &server = runningServers()[backend];
    if (!server) {
        server = std::make_unique<TestServer>(backend);
        if (!server->start()) {
            *error = server->error();
            server.reset();
            return nullptr;
        }
    }
    return server.get();
}

inline void stopServers()
{
    runningServers().clear();
}

//! The databases the tests run on: SQLite, and PostgreSQL when a test cluster is named.
inline QStringList testBackends()
{
    QStringList backends{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        backends << QStringLiteral("postgresql");
    return backends;
}

//! Connects the data module's five connections to the server's port and logs in as the
//! administrator; the session is handed to every connection.
inline void logInAsAdministrator(TdmMain &dm, quint16 port)
{
    for (TLumoSocketConnection *connection : dm.connections())
        connection->setPort(port);
    QString session, info, sysSet, purView, para;
    dm.SCBase->callWithOutputs(QStringLiteral("LogIn"),
                               {QStringLiteral("0001"), QStringLiteral("0001"),
                                QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                               {&session, &info, &sysSet, &purView, &para});
    for (TLumoSocketConnection *connection : dm.connections())
        connection->setSession(session);
}

inline void logInAsAdministrator(TdmMain &dm, const TestServer &server)
{
    logInAsAdministrator(dm, server.port());
}

//! The login's steps without its dialog, the shared lists opened too; false when a list would
//! not open.
inline bool logInDataModule(TdmMain &dm, quint16 port)
{
    logInAsAdministrator(dm, port);
    return dm.OpenAllLookups().isEmpty();
}

//! Messages of the library and of MsgBox in one list; questions answered from the queue.
struct Messages : lumo::test::MessageQueue
{
    Messages()
    {
        setMsgBoxHandler([this](const TMsgBoxRequest &request) {
            texts << request.text;
            kinds << request.kind;
            return answers.isEmpty() ? int(mrOk) : answers.takeFirst();
        });
    }
    ~Messages() { setMsgBoxHandler({}); }
};

} // namespace korvane::test
