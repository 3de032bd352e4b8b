#include "ProviderModule.h"

#include "LumoADOC.h"
#include "LumoDatasetprovider.h"
#include "RightsStore.h"

namespace korvane {

ProviderModule::ProviderModule(const QString &className, const ProviderDefs &providers,
                               QObject *parent)
    : RemoteDataModule(parent), m_className(className), m_connection(new TLumoADOC(this))
{
    m_connection->setObjectName(className + QStringLiteral("db"));
    for (const ProviderDef &def : providers) {
        m_providers.insert(def.name.toLower(), new TLumoDatasetprovider(def, m_connection, this));
        m_providerOrder << def.name;
    }
}

ProviderModule::~ProviderModule()
{
    // Providers hold queries on the connection: they go first.
    qDeleteAll(m_providers);
    m_providers.clear();
}

QSqlDatabase ProviderModule::database()
{
    return m_connection->database();
}

SchemaCatalog &ProviderModule::catalog()
{
    return m_connection->catalog();
}

QStringList ProviderModule::providerNames() const
{
    return m_providerOrder;
}

TLumoDatasetprovider *ProviderModule::provider(const QString &name)
{
    TLumoDatasetprovider *p = m_providers.value(name.toLower());
    if (!p)
        throw ServerError(QStringLiteral("Provider not exported: %1").arg(name));
    return p;
}

Packet ProviderModule::getRecords(const GetRecordsRequest &request)
{
    return provider(request.provider)->getRecords(request);
}

ApplyResult ProviderModule::applyUpdates(const QString &name, const ChangeSet &delta, int maxErrors)
{
    TLumoDatasetprovider *target = provider(name);
    // The operator's rights are read anew for every change set: a right taken away while
    // logged in refuses the next one, and a refused change set applies nothing.
    const QString user = operatorCode();
    if (!user.isEmpty())
        RightsStore::requireForChanges(database(), user, target->name(), delta);
    return target->applyUpdates(delta, maxErrors);
}

Params ProviderModule::getParams(const QString &name)
{
    return provider(name)->params();
}

void ProviderModule::execute(const QString &name, const QString &commandText, const Params &params)
{
    provider(name)->execute(commandText, params);
}

void ProviderModule::addMethod(const QString &name, Method method)
{
    m_methods.insert(name.toLower(), std::move(method));
}

QVariant ProviderModule::invoke(const QString &method, const QVariantList &inputs,
                                QVariantList *out)
{
    const auto it = m_methods.constFind(method.toLower());
    if (it == m_methods.constEnd())
        throw ServerError(
            QStringLiteral("Method %1 is not a method of %2").arg(method, m_className));
    return (*it)(inputs, out);
}

} // namespace korvane
