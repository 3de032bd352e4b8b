#pragma once
//! The sessions of this server process: LogIn on a base module opens one and hands its id
//! to the client, which names it when it opens its other four modules. A session ends
//! when the base module that opened it goes away (its client disconnected).

#include <QHash>
#include <QMutex>
#include <QString>

namespace korvane {

class SessionRegistry
{
public:
    static SessionRegistry &instance();

    //! Opens a session for the user: a new id, the decimal text of a random non-negative
    //! 31-bit number (the client reads the id as an integer), unique among open sessions.
    QString open(const QString &userCode);
    void close(const QString &id);
    bool isValid(const QString &id) const;
    //! The user of an open session; empty when the id is not open.
    QString userCode(const QString &id) const;

private:
    SessionRegistry() = default;

    mutable QMutex m_mutex;
    QHash<QString, QString> m_users; // id -> user code
};

//! Whether a client may use a module other than the base module: the session id it named
//! in the open handshake belongs to a logged-in base module.
bool isValidSession(const QString &id);

} // namespace korvane
