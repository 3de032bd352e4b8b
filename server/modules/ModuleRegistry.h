#pragma once
//! The five module classes of the server, registered with a module host.

namespace korvane {

class ModuleHost;

void registerKorvaneModules(ModuleHost &host);

} // namespace korvane
