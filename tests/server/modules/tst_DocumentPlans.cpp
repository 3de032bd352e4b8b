// Every document list of the document module, its heads and its lines, is served by an
// index on both databases: the date range and the number order come from an index, so the
// first packet does not wait for the whole range to be read and sorted.

#include "ModuleTestKit.h"
#include "SqlStatement.h"
#include "UBillRDM.h"

#include <QRegularExpression>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A list's parameters as a window sends them: a month, the kind, every filter switched off.
Params listParams()
{
    return requestParams({{"BeginDate", "2026-03-01"},
                          {"EndDate", "2026-03-31"},
                          {"Flag", "1"},
                          {"headno", "202603010001"}},
                         {"StoreCode", "spCode", "DeptCode", "InOutFlag"}, {});
}

//! SQLite: the lines of EXPLAIN QUERY PLAN of the statement with the list's values bound.
QStringList sqlitePlan(const QSqlDatabase &db, const QString &sql)
{
    const SqlStatement st(sql);
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + st.positionalText()))
        return {QStringLiteral("ERROR ") + q.lastError().text()};
    const QVariantList values = SqlStatement::bindValues(st.parameterSlots(), listParams());
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    QStringList lines;
    if (!q.exec())
        return {QStringLiteral("ERROR ") + q.lastError().text()};
    while (q.next())
        lines << q.value(3).toString();
    return lines;
}

//! PostgreSQL: the plan of the statement for the list's values, with sequential scans and
//! sorts priced out, so that either remains only when no index can serve. The values are
//! this test's own constants; EXPLAIN cannot be prepared with bound values.
QStringList postgresPlan(const QSqlDatabase &db, const QString &sql)
{
    const SqlStatement st(sql);
    QString numbered = st.positionalText();
    for (int n = 1; numbered.contains(QLatin1Char('?')); ++n)
        numbered.replace(numbered.indexOf(QLatin1Char('?')), 1, QStringLiteral("$%1").arg(n));
    QStringList literals;
    for (const QVariant &v : SqlStatement::bindValues(st.parameterSlots(), listParams()))
        literals << QLatin1Char('\'') + v.toString() + QLatin1Char('\'');
    QSqlQuery q(db);
    const QStringList setup{
        QStringLiteral("SET enable_seqscan = off"), QStringLiteral("SET enable_sort = off"),
        QStringLiteral("DEALLOCATE ALL"), QStringLiteral("PREPARE korvane_plan AS ") + numbered};
    for (const QString &s : setup) {
        if (!q.exec(s))
            return {QStringLiteral("ERROR ") + q.lastError().text()};
    }
    QStringList lines;
    if (!q.exec(QStringLiteral("EXPLAIN EXECUTE korvane_plan (%1)").arg(literals.join(','))))
        return {QStringLiteral("ERROR ") + q.lastError().text()};
    while (q.next())
        lines << q.value(0).toString();
    return lines;
}

//! What in a plan shows that no index served: a table read in full, rows sorted, or (on
//! PostgreSQL) the date tested on the rows instead of in the index.
QStringList unserved(const QStringList &plan, bool postgres)
{
    static const QRegularExpression sqliteFull(QStringLiteral("^SCAN \\w+$|TEMP B-TREE|ERROR"));
    static const QRegularExpression postgresFull(QStringLiteral("Seq Scan|Sort|Filter: .*hdate|ERROR"));
    QStringList found;
    for (const QString &line : plan) {
        if (line.contains(postgres ? postgresFull : sqliteFull))
            found << line.trimmed();
    }
    return found;
}

} // namespace

class TestDocumentPlans : public QObject
{
    Q_OBJECT

private slots:
    void documentListsUseIndexes_data();
    void documentListsUseIndexes();

private:
    std::map<QString, std::unique_ptr<AccountSet>> m_sets;
};

void TestDocumentPlans::documentListsUseIndexes_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("sql");
    for (const QString &backend : backends()) {
        for (const ProviderDef &def : TBillRDM::providerDefs()) {
            if (def.detailSql.isEmpty())
                continue;
            const QString tag = backend + QLatin1Char('/') + def.name;
            QTest::newRow(qPrintable(tag + QStringLiteral("/heads"))) << backend << def.sql;
            QTest::newRow(qPrintable(tag + QStringLiteral("/lines"))) << backend << def.detailSql;
        }
    }
}

void TestDocumentPlans::documentListsUseIndexes()
{
    QFETCH(QString, backend);
    QFETCH(QString, sql);
    std::unique_ptr<AccountSet> &set = m_sets[backend];
    if (!set)
        set = std::make_unique<AccountSet>(backend);
    QVERIFY(set->ok);
    const bool postgres = set->scratch.isPostgres();
    const QStringList plan =
        postgres ? postgresPlan(set->scratch.db(), sql) : sqlitePlan(set->scratch.db(), sql);
    QVERIFY(!plan.isEmpty());
    const QStringList found = unserved(plan, postgres);
    QVERIFY2(found.isEmpty(), qPrintable(plan.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestDocumentPlans)
#include "tst_DocumentPlans.moc"
