#pragma once
//! The code/name module: for the code/name lookup editor, each provider lists codes with
//! their names and the names of the group they belong to, all of them or the one code asked
//! for (Code with its switch tmpCode).

#include "ProviderModule.h"

namespace korvane {

class TCodeNameRDM : public ProviderModule
{
    Q_OBJECT
public:
    explicit TCodeNameRDM(QObject *parent = nullptr);

    //! The module's providers as data (also read by tests).
    static ProviderDefs providerDefs();
};

} // namespace korvane
