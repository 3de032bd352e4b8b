#include "ConnectionString.h"
#include "PlantIni.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;

class tst_ConnectionString : public QObject
{
    Q_OBJECT

private slots:
    void replacePlaceholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "Data Source=x"
                              << "Data Source=x";
        QTest::newRow("every occurrence") << ":PWD/:PWD"
                                          << "secret/secret";
        QTest::newRow("any case") << ":pwd,:UserId"
                                  << "secret,sa";
        QTest::newRow("value holding a placeholder stays")
            << "User=:USERID;Password=:PWD;Catalog=:CATALOG"
            << "User=sa;Password=secret;Catalog=a:USERIDb";
        QTest::newRow("adjacent") << ":USERID:PWD"
                                  << "sasecret";
        QTest::newRow("lone colon") << "a:b:"
                                    << "a:b:";
    }
    void replacePlaceholders()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Placeholders values = {
            {":PWD", "secret"}, {":USERID", "sa"}, {":CATALOG", "a:USERIDb"}};
        QCOMPARE(korvane::replacePlaceholders(text, values), expected);
    }

    void connectionInfo_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("conType");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("expDriver");
        QTest::addColumn<QString>("expDatabase");
        QTest::addColumn<QString>("expHost");
        QTest::addColumn<int>("expPort");
        QTest::addColumn<QString>("expUser");
        QTest::addColumn<QString>("expPassword");
        QTest::newRow("embedded default") << "QSQLITE"
                                          << "1"
                                          << "x"
                                          << "QUV"
                                          << "127.0.0.1"
                                          << "QSQLITE"
                                          << "/site/DB/QUV.db"
                                          << "" << -1 << ""
                                          << "";
        QTest::newRow("embedded label") << "QSQLITE"
                                        << "1"
                                        << "x"
                                        << "QUV" << embeddedDataSourceLabel() << "QSQLITE"
                                        << "/site/DB/QUV.db"
                                        << "" << -1 << ""
                                        << "";
        QTest::newRow("embedded in a folder") << "QSQLITE"
                                              << "1"
                                              << "x"
                                              << "T1"
                                              << "/data/k"
                                              << "QSQLITE"
                                              << "/data/k/T1.db"
                                              << "" << -1 << ""
                                              << "";
        QTest::newRow("embedded server is its folder") << "QSQLITE"
                                                       << "1"
                                                       << "x"
                                                       << "Master"
                                                       << "127.0.0.1"
                                                       << "QSQLITE"
                                                       << "/site/DB"
                                                       << "" << -1 << ""
                                                       << "";
        QTest::newRow("postgres user and password") << "QPSQL"
                                                    << "1"
                                                    << "pw"
                                                    << "QUV"
                                                    << "db.example:5433"
                                                    << "QPSQL"
                                                    << "QUV"
                                                    << "db.example" << 5433 << "sa"
                                                    << "pw";
        QTest::newRow("postgres default port") << "qpsql"
                                               << "1"
                                               << "pw"
                                               << "QUV"
                                               << "10.0.0.5"
                                               << "QPSQL"
                                               << "QUV"
                                               << "10.0.0.5" << -1 << "sa"
                                               << "pw";
        QTest::newRow("postgres integrated: no name, no password") << "QPSQL"
                                                                   << "0"
                                                                   << "pw"
                                                                   << "QUV"
                                                                   << "h"
                                                                   << "QPSQL"
                                                                   << "QUV"
                                                                   << "h" << -1 << ""
                                                                   << "";
        QTest::newRow("postgres server is its maintenance database") << "QPSQL"
                                                                     << "1"
                                                                     << "pw"
                                                                     << "master"
                                                                     << "h"
                                                                     << "QPSQL"
                                                                     << "postgres"
                                                                     << "h" << -1 << "sa"
                                                                     << "pw";
        QTest::newRow("password holding a placeholder reaches the database unchanged")
            << "QPSQL"
            << "1"
            << "a:USERID;b=:catalog"
            << "QUV"
            << "h"
            << "QPSQL"
            << "QUV"
            << "h" << -1 << "sa"
            << "a:USERID;b=:catalog";
    }
    void connectionInfo()
    {
        QFETCH(QString, driver);
        QFETCH(QString, conType);
        QFETCH(QString, password);
        QFETCH(QString, catalog);
        QFETCH(QString, dataSource);
        ConnectionSettings s;
        s.driver = driver;
        s.conType = conType;
        s.password = password;
        s.catalog = catalog;
        s.dataSource = dataSource;
        const DbConnectionInfo info = korvane::connectionInfo(s, QStringLiteral("/site/BIN"));
        QTEST(info.driver, "expDriver");
        QTEST(info.databaseName, "expDatabase");
        QTEST(info.hostName, "expHost");
        QTEST(info.port, "expPort");
        QTEST(info.userName, "expUser");
        QTEST(info.password, "expPassword");
    }

    void settingsFromPlantIni()
    {
        QTemporaryDir dir;
        PlantIni ini(dir.filePath(QStringLiteral("Plant.ini")));
        ConnectionSettings s = ConnectionSettings::fromPlantIni(ini);
        QCOMPARE(s.driver, QStringLiteral("QSQLITE"));
        QCOMPARE(s.conType, QStringLiteral("1"));
        QCOMPARE(s.password.size(), 1);
        QCOMPARE(s.userId, QStringLiteral("sa"));
        QCOMPARE(s.catalog, QStringLiteral("QUV"));
        QCOMPARE(s.dataSource, QStringLiteral("127.0.0.1"));
        QCOMPARE(s.workstation, QStringLiteral("127.0.0.1"));

        QVERIFY(ini.write("korvane", "driver", "qpsql"));
        QVERIFY(ini.write("KORVANE", "CONTYPE", "0"));
        QVERIFY(ini.write("KORVANE", "pwd", "p"));
        QVERIFY(ini.write("KORVANE", "UserID", "u"));
        QVERIFY(ini.write("KORVANE", "Catalog", "C"));
        QVERIFY(ini.write("KORVANE", "DataSource", "d"));
        QVERIFY(ini.write("KORVANE", "WorkStation", "w"));
        s = ConnectionSettings::fromPlantIni(ini);
        QCOMPARE(s.driver, QStringLiteral("QPSQL"));
        QVERIFY(s.integratedSecurity());
        QCOMPARE(s.password + s.userId + s.catalog + s.dataSource + s.workstation,
                 QStringLiteral("puCdw"));
    }

    void accountSetFolder_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("BIN") << "/opt/k/BIN"
                             << "/opt/k/DB";
        QTest::newRow("bin, trailing slash") << "/opt/k/bin/"
                                             << "/opt/k/DB";
        QTest::newRow("no BIN folder") << "/opt/k"
                                       << "/opt/k";
        QTest::newRow("bin only as the last folder counts") << "/usr/bin/k"
                                                            << "/usr/bin/k";
        QTest::newRow("bin inside a name") << "/home/robin"
                                           << "/home/robin";
    }
    void accountSetFolder()
    {
        QFETCH(QString, programDir);
        QTEST(korvane::accountSetFolder(programDir), "expected");
    }

    void accountSetFolderKeepsTheSiblingsSpelling()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Bin"));
        QVERIFY(QDir(dir.path()).mkdir("db"));
        QCOMPARE(korvane::accountSetFolder(dir.filePath("Bin")), dir.filePath("db"));
    }

    void driverForDataSource_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("embedded entry") << embeddedDataSourceLabel() << "QSQLITE";
        QTest::newRow("folder") << "/srv/korvane"
                                << "QSQLITE";
        QTest::newRow("host") << "127.0.0.1"
                              << "QPSQL";
        QTest::newRow("host and port") << "db:5432"
                                       << "QPSQL";
    }
    void driverForDataSource()
    {
        QFETCH(QString, text);
        QTEST(korvane::driverForDataSource(text), "expected");
    }

    void catalogNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("QUV") << "QUV" << true;
        QTest::newRow("test name") << "korvane_t_1a2b" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("quote") << "QUV\"; DROP DATABASE x; --" << false;
        QTest::newRow("path") << "../QUV" << false;
        QTest::newRow("blank") << "Q UV" << false;
    }
    void catalogNames()
    {
        QFETCH(QString, name);
        QTEST(isValidCatalogName(name), "valid");
    }
};

QTEST_GUILESS_MAIN(tst_ConnectionString)
#include "tst_ConnectionString.moc"
