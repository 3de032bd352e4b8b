#include "AccountSet.h"
#include "Backup.h"
#include "ConnectionString.h"
#include "PlantIni.h"
#include "SrvMessage.h"
#include "TestDb.h"
#include "UDBLogIn.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace korvane;

//! A fresh install: BIN with Plant.ini, DB with the shipped script. On PostgreSQL the
//! account set gets a name of its own (CATALOG in Plant.ini), dropped at the end.
class Install
{
public:
    explicit Install(const QString &backend) : postgres(backend == QLatin1String("postgresql"))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("BIN"));
        QDir(m_dir.path()).mkpath(QStringLiteral("DB"));
        writeScript(
            "CREATE TABLE t (code varchar(4) PRIMARY KEY);\nINSERT INTO t VALUES ('01');\n");
        if (postgres) {
            catalog =
                QStringLiteral("korvane_h1_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
            ini().write(QStringLiteral("KORVANE"), QStringLiteral("CATALOG"), catalog);
            server = test::pgHost() + QLatin1Char(':') + QString::number(test::pgPort());
            user = QStringLiteral("postgres");
        } else {
            server = embeddedDataSourceLabel();
        }
    }
    ~Install()
    {
        if (postgres) {
            QSqlQuery q(test::pgAdmin());
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(catalog));
        }
    }
    QString bin() const { return m_dir.filePath(QStringLiteral("BIN")); }
    QString iniPath() const { return bin() + QStringLiteral("/Plant.ini"); }
    PlantIni ini() const { return PlantIni(iniPath()); }
    QString setting(const char *key) const
    {
        return ini().read(QStringLiteral("KORVANE"), QString::fromLatin1(key),
                          QStringLiteral("<none>"));
    }
    void writeScript(const QByteArray &text) const
    {
        QFile f(m_dir.filePath(QStringLiteral("DB/BK")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }
    void removeScript() const { QFile::remove(m_dir.filePath(QStringLiteral("DB/BK"))); }
    ConnectionSettings settings(const QString &catalogName) const
    {
        ConnectionSettings s;
        s.driver = driverForDataSource(server);
        s.dataSource = server;
        s.userId = user;
        s.password = QString();
        s.catalog = catalogName;
        return s;
    }
    bool accountSetExists() const
    {
        AccountSet set(connectionInfo(settings(QStringLiteral("Master")), bin()), catalog);
        QString error;
        return set.connect(&error) && set.exists(&error).value_or(false);
    }
    //! The number of rows of a table in the account set.
    int rows(const QString &table) const
    {
        const QString name = QStringLiteral("rows_") + QUuid::createUuid().toString(QUuid::Id128);
        int count = -1;
        {
            QString error;
            QSqlDatabase db = openDatabase(connectionInfo(settings(catalog), bin()), name, &error);
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table)) && q.next())
                count = q.value(0).toInt();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return count;
    }
    void useShippedScript() const
    {
        QFile shipped(QStringLiteral(KORVANE_DB_DIR "/BK"));
        shipped.open(QIODevice::ReadOnly);
        writeScript(shipped.readAll());
    }

    bool postgres;
    QString catalog = QStringLiteral("QUV");
    QString server;
    QString user = QStringLiteral("sa");

private:
    QTemporaryDir m_dir;
};

class tst_DBLogIn : public QObject
{
    Q_OBJECT

private:
    QStringList m_messages;

