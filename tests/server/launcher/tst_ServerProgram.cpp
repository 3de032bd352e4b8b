#include "ClassRegistry.h"
#include "InstanceNames.h"
#include "PlantIni.h"
#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace korvane;

//! A temporary install tree (BIN with the built Korvane, DB with the shipped BK) whose
//! machine-wide names are its own.
class InstallTree
{
public:
    InstallTree()
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("BIN"));
        root.mkpath(QStringLiteral("DB"));
        m_ok = QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/Korvane"),
                           bin() + QStringLiteral("/Korvane")) &&
               QFile::copy(QStringLiteral(KORVANE_DB_DIR "/BK"),
                           m_dir.filePath(QStringLiteral("DB/BK")));
        m_instance = QUuid::createUuid().toString(QUuid::Id128).left(12).toUtf8();
    }
    ~InstallTree()
    {
        if (!m_catalog.isEmpty()) {
            QSqlQuery q(test::pgAdmin());
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_catalog));
        }
    }
    bool isComplete() const { return m_ok; }
    QString bin() const { return m_dir.filePath(QStringLiteral("BIN")); }
    PlantIni ini() const { return PlantIni(bin() + QStringLiteral("/Plant.ini")); }
    QString dbFolder() const { return m_dir.filePath(QStringLiteral("DB")); }

    //! Arguments that create the account set on the backend; PostgreSQL gets its own catalogue.
    QStringList createArguments(const QString &backend)
    {
        if (backend != QLatin1String("postgresql"))
            return {QStringLiteral("--create-account-set")};
        m_catalog = QStringLiteral("korvane_h1_") + QString::fromLatin1(m_instance).toLower();
        ini().write(QStringLiteral("KORVANE"), QStringLiteral("CATALOG"), m_catalog);
        return {QStringLiteral("--create-account-set"), QStringLiteral("--server"),
                test::pgHost() + QLatin1Char(':') + QString::number(test::pgPort()),
                QStringLiteral("--user"), QStringLiteral("postgres")};
    }

    void prepare(QProcess &process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVANE_INSTANCE"), QString::fromLatin1(m_instance));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProgram(bin() + QStringLiteral("/Korvane"));
        process.setWorkingDirectory(m_dir.path()); // not BIN: the program finds its own folder
    }

    //! Runs Korvane to its end; returns the exit code, standard error in *err.
    int run(const QStringList &arguments, QString *err = nullptr) const
    {
        QProcess process;
        prepare(process);
        process.setArguments(arguments);
        process.start();
        if (!process.waitForFinished(60000))
            return -1;
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    //! The module host's socket, named the way the running server names it.
    QString socketName() const
    {
        const QByteArray saved = qgetenv("KORVANE_INSTANCE");
        qputenv("KORVANE_INSTANCE", m_instance);
        const QString name = moduleHostSocketName(bin());
        qputenv("KORVANE_INSTANCE", saved);
        return name;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_instance;
    QString m_catalog;
    bool m_ok = false;
};

class tst_ServerProgram : public QObject
{
    Q_OBJECT

private slots:
    void createAccountSetWithoutAWindow_data() { test::addBackendRows(); }
    void createAccountSetWithoutAWindow()
    {
        QFETCH(QString, backend);
        InstallTree tree;
        QVERIFY2(tree.isComplete(), "build Korvane and korvane_backup first");
        const QStringList args = tree.createArguments(backend);
        QString err;
        QCOMPARE(tree.run(args, &err), 0);
        QVERIFY2(err.contains(QStringLiteral("创建套帐成功！请重新启动本软件。")), qPrintable(err));
        QCOMPARE(tree.ini().read("KORVANE", "DBREADY"), QStringLiteral("1"));
        if (backend == QLatin1String("sqlite"))
            QVERIFY(QFile::exists(tree.dbFolder() + QStringLiteral("/QUV.db")));

        // Once ready, the same command only tests the connection.
        QCOMPARE(tree.run(args, &err), 0);
        QVERIFY2(err.contains(QStringLiteral("测试连接成功！")), qPrintable(err));
    }

    void failuresEndWithAnErrorStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder")
            << QStringList{"--create-account-set", "--server", "/nonexistent/h1"} << 1
            << "连接数据库失败！请检查配置是否正确！";
        QTest::newRow("nobody listening")
            << QStringList{"--create-account-set", "--server", "127.0.0.1:1"} << 1
            << "连接数据库失败！请检查配置是否正确！";
        QTest::newRow("unknown option")
            << QStringList{"--create-account-set", "--bogus"} << 2 << "unknown option: --bogus";
        QTest::newRow("service without account set")
            << QStringList{"--service"} << 1 << "套帐尚未创建";
        QTest::newRow("backup without account set")
            << QStringList{"--backup", "/tmp/korvane-never-written.db"} << 1 << "套帐尚未创建";
        QTest::newRow("restore from a foreign file")
            << QStringList{"--restore", QStringLiteral(KORVANE_DB_DIR "/BK")} << 1
            << "不是本系统的套帐备份";
    }
    void failuresEndWithAnErrorStatus()
    {
        QFETCH(QStringList, arguments);
        InstallTree tree;
        QVERIFY(tree.isComplete());
        QString err;
        QTEST(tree.run(arguments, &err), "status");
        QFETCH(QString, message);
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(tree.ini().read("KORVANE", "DBREADY", "<none>"), QStringLiteral("<none>"));
    }

    void backupWhileServingRestoresIntoANewInstall_data() { test::addBackendRows(); }
    void backupWhileServingRestoresIntoANewInstall()
    {
        QFETCH(QString, backend);
        InstallTree first;
        QVERIFY(first.isComplete());
        QString err;
        QCOMPARE(first.run(first.createArguments(backend) << QStringLiteral("--demo"), &err), 0);
        QProcess service;
        first.prepare(service);
        service.setArguments({QStringLiteral("--service")});
        service.start();
        QVERIFY(service.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QLocalSocket probe;
                probe.connectToServer(first.socketName());
                return probe.waitForConnected(200);
            }(),
            20000);
        // The running server holds the install; a backup is taken all the same.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("nightly"));
        QCOMPARE(first.run({QStringLiteral("--backup"), file}, &err), 0);
        QVERIFY2(err.contains(QStringLiteral("备份数据完成")), qPrintable(err));
        service.terminate();
        QVERIFY(service.waitForFinished(20000));

        InstallTree second;
        QVERIFY(second.isComplete());
        QStringList restore = second.createArguments(backend);
        restore.replace(0, QStringLiteral("--restore"));
        restore.insert(1, file);
        QCOMPARE(second.run(restore, &err), 0);
        QVERIFY2(err.contains(QStringLiteral("恢复套帐成功")), qPrintable(err));
        QCOMPARE(second.ini().read("KORVANE", "DBREADY", "<none>"), QStringLiteral("1"));
        // A restore never replaces an account set.
        QCOMPARE(second.run(restore, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("套帐已存在")), qPrintable(err));
    }

    void registrationSwitches()
    {
        InstallTree tree;
        QVERIFY(tree.isComplete());
        QCOMPARE(tree.run({QStringLiteral("-regserver")}), 0);
        QVERIFY(isClassRegisteredForSockets(tree.bin(), QStringLiteral("Korvane.BaseRDM")));
        QCOMPARE(tree.run({QStringLiteral("/UnRegServer")}), 0);
        QVERIFY(!isClassRegisteredForSockets(tree.bin(), QStringLiteral("Korvane.BaseRDM")));
    }

    void secondStartSaysItRunsAndTouchesNothing()
    {
        InstallTree tree;
        QVERIFY(tree.isComplete());
        QCOMPARE(tree.run(tree.createArguments(QStringLiteral("sqlite"))), 0);
        QProcess first;
        tree.prepare(first);
        first.setArguments({QStringLiteral("--service")});
        first.start();
        QVERIFY(first.waitForStarted());
        // The service registers its classes and listens for the relay.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QLocalSocket probe;
                probe.connectToServer(tree.socketName());
                return probe.waitForConnected(200);
            }(),
            20000);
        QVERIFY(isClassRegisteredForSockets(tree.bin(), QStringLiteral("Korvane.RPTRDM")));
        QVERIFY(QFile::remove(tree.bin() + QStringLiteral("/Korvane.reg")));

        QString err;
        QCOMPARE(tree.run({QStringLiteral("--service")}, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("系统已运行！")), qPrintable(err));
        QCOMPARE(tree.run({QStringLiteral("-regserver")}, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("系统已运行！")), qPrintable(err));
        QVERIFY(!QFile::exists(tree.bin() + QStringLiteral("/Korvane.reg")));

        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        // With the first one gone, the install starts again.
        QCOMPARE(tree.run({QStringLiteral("-regserver")}), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ServerProgram)
#include "tst_ServerProgram.moc"
