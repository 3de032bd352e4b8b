#include "InstanceNames.h"
#include "PlantIni.h"
#include "QtTranslations.h"
#include "RelayCertificate.h"
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
    RelayTls tls;
    if (!relayTls(plantIniPath(), programDir(), &tls, &error)) {
        err << "scktsrvr: " << error << Qt::endl;
        return relayexit::CannotListen;
    }
    if (tls.enabled())
        err << "scktsrvr: encrypted connections, certificate SHA-256 "
            << certificateDigest(tls.configuration.localCertificate())
            << (tls.allowPlain ? "; plain connections allowed too" : "") << Qt::endl;
    SocketRelay relay(moduleHostSocketName(programDir()), limits, tls);
    if (!relay.listen(port, &error)) {
        err << error << Qt::endl;
        return relayexit::CannotListen;
    }
    err << "scktsrvr: listening on port " << relay.port() << Qt::endl;
    return app.exec();
}