    template <typename T> static T *child(QWidget &dialog, const char *name)
    {
        return dialog.findChild<T *>(QString::fromLatin1(name));
    }
    static void fill(TfrmDBLogIn &dialog, const Install &install, bool integrated = false)
    {
        child<QComboBox>(dialog, "cbSrv")->setEditText(install.server);
        child<QRadioButton>(dialog, integrated ? "rb1" : "rb2")->click();
        if (!integrated) {
            child<QLineEdit>(dialog, "edtDBUser")->setText(install.user);
            child<QLineEdit>(dialog, "edtDBPWD")->setText(QStringLiteral("pw;:USERID"));
        }
    }
    static void clickOk(TfrmDBLogIn &dialog)
    {
        QTest::mouseClick(child<QPushButton>(dialog, "btnDB"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        setSrvMessageHandler([this](QWidget *, const SrvMessageText &m) { m_messages << m.text; });
        // Integrated security on PostgreSQL logs in as the account libpq is told about.
        qputenv("PGUSER", "postgres");
    }
    void init() { m_messages.clear(); }

    void opensOnTheLoginPanel()
    {
        Install install(QStringLiteral("sqlite"));
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        QCOMPARE(dialog.size(), QSize(432, 324));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("创建套帐"));
        QVERIFY(child<QWidget>(dialog, "pnlPWD")->isVisible());
        QVERIFY(!child<QWidget>(dialog, "pnlDownload")->isVisible());
        QVERIFY(!child<QWidget>(dialog, "pnlHint")->isVisible());
        QVERIFY(child<QRadioButton>(dialog, "rb2")->isChecked());
        QCOMPARE(child<QLineEdit>(dialog, "edtDBUser")->text(), QStringLiteral("sa"));
        QCOMPARE(child<QComboBox>(dialog, "cbSrv")->currentText(), embeddedDataSourceLabel());
        QCOMPARE(child<QLabel>(dialog, "lblTitle")->text(), QStringLiteral("[套帐创建]"));
        QVERIFY(child<QPushButton>(dialog, "btnDB")->isEnabled());
    }

    void integratedSecurityMakesLoginBoxesReadOnly()
    {
        Install install(QStringLiteral("sqlite"));
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        auto *user = child<QLineEdit>(dialog, "edtDBUser");
        auto *pwd = child<QLineEdit>(dialog, "edtDBPWD");
        child<QRadioButton>(dialog, "rb1")->click();
        QVERIFY(user->isReadOnly() && pwd->isReadOnly());
        QCOMPARE(pwd->property("TagStr").toString(), QStringLiteral("R"));
        QCOMPARE(pwd->focusPolicy(), Qt::NoFocus);
        child<QRadioButton>(dialog, "rb2")->click();
        QVERIFY(!pwd->isReadOnly());
    }

    void missingInputIsAskedFor_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::newRow("no server") << ""
                                   << "sa"
                                   << "请先选择SQL Server服务器！";
        QTest::newRow("blank server") << "  "
                                      << "sa"
                                      << "请先选择SQL Server服务器！";
        QTest::newRow("no user") << embeddedDataSourceLabel() << ""
                                 << "请先输入登录用户名！";
    }
    void missingInputIsAskedFor()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        Install install(QStringLiteral("sqlite"));
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        child<QComboBox>(dialog, "cbSrv")->setEditText(server);
        child<QLineEdit>(dialog, "edtDBUser")->setText(user);
        clickOk(dialog);
        QTEST(m_messages.join(QLatin1Char('|')), "message");
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(install.iniPath()));
    }

    void createsTheAccountSetAndSavesTheSettings_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("integrated");
        QStringList backends{QStringLiteral("sqlite")};
        if (!test::pgHost().isEmpty())
            backends << QStringLiteral("postgresql");
        for (const QString &b : backends) {
            QTest::addRow("%s, user and password", qPrintable(b)) << b << false;
            QTest::addRow("%s, integrated", qPrintable(b)) << b << true;
        }
    }
    void createsTheAccountSetAndSavesTheSettings()
    {
        QFETCH(QString, backend);
        QFETCH(bool, integrated);
        Install install(backend);
        {
            TfrmDBLogIn dialog(install.bin());
            dialog.show();
            fill(dialog, install, integrated);
            clickOk(dialog);
            QCOMPARE(m_messages, QStringList{"创建套帐成功！请重新启动本软件。"});
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(child<QPlainTextEdit>(dialog, "MemoHint")->toPlainText(),
                     QStringLiteral("连接数据库......成功！\n创建套帐......成功！"));
        }
        QVERIFY(install.accountSetExists());
        QCOMPARE(install.setting("DBREADY"), QStringLiteral("1"));
        QCOMPARE(install.setting("ConType"),
                 integrated ? QStringLiteral("0") : QStringLiteral("1"));
        // Integrated security leaves the boxes as they were, and they are saved all the same.
        QCOMPARE(install.setting("USERID"), integrated ? QStringLiteral("sa") : install.user);
        QCOMPARE(install.setting("PWD"), integrated ? QString() : QStringLiteral("pw;:USERID"));
        QCOMPARE(install.setting("CATALOG"), install.catalog);
        QCOMPARE(install.setting("DATASOURCE"), install.server);
        QCOMPARE(install.setting("WORKSTATION"), install.server);
        QCOMPARE(install.setting("DRIVER"),
                 install.postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"));

        // With the account set ready the dialog only tests and saves.
        m_messages.clear();
        TfrmDBLogIn again(install.bin());
        again.show();
        QCOMPARE(child<QLabel>(again, "lblTitle")->text(), QStringLiteral("SQL Server连接参数"));
        fill(again, install, integrated);
        clickOk(again);
        QCOMPARE(m_messages, QStringList{"测试连接成功！此设置在下次启动本软件时生效！"});
        QCOMPARE(again.result(), int(QDialog::Accepted));
    }

    void newAccountSetWithTheDemonstrationOrFromABackup_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("fromBackup");
        QStringList backends{QStringLiteral("sqlite")};
        if (!test::pgHost().isEmpty())
            backends << QStringLiteral("postgresql");
        for (const QString &b : backends) {
            QTest::addRow("%s, demonstration", qPrintable(b)) << b << false;
            QTest::addRow("%s, from a backup", qPrintable(b)) << b << true;
        }
    }
    void newAccountSetWithTheDemonstrationOrFromABackup()
    {
        QFETCH(QString, backend);
        QFETCH(bool, fromBackup);
        Install install(backend);
        install.useShippedScript();
        QTemporaryDir dir;
        const QString backup = dir.filePath(QStringLiteral("backup"));
        if (fromBackup) {
            // Another firm's account set on the same server, backed up and dropped again.
            Install other(backend);
            other.useShippedScript();
            TfrmDBLogIn first(other.bin());
            first.show();
            fill(first, other);
            child<QCheckBox>(first, "chkDemo")->setChecked(true);
            clickOk(first);
            QString error;
            QVERIFY2(backupAccountSet(connectionInfo(other.settings(other.catalog), other.bin()),
                                      backup, &error),
                     qPrintable(error));
            m_messages.clear();
        }
        {
            TfrmDBLogIn dialog(install.bin());
            dialog.setBackupFileChooser([&](QWidget *) { return backup; });
            dialog.show();
            QVERIFY(child<QCheckBox>(dialog, "chkDemo")->isVisible());
            QVERIFY(child<QPushButton>(dialog, "btnRestore")->isVisible());
            fill(dialog, install);
            if (fromBackup) {
                QTest::mouseClick(child<QPushButton>(dialog, "btnRestore"), Qt::LeftButton);
                QCOMPARE(m_messages, QStringList{"恢复套帐成功！请重新启动本软件。"});
            } else {
                child<QCheckBox>(dialog, "chkDemo")->setChecked(true);
                clickOk(dialog);
                QCOMPARE(m_messages, QStringList{"创建套帐成功！请重新启动本软件。"});
            }
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(install.setting("DBREADY"), QStringLiteral("1"));
        QVERIFY(install.rows(QStringLiteral("XSaleh")) > 0);
        QVERIFY(install.rows(QStringLiteral("xStockChh")) > 0);

        // A ready install offers neither.
        TfrmDBLogIn again(install.bin());
        again.show();
        QVERIFY(!child<QCheckBox>(again, "chkDemo")->isVisible());
        QVERIFY(!child<QPushButton>(again, "btnRestore")->isVisible());
    }

    void existingAccountSetIsKeptAndSavedSilently_data() { test::addBackendRows(); }
    void existingAccountSetIsKeptAndSavedSilently()
    {
        QFETCH(QString, backend);
        Install install(backend);
        {
            TfrmDBLogIn first(install.bin());
            first.show();
            fill(first, install);
            clickOk(first);
        }
        QVERIFY(install.ini().write(QStringLiteral("KORVANE"), QStringLiteral("DBREADY"),
                                    QStringLiteral("0")));
        install.writeScript("this would break;");
        m_messages.clear();
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        fill(dialog, install);
        clickOk(dialog);
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(install.setting("DBREADY"), QStringLiteral("1"));
    }

    void failuresKeepTheDialogAndWriteNothing_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QStringList backends{QStringLiteral("sqlite")};
        if (!test::pgHost().isEmpty())
            backends << QStringLiteral("postgresql");
        for (const QString &b : backends) {
            QTest::addRow("%s, unreachable server", qPrintable(b))
                << b << "server"
                << "连接数据库失败！请检查配置是否正确！";
            QTest::addRow("%s, missing DB/BK", qPrintable(b)) << b << "script"
                                                              << "创建套帐失败！";
            QTest::addRow("%s, broken DB/BK", qPrintable(b)) << b << "broken"
                                                             << "创建套帐失败！";
        }
        if (!test::pgHost().isEmpty())
            QTest::newRow("postgresql, unknown login") << "postgresql"
                                                       << "login"
                                                       << "连接数据库失败！请检查配置是否正确！";
    }
    void failuresKeepTheDialogAndWriteNothing()
    {
        QFETCH(QString, backend);
        QFETCH(QString, fault);
        Install install(backend);
        if (fault == QLatin1String("server"))
            install.server = install.postgres ? QStringLiteral("127.0.0.1:1")
                                              : QStringLiteral("/nonexistent/db");
        if (fault == QLatin1String("script"))
            install.removeScript();
        if (fault == QLatin1String("broken"))
            install.writeScript("CREATE TABLE t (x int);\nINSERT INTO missing VALUES (1);\n");
        if (fault == QLatin1String("login"))
            install.user = QStringLiteral("no_such_login_h1");
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        fill(dialog, install);
        clickOk(dialog);
        QTEST(m_messages.join(QLatin1Char('|')), "message");
        QVERIFY(dialog.isVisible());
        QVERIFY(child<QWidget>(dialog, "pnlPWD")->isVisible());
        QVERIFY(!child<QWidget>(dialog, "pnlHint")->isVisible());
        QCOMPARE(install.setting("DBREADY"), QStringLiteral("<none>"));
        QCOMPARE(install.setting("DATASOURCE"), QStringLiteral("<none>"));
        install.server = install.postgres ? install.server : embeddedDataSourceLabel();
        if (fault != QLatin1String("server") && fault != QLatin1String("login"))
            QVERIFY(!install.accountSetExists());
    }

    void unwritableSettingsAreReported()
    {
        Install install(QStringLiteral("sqlite"));
        QVERIFY(QDir().mkpath(install.iniPath())); // a folder where Plant.ini should be
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        fill(dialog, install);
        clickOk(dialog);
        QCOMPARE(m_messages, QStringList({"创建套帐成功！请重新启动本软件。", "保存设置失败！"}));
        QVERIFY(dialog.isVisible());
    }

    void cancelSavesNothing()
    {
        Install install(QStringLiteral("sqlite"));
        TfrmDBLogIn dialog(install.bin());
        dialog.show();
        fill(dialog, install);
        QTest::mouseClick(child<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(install.iniPath()));
        QVERIFY(!install.accountSetExists());
    }
};

QTEST_MAIN(tst_DBLogIn)
#include "tst_DBLogIn.moc"
