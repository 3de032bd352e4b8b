// The five module classes of the type library, each made anew for every client connection.
// The base module serves the login; the other four serve a client once it has logged in.

#include "ModuleRegistry.h"

#include "ModuleHost.h"
#include "SessionRegistry.h"
#include "UBaseRDM.h"
#include "UBillRDM.h"
#include "UCodenameRDM.h"
#include "ULookupRDM.h"
#include "URPTRDM.h"

namespace korvane {

namespace {

template <typename Module> ModuleHost::Factory factory()
{
    return [] { return std::make_unique<Module>(); };
}

template <typename Module> ModuleHost::Factory afterLogin()
{
    return [] { return std::make_unique<SessionGuardedModule>(std::make_unique<Module>()); };
}

} // namespace

void registerKorvaneModules(ModuleHost &host)
{
    host.registerClass(QStringLiteral("BaseRDM"), factory<TBaseRDM>());
    host.registerClass(QStringLiteral("BillRDM"), afterLogin<TBillRDM>());
    host.registerClass(QStringLiteral("CodeNameRDM"), afterLogin<TCodeNameRDM>());
    host.registerClass(QStringLiteral("LookupRDM"), afterLogin<TLookupRDM>());
    host.registerClass(QStringLiteral("RPTRDM"), afterLogin<TRPTRDM>());
}

} // namespace korvane
