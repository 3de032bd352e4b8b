#include "UCertificatePins.h"

#include "PlantIni.h"

#include <QLoggingCategory>

namespace {

const QString kSection = QStringLiteral("CERTIFICATES");

} // namespace

TPlantIniCertificatePins::TPlantIniCertificatePins(QString plantIniPath)
    : m_path(std::move(plantIniPath))
{}

QString TPlantIniCertificatePins::pinned(const QString &address) const
{
    return korvane::PlantIni(m_path).read(kSection, address);
}

void TPlantIniCertificatePins::pin(const QString &address, const QString &digest)
{
    QString error;
    if (!korvane::PlantIni(m_path).write(kSection, address, digest, &error))
        // The connection goes on; the pin holds for this run only.
        qWarning("the certificate of %s is not kept: %s", qPrintable(address), qPrintable(error));
    else
        qInfo("the certificate of %s (SHA-256 %s) is kept in %s", qPrintable(address),
              qPrintable(digest), qPrintable(m_path));
}
