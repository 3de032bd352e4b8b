// Document numbering: daily serials per table on one guarded process-wide cache.

#include "AutoGainNO.h"
#include "ServerError.h"
#include "TestDb.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <memory>
#include <vector>

using namespace korvane;
using namespace korvane::test;

namespace {

const QDate Day1(2026, 3, 14);
const QDate Day2(2026, 3, 15);

//! A scratch database with two numbered head tables.
std::unique_ptr<ScratchDb> numberedDb(const QString &backend)
{
    auto db = std::make_unique<ScratchDb>(backend);
    QSqlQuery q(db->db());
    for (const char *table : {"XBuyh", "XSaleh"}) {
        if (!q.exec(QStringLiteral("CREATE TABLE %1 (headno varchar(15) NOT NULL PRIMARY KEY)")
                        .arg(QLatin1String(table))))
            qWarning() << q.lastError().text();
    }
    return db;
}

void store(const QSqlDatabase &db, const QString &table, const QString &headno)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (headno) VALUES (:h)").arg(table));
    q.bindValue(QStringLiteral(":h"), headno);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

} // namespace

class TestAutoGainNO : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AutoGainNO::instance().clear();
        AutoGainNO::instance().setClock([] { return Day1; });
    }
    void cleanup() { AutoGainNO::instance().setClock({}); }

    void serialPerTableAndDay_data();
    void serialPerTableAndDay();
    void restartsNextDay_data() { addBackendRows(); }
    void restartsNextDay();
    void refusesPast9999_data() { addBackendRows(); }
    void refusesPast9999();
    void unknownTableNumbersFromCache_data() { addBackendRows(); }
    void unknownTableNumbersFromCache();
    void concurrentClientsGetUniqueNumbers_data() { addBackendRows(); }
    void concurrentClientsGetUniqueNumbers();
};

void TestAutoGainNO::serialPerTableAndDay_data()
{
    addBackendRows();
}

void TestAutoGainNO::serialPerTableAndDay()
{
    QFETCH(QString, backend);
    const auto scratch = numberedDb(backend);
    const QSqlDatabase db = scratch->db();

    // Empty table: the day's first number.
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603140001"));
    // Table names differing only in case share one sequence.
    QCOMPARE(GetHeadno(db, "XBUYH"), QString("202603140002"));
    QCOMPARE(GetHeadno(db, "xbuyh"), QString("202603140003"));
    // Another table has its own sequence.
    QCOMPARE(GetHeadno(db, "XSaleh"), QString("202603140001"));

    // A stored number of the day above the cache wins; numbers of other days are ignored,
    // and so are stored numbers that are not a day and four digits.
    store(db, "XSaleh", "202603140007");
    store(db, "XSaleh", "202603150500");
    store(db, "XSaleh", "2026031400x9");
    store(db, "XSaleh", "20260314000099");
    QCOMPARE(GetHeadno(db, "XSaleh"), QString("202603140008"));
    // A number handed out but never saved is not handed out again.
    QCOMPARE(GetHeadno(db, "XSaleh"), QString("202603140009"));
    QCOMPARE(AutoGainNO::instance().record("xsaleh").lastSerial, 9);
}

void TestAutoGainNO::restartsNextDay()
{
    QFETCH(QString, backend);
    const auto scratch = numberedDb(backend);
    const QSqlDatabase db = scratch->db();

    for (int i = 0; i < 3; ++i)
        GetHeadno(db, "XBuyh");
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603140004"));

    AutoGainNO::instance().setClock([] { return Day2; });
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603150001"));
    store(db, "XBuyh", "202603150020");
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603150021"));
}

void TestAutoGainNO::refusesPast9999()
{
    QFETCH(QString, backend);
    const auto scratch = numberedDb(backend);
    const QSqlDatabase db = scratch->db();

    store(db, "XBuyh", "202603149998");
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603149999"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            GetHeadno(db, "XBuyh");
            QFAIL("a ten-thousandth number of one day was handed out");
        } catch (const ServerError &e) {
            QVERIFY2(e.text().contains("XBUYH") && e.text().contains("9999"), qPrintable(e.text()));
        }
    }
    // The refusal leaves the cache as it was, and other tables keep numbering.
    QCOMPARE(AutoGainNO::instance().record("XBuyh").lastSerial, 9999);
    QCOMPARE(GetHeadno(db, "XSaleh"), QString("202603140001"));
}

void TestAutoGainNO::unknownTableNumbersFromCache()
{
    QFETCH(QString, backend);
    const auto scratch = numberedDb(backend);
    const QSqlDatabase db = scratch->db();

    // Unknown names and statement text never reach the database; the cache numbers them.
    const QString injected = "XBuyh; DROP TABLE XSaleh";
    QCOMPARE(GetHeadno(db, "NoSuchTable"), QString("202603140001"));
    QCOMPARE(GetHeadno(db, "nosuchtable"), QString("202603140002"));
    QCOMPARE(GetHeadno(db, injected), QString("202603140001"));
    QCOMPARE(storedHeadnoSerial(db, injected, Day1), -1);
    QVERIFY(db.tables().contains("XSaleh", Qt::CaseInsensitive));

    // A closed connection numbers from the cache as well.
    QSqlDatabase closed = QSqlDatabase::addDatabase("QSQLITE", "closed_for_numbering");
    QCOMPARE(GetHeadno(closed, "XBuyh"), QString("202603140001"));
    QCOMPARE(GetHeadno(db, "XBuyh"), QString("202603140002"));
    closed = QSqlDatabase();
    QSqlDatabase::removeDatabase("closed_for_numbering");
}

void TestAutoGainNO::concurrentClientsGetUniqueNumbers()
{
    QFETCH(QString, backend);
    const auto scratch = numberedDb(backend);
    store(scratch->db(), "XBuyh", "202603140100");

    // Eight clients, each on its own thread and connection, like module instances.
    constexpr int Clients = 8;
    constexpr int PerClient = 1000;
    std::vector<QStringList> drawn(Clients);
    const QString source = scratch->db().connectionName();
    std::vector<std::unique_ptr<QThread>> threads;
    for (int c = 0; c < Clients; ++c) {
        threads.emplace_back(QThread::create([&, c] {
            const QString name = QStringLiteral("numbering_%1").arg(c);
            {
                QSqlDatabase db = QSqlDatabase::cloneDatabase(source, name);
                db.open();
                for (int i = 0; i < PerClient; ++i)
                    drawn[c] << GetHeadno(db, "XBuyh");
            }
            QSqlDatabase::removeDatabase(name);
        }));
        threads.back()->start();
    }
    for (auto &t : threads)
        t->wait();

    QSet<QString> unique;
    for (const QStringList &numbers : drawn) {
        QCOMPARE(numbers.size(), PerClient);
        for (const QString &n : numbers)
            unique.insert(n);
    }
    QCOMPARE(unique.size(), Clients * PerClient);
    QVERIFY(unique.contains("202603140101"));
    QVERIFY(unique.contains(QStringLiteral("20260314%1").arg(100 + Clients * PerClient)));
}

QTEST_GUILESS_MAIN(TestAutoGainNO)
#include "tst_AutoGainNO.moc"
