#include "SessionRegistry.h"

#include <QRandomGenerator>

#include <limits>

namespace korvane {

SessionRegistry &SessionRegistry::instance()
{
    static SessionRegistry registry;
    return registry;
}

QString SessionRegistry::open(const QString &userCode)
{
    QMutexLocker lock(&m_mutex);
    QString id;
    do {
        // Random rather than counted, so that one client cannot guess another's session.
        id = QString::number(
            QRandomGenerator::system()->bounded(1, std::numeric_limits<qint32>::max()));
    } while (m_users.contains(id));
    m_users.insert(id, userCode);
    return id;
}

void SessionRegistry::close(const QString &id)
{
    QMutexLocker lock(&m_mutex);
    m_users.remove(id);
}

bool SessionRegistry::isValid(const QString &id) const
{
    QMutexLocker lock(&m_mutex);
    return !id.isEmpty() && m_users.contains(id);
}

QString SessionRegistry::userCode(const QString &id) const
{
    QMutexLocker lock(&m_mutex);
    return m_users.value(id);
}

bool isValidSession(const QString &id)
{
    return SessionRegistry::instance().isValid(id);
}

SessionGuardedModule::SessionGuardedModule(std::unique_ptr<RemoteDataModule> module)
    : m_module(std::move(module))
{}

SessionGuardedModule::~SessionGuardedModule() = default;

RemoteDataModule &SessionGuardedModule::module()
{
    if (!isValidSession(session()))
        throw ServerError(QStringLiteral("请先登录！"));
    m_module->setSession(session());
    return *m_module;
}

QString SessionGuardedModule::className() const
{
    return m_module->className();
}

QStringList SessionGuardedModule::providerNames() const
{
    return m_module->providerNames();
}

Packet SessionGuardedModule::getRecords(const GetRecordsRequest &request)
{
    return module().getRecords(request);
}

ApplyResult SessionGuardedModule::applyUpdates(const QString &provider, const ChangeSet &delta,
                                               int maxErrors)
{
    return module().applyUpdates(provider, delta, maxErrors);
}

Params SessionGuardedModule::getParams(const QString &provider)
{
    return module().getParams(provider);
}

void SessionGuardedModule::execute(const QString &provider, const QString &commandText,
                                   const Params &params)
{
    module().execute(provider, commandText, params);
}

QVariant SessionGuardedModule::invoke(const QString &method, const QVariantList &inputs,
                                      QVariantList *out)
{
    return invokeOn(module(), method, inputs, out);
}

} // namespace korvane
