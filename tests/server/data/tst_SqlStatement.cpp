// Reading provider statements: parameters to positional markers, the select list, the
// tables after FROM, and the link parameter turned into an IN list.

#include "SqlStatement.h"

#include <QTest>

using namespace korvane;

class tst_SqlStatement : public QObject
{
    Q_OBJECT
private slots:
    void positional_data();
    void positional();
    void bindByNameWithoutRegardToCase();
    void selectItems();
    void fromTables_data();
    void fromTables();
    void inList();
};

void tst_SqlStatement::positional_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("plain") << "select * from x where a = :A and b = :b"
                           << "select * from x where a = ? and b = ?" << QStringList{"A", "b"};
    QTest::newRow("twice") << "where (c = :Code or trim(:tmpCode) = '') and :Code <> ''"
                           << "where (c = ? or trim(?) = '') and ? <> ''"
                           << QStringList{"Code", "tmpCode", "Code"};
    QTest::newRow("in literal") << "where a = ':no' and b = 'it''s :no' and c = :yes"
                                << "where a = ':no' and b = 'it''s :no' and c = ?"
                                << QStringList{"yes"};
    QTest::newRow("cast") << "select a::text from x where b = :p::int"
                          << "select a::text from x where b = ?::int" << QStringList{"p"};
    QTest::newRow("comments") << "select 1 -- :no\n/* :nor */ where x = :p"
                              << "select 1 -- :no\n/* :nor */ where x = ?" << QStringList{"p"};
    QTest::newRow("quoted name") << "select \"a:b\" from x"
                                 << "select \"a:b\" from x" << QStringList{};
    QTest::newRow("time literal") << "where t > '10:30:00'"
                                  << "where t > '10:30:00'" << QStringList{};
}

void tst_SqlStatement::positional()
{
    QFETCH(QString, sql);
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    const SqlStatement st(sql);
    QCOMPARE(st.positionalText(), text);
    QCOMPARE(st.parameterSlots(), names);
    // The same places take literals instead of markers.
    QStringList literals;
    QString literal = text;
    for (int i = 0; i < names.size(); ++i) {
        literals << QStringLiteral("'v%1'").arg(i);
        literal.replace(literal.indexOf(QLatin1Char('?')), 1, literals.last());
    }
    QCOMPARE(st.textWithLiterals(literals), literal);
}

void tst_SqlStatement::bindByNameWithoutRegardToCase()
{
    const SqlStatement st("where a = :StoreCode or trim(:tmpStoreCode) = '' or b = :storecode");
    QCOMPARE(st.parameterNames(), QStringList({"StoreCode", "tmpStoreCode"}));
    const QVariantList values =
        SqlStatement::bindValues(st.parameterSlots(), {{"STORECODE", "W1"}});
    QCOMPARE(values.size(), 3);
    QCOMPARE(values[0].toString(), QStringLiteral("W1"));
    QCOMPARE(values[2].toString(), QStringLiteral("W1"));
    // An omitted switch is an empty text: its filter stays off.
    QVERIFY(!values[1].isNull());
    QCOMPARE(values[1].toString(), QString());
}

void tst_SqlStatement::selectItems()
{
    const SqlStatement st(
        "select distinct a.pdtcode, a.Name as PdtName, b.name ClassName, "
        "coalesce(a.qty, 0) as qty, count(*), case when a.x = 1 then 'y' else 'n' end, "
        "c.*, \"Quoted\" from xprdth a left join XPrdtClass b on b.code = a.classcode, xci c");
    const QList<SelectItem> items = st.selectItems();
    QCOMPARE(items.size(), 8);
    QCOMPARE(items[0].outputName, QStringLiteral("pdtcode"));
    QCOMPARE(items[0].qualifier, QStringLiteral("a"));
    QCOMPARE(items[1].outputName, QStringLiteral("PdtName"));
    QCOMPARE(items[1].column, QStringLiteral("Name"));
    QCOMPARE(items[2].outputName, QStringLiteral("ClassName"));
    QCOMPARE(st.tableOf(items[2].qualifier), QStringLiteral("XPrdtClass"));
    QCOMPARE(items[3].outputName, QStringLiteral("qty"));
    QVERIFY(items[3].column.isEmpty()); // computed
    QVERIFY(items[4].outputName.isEmpty());
    QVERIFY(items[5].outputName.isEmpty());
    QVERIFY(items[6].isStar);
    QCOMPARE(st.tableOf(items[6].qualifier), QStringLiteral("xci"));
    QCOMPARE(items[7].column, QStringLiteral("Quoted"));
}

void tst_SqlStatement::fromTables_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("tables");
    QTest::newRow("joined") << "select * from xprdth a left outer join xprdtb b on a.x=b.x "
                               "where a.p = :p order by 1"
                            << "xprdth" << QStringList{"xprdth a", "xprdtb b"};
    QTest::newRow("commas") << "select * from dbo.XStore s, xDept as d where s.p = d.code"
                            << "XStore" << QStringList{"XStore s", "xDept d"};
    QTest::newRow("bare") << "SELECT Code, Name FROM XCI ORDER BY Code"
                          << "XCI" << QStringList{"XCI"};
    QTest::newRow("subquery in select") << "select (select max(x) from other) m from xSaleh h"
                                        << "xSaleh" << QStringList{"xSaleh h"};
    QTest::newRow("derived table") << "select * from (select 1 a) q"
                                   << "" << QStringList{""};
    QTest::newRow("no from") << "select 1"
                             << "" << QStringList{};
}

void tst_SqlStatement::fromTables()
{
    QFETCH(QString, sql);
    QFETCH(QString, first);
    QFETCH(QStringList, tables);
    const SqlStatement st(sql);
    QCOMPARE(st.firstTable(), first);
    QStringList found;
    for (const TableRef &t : st.fromTables())
        found << (t.alias.isEmpty() ? t.name : t.name + " " + t.alias);
    QCOMPARE(found, tables);
}

void tst_SqlStatement::inList()
{
    const SqlStatement st("select * from xprdtb where pdtcode = :pdtcode and n > :n order by 1");
    QString text;
    QStringList names;
    QVERIFY(st.inListText("PDTCODE", 3, &text, &names));
    QCOMPARE(text,
             QStringLiteral("select * from xprdtb where pdtcode IN (?,?,?) and n > ? order by 1"));
    QCOMPARE(names, QStringList({"pdtcode#0", "pdtcode#1", "pdtcode#2", "n"}));
    QVERIFY(!SqlStatement("where :p = a").inListText("p", 2, &text, &names));
    QVERIFY(!SqlStatement("where a > :p").inListText("p", 2, &text, &names));
}

QTEST_GUILESS_MAIN(tst_SqlStatement)
#include "tst_SqlStatement.moc"
