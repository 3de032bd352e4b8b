#pragma once
//! A module instance made of a provider table and a method table: the base of the five
//! modules (TBaseRDM, TBillRDM, TCodeNameRDM, TLookupRDM, TRPTRDM).
//! It owns one database connection, opened with the run-time connection just before the
//! first query (the before-connect rule), and closed when the instance dies.

#include "ProviderDef.h"
#include "RemoteDataModule.h"

#include <QHash>
#include <QSqlDatabase>

#include <functional>
#include <memory>

namespace korvane {

class SchemaCatalog;
class TLumoADOC;
class TLumoDatasetprovider;

class ProviderModule : public RemoteDataModule
{
    Q_OBJECT
public:
    //! args: the call's inputs, checked against the type library; out: by-reference outputs.
    using Method = std::function<QVariant(const QVariantList &args, QVariantList *out)>;

    ProviderModule(const QString &className, const ProviderDefs &providers,
                   QObject *parent = nullptr);
    ~ProviderModule() override;

    QString className() const override { return m_className; }
    QStringList providerNames() const override;
    Packet getRecords(const GetRecordsRequest &request) override;
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override;
    Params getParams(const QString &provider) override;
    void execute(const QString &provider, const QString &commandText,
                 const Params &params) override;

    //! The module's connection, connected on first use; throws ServerError when it cannot connect.
    QSqlDatabase database();
    //! The catalogue of the module's database (connects on first use).
    SchemaCatalog &catalog();
    TLumoADOC *connection() const { return m_connection; }

protected:
    QVariant invoke(const QString &method, const QVariantList &inputs, QVariantList *out) override;
    //! Registers an own method the type library declares for the class; its arguments are
    //! the library's to count and check.
    void addMethod(const QString &name, Method method);
    TLumoDatasetprovider *provider(const QString &name); // throws "Provider not exported: %s"

private:
    QString m_className;
    TLumoADOC *m_connection;                            // child of this module
    QHash<QString, TLumoDatasetprovider *> m_providers; // by lower-cased name; children
    QStringList m_providerOrder;
    QHash<QString, Method> m_methods; // by lower-cased name
};

} // namespace korvane
