#include "RelayCertificate.h"

#include "PlantIni.h"
#include "RelayLobby.h"

#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QSaveFile>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace korvane {

namespace {

const QString kCertificateFile = QStringLiteral("scktsrvr.crt");
const QString kKeyFile = QStringLiteral("scktsrvr.key");
constexpr long ValidDays = 20 * 365;

template <typename T, void (*Free)(T *)> struct Deleter
{
    void operator()(T *p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

QByteArray bioBytes(BIO *bio)
{
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, qsizetype(size));
}

//! A P-256 key and a certificate signed with it, both as PEM; false when OpenSSL fails.
bool makeIdentity(QByteArray *certificatePem, QByteArray *keyPem)
{
    KeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    CertPtr cert(X509_new());
    if (!key || !cert)
        return false;
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), long(QDateTime::currentSecsSinceEpoch()));
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), ValidDays * 24 * 3600);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME *name = X509_get_subject_name(cert.get());
    const QByteArray commonName = ("Korvane " + QHostInfo::localHostName()).toUtf8().left(64);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char *>(commonName.constData()),
                               int(commonName.size()), -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0)
        return false;
    BioPtr certBio(BIO_new(BIO_s_mem()));
    BioPtr keyBio(BIO_new(BIO_s_mem()));
    if (!certBio || !keyBio || PEM_write_bio_X509(certBio.get(), cert.get()) != 1 ||
        PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1)
        return false;
    *certificatePem = bioBytes(certBio.get());
    *keyPem = bioBytes(keyBio.get());
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes, QFile::Permissions permissions,
               QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(permissions) &&
        file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

bool relayIdentity(const QString &dir, RelayIdentity *identity, QString *error)
{
    const QString certificatePath = QDir(dir).filePath(kCertificateFile);
    const QString keyPath = QDir(dir).filePath(kKeyFile);
    if (!QFile::exists(certificatePath) && !QFile::exists(keyPath)) {
        QByteArray certificatePem, keyPem;
        if (!makeIdentity(&certificatePem, &keyPem)) {
            *error = QStringLiteral("cannot make the relay's certificate (OpenSSL failed)");
            return false;
        }
        // The key first: a certificate without its key would stop every later start.
        if (!writeFile(keyPath, keyPem, QFile::ReadOwner | QFile::WriteOwner, error) ||
            !writeFile(certificatePath, certificatePem,
                       QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther,
                       error))
            return false;
    }
    identity->certificate = QSslCertificate(readFile(certificatePath), QSsl::Pem);
    identity->key = QSslKey(readFile(keyPath), QSsl::Ec, QSsl::Pem);
    if (identity->certificate.isNull() || identity->key.isNull()) {
        *error = QStringLiteral("%1 and %2 in %3 are not a certificate and its key; remove both "
                                "to have new ones made (clients will then be told that the "
                                "certificate changed)")
                     .arg(kCertificateFile, kKeyFile, QDir::toNativeSeparators(dir));
        return false;
    }
    return true;
}

bool relayTls(const QString &plantIniPath, const QString &dir, RelayTls *tls, QString *error)
{
    const PlantIni ini(plantIniPath);
    const QString section = QStringLiteral("SCKTSRVR");
    *tls = RelayTls();
    if (!ini.readBool(section, QStringLiteral("Tls"), true))
        return true; // plain only
    RelayIdentity identity;
    if (!relayIdentity(dir, &identity, error))
        return false;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity.certificate);
    configuration.setPrivateKey(identity.key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls->configuration = configuration;
    tls->allowPlain = ini.readBool(section, QStringLiteral("AllowPlain"), false);
    return true;
}

QString certificateDigest(const QSslCertificate &certificate)
{
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
}

} // namespace korvane
