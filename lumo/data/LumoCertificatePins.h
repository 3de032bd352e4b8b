#pragma once
//! Which certificate each server showed on its first connection: a connection refuses a server
//! whose certificate has changed since. The default store keeps the pins for the run of the
//! program; the client shell keeps them in its Plant.ini.

#include <QString>

class TLumoCertificatePins
{
public:
    virtual ~TLumoCertificatePins() = default;
    //! The pinned SHA-256 digest (hexadecimal) of the server at "host:port"; empty when none.
    virtual QString pinned(const QString &address) const = 0;
    virtual void pin(const QString &address, const QString &digest) = 0;

    //! The store of the run, shared by every connection that has no other.
    static TLumoCertificatePins &forThisRun();
};
