// The schema catalogue: names matched without regard to case, kinds and widths of columns
// (SQLite's declared widths included), NOT NULL and keys.

#include "DataAccessFixture.h"
#include "LumoADOC.h"
#include "SchemaCatalog.h"

#include <QTest>

using namespace korvane;
using namespace korvane::test;

class tst_SchemaCatalog : public QObject
{
    Q_OBJECT
private slots:
    void declaredTypes_data();
    void declaredTypes();
    void tablesWithoutRegardToCase_data() { addBackendRows(); }
    void tablesWithoutRegardToCase();
    void columns_data() { addBackendRows(); }
    void columns();
    void compositeKey_data() { addBackendRows(); }
    void compositeKey();
};

void tst_SchemaCatalog::declaredTypes_data()
{
    QTest::addColumn<QString>("declared");
    QTest::addColumn<FieldType>("type");
    QTest::addColumn<int>("width");
    QTest::newRow("varchar") << "varchar(10)" << FieldType::String << 10;
    QTest::newRow("VARCHAR spaced") << "VARCHAR( 30 )" << FieldType::String << 30;
    QTest::newRow("nvarchar") << "nvarchar(4)" << FieldType::String << 4;
    QTest::newRow("text") << "text" << FieldType::String << 0;
    QTest::newRow("character varying") << "character varying" << FieldType::String << 0;
    QTest::newRow("numeric") << "numeric(12,2)" << FieldType::Float << 0;
    QTest::newRow("decimal") << "decimal(18,4)" << FieldType::Float << 0;
    QTest::newRow("float") << "float" << FieldType::Float << 0;
    QTest::newRow("double precision") << "double precision" << FieldType::Float << 0;
    QTest::newRow("real") << "real" << FieldType::Float << 0;
    QTest::newRow("integer") << "integer" << FieldType::Integer << 0;
    QTest::newRow("bigint") << "bigint" << FieldType::Integer << 0;
    QTest::newRow("smallint") << "smallint" << FieldType::Integer << 0;
    QTest::newRow("boolean") << "boolean" << FieldType::Boolean << 0;
    QTest::newRow("blob") << "blob" << FieldType::Blob << 0;
    QTest::newRow("bytea") << "bytea" << FieldType::Blob << 0;
}

void tst_SchemaCatalog::declaredTypes()
{
    QFETCH(QString, declared);
    QFETCH(FieldType, type);
    QFETCH(int, width);
    int w = -1;
    QCOMPARE(SchemaCatalog::typeOfDeclared(declared, &w), type);
    QCOMPARE(w, width);
}

void tst_SchemaCatalog::tablesWithoutRegardToCase()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    TLumoADOC connection;
    SchemaCatalog &catalog = connection.catalog();
    QCOMPARE(catalog.tableName("XDOCH").toLower(), QStringLiteral("xdoch"));
    QCOMPARE(catalog.tableName("xDocB").toLower(), QStringLiteral("xdocb"));
    QVERIFY(catalog.tableName("xdoch; drop table xdoch").isEmpty());
    QVERIFY(catalog.tableName("nosuch").isEmpty());
    QVERIFY(!catalog.table("nosuch"));
    QCOMPARE(catalog.columnName("XDOCH", "STORECODE").toLower(), QStringLiteral("storecode"));
    QVERIFY(catalog.columnName("xdoch", "nosuch").isEmpty());
    QVERIFY(catalog.columnName("nosuch", "code").isEmpty());
    // A table made after the first look is found too.
    QSqlQuery q(fx.scratch().db());
    QVERIFY(q.exec("CREATE TABLE xlater (code varchar(4) PRIMARY KEY)"));
    QCOMPARE(catalog.tableName("XLATER").toLower(), QStringLiteral("xlater"));
}

void tst_SchemaCatalog::columns()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    TLumoADOC connection;
    const TableInfo *t = connection.catalog().table("XDocH");
    QVERIFY(t);
    QCOMPARE(t->columns.size(), 6);
    struct Expected
    {
        const char *name;
        FieldType type;
        int width;
        bool required, key;
    };
    const Expected expected[] = {
        {"headno", FieldType::String, 15, true, true},
        {"hdate", FieldType::String, 19, false, false},
        {"StoreCode", FieldType::String, 10, false, false},
        {"amt", FieldType::Float, 0, false, false},
        {"prints", FieldType::Integer, 0, false, false},
        {"State", FieldType::String, 1, true, false},
    };
    for (const Expected &e : expected) {
        const ColumnInfo *c = t->column(QString::fromLatin1(e.name).toUpper());
        QVERIFY2(c, e.name);
        QCOMPARE(c->type, e.type);
        QCOMPARE(c->width, e.width);
        QCOMPARE(c->required, e.required);
        QCOMPARE(c->key, e.key);
    }
    QCOMPARE(t->keyColumns(), QStringList({"headno"}));
}

void tst_SchemaCatalog::compositeKey()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    TLumoADOC connection;
    const TableInfo *t = connection.catalog().table("xdocb");
    QVERIFY(t);
    QStringList keys = t->keyColumns();
    keys.sort();
    QCOMPARE(keys, QStringList({"bodyno", "headno"}));
}

QTEST_GUILESS_MAIN(tst_SchemaCatalog)
#include "tst_SchemaCatalog.moc"
