#include "DemoData.h"
#include "PasswordHash.h"
#include "TestDb.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace korvane;

namespace {

const QDate kToday(2026, 3, 14);

//! One value of a statement's first row.
QVariant scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        qWarning() << sql << q.lastError().text();
        return QVariant();
    }
    return q.value(0);
}

//! Every row of a table in key order, as one digest.
QByteArray digest(const QSqlDatabase &db, const QString &table, const QString &order)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order));
    while (q.next()) {
        for (int i = 0; i < q.record().count(); ++i)
            hash.addData(q.value(i).toString().toUtf8() + '|');
    }
    return hash.result();
}

//! An account set made from the shipped script and filled with the demonstration.
struct DemoSet
{
    explicit DemoSet(const QString &backend) : scratch(backend) {}
    bool create(QString *error)
    {
        if (!scratch.runScript(QStringLiteral(KORVANE_DB_DIR "/BK"))) {
            *error = QStringLiteral("the shipped script did not run");
            return false;
        }
        return fillDemoData(scratch.db(), kToday, error);
    }
    test::ScratchDb scratch;
};

} // namespace

class tst_DemoData : public QObject
{
    Q_OBJECT

private slots:
    void everyKindOfDocumentIsThere_data() { test::addBackendRows(); }
    void everyKindOfDocumentIsThere()
    {
        QFETCH(QString, backend);
        DemoSet set(backend);
        QString error;
        QVERIFY2(set.create(&error), qPrintable(error));
        const QSqlDatabase db = set.scratch.db();
        const QString today = kToday.toString(Qt::ISODate);
        for (int flag = 1; flag <= 9; ++flag) {
            const QString kind = QStringLiteral("Flag = '%1'").arg(flag);
            QVERIFY2(scalar(db, QStringLiteral("SELECT count(*) FROM xStockChh WHERE %1 AND "
                                               "State = '2'")
                                    .arg(kind))
                             .toInt() > 0,
                     qPrintable(kind));
            // Each window opens on today's list: something there is waiting to be checked.
            QVERIFY2(scalar(db, QStringLiteral("SELECT count(*) FROM xStockChh WHERE %1 AND "
                                               "State = '1' AND substr(hdate, 1, 10) = '%2'")
                                    .arg(kind, today))
                             .toInt() > 0,
                     qPrintable(kind));
        }
        for (const char *table : {"XBuyh", "XSaleh", "XIncomeh", "XOutcomeh", "xInvoiceh"})
            QVERIFY2(scalar(db, QStringLiteral("SELECT count(*) FROM %1 WHERE State = '2'")
                                    .arg(QLatin1String(table)))
                             .toInt() > 0,
                     table);
        QVERIFY(scalar(db, "SELECT count(*) FROM xInvoiceh WHERE Flag = '2'").toInt() > 0);
        // Purchase orders wait to be read by a receipt, and some stock is short.
        QVERIFY(scalar(db, "SELECT count(*) FROM XBuyb b JOIN XBuyh h ON h.headno = b.headno "
                           "WHERE h.State = '2' AND b.ifinish = '0'")
                    .toInt() > 0);
        QVERIFY(scalar(db, "SELECT count(*) FROM XStock WHERE lowpqty > pqty + stdpqty").toInt() >
                0);
    }

