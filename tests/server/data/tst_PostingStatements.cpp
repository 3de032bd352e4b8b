// The statements posting runs over many rows: every value reaches the database as it was
// given, whatever its characters, on both databases (PostgreSQL's are written into the text).

#include "PostingStatements.h"
#include "ServerError.h"
#include "TestDb.h"

#include <QSqlQuery>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

class tst_PostingStatements : public QObject
{
    Q_OBJECT
private slots:
    void valuesArriveAsGiven_data() { addBackendRows(); }
    void valuesArriveAsGiven()
    {
        QFETCH(QString, backend);
        ScratchDb scratch(backend);
        QSqlQuery create(scratch.db());
        QVERIFY(create.exec(
            QStringLiteral("CREATE TABLE xrows (code VARCHAR(40), amount DOUBLE PRECISION)")));
        PostingStatements statements(scratch.db());
        // Quotes, backslashes, a statement's own marks and separators, wide characters.
        const QStringList codes{
            QStringLiteral("O'Brien''s"),  QStringLiteral("back\\slash\\"),
            QStringLiteral("mark ? here"), QStringLiteral("x'); DROP TABLE xrows; --"),
            QStringLiteral("一号仓"),      QString()};
        const QList<double> amounts{0.1, -2.5, 1e-300, 123456789.125, 1.0 / 3, 0};
        PostingStatements::Rows rows;
        for (int i = 0; i < codes.size(); ++i)
            rows.push_back({codes.at(i), amounts.at(i)});
        statements.overRows(QStringLiteral("INSERT INTO xrows (code, amount) VALUES %1"),
                            QStringLiteral("(?, CAST(? AS DOUBLE PRECISION))"), rows);

        QList<std::pair<QVariant, double>> read;
        statements.overRows(
            QStringLiteral("SELECT x.code, x.amount FROM xrows x JOIN (VALUES %1) AS v "
                           "ON x.code = v.column1 ORDER BY x.amount"),
            QStringLiteral("(?)"), {{codes.at(0)}, {codes.at(1)}, {codes.at(2)}, {codes.at(3)}},
            [&](const QSqlQuery &q) {
                read.push_back({q.value(0), q.value(1).toDouble()});
            });
        const QList<std::pair<QVariant, double>> expected{{codes.at(1), -2.5},
                                                          {codes.at(2), 1e-300},
                                                          {codes.at(0), 0.1},
                                                          {codes.at(3), 123456789.125}};
        QCOMPARE(read.size(), expected.size());
        for (int i = 0; i < read.size(); ++i) {
            QCOMPARE(read[i].first.toString(), expected[i].first.toString());
            QCOMPARE(read[i].second, expected[i].second);
        }
        QSqlQuery rest(scratch.db());
        QVERIFY(rest.exec(QStringLiteral("SELECT count(*), sum(CASE WHEN code IS NULL THEN 1 "
                                         "ELSE 0 END) FROM xrows WHERE code = '一号仓' OR "
                                         "(code IS NULL AND amount = 0) OR amount > 1e8")));
        QVERIFY(rest.next());
        QCOMPARE(rest.value(0).toInt(), 3);
        QCOMPARE(rest.value(1).toInt(), 1);
    }

    // A list longer than one statement takes goes in several, none lost or doubled.
    void longListsInSeveralStatements_data() { addBackendRows(); }
    void longListsInSeveralStatements()
    {
        QFETCH(QString, backend);
        ScratchDb scratch(backend);
        QSqlQuery create(scratch.db());
        QVERIFY(create.exec(QStringLiteral("CREATE TABLE xrows (n INTEGER PRIMARY KEY)")));
        PostingStatements statements(scratch.db());
        PostingStatements::Rows rows;
        for (int n = 1; n <= 1201; ++n)
            rows.push_back({n});
        statements.overRows(QStringLiteral("INSERT INTO xrows (n) VALUES %1"),
                            QStringLiteral("(CAST(? AS INTEGER))"), rows);
        qint64 count = 0, sum = 0;
        statements.overRows(QStringLiteral("SELECT x.n FROM (VALUES %1) AS v JOIN xrows x ON "
                                           "x.n = v.column1"),
                            QStringLiteral("(CAST(? AS INTEGER))"), rows, [&](const QSqlQuery &q) {
                                ++count;
                                sum += q.value(0).toLongLong();
                            });
        QCOMPARE(count, 1201);
        QCOMPARE(sum, 1201LL * 1202 / 2);
    }

    // A statement run again with other values returns the new rows, and a statement whose
    // marks and values do not match is an error, not a statement with a gap.
    void runAgainAndMismatches_data() { addBackendRows(); }
    void runAgainAndMismatches()
    {
        QFETCH(QString, backend);
        ScratchDb scratch(backend);
        PostingStatements statements(scratch.db());
        for (const QString &value : {QStringLiteral("first"), QStringLiteral("second")}) {
            QSqlQuery &q = statements.run(QStringLiteral("SELECT CAST(? AS VARCHAR(10))"), {value});
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), value);
            QVERIFY(!q.next());
        }
        QVERIFY_THROWS_EXCEPTION(
            ServerError, statements.run(QStringLiteral("SELECT ?, ?"), {QStringLiteral("a")}));
        QVERIFY_THROWS_EXCEPTION(
            ServerError, statements.run(QStringLiteral("SELECT ?"), {QStringLiteral("a"), 2}));
    }
};

QTEST_GUILESS_MAIN(tst_PostingStatements)
#include "tst_PostingStatements.moc"
