// The five module classes of the type library, each made anew for every client connection.

#include "ModuleHost.h"
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

} // namespace

void registerKorvaneModules(ModuleHost &host)
{
    host.registerClass(QStringLiteral("BaseRDM"), factory<TBaseRDM>());
    host.registerClass(QStringLiteral("BillRDM"), factory<TBillRDM>());
    host.registerClass(QStringLiteral("CodeNameRDM"), factory<TCodeNameRDM>());
    host.registerClass(QStringLiteral("LookupRDM"), factory<TLookupRDM>());
    host.registerClass(QStringLiteral("RPTRDM"), factory<TRPTRDM>());
}

} // namespace korvane
