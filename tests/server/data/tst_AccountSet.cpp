#include "AccountSet.h"
#include "AccountSetSite.h"
#include "ConnectionString.h"
#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace korvane;

static const QByteArray kScript =
    "-- seed; with a comment\n"
    "CREATE TABLE t (code varchar(4) PRIMARY KEY, name varchar(20));\n"
    "INSERT INTO t VALUES ('01', '人民币;元');\n"
    "INSERT INTO t VALUES ('02', 'it''s');\n";

class tst_AccountSet : public QObject
{
    Q_OBJECT

private slots:
    void restoreCreatesTheAccountSetOnce_data() { test::addBackendRows(); }
    void restoreCreatesTheAccountSetOnce()
    {
        QFETCH(QString, backend);
        Site site(backend);
        AccountSet set(site.server(), site.catalog());
        QString error;
        QVERIFY2(set.connect(&error), qPrintable(error));
        QCOMPARE(set.exists(&error), std::optional<bool>(false));
        QVERIFY2(set.restore(site.script(kScript), &error), qPrintable(error));
        QCOMPARE(set.exists(&error), std::optional<bool>(true));
        QCOMPARE(site.rows(), QStringLiteral("01=人民币;元 02=it's"));

        // A second restore finds it and leaves it as it is.
        QVERIFY(!set.restore(site.script("DROP TABLE t;"), &error));
        QVERIFY(error.contains(site.catalog()));
        QCOMPARE(site.rows(), QStringLiteral("01=人民币;元 02=it's"));
    }

    void emptyScriptIsAValidAccountSet_data() { test::addBackendRows(); }
    void emptyScriptIsAValidAccountSet()
    {
        QFETCH(QString, backend);
        Site site(backend);
        AccountSet set(site.server(), site.catalog());
        QString error;
        QVERIFY2(set.connect(&error), qPrintable(error));
        QVERIFY2(set.restore(site.script(""), &error), qPrintable(error));
        QCOMPARE(set.exists(&error), std::optional<bool>(true));
    }

    void failedRestoreLeavesNothing_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("scriptMissing");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<bool>("fillRefused");
        const QByteArray broken = kScript + "INSERT INTO nowhere VALUES (1);\n";
        QStringList backends{QStringLiteral("sqlite")};
        if (!test::pgHost().isEmpty())
            backends << QStringLiteral("postgresql");
        for (const QString &b : backends) {
            QTest::addRow("%s: failing statement", qPrintable(b))
                << b << broken << false << "" << false;
            QTest::addRow("%s: missing BK", qPrintable(b))
                << b << QByteArray() << true << "" << false;
            QTest::addRow("%s: unsafe catalogue name", qPrintable(b))
                << b << kScript << false << "QUV\"; DROP DATABASE postgres; --" << false;
            // Rows written after the script belong to the same creation.
            QTest::addRow("%s: refused added rows", qPrintable(b))
                << b << kScript << false << "" << true;
        }
    }
    void failedRestoreLeavesNothing()
    {
        QFETCH(QString, backend);
        QFETCH(QByteArray, script);
        QFETCH(bool, scriptMissing);
        QFETCH(QString, catalog);
        QFETCH(bool, fillRefused);
        Site site(backend);
        const QString name = catalog.isEmpty() ? site.catalog() : catalog;
        AccountSet set(site.server(), name);
        QString error;
        QVERIFY2(set.connect(&error), qPrintable(error));
        const QString path =
            scriptMissing ? QStringLiteral("/nonexistent/BK") : site.script(script);
        const AccountSet::Filler refusing = [](QSqlDatabase db, QString *why) {
            QSqlQuery(db).exec(QStringLiteral("INSERT INTO t (code, name) VALUES ('9', 'x')"));
            *why = QStringLiteral("refused");
            return false;
        };
        QVERIFY(!set.restore(path, &error, fillRefused ? refusing : AccountSet::Filler()));
        QVERIFY(!error.isEmpty());
        QCOMPARE(set.exists(&error), std::optional<bool>(false));
        if (backend == QLatin1String("sqlite"))
            QCOMPARE(site.folderEntries(), scriptMissing ? QStringList() : QStringList{"BK"});
    }

    void unreachableServerIsReported_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("user");
        QTest::newRow("missing folder") << "QSQLITE"
                                        << "/nonexistent/korvane"
                                        << "sa";
        if (!test::pgHost().isEmpty()) {
            QTest::newRow("nobody listening") << "QPSQL"
                                              << "127.0.0.1:1"
                                              << "postgres";
            QTest::newRow("unknown login")
                << "QPSQL" << test::pgHost() + ":" + QString::number(test::pgPort())
                << "no_such_login_h1";
        }
    }
    void unreachableServerIsReported()
    {
        QFETCH(QString, driver);
        QFETCH(QString, dataSource);
        QFETCH(QString, user);
        ConnectionSettings s;
        s.driver = driver;
        s.dataSource = dataSource;
        s.userId = user;
        s.catalog = QStringLiteral("Master");
        AccountSet set(connectionInfo(s, QStringLiteral("/nonexistent/BIN")),
                       QStringLiteral("QUV"));
        QString error;
        QVERIFY(!set.connect(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!set.isConnected());
        QVERIFY(!set.exists(&error).has_value());
    }

    void scriptIsBesideTheProgramFolder()
    {
        QCOMPARE(AccountSet::scriptPath("/site/BIN"), QStringLiteral("/site/DB/BK"));
        QCOMPARE(AccountSet::scriptPath("/site/app"), QStringLiteral("/site/app/BK"));
    }
};

QTEST_GUILESS_MAIN(tst_AccountSet)
#include "tst_AccountSet.moc"
