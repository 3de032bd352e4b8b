// The shipped backup DB/BK builds the account set on both databases: tables with their
// keys and widths, the foreign keys that protect codes in use, and the initial rows.

#include "PasswordHash.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

QString backupPath()
{
    return QStringLiteral(KORVANE_DB_DIR "/BK");
}

std::unique_ptr<ScratchDb> restoredDb(const QString &backend)
{
    auto db = std::make_unique<ScratchDb>(backend);
    if (!db->runScript(backupPath()))
        return nullptr;
    return db;
}

// A second connection opened the way every module opens its own.
QSqlDatabase moduleConnection(const ScratchDb &scratch, const QString &name)
{
    DbConnectionInfo info;
    info.driver = scratch.driver();
    info.databaseName = scratch.databaseName();
    if (scratch.isPostgres()) {
        info.hostName = pgHost();
        info.port = pgPort();
        info.userName = QStringLiteral("postgres");
    }
    QString error;
    QSqlDatabase db = openDatabase(info, name, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return db;
}

struct ColumnInfo
{
    bool found = false;
    QString type; // lower-cased declared type
    int width = 0;
    bool inKey = false;
};

ColumnInfo columnInfo(const ScratchDb &scratch, const QString &table, const QString &column)
{
    ColumnInfo info;
    QSqlQuery q(scratch.db());
    if (scratch.isPostgres()) {
        q.prepare(QStringLiteral(
            "SELECT c.data_type, c.character_maximum_length, "
            " (SELECT count(*) FROM information_schema.key_column_usage k "
            "  JOIN information_schema.table_constraints t ON t.constraint_name = "
            "k.constraint_name "
            "  WHERE t.constraint_type = 'PRIMARY KEY' AND k.table_name = c.table_name "
            "  AND k.column_name = c.column_name) "
            "FROM information_schema.columns c WHERE c.table_name = ? AND c.column_name = ?"));
        q.addBindValue(table.toLower());
        q.addBindValue(column.toLower());
        if (q.exec() && q.next()) {
            info.found = true;
            info.type = q.value(0).toString();
            info.width = q.value(1).toInt();
            info.inKey = q.value(2).toInt() > 0;
        }
        return info;
    }
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return info;
    while (q.next()) {
        if (q.value(1).toString().compare(column, Qt::CaseInsensitive) != 0)
            continue;
        info.found = true;
        const QString declared = q.value(2).toString().toLower();
        info.type = declared.section(QLatin1Char('('), 0, 0).trimmed();
        if (info.type == QLatin1String("varchar"))
            info.type = QStringLiteral("character varying");
        info.width = declared.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0).toInt();
        info.inKey = q.value(5).toInt() > 0;
    }
    return info;
}

QVariant scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return QVariant();
    return q.value(0);
}

bool exec(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql);
}

} // namespace

class tst_Schema : public QObject
{
    Q_OBJECT

    std::map<QString, std::unique_ptr<ScratchDb>> m_restored;

private slots:
    void cleanupTestCase() { m_restored.clear(); }

