#include "RelaySettings.h"

#include "PlantIni.h"

namespace korvane {

namespace {

bool parsePort(const QString &text, const QString &origin, quint16 *port, QString *error)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value >= 1 && value <= 65535) {
        *port = quint16(value);
        return true;
    }
    *error = QStringLiteral("%1: \"%2\" is not a port number (1 to 65535)").arg(origin, text);
    return false;
}

} // namespace

bool relayPort(const QStringList &arguments, const QString &plantIniPath, quint16 *port,
               QString *error)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg.startsWith(QLatin1String("--port=")))
            return parsePort(arg.mid(7), QStringLiteral("--port"), port, error);
        if (arg == QLatin1String("--port")) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("--port needs a port number");
                return false;
            }
            return parsePort(arguments[i + 1], QStringLiteral("--port"), port, error);
        }
    }
    const QString configured =
        PlantIni(plantIniPath).read(QStringLiteral("SCKTSRVR"), QStringLiteral("Port"));
    if (!configured.isEmpty())
        return parsePort(configured, QStringLiteral("Plant.ini [SCKTSRVR] Port"), port, error);
    *port = DefaultRelayPort;
    return true;
}

QString bindFailureHelp(quint16 port, const QString &reason)
{
    QString text =
        QStringLiteral("scktsrvr cannot listen on TCP port %1: %2.\n").arg(port).arg(reason);
    if (port < 1024)
        text += QStringLiteral(
            "Ports below 1024 need privileges on Linux. Either allow it once, as root:\n"
            "    setcap cap_net_bind_service=+ep scktsrvr\n"
            "or choose a port of 1024 or above: ");
    else
        text += QStringLiteral("Choose a free port: ");
    text +=
        QStringLiteral("set Port in section [SCKTSRVR] of Plant.ini (and the same Port in section "
                       "[KORVANEQUV] for the client), or start scktsrvr with --port N.");
    return text;
}

} // namespace korvane