    void balancesAreWhatTheCheckedDocumentsSay_data() { test::addBackendRows(); }
    void balancesAreWhatTheCheckedDocumentsSay()
    {
        QFETCH(QString, backend);
        DemoSet set(backend);
        QString error;
        QVERIFY2(set.create(&error), qPrintable(error));
        const QSqlDatabase db = set.scratch.db();
        // Stock: opening plus every checked line, in or out as its sub-kind says; a
        // transfer also puts into its receiving store.
        const QString moves = QStringLiteral(R"(
            SELECT h.Storecode AS store, b.pdtcode, b.pdtno,
                   CASE WHEN h.Flag <> '6' AND a.InOut = 'I' THEN b.pqty ELSE -b.pqty END AS q
            FROM xStockChh h JOIN xStockChb b ON b.headno = h.headno
            JOIN XStockChAttr a ON a.Flag = h.Flag AND a.InOutFlag = h.InOutFlag
            WHERE h.State = '2'
            UNION ALL
            SELECT h.StorecodeIn, b.pdtcode, b.pdtno, b.pqty
            FROM xStockChh h JOIN xStockChb b ON b.headno = h.headno
            WHERE h.State = '2' AND h.Flag = '6')");
        const QString wrongStock =
            QStringLiteral("SELECT count(*) FROM XStock s WHERE abs(s.pqty - s.startnum - "
                           "coalesce((SELECT sum(m.q) FROM (%1) m WHERE m.store = s.storecode "
                           "AND m.pdtcode = s.pdtcode AND m.pdtno = s.pdtno), 0)) > 0.0001")
                .arg(moves);
        QCOMPARE(scalar(db, wrongStock).toInt(), 0);
        QCOMPARE(scalar(db, "SELECT count(*) FROM XStock WHERE pqty < 0").toInt(), 0);
        // Received and delivered quantities of order lines.
        for (const auto &[lines, in, out] :
             QList<std::tuple<const char *, const char *, const char *>>{{"XBuyb", "1", "2"},
                                                                         {"XSaleb", "3", "4"}}) {
            const QString sql =
                QStringLiteral(R"(
                SELECT count(*) FROM %1 o WHERE abs(o.getpqty - coalesce((
                  SELECT sum(CASE WHEN h.Flag = '%2' THEN b.pqty ELSE -b.pqty END)
                  FROM xStockChb b JOIN xStockChh h ON h.headno = b.headno
                  WHERE h.State = '2' AND h.Flag IN ('%2', '%3')
                    AND b.LinkHeadno = o.headno AND b.LinkBodyno = o.bodyno), 0)) > 0.0001)")
                    .arg(QLatin1String(lines), QLatin1String(in), QLatin1String(out));
            QCOMPARE(scalar(db, sql).toInt(), 0);
        }
        // Money received against sales order lines.
        QCOMPARE(scalar(db, R"(
            SELECT count(*) FROM XSaleb o WHERE abs(o.getTaxamount - coalesce((
              SELECT sum(b.GetTaxamount) FROM XInComeb b JOIN XIncomeh h ON h.headno = b.headno
              WHERE h.State = '2' AND b.LinkHeadno = o.headno AND b.LinkBodyno = o.bodyno), 0))
              > 0.005)")
                     .toInt(),
                 0);
        // Heads carry the totals of their lines.
        QCOMPARE(scalar(db, R"(
            SELECT count(*) FROM XBuyh h WHERE abs(h.taxamt -
              (SELECT sum(b.Taxamount) FROM XBuyb b WHERE b.headno = h.headno)) > 0.005)")
                     .toInt(),
                 0);
    }

    void staffLogInWithTheirCode()
    {
        DemoSet set(QStringLiteral("sqlite"));
        QString error;
        QVERIFY2(set.create(&error), qPrintable(error));
        const QString stored =
            scalar(set.scratch.db(), "SELECT PWD FROM XPSEmp WHERE code = '0003'").toString();
        QVERIFY(PasswordHash::isHash(stored));
        QVERIFY(PasswordHash::verify(QStringLiteral("0003"), stored));
    }

    void theSameDayGivesTheSameFirm()
    {
        DemoSet first(QStringLiteral("sqlite"));
        DemoSet second(QStringLiteral("sqlite"));
        QString error;
        QVERIFY2(first.create(&error) && second.create(&error), qPrintable(error));
        for (const auto &[table, order] :
             QList<QPair<const char *, const char *>>{{"xStockChb", "headno, bodyno"},
                                                      {"XSaleb", "headno, bodyno"},
                                                      {"XStock", "storecode, pdtcode, pdtno"},
                                                      {"xInvoiceh", "headno"}}) {
            QCOMPARE(digest(first.scratch.db(), QLatin1String(table), QLatin1String(order)),
                     digest(second.scratch.db(), QLatin1String(table), QLatin1String(order)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_DemoData)
#include "tst_DemoData.moc"
