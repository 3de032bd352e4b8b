#include "AccountSet.h"
#include "AccountSetSite.h"
#include "Backup.h"
#include "DemoData.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QTest>
#include <QThread>

namespace {

const QString kShippedScript = QStringLiteral(KORVANE_DB_DIR "/BK");

//! One value of a statement on an account set, through a connection of its own.
QVariant scalar(const DbConnectionInfo &info, const QString &sql)
{
    const QString name = QStringLiteral("scalar_") + QUuid::createUuid().toString(QUuid::Id128);
    QVariant value;
    {
        QString error;
        QSqlDatabase db = openDatabase(info, name, &error);
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            value = q.value(0);
        else
            qWarning() << sql << q.lastError().text() << error;
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

//! Saves documents of three lines each, one transaction a document, until told to stop:
//! a client working while the backup is taken.
class Clerk : public QThread
{
public:
    explicit Clerk(const DbConnectionInfo &info) : m_info(info)
    {
        // Waits for the backup's read instead of failing at once.
        if (m_info.driver == QLatin1String("QSQLITE"))
            m_info.options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
    }
    QAtomicInt stop = 0;
    QAtomicInt saved = 0;

protected:
    void run() override
    {
        const QString name = QStringLiteral("clerk_") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QString error;
            QSqlDatabase db = openDatabase(m_info, name, &error);
            for (int n = 1; !stop.loadRelaxed() && n < 9999; ++n)
                saveDocument(db, n);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    void saveDocument(QSqlDatabase &db, int n)
    {
        const QString headno = QStringLiteral("29990101%1").arg(n, 4, 10, QLatin1Char('0'));
        db.transaction();
        QSqlQuery q(db);
        bool ok = q.exec(QStringLiteral("INSERT INTO xStockChh (headno, Flag, State) VALUES "
                                        "('%1', '7', '1')")
                             .arg(headno));
        for (int line = 1; ok && line <= 3; ++line)
            ok = q.exec(
                QStringLiteral("INSERT INTO xStockChb (headno, bodyno, pdtcode, pdtno, pqty) "
                               "VALUES ('%1', '000%2', 'E1001', '0001', 1)")
                    .arg(headno)
                    .arg(line));
        if (ok && db.commit())
            saved.fetchAndAddRelaxed(1);
        else
            db.rollback();
    }

    DbConnectionInfo m_info;
};

} // namespace

class tst_Backup : public QObject
{
    Q_OBJECT

private slots:
    void backupTakenWhileSavingRestoresWholeDocuments_data() { test::addBackendRows(); }
    void backupTakenWhileSavingRestoresWholeDocuments()
    {
        QFETCH(QString, backend);
        Site site(backend);
        QString error;
        {
            AccountSet set(site.server(), site.catalog());
            QVERIFY2(set.connect(&error), qPrintable(error));
            const AccountSet::Filler demo = [](QSqlDatabase db, QString *why) {
                return fillDemoData(db, QDate(2026, 3, 14), why);
            };
            QVERIFY2(set.restore(kShippedScript, &error, demo), qPrintable(error));
        }
        Clerk clerk(site.accountSet());
        clerk.start();
        QTRY_VERIFY(clerk.saved.loadRelaxed() > 3);
        QTemporaryDir dir;
        const QString file = dir.filePath(defaultBackupName(
            site.catalog(), QDateTime(QDate(2026, 3, 14), QTime(9, 54)), backend == "sqlite"));
        QVERIFY2(backupAccountSet(site.accountSet(), file, &error), qPrintable(error));
        clerk.stop = 1;
        clerk.wait();
        QVERIFY(QFile::exists(file));
        QCOMPARE(QFileInfo(file).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());

        const QString restored = site.otherCatalog();
        AccountSet copy(site.server(), restored);
        QVERIFY2(copy.connect(&error), qPrintable(error));
        QVERIFY2(copy.restoreBackup(file, &error), qPrintable(error));
        const DbConnectionInfo info =
            connectionInfo(site.settings(restored), site.server().databaseName);
        // Every document of the copy has all its lines: none was caught half saved.
        QCOMPARE(scalar(info, "SELECT count(*) FROM xStockChh h WHERE h.headno LIKE '2999%' AND "
                              "(SELECT count(*) FROM xStockChb b WHERE b.headno = h.headno) <> 3")
                     .toInt(),
                 0);
        QVERIFY(scalar(info, "SELECT count(*) FROM xStockChh WHERE headno LIKE '2999%'").toInt() >
                0);
        for (const char *table : {"XSaleb", "XStock", "XPSEmp", "xInvoiceh"}) {
            const QString count =
                QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table));
            QCOMPARE(scalar(info, count).toInt(), scalar(site.accountSet(), count).toInt());
        }
    }

    void foreignFilesAreRefused_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QByteArray>("content");
        QStringList backends{QStringLiteral("sqlite")};
        if (!test::pgHost().isEmpty())
            backends << QStringLiteral("postgresql");
        for (const QString &b : backends) {
            QTest::addRow("%s: text", qPrintable(b)) << b << QByteArray("root:x:0:0:root:/root\n");
            QTest::addRow("%s: empty", qPrintable(b)) << b << QByteArray();
            QTest::addRow("%s: torn header", qPrintable(b))
                << b
                << (b == "sqlite" ? QByteArray("SQLite format 3\0garbage", 24)
                                  : QByteArray("PGDMP\x01\x0e\x00garbage", 15));
            QTest::addRow("%s: another program's database", qPrintable(b))
                << b << QByteArray("another");
        }
    }
    void foreignFilesAreRefused()
    {
        QFETCH(QString, backend);
        QFETCH(QByteArray, content);
        Site site(backend);
        QTemporaryDir dir;
        QString file = dir.filePath(QStringLiteral("foreign"));
        if (content == "another") {
            // A real database of the same kind, but not one of this system.
            Site other(backend);
            AccountSet set(other.server(), other.catalog());
            QString error;
            QVERIFY2(set.connect(&error), qPrintable(error));
            QVERIFY2(set.restore(other.script("CREATE TABLE t (code varchar(4));"), &error),
                     qPrintable(error));
            QVERIFY2(backupAccountSet(other.accountSet(), file, &error), qPrintable(error));
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        AccountSet set(site.server(), site.catalog());
        QString error;
        QVERIFY2(set.connect(&error), qPrintable(error));
        QVERIFY(!set.restoreBackup(file, &error));
        QVERIFY2(error.contains(QStringLiteral("不是本系统的套帐备份")), qPrintable(error));
        QCOMPARE(set.exists(&error), std::optional<bool>(false));
    }

    void anExistingAccountSetIsLeftAlone_data() { test::addBackendRows(); }
    void anExistingAccountSetIsLeftAlone()
    {
        QFETCH(QString, backend);
        Site site(backend);
        AccountSet set(site.server(), site.catalog());
        QString error;
        QVERIFY2(set.connect(&error), qPrintable(error));
        QVERIFY2(set.restore(kShippedScript, &error), qPrintable(error));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("copy"));
        QVERIFY2(backupAccountSet(site.accountSet(), file, &error), qPrintable(error));
        const QString marker = QStringLiteral("SELECT count(*) FROM XMoney");
        const int before = scalar(site.accountSet(), marker).toInt();
        QVERIFY(!set.restoreBackup(file, &error));
        QVERIFY2(error.contains(QStringLiteral("已存在")), qPrintable(error));
        QCOMPARE(scalar(site.accountSet(), marker).toInt(), before);
    }

    void defaultNameCarriesAccountSetAndTime()
    {
        const QDateTime at(QDate(2026, 12, 10), QTime(9, 54, 31));
        QCOMPARE(defaultBackupName("QUV", at, true), QStringLiteral("QUV-20261210-0954.db"));
        QCOMPARE(defaultBackupName("QUV", at, false), QStringLiteral("QUV-20261210-0954.backup"));
    }
};

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_Backup.moc"
