// Salted password hashes: a known PBKDF2-HMAC-SHA256 vector, round trips, the plain-text
// values of older account sets, and stored values that are damaged.

#include "PasswordHash.h"

#include <QTest>

using namespace korvane;

class tst_PasswordHash : public QObject
{
    Q_OBJECT

private slots:
    void matchesPublishedVector()
    {
        // RFC 7914, section 11: P = "passwd", S = "salt", c = 1 (first 32 bytes of the key).
        const QString text = PasswordHash::hash(QStringLiteral("passwd"), "salt", 1);
        const QByteArray key = QByteArray::fromBase64(text.section(QLatin1Char('$'), 3).toLatin1());
        QCOMPARE(key.toHex(),
                 QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"));
    }

    void freshHashUsesSaltAndFullWork()
    {
        const QString a = PasswordHash::hash(QStringLiteral("0001"));
        const QString b = PasswordHash::hash(QStringLiteral("0001"));
        QVERIFY(a != b); // a new salt each time
        QVERIFY(a.startsWith(QLatin1String("pbkdf2-sha256$600000$")));
        QVERIFY(PasswordHash::isHash(a));
        QVERIFY(PasswordHash::verify(QStringLiteral("0001"), a));
        QVERIFY(PasswordHash::verify(QStringLiteral("0001"), b));
        QVERIFY(!PasswordHash::verify(QStringLiteral("0002"), a));
        QVERIFY(!a.contains(QLatin1String("0001$")));
    }

    void verify_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("matches");
        const QString h = PasswordHash::hash(QStringLiteral("秘密pw"), "0123456789abcdef", 10);
        QTest::newRow("hash, right") << QStringLiteral("秘密pw") << h << true;
        QTest::newRow("hash, wrong") << QStringLiteral("秘密PW") << h << false;
        QTest::newRow("hash, empty password") << QString() << h << false;
        QTest::newRow("hash given as password") << h << h << false;
        QTest::newRow("plain, right") << QStringLiteral("0001") << QStringLiteral("0001") << true;
        QTest::newRow("plain, wrong case")
            << QStringLiteral("abc") << QStringLiteral("ABC") << false;
        QTest::newRow("plain, prefix") << QStringLiteral("000") << QStringLiteral("0001") << false;
        QTest::newRow("empty stored, empty password") << QString() << QString() << false;
        QTest::newRow("empty stored") << QStringLiteral("0001") << QString() << false;
    }
    void verify()
    {
        QFETCH(QString, password);
        QFETCH(QString, stored);
        QFETCH(bool, matches);
        QCOMPARE(PasswordHash::verify(password, stored), matches);
    }

    void damagedHashIsNotAHash_data()
    {
        QTest::addColumn<QString>("stored");
        const QString salt = QStringLiteral("MDEyMzQ1Njc4OWFiY2RlZg==");
        const QString key = QString::fromLatin1(QByteArray(32, 'k').toBase64());
        QTest::newRow("other scheme") << QStringLiteral("md5$10$") + salt + QLatin1Char('$') + key;
        QTest::newRow("no iterations")
            << QStringLiteral("pbkdf2-sha256$$") + salt + QLatin1Char('$') + key;
        QTest::newRow("zero iterations")
            << QStringLiteral("pbkdf2-sha256$0$") + salt + QLatin1Char('$') + key;
        QTest::newRow("absurd iterations")
            << QStringLiteral("pbkdf2-sha256$2000000000$") + salt + QLatin1Char('$') + key;
        QTest::newRow("bad base64") << QStringLiteral("pbkdf2-sha256$10$@@@$") + key;
        QTest::newRow("short key")
            << QStringLiteral("pbkdf2-sha256$10$") + salt + QStringLiteral("$a2V5");
        QTest::newRow("missing part") << QStringLiteral("pbkdf2-sha256$10$") + salt;
    }
    void damagedHashIsNotAHash()
    {
        QFETCH(QString, stored);
        QVERIFY(!PasswordHash::isHash(stored));
        // Read as plain text, it only matches itself: a damaged row never opens to anything else.
        QVERIFY(!PasswordHash::verify(QStringLiteral("0001"), stored));
        QVERIFY(!PasswordHash::verify(QString(), stored));
    }
};

QTEST_GUILESS_MAIN(tst_PasswordHash)
#include "tst_PasswordHash.moc"
