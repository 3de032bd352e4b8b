#include "InstanceNames.h"
#include "PlantIni.h"
#include "QtTranslations.h"
#include "RelayExit.h"
#include "RelayLimits.h"
#include "RelaySettings.h"
#include "SocketRelay.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace korvane;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // No windows, but the socket errors it passes on to the operator come from Qt.
    installQtTranslations();
    QTextStream err(stderr);
    quint16 port = DefaultRelayPort;
    QString error;
    if (!relayPort(app.arguments(), plantIniPath(), &port, &error)) {
        err << "scktsrvr: " << error << Qt::endl;
        return relayexit::BadPort;
    }
    QString warnings;
    const RelayLimits limits = relayLimits(plantIniPath(), &warnings);
    if (!warnings.isEmpty())
        err << "scktsrvr: " << warnings.trimmed() << Qt::endl;
    SocketRelay relay(moduleHostSocketName(programDir()), limits);
    if (!relay.listen(port, &error)) {
        err << error << Qt::endl;
        return relayexit::CannotListen;
    }
    err << "scktsrvr: listening on port " << relay.port() << Qt::endl;
    return app.exec();
}
