#include "PasswordHash.h"

#include <QRandomGenerator>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace korvane {

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
// A stored work factor outside this range is not one we wrote: refusing it keeps a damaged
// row from tying up the server.
constexpr int kMinIterations = 1;
constexpr int kMaxIterations = 10000000;

struct ParsedHash
{
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &stored, ParsedHash *out)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts.at(1).toInt(&ok);
    if (!ok || iterations < kMinIterations || iterations > kMaxIterations)
        return false;
    const auto strict = QByteArray::AbortOnBase64DecodingErrors;
    const auto salt = QByteArray::fromBase64Encoding(parts.at(2).toLatin1(), strict);
    const auto key = QByteArray::fromBase64Encoding(parts.at(3).toLatin1(), strict);
    if (!salt || !key || salt.decoded.isEmpty() || key.decoded.size() != PasswordHash::kKeyBytes)
        return false;
    *out = {iterations, salt.decoded, key.decoded};
    return true;
}

QByteArray deriveKey(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray secret = password.toUtf8();
    QByteArray key(PasswordHash::kKeyBytes, Qt::Uninitialized);
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                     reinterpret_cast<const unsigned char *>(salt.constData()),
                                     int(salt.size()), iterations, EVP_sha256(), int(key.size()),
                                     reinterpret_cast<unsigned char *>(key.data()));
    return ok == 1 ? key : QByteArray();
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), a.size()) == 0;
}

} // namespace

QString PasswordHash::hash(const QString &password)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return hash(password, salt, kIterations);
}

QString PasswordHash::hash(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray key = deriveKey(password, salt, iterations);
    return kScheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$') +
           QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') +
           QString::fromLatin1(key.toBase64());
}

bool PasswordHash::isHash(const QString &stored)
{
    ParsedHash parsed;
    return parse(stored, &parsed);
}

bool PasswordHash::verify(const QString &password, const QString &stored)
{
    if (stored.isEmpty())
        return false;
    ParsedHash parsed;
    if (!parse(stored, &parsed))
        return sameBytes(password.toUtf8(), stored.toUtf8());
    const QByteArray key = deriveKey(password, parsed.salt, parsed.iterations);
    return !key.isEmpty() && sameBytes(key, parsed.key);
}

} // namespace korvane
