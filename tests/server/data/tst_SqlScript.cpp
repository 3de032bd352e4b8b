#include "SqlScript.h"

#include <QTest>

class tst_SqlScript : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("blanks and lone semicolons") << " ;\n; ;" << QStringList();
        QTest::newRow("two statements")
            << "CREATE TABLE a (x int);\nINSERT INTO a VALUES (1);"
            << QStringList{"CREATE TABLE a (x int)", "INSERT INTO a VALUES (1)"};
        QTest::newRow("last without semicolon")
            << "SELECT 1; SELECT 2" << QStringList{"SELECT 1", "SELECT 2"};
        QTest::newRow("semicolon in text")
            << "INSERT INTO a VALUES ('x;y');SELECT 1;"
            << QStringList{"INSERT INTO a VALUES ('x;y')", "SELECT 1"};
        QTest::newRow("doubled quote in text")
            << "INSERT INTO a VALUES ('it''s; fine');SELECT 2;"
            << QStringList{"INSERT INTO a VALUES ('it''s; fine')", "SELECT 2"};
        QTest::newRow("quoted name")
            << "CREATE TABLE \"a;b\" (x int);" << QStringList{"CREATE TABLE \"a;b\" (x int)"};
        QTest::newRow("line comment with semicolon and quote")
            << "-- the seller's table; first\nCREATE TABLE s (x int);"
            << QStringList{"-- the seller's table; first\nCREATE TABLE s (x int)"};
        QTest::newRow("block comment")
            << "/* a; 'b */ SELECT 1;" << QStringList{"/* a; 'b */ SELECT 1"};
        QTest::newRow("only comments left out")
            << "SELECT 1;\n-- end;\n/* done */" << QStringList{"SELECT 1"};
        QTest::newRow("comment marker inside text")
            << "SELECT '--x;' ;SELECT 2;" << QStringList{"SELECT '--x;'", "SELECT 2"};
        QTest::newRow("dollar body")
            << "CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql;SELECT 3;"
            << QStringList{"CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql",
                           "SELECT 3"};
        QTest::newRow("tagged dollar body")
            << "DO $x$ BEGIN; END $x$;" << QStringList{"DO $x$ BEGIN; END $x$"};
        QTest::newRow("parameters are no dollar quote")
            << "SELECT $1, $2;SELECT 4;" << QStringList{"SELECT $1, $2", "SELECT 4"};
        QTest::newRow("unclosed text runs to the end")
            << "SELECT 'a;b" << QStringList{"SELECT 'a;b"};
        QTest::newRow("chinese text") << "INSERT INTO c VALUES ('01','人民币；元');"
                                      << QStringList{"INSERT INTO c VALUES ('01','人民币；元')"};
    }
    void split()
    {
        QFETCH(QString, script);
        QTEST(korvane::splitSqlScript(script), "expected");
    }
};

QTEST_GUILESS_MAIN(tst_SqlScript)
#include "tst_SqlScript.moc"
