// A client's own statement text run read-only: the database refuses writes while the guard
// lives, on every way out of it, and the connection writes again afterwards.

#include "ReadOnlyTransaction.h"
#include "ServerError.h"
#include "TestDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

QString runOn(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) ? QString() : q.lastError().text();
}

} // namespace

class tst_ReadOnlyTransaction : public QObject
{
    Q_OBJECT
private slots:
    void writesRefusedWhileItLasts_data() { addBackendRows(); }
    void writesRefusedWhileItLasts()
    {
        QFETCH(QString, backend);
        ScratchDb scratch(backend);
        const QSqlDatabase db = scratch.db();
        QCOMPARE(runOn(db, "CREATE TABLE xnote (code varchar(10))"), QString());
        auto insert = [&] { return runOn(db, "INSERT INTO xnote (code) VALUES ('A')"); };
        {
            const ReadOnlyTransaction readOnly(db);
            QVERIFY(!insert().isEmpty());
        }
        QCOMPARE(insert(), QString());
        // Left by an exception, and after the text ended the transaction itself.
        try {
            const ReadOnlyTransaction readOnly(db);
            throw ServerError(QStringLiteral("a refused answer"));
        } catch (const ServerError &) {
        }
        QCOMPARE(insert(), QString());
        {
            const ReadOnlyTransaction readOnly(db);
            QCOMPARE(runOn(db, "COMMIT"), QString());
        }
        QCOMPARE(insert(), QString());
        QCOMPARE(runOn(db, "SELECT 1"), QString());
        QSqlQuery count(db);
        QVERIFY(count.exec("SELECT count(*) FROM xnote") && count.next());
        QCOMPARE(count.value(0).toInt(), 3);
    }

    void oneStatement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("one");
        QTest::newRow("plain") << "SELECT 1" << true;
        QTest::newRow("trailing semicolons") << " SELECT 1 ; ;\n" << true;
        QTest::newRow("two statements") << "SELECT 1; SELECT 2" << false;
        QTest::newRow("after a commit") << "SELECT 1; COMMIT; DROP TABLE x;" << false;
        // Quotes are not told apart: a quoted ';' is refused too.
        QTest::newRow("quoted semicolon") << "SELECT 1 WHERE 'a;b' <> ''" << false;
    }
    void oneStatement()
    {
        QFETCH(QString, text);
        QFETCH(bool, one);
        QCOMPARE(isOneStatement(text), one);
    }
};

QTEST_GUILESS_MAIN(tst_ReadOnlyTransaction)
#include "tst_ReadOnlyTransaction.moc"
