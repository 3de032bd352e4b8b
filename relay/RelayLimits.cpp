#include "RelayLimits.h"

#include "PlantIni.h"

#include <cmath>

namespace korvane {

namespace {

const QString kSection = QStringLiteral("SCKTSRVR");

void note(QString *warnings, const QString &key, const QString &text)
{
    if (warnings)
        *warnings += QStringLiteral("Plant.ini [SCKTSRVR] %1: \"%2\" is not a positive number; "
                                    "the default is kept\n")
                         .arg(key, text);
}

//! A positive number of the key, scaled; the default when absent or unreadable.
template <typename T>
T readPositive(const PlantIni &ini, const char *key, T fallback, double scale, QString *warnings)
{
    const QString name = QString::fromLatin1(key);
    const QString text = ini.read(kSection, name);
    if (text.isEmpty())
        return fallback;
    bool ok = false;
    const double value = text.toDouble(&ok) * scale;
    if (!ok || !std::isfinite(value) || value < 1 || value > 1e12) {
        note(warnings, name, text);
        return fallback;
    }
    return T(std::llround(value));
}

} // namespace

RelayLimits relayLimits(const QString &plantIniPath, QString *warnings)
{
    const PlantIni ini(plantIniPath);
    RelayLimits limits;
    limits.openTimeoutMs = readPositive(ini, "OpenTimeout", limits.openTimeoutMs, 1000.0, warnings);
    limits.frameTimeoutMs =
        readPositive(ini, "FrameTimeout", limits.frameTimeoutMs, 1000.0, warnings);
    limits.minByteRate = readPositive(ini, "MinByteRate", limits.minByteRate, 1.0, warnings);
    limits.maxConnections =
        readPositive(ini, "MaxConnections", limits.maxConnections, 1.0, warnings);
    limits.maxConnectionsPerAddress = readPositive(ini, "MaxConnectionsPerAddress",
                                                   limits.maxConnectionsPerAddress, 1.0, warnings);
    return limits;
}

} // namespace korvane
