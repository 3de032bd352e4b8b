#pragma once
//! Machine-wide names of one install: two installs, or two test runs, never share them.

#include <QString>

namespace korvane {

//! Suffix derived from the program folder and KORVANE_INSTANCE.
QString instanceTag(const QString &binDir);

//! The module host's local socket (Korvane listens, scktsrvr connects).
QString moduleHostSocketName(const QString &binDir);

//! The single-instance lock file ("KORVANE_QIRVO") in the runtime directory.
QString singleInstanceLockPath(const QString &binDir);

//! D-Bus object path of the shell messages.
QString shellMessagePath(const QString &binDir);

//! Folder of the running program (where Plant.ini lives).
QString programDir();

} // namespace korvane
