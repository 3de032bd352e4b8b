#pragma once
//! The rights editor, the password dialog and the system-parameter dialog, registered as
//! the windows of actRight, actpwd and actSysPara.

void registerSettingsDialogs();
