#pragma once
//! The class registration of the module classes: a small file beside Plant.ini, written by
//! the server's -regserver switch and removed by -unregserver. Module instances asked for
//! through scktsrvr are created only for classes registered with Sockets=1.

#include <QString>

namespace korvane {

//! "Korvane.reg" in the program folder.
QString classRegistryPath(const QString &binDir);

//! Registers (all five classes with Sockets=1 and Web=1) or unregisters them. False with
//! the reason in *error when the file cannot be written or removed.
bool writeClassRegistry(const QString &binDir, bool registerClasses, QString *error = nullptr);

//! Whether the class (class id with or without braces, or prog id) is registered with Sockets=1.
bool isClassRegisteredForSockets(const QString &binDir, const QString &classIdOrProgId);

} // namespace korvane
