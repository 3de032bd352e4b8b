#pragma once
//! The sessions of this server process: LogIn on a base module opens one and hands its id
//! to the client, which names it when it opens its other four modules. A session ends
//! when the base module that opened it goes away (its client disconnected).

#include "RemoteDataModule.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <memory>

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

//! A module of a client that must have logged in: every request is refused with
//! "请先登录！" unless the session named when the connection opened is open (its base module
//! logged in and is still connected); then the request goes to the module itself.
class SessionGuardedModule : public RemoteDataModule
{
    Q_OBJECT
public:
    explicit SessionGuardedModule(std::unique_ptr<RemoteDataModule> module);
    ~SessionGuardedModule() override;

    QString className() const override;
    QStringList providerNames() const override;
    Packet getRecords(const GetRecordsRequest &request) override;
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override;
    Params getParams(const QString &provider) override;
    void execute(const QString &provider, const QString &commandText,
                 const Params &params) override;

protected:
    QVariant invoke(const QString &method, const QVariantList &inputs, QVariantList *out) override;

private:
    RemoteDataModule &module();

    std::unique_ptr<RemoteDataModule> m_module;
};

} // namespace korvane
