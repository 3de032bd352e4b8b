#pragma once
//! Salted password hashes as stored in XPSEmp.PWD.
//! Text form: "pbkdf2-sha256$<iterations>$<salt, base64>$<derived key, base64>", with a
//! 16-byte random salt, a 32-byte key and 600,000 iterations of HMAC-SHA256.
//! A stored value that is not of this form is a plain-text password of an older account
//! set: it is still accepted once, and the login replaces it by its hash.

#include <QByteArray>
#include <QString>

namespace korvane {

class PasswordHash
{
public:
    static constexpr int kIterations = 600000;
    static constexpr int kSaltBytes = 16;
    static constexpr int kKeyBytes = 32;

    //! A fresh hash of the password with a random salt.
    static QString hash(const QString &password);
    //! The hash of the password with the given salt and work factor (for seed rows and tests).
    static QString hash(const QString &password, const QByteArray &salt, int iterations);

    //! Whether the stored value is a well-formed hash (and not a plain-text password).
    static bool isHash(const QString &stored);

    //! Whether the password matches the stored value, hashed or plain text. An empty
    //! stored value matches nothing.
    static bool verify(const QString &password, const QString &stored);
};

} // namespace korvane