    void restoresOnBothDatabases_data() { addBackendRows(); }
    void restoresOnBothDatabases()
    {
        QFETCH(QString, backend);
        auto db = restoredDb(backend);
        QVERIFY2(db, "DB/BK did not run");
        // Every table the providers read is there and answers a query.
        static const char *const tables[] = {
            "XCI",        "XLocal",    "XMoney",       "XPaykind",     "XMeasure",   "XTaxAttr",
            "xcredit",    "XDuty",     "XEdu",         "XPolity",      "XMarryAttr", "XSexAttr",
            "XSalType",   "xempType",  "XOverType",    "xInvoiceType", "xDocState",  "xDisattr",
            "xBoolAttr",  "XUPEAttr",  "XStockChAttr", "XInvoiceAttr", "xcorp",      "xDept",
            "XStore",     "XPSEmp",    "xCustome",     "xFatBn",       "XSpech",     "XSpecb",
            "XPrdtClass", "xprdth",    "xprdtb",       "XStock",       "xStockChh",  "xStockChb",
            "XBuyh",      "XBuyb",     "XSaleh",       "XSaleb",       "XIncomeh",   "XInComeb",
            "XOutcomeh",  "XoUTComeb", "xInvoiceh",    "xInvoiceb"};
        for (const char *table : tables) {
            const QString sql = QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table));
            QVERIFY2(scalar(db->db(), sql).isValid(), table);
        }
    }

    void columns_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("inKey");
        struct Row
        {
            const char *table, *column, *type;
            int width;
            bool inKey;
        };
        static const Row rows[] = {
            {"XCI", "Code", "character varying", 4, true},
            {"XCI", "Name", "character varying", 20, false},
            {"XMoney", "rate", "double precision", 0, false},
            {"XTaxAttr", "Name", "character varying", 30, false},
            {"XUPEAttr", "Name", "character varying", 4, false},
            {"XStockChAttr", "InOutFlag", "character varying", 1, true},
            {"XStockChAttr", "Name", "character varying", 40, false},
            {"xCustome", "name", "character varying", 140, false},
            {"xCustome", "address", "character varying", 255, false},
            {"xFatBn", "staffnum", "bigint", 0, false},
            {"XPSEmp", "code", "character varying", 10, true},
            {"XPSEmp", "pic", "bytea", 0, false},
            {"XPSEmp", "idno", "character varying", 18, false},
            {"xprdth", "pdtcode", "character varying", 30, true},
            {"xprdtb", "bodyno", "character varying", 4, true},
            {"xprdtb", "SpecName", "character varying", 255, false},
            {"XSpecb", "bcode", "character varying", 10, true},
            {"XStock", "pdtno", "character varying", 4, true},
            {"xStockChh", "headno", "character varying", 15, true},
            {"xStockChh", "Flag", "character varying", 1, true},
            {"xStockChh", "hdate", "character varying", 19, false},
            {"xStockChb", "bodyno", "character varying", 4, true},
            {"xStockChb", "BigPackNum", "bigint", 0, false},
            {"XBuyb", "SaleHeadno", "character varying", 15, false},
            {"XSaleb", "disCount", "double precision", 0, false},
            {"XInComeb", "GetTaxamount", "double precision", 0, false},
            {"xInvoiceh", "InVoiceNO", "character varying", 20, false},
        };
        const bool withPg = !pgHost().isEmpty();
        for (const QString &backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            if (backend == QLatin1String("postgresql") && !withPg)
                continue;
            for (const Row &r : rows)
                QTest::addRow("%s %s.%s", qPrintable(backend), r.table, r.column)
                    << backend << r.table << r.column << r.type << r.width << r.inKey;
        }
    }
    void columns()
    {
        QFETCH(QString, backend);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, type);
        QFETCH(int, width);
        QFETCH(bool, inKey);
        // One restored database per backend serves all rows of the table.
        auto &db = m_restored[backend];
        if (!db)
            db = restoredDb(backend);
        QVERIFY(db);
        const ColumnInfo info = columnInfo(*db, table, column);
        QVERIFY(info.found);
        QCOMPARE(info.type, type);
        QCOMPARE(info.width, width);
        QCOMPARE(info.inKey, inKey);
    }

    void seedRows_data() { addBackendRows(); }
    void seedRows()
    {
        QFETCH(QString, backend);
        auto db = restoredDb(backend);
        QVERIFY(db);
        const QSqlDatabase c = db->db();
        QCOMPARE(scalar(c, "SELECT name FROM XMoney WHERE code = '01'").toString(),
                 QStringLiteral("人民币"));
        QCOMPARE(scalar(c, "SELECT rate FROM XMoney WHERE code = '01'").toDouble(), 1.0);
        QCOMPARE(scalar(c, "SELECT CorpCode FROM xDept WHERE code = '0001'").toString(),
                 QStringLiteral("0001"));
        QCOMPARE(scalar(c, "SELECT deptcode FROM XPSEmp WHERE code = '0001'").toString(),
                 QStringLiteral("0001"));
        QCOMPARE(scalar(c, "SELECT count(*) FROM xDocState WHERE Code IN ('1', '2')").toInt(), 2);
        QCOMPARE(scalar(c, "SELECT count(*) FROM XInvoiceAttr").toInt(), 4);
        // Every stock kind has its sub-kinds, the stock-side kinds starting with "0".
        for (int flag = 1; flag <= 9; ++flag) {
            const QString first =
                scalar(c, QStringLiteral("SELECT min(InOutFlag) FROM XStockChAttr "
                                         "WHERE Flag = '%1'")
                              .arg(flag))
                    .toString();
            QCOMPARE(first, flag >= 5 ? QStringLiteral("0") : QStringLiteral("1"));
        }
        QCOMPARE(
            scalar(c, "SELECT count(*) FROM XStockChAttr WHERE InOut NOT IN ('I', 'O')").toInt(),
            0);
        for (const char *table : {"XMarryAttr", "XSexAttr", "XUPEAttr", "XSalType", "xempType",
                                  "XOverType", "xInvoiceType", "xDisattr", "xBoolAttr"})
            QVERIFY2(scalar(c, QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt() >= 2,
                     table);
    }

    void administratorPasswordIsHashed_data() { addBackendRows(); }
    void administratorPasswordIsHashed()
    {
        QFETCH(QString, backend);
        auto db = restoredDb(backend);
        QVERIFY(db);
        const QString stored =
            scalar(db->db(), "SELECT PWD FROM XPSEmp WHERE code = '0001'").toString();
        QVERIFY(PasswordHash::isHash(stored));
        QVERIFY(!stored.contains(QLatin1String("0001")));
        QVERIFY(PasswordHash::verify(QStringLiteral("0001"), stored));
        QVERIFY(!PasswordHash::verify(QStringLiteral("0002"), stored));
    }

    void keysRefuseDuplicates_data() { addBackendRows(); }
    void keysRefuseDuplicates()
    {
        QFETCH(QString, backend);
        auto db = restoredDb(backend);
        QVERIFY(db);
        const QSqlDatabase c = db->db();
        // Stock documents are keyed by number and kind together.
        QVERIFY(exec(c, "INSERT INTO xStockChh (headno, Flag) VALUES ('202401010001', '1')"));
        QVERIFY(exec(c, "INSERT INTO xStockChh (headno, Flag) VALUES ('202401010001', '2')"));
        QVERIFY(!exec(c, "INSERT INTO xStockChh (headno, Flag) VALUES ('202401010001', '1')"));
        QVERIFY(exec(c, "INSERT INTO xStockChb (headno, bodyno) VALUES ('202401010001', '0001')"));
        QVERIFY(!exec(c, "INSERT INTO xStockChb (headno, bodyno) VALUES ('202401010001', '0001')"));
        QVERIFY(!exec(c, "INSERT INTO XMoney (code, name) VALUES ('01', 'again')"));
    }

    void foreignKeysProtectCodesInUse_data() { addBackendRows(); }
    void foreignKeysProtectCodesInUse()
    {
        QFETCH(QString, backend);
        auto scratch = restoredDb(backend);
        QVERIFY(scratch);
        const QString name = QStringLiteral("schema_fk_") + backend;
        {
            QSqlDatabase c = moduleConnection(*scratch, name);
            QVERIFY(c.isOpen());
            // A customer naming an unknown currency is refused, a known one accepted.
            QVERIFY(
                !exec(c, "INSERT INTO xCustome (code, name, moneycode) VALUES ('C1', 'x', '99')"));
            QVERIFY(
                exec(c, "INSERT INTO xCustome (code, name, moneycode) VALUES ('C1', 'x', '01')"));
            // The currency is now in use and stays.
            QVERIFY(!exec(c, "DELETE FROM XMoney WHERE code = '01'"));
            QCOMPARE(scalar(c, "SELECT count(*) FROM XMoney WHERE code = '01'").toInt(), 1);
            // A cleared reference is NULL and fine.
            QVERIFY(exec(c, "INSERT INTO xCustome (code, name) VALUES ('C2', 'y')"));
            // The department of the administrator cannot go.
            QVERIFY(!exec(c, "DELETE FROM xDept WHERE code = '0001'"));
            // A document line names an existing product line.
            QVERIFY(!exec(c, "INSERT INTO xStockChb (headno, bodyno, pdtcode, pdtno) "
                             "VALUES ('202401010001', '0001', 'P1', '0001')"));
            c.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_Schema.moc"
