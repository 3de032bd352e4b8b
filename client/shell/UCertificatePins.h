#pragma once
//! The client's pinned server certificates, kept in its Plant.ini, section CERTIFICATES, one
//! "host:port=digest" line per server.

#include "LumoCertificatePins.h"

class TPlantIniCertificatePins : public TLumoCertificatePins
{
public:
    explicit TPlantIniCertificatePins(QString plantIniPath);
    QString pinned(const QString &address) const override;
    void pin(const QString &address, const QString &digest) override;

private:
    QString m_path;
};
