#pragma once
//! Qt's own words (standard buttons, file and print dialogs, socket and database errors) in
//! the interface's language, for all three programs.

namespace korvane {

//! Installs Qt's simplified-Chinese catalogue from Qt's translations folder into the running
//! application; false when that catalogue is not installed, and Qt then speaks English.
bool installQtTranslations();

} // namespace korvane
