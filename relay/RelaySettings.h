#pragma once
//! Which TCP port scktsrvr listens on: "--port N" on the command line, else Plant.ini
//! section SCKTSRVR key Port, else 211.

#include <QString>
#include <QStringList>

namespace korvane {

constexpr quint16 DefaultRelayPort = 211;

//! False with the reason in *error when a given port is not a number from 1 to 65535.
bool relayPort(const QStringList &arguments, const QString &plantIniPath, quint16 *port,
               QString *error);

//! What to tell the operator when the port cannot be bound.
QString bindFailureHelp(quint16 port, const QString &reason);

} // namespace korvane
