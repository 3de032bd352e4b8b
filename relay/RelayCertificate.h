#pragma once
//! The relay's own certificate and key, kept beside Plant.ini as scktsrvr.crt and
//! scktsrvr.key (readable by their owner only). Made on the first start that finds none: a
//! self-signed certificate that clients pin on their first connection.

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

namespace korvane {

struct RelayIdentity
{
    QSslCertificate certificate;
    QSslKey key;
};

//! Loads the certificate and key of the folder, making them first when both are missing;
//! false with the reason in *error when they cannot be read or made.
bool relayIdentity(const QString &dir, RelayIdentity *identity, QString *error);

struct RelayTls;

//! What Plant.ini section SCKTSRVR asks for: `Tls` (1, the default: encrypted connections with
//! the folder's identity) and `AllowPlain` (0, the default: plain peers are refused; 1 lets
//! them in too, for sites that need it). False with *error when the identity is unusable.
bool relayTls(const QString &plantIniPath, const QString &dir, RelayTls *tls, QString *error);

//! The hexadecimal SHA-256 digest of a certificate, as clients pin it.
QString certificateDigest(const QSslCertificate &certificate);

} // namespace korvane
