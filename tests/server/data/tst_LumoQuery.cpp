// Module queries: the run-SQL helper, TagStr, and numbers as doubles.

#include "DataAccessFixture.h"
#include "LumoADOC.h"
#include "LumoQuery.h"
#include "LumoSQL.h"

#include <QTest>

using namespace korvane;
using namespace korvane::test;

class tst_LumoQuery : public QObject
{
    Q_OBJECT
private slots:
    void runSql_data();
    void runSql();
    void decimalsAsDoubles_data() { addBackendRows(); }
    void decimalsAsDoubles();
    void unreachableDatabase();
    void tagStrUpperCased();
    void statementHolder();
};

void tst_LumoQuery::runSql_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("execute");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("active");
    const QStringList backends = backendNames();
    struct Case
    {
        const char *name, *sql;
        bool execute, result, active;
    };
    const Case cases[] = {
        {"open rows", "select code from xstore", false, true, true},
        {"open empty result", "select code from xstore where code = 'none'", false, true, true},
        {"execute command", "update xstore set name = 'x' where code = 'S9'", true, true, false},
        {"invalid statement", "selec code frm xstore", false, false, false},
        {"invalid command", "delete from nosuchtable", true, false, false},
    };
    for (const QString &b : backends) {
        for (const Case &c : cases)
            QTest::addRow("%s %s", qPrintable(b), c.name)
                << b << QString(c.sql) << c.execute << c.result << c.active;
    }
}

void tst_LumoQuery::runSql()
{
    QFETCH(QString, backend);
    QFETCH(QString, sql);
    QFETCH(bool, execute);
    QFETCH(bool, result);
    QFETCH(bool, active);
    DataAccessFixture fx(backend);
    TLumoADOC connection;
    TLumoQuery query(&connection);
    QVERIFY(query.runSql("select name from xstore", false)); // an earlier open is closed first
    QCOMPARE(query.runSql(sql, execute), result);
    QCOMPARE(query.isActive(), active);
    QCOMPARE(query.sql(), sql);
    QCOMPARE(query.lastError().isEmpty(), result);
}

void tst_LumoQuery::decimalsAsDoubles()
{
    QFETCH(QString, backend);
    DataAccessFixture fx(backend);
    TLumoADOC connection;
    TLumoQuery query(&connection);
    QVERIFY(query.runSql("select amt from xdoch where headno = 'H1'", false));
    QVERIFY(query.query().next());
    QCOMPARE(query.query().value(0).metaType().id(), QMetaType::Double);
    QCOMPARE(query.query().value(0).toDouble(), 10.25);
}

void tst_LumoQuery::unreachableDatabase()
{
    DbConnectionInfo info;
    info.driver = QStringLiteral("QPSQL");
    info.hostName = QStringLiteral("127.0.0.1");
    info.port = 1; // nothing listens there
    info.databaseName = QStringLiteral("QUV");
    setRunTimeConnection(info);
    TLumoADOC connection;
    TLumoQuery query(&connection);
    QVERIFY(!query.runSql("select 1", false));
    QVERIFY(!query.lastError().isEmpty());
    try {
        connection.database();
        QFAIL("connected to nothing");
    } catch (const ServerError &e) {
        QVERIFY(!e.text().isEmpty());
    }
}

void tst_LumoQuery::tagStrUpperCased()
{
    TLumoADOC connection;
    TLumoQuery query(&connection);
    query.setProperty("TagStr", "d1r");
    QCOMPARE(query.property("TagStr").toString(), QStringLiteral("D1R"));
}

void tst_LumoQuery::statementHolder()
{
    TLumoSQL holder(QStringLiteral("Sale01"), QStringLiteral("select 1"),
                    QStringLiteral("select 2"), QStringLiteral("销售"));
    QVERIFY(holder.hasFlag(" sale01 "));
    QVERIFY(!holder.hasFlag("Sale02"));
    QCOMPARE(holder.property("DetailSQL").toString(), QStringLiteral("select 2"));
    QCOMPARE(holder.property("Description").toString(), QStringLiteral("销售"));
}

QTEST_GUILESS_MAIN(tst_LumoQuery)
#include "tst_LumoQuery.moc"
