// Applying change sets: the statements a change set becomes, one transaction per request,
// heads with their lines as one unit, and the refusals that come back per row.

#include "DataAccessFixture.h"
#include "ProviderModule.h"
#include "Resolver.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

using namespace korvane;
using namespace korvane::test;

namespace {

constexpr int opening = grMetaData | grReset;

// Head columns as the provider publishes them; lines are its nested field "xdocb".
enum HeadColumn { Headno, Hdate, StoreCode, StoreName, Amt, Prints, State, Lines };
enum LineColumn { LHeadno, LBodyno, LPdtcode, LQty };

class Changes
{
public:
    explicit Changes(const Fields &fields) { m_set.fields = fields; }

    Changes &insert(const RowValues &values, const ChangeSet &lines = {})
    {
        ChangeRow row;
        row.op = ChangeOp::Insert;
        row.newValues = padded(values);
        addLines(&row, lines);
        m_set.rows << row;
        return *this;
    }
    //! A modify row: old values, then the cells that change.
    Changes &modify(const RowValues &old, const QList<QPair<int, QVariant>> &changes,
                    const ChangeSet &lines = {})
    {
        ChangeRow row;
        row.op = ChangeOp::Modify;
        row.oldValues = padded(old);
        row.newValues = row.oldValues;
        row.changed = QBitArray(m_set.fields.size());
        for (const auto &[column, value] : changes) {
            row.newValues[column] = value;
            row.changed.setBit(column);
        }
        addLines(&row, lines);
        m_set.rows << row;
        return *this;
    }
    Changes &remove(const RowValues &old, const ChangeSet &lines = {})
    {
        ChangeRow row;
        row.op = ChangeOp::Delete;
        row.oldValues = padded(old);
        addLines(&row, lines);
        m_set.rows << row;
        return *this;
    }
    ChangeSet set() const { return m_set; }
    operator ChangeSet() const { return m_set; }

private:
    RowValues padded(RowValues values) const
    {
        while (values.size() < m_set.fields.size())
            values << QVariant();
        return values;
    }
    void addLines(ChangeRow *row, const ChangeSet &lines) const
    {
        if (!lines.isEmpty())
            row->details << qMakePair(int(Lines), lines);
    }
    ChangeSet m_set;
};

class Fixture : public DataAccessFixture
{
public:
    explicit Fixture(const QString &backend)
        : DataAccessFixture(backend),
          module(QStringLiteral("TestRDM"), {headProvider(), storeProvider()})
    {
        GetRecordsRequest r;
        r.provider = QStringLiteral("dspDoc");
        r.count = 0;
        r.options = opening;
        heads = module.getRecords(r).fields;
        lines = heads[Lines].fields;
        r.provider = QStringLiteral("dspStore");
        stores = module.getRecords(r).fields;
    }
    //! The heads and their nested lines, as a resolver of its own applies them.
    ResolveTarget headsWithLines() const
    {
        ResolveTarget target{QStringLiteral("xdoch"), heads, {}, {}, {}};
        target.details.push_back(
            {QStringLiteral("xdocb"), lines, heads[Lines].name, QStringLiteral("headno"), {}});
        return target;
    }
    ApplyResult apply(const ChangeSet &set, int maxErrors = 0,
                      const QString &provider = QStringLiteral("dspDoc"))
    {
        return module.applyUpdates(provider, set, maxErrors);
    }
    ProviderModule module;
    Fields heads;
    Fields lines;
    Fields stores;
};

QString errorsOf(const ApplyResult &r)
{
    QStringList texts;
    for (const ApplyError &e : r.errors)
        texts << e.message;
    return texts.join(" | ");
}

} // namespace

class tst_Resolver : public QObject
{
    Q_OBJECT
private slots:
    void insertModifyDelete_data() { addBackendRows(); }
    void insertModifyDelete();
    void changedKeyLocatesByOldKey_data() { addBackendRows(); }
    void changedKeyLocatesByOldKey();
    void joinedColumnIgnored_data() { addBackendRows(); }
    void joinedColumnIgnored();
    void headWithLinesInOneTransaction_data() { addBackendRows(); }
    void headWithLinesInOneTransaction();
    void refusedLineTakesItsHeadBack_data() { addBackendRows(); }
    void refusedLineTakesItsHeadBack();
    void deleteHeadWithItsLines_data() { addBackendRows(); }
    void deleteHeadWithItsLines();
    void perRowErrorWithDatabaseText_data() { addBackendRows(); }
    void perRowErrorWithDatabaseText();
    void tooManyErrorsRollBackEverything_data() { addBackendRows(); }
    void tooManyErrorsRollBackEverything();
    void refusedValues_data();
    void refusedValues();
    void referenceRefusalsCarryTheirCode_data() { addBackendRows(); }
    void referenceRefusalsCarryTheirCode();
    void vanishedRowIsAnError_data() { addBackendRows(); }
    void vanishedRowIsAnError();
    void refusalsAmidALongChangeSet_data();
    void refusalsAmidALongChangeSet();
    void savepointsOnlyWhereARefusalIsTolerated_data();
    void savepointsOnlyWhereARefusalIsTolerated();
    void refusedSavepointStatementEndsTheApply_data();
    void refusedSavepointStatementEndsTheApply();
    void lineNumberReusedInOneSave_data() { addBackendRows(); }
    void lineNumberReusedInOneSave();
    void tableWithoutKeyIsNotGuessed_data() { addBackendRows(); }
    void tableWithoutKeyIsNotGuessed();
    void refreshedRowsAsStored_data() { addBackendRows(); }
    void refreshedRowsAsStored();
};

void tst_Resolver::insertModifyDelete()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes c(fx.heads);
    c.insert({"H9", "2026-03-09 10:00:00", "S2", QVariant(), 12.5, 3, "1"})
        .modify({"H1", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"}, {{Amt, 99.75}})
        .remove({"H2", "2026-03-02 09:00:00", "S2", "二号仓", 20.5, 0, "2"});
    const ApplyResult r = fx.apply(c);
    QCOMPARE(r.errorCount, 0);
    QCOMPARE(fx.keys("xdoch", "headno"), QStringLiteral("H1 H3 H9"));
    QCOMPARE(fx.value("SELECT amt FROM xdoch WHERE headno = 'H1'").toDouble(), 99.75);
    QCOMPARE(fx.value("SELECT hdate FROM xdoch WHERE headno = 'H1'").toString(),
             QStringLiteral("2026-03-01 09:00:00")); // unchanged cells stay as they are
    QCOMPARE(fx.value("SELECT prints FROM xdoch WHERE headno = 'H9'").toInt(), 3);
}

void tst_Resolver::changedKeyLocatesByOldKey()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes c(fx.heads);
    c.modify({"H3", "2026-03-03 09:00:00", "S1", "一号仓", 30.0, 0, "1"},
             {{Headno, "H4"}, {StoreCode, "S2"}});
    // H3 has a line, which still references it: move the line along in the same unit.
    Changes l(fx.lines);
    l.remove({"H3", "0001", "P1", 3.0});
    Fixture *f = &fx;
    QCOMPARE(f->apply(Changes(fx.heads).modify(
                          {"H3", "2026-03-03 09:00:00", "S1", "一号仓", 30.0, 0, "1"}, {}, l))
                 .errorCount,
             0);
    const ApplyResult r = fx.apply(c);
    QCOMPARE(r.errorCount, 0);
    QCOMPARE(fx.keys("xdoch", "headno, StoreCode"), QStringLiteral("H1/S1 H2/S2 H4/S2"));
}

void tst_Resolver::joinedColumnIgnored()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    const RowValues h1{"H1", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"};
    ApplyResult r = fx.apply(Changes(fx.heads).modify(h1, {{StoreName, "改了"}}));
    QCOMPARE(r.errorCount, 0);
    r = fx.apply(Changes(fx.heads).modify(h1, {{StoreName, "又改了"}, {Prints, 2}}));
    QCOMPARE(r.errorCount, 0);
    QCOMPARE(fx.value("SELECT prints FROM xdoch WHERE headno = 'H1'").toInt(), 2);
    QCOMPARE(fx.value("SELECT name FROM xstore WHERE code = 'S1'").toString(),
             QStringLiteral("一号仓"));
}

void tst_Resolver::headWithLinesInOneTransaction()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes l(fx.lines);
    l.insert({"H5", "0001", "P1", 1.0})
        .insert({QVariant(), "0002", "P2", 2.0}); // head's key filled in
    const ApplyResult r =
        fx.apply(Changes(fx.heads).insert({"H5", "2026-03-05 08:00:00", "S1"}, l));
    QVERIFY2(r.errorCount == 0, qPrintable(errorsOf(r)));
    QCOMPARE(fx.keys("xdocb", "headno, bodyno"),
             QStringLiteral("H1/0001 H1/0002 H3/0001 H5/0001 H5/0002"));
    // Lines come back refreshed inside their head.
    QCOMPARE(r.refreshed.rows.size(), 1);
    QCOMPARE(r.refreshed.rows[0].detailRows(Lines).size(), 2);
    QCOMPARE(r.refreshed.rows[0].detailRows(Lines)[1][LHeadno].toString(), QStringLiteral("H5"));
}

void tst_Resolver::refusedLineTakesItsHeadBack()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes l(fx.lines);
    l.insert({"H5", "0001", "P1", 1.0}).insert({"H5", "0001", "P2", 2.0}); // same key twice
    Changes c(fx.heads);
    c.insert({"H6", "2026-03-06 08:00:00", "S1"}).insert({"H5", "2026-03-05 08:00:00", "S1"}, l);
    const ApplyResult r = fx.apply(c, -1);
    QCOMPARE(r.errorCount, 1);
    const ApplyError &e = r.errors[0];
    QCOMPARE(e.row, 1);
    QCOMPARE(e.detailField, int(Lines));
    QCOMPARE(e.detailRow, 1);
    QVERIFY(!e.message.isEmpty());
    QCOMPARE(e.values.value(LPdtcode).toString(), QStringLiteral("P2")); // the line's values
    // The head and its first line went back with the refused line; the other head stays.
    QCOMPARE(fx.keys("xdoch", "headno"), QStringLiteral("H1 H2 H3 H6"));
    QCOMPARE(fx.count("xdocb", "headno = 'H5'"), 0);
}

void tst_Resolver::deleteHeadWithItsLines()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes l(fx.lines);
    l.remove({"H1", "0001", "P1", 1.5}).remove({"H1", "0002", "P2", 2.0});
    const ApplyResult r = fx.apply(
        Changes(fx.heads).remove({"H1", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"}, l));
    QVERIFY2(r.errorCount == 0, qPrintable(errorsOf(r)));
    QCOMPARE(fx.keys("xdoch", "headno"), QStringLiteral("H2 H3"));
    QCOMPARE(fx.keys("xdocb", "headno, bodyno"), QStringLiteral("H3/0001"));
}

void tst_Resolver::perRowErrorWithDatabaseText()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes c(fx.heads);
    c.insert({"H1", "2026-03-01 09:00:00", "S1"}) // key taken
        .insert({"H7", "2026-03-07 09:00:00", "S1"});
    const ApplyResult r = fx.apply(c, -1);
    QCOMPARE(r.errorCount, 1);
    QCOMPARE(r.errors[0].row, 0);
    QCOMPARE(r.errors[0].detailField, -1);
    QCOMPARE(r.errors[0].values.value(Headno).toString(), QStringLiteral("H1"));
    const QString expected = fx.isPostgres() ? "duplicate key" : "UNIQUE constraint failed";
    QVERIFY2(r.errors[0].message.contains(expected), qPrintable(r.errors[0].message));
    QCOMPARE(fx.count("xdoch"), 4); // the good row went in
}

void tst_Resolver::tooManyErrorsRollBackEverything()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    const QString before = fx.keys("xdoch", "headno, amt, State");
    Changes c(fx.heads);
    c.insert({"H7", "2026-03-07 09:00:00", "S1"})
        .modify({"H2", "2026-03-02 09:00:00", "S2", "二号仓", 20.5, 0, "2"}, {{Amt, 1.0}})
        .insert({"H1", "2026-03-01 09:00:00", "S1"})  // refused: key taken
        .insert({"H3", "2026-03-01 09:00:00", "S1"}); // refused as well
    ApplyResult r = fx.apply(c, 1);
    QCOMPARE(r.errorCount, 2); // the second error ends the request
    QVERIFY(r.refreshed.rows.isEmpty());
    QCOMPARE(fx.keys("xdoch", "headno, amt, State"), before);

    r = fx.apply(c, 2); // tolerated: the rest stands
    QCOMPARE(r.errorCount, 2);
    QCOMPARE(fx.keys("xdoch", "headno"), QStringLiteral("H1 H2 H3 H7"));
}

void tst_Resolver::refusedValues_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    const QStringList backends = backendNames();
    for (const QString &b : backends) {
        QTest::addRow("%s over-long text", qPrintable(b))
            << b << int(StoreCode) << QVariant("S123456789X") << "StoreCode";
        QTest::addRow("%s over-long Chinese text", qPrintable(b))
            << b << int(StoreCode) << QVariant("一二三四五六七八九十一") << "at most 10";
        QTest::addRow("%s text in a number column", qPrintable(b))
            << b << int(Amt) << QVariant("twelve") << "not a number";
    }
}

void tst_Resolver::refusedValues()
{
    QFETCH(QString, backend);
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    Fixture fx(backend);
    RowValues row{"H8", "2026-03-08 09:00:00", "S1", QVariant(), 1.0, 0, "1"};
    row[column] = value;
    const ApplyResult r = fx.apply(Changes(fx.heads).insert(row), -1);
    QCOMPARE(r.errorCount, 1);
    QVERIFY2(r.errors[0].message.contains(message), qPrintable(r.errors[0].message));
    QCOMPARE(fx.count("xdoch", "headno = 'H8'"), 0);
    // Ten characters fit, Chinese or not.
    row[StoreCode] = "S1";
    fx.scratch().db().exec("INSERT INTO xstore (code, name) VALUES ('一二三四五六七八九十', 'x')");
    row[column] = column == int(Amt) ? QVariant("12.5") : QVariant("一二三四五六七八九十");
    const ApplyResult ok = fx.apply(Changes(fx.heads).insert(row), -1);
    QVERIFY2(ok.errorCount == 0, qPrintable(errorsOf(ok)));
}

void tst_Resolver::referenceRefusalsCarryTheirCode()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    // A store still referenced by heads.
    ApplyResult r = fx.apply(Changes(fx.stores).remove({"S1", "一号仓"}), 0, "dspStore");
    QCOMPARE(r.errorCount, 1);
    QCOMPARE(r.errors[0].errorCode, ForeignKeyRefused);
    QVERIFY(!r.errors[0].message.isEmpty());
    // A line whose head does not exist.
    Changes l(fx.lines);
    l.insert({"H9", "0001", "P1", 1.0});
    r = fx.apply(Changes(fx.heads).modify(
        {"H2", "2026-03-02 09:00:00", "S2", "二号仓", 20.5, 0, "2"}, {}, l));
    QCOMPARE(r.errorCount, 1);
    QCOMPARE(r.errors[0].errorCode, ForeignKeyRefused);
    QCOMPARE(fx.count("xstore"), 2);
    QCOMPARE(fx.count("xdocb"), 3);
}

void tst_Resolver::vanishedRowIsAnError()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    // Someone else removed the row, or changed its key, since it was read.
    Changes c(fx.heads);
    c.modify({"H0", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"}, {{Amt, 5.0}})
        .remove({"H0", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"});
    const ApplyResult r = fx.apply(c, -1);
    QCOMPARE(r.errorCount, 2);
    QCOMPARE(r.errors[0].message,
             QStringLiteral("No row with this key exists any more; another user may have "
                            "deleted it or changed its key"));
    // Only the key locates a row: other cells changed meanwhile do not stop a change.
    const ApplyResult stale = fx.apply(Changes(fx.heads).modify(
        {"H1", "2026-03-01 09:00:00", "S1", "一号仓", 99.0, 7, "1"}, {{Prints, 2}}));
    QVERIFY2(stale.errorCount == 0, qPrintable(errorsOf(stale)));
    QCOMPARE(fx.value("SELECT prints FROM xdoch WHERE headno = 'H1'").toInt(), 2);
}

namespace {

//! New heads H1000 ... H(1000+count-1), each with one line; the heads at refusedHeads take a
//! key already stored, the heads at refusedLines have a second line with their first's key.
ChangeSet longChangeSet(const Fixture &fx, int count, const QList<int> &refusedHeads,
                        const QList<int> &refusedLines)
{
    Changes c(fx.heads);
    for (int i = 0; i < count; ++i) {
        const QString headno =
            refusedHeads.contains(i) ? QStringLiteral("H1") : QStringLiteral("H%1").arg(1000 + i);
        Changes l(fx.lines);
        l.insert({headno, "0001", "P1", 1.0});
        if (refusedLines.contains(i))
            l.insert({headno, "0001", "P2", 2.0});
        c.insert({headno, "2026-03-06 08:00:00", "S1"}, l);
    }
    return c;
}

} // namespace

void tst_Resolver::refusalsAmidALongChangeSet_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QList<int>>("refusedHeads");
    QTest::addColumn<QList<int>>("refusedLines");
    for (const QString &b : backendNames()) {
        QTest::addRow("%s none", qPrintable(b)) << b << QList<int>() << QList<int>();
        QTest::addRow("%s first and last", qPrintable(b)) << b << QList<int>{0} << QList<int>{249};
        QTest::addRow("%s amid batches", qPrintable(b))
            << b << QList<int>{57, 99, 100} << QList<int>{58, 180};
    }
}

void tst_Resolver::refusalsAmidALongChangeSet()
{
    QFETCH(QString, backend);
    QFETCH(QList<int>, refusedHeads);
    QFETCH(QList<int>, refusedLines);
    Fixture fx(backend);
    constexpr int count = 250;
    const ApplyResult r = fx.apply(longChangeSet(fx, count, refusedHeads, refusedLines), -1);
    QList<int> refused = refusedHeads + refusedLines;
    std::sort(refused.begin(), refused.end());
    QList<int> reported;
    for (const ApplyError &e : r.errors)
        reported << e.row;
    QCOMPARE(reported, refused);
    for (const ApplyError &e : r.errors)
        QCOMPARE(e.detailRow, refusedLines.contains(e.row) ? 1 : -1);
    // Every other head stands with its line, each once; the refused ones left nothing.
    const int stood = count - int(refused.size());
    QCOMPARE(fx.count("xdoch", "length(headno) = 5"), stood);
    QCOMPARE(fx.count("xdocb", "length(headno) = 5"), stood);
    for (int i : refusedLines)
        QCOMPARE(fx.count("xdoch", QStringLiteral("headno = 'H%1'").arg(1000 + i)), 0);
    QCOMPARE(fx.count("xdocb", "headno = 'H1'"), 2); // the stored head kept its own lines
    QCOMPARE(r.refreshed.rows.size(), stood);
}

void tst_Resolver::savepointsOnlyWhereARefusalIsTolerated_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("maxErrors");
    QTest::addColumn<bool>("refusal");
    QTest::addColumn<int>("atMost");
    for (const QString &b : backendNames()) {
        // Nothing tolerated: the first refusal takes everything back, no savepoint is needed.
        QTest::addRow("%s none tolerated", qPrintable(b)) << b << 0 << false << 0;
        QTest::addRow("%s none tolerated, refused", qPrintable(b)) << b << 0 << true << 0;
        // Tolerated: one savepoint per batch while nothing is refused.
        QTest::addRow("%s tolerated", qPrintable(b)) << b << -1 << false << 3 * 3;
    }
}

void tst_Resolver::savepointsOnlyWhereARefusalIsTolerated()
{
    QFETCH(QString, backend);
    QFETCH(int, maxErrors);
    QFETCH(bool, refusal);
    QFETCH(int, atMost);
    Fixture fx(backend);
    const QString heads = fx.keys("xdoch", "headno");
    Resolver resolver(fx.module.database(), fx.module.catalog());
    int statements = 0;
    resolver.setControlStatement([db = fx.module.database(), &statements](const QString &sql) {
        ++statements;
        QSqlQuery q(db);
        return q.exec(sql) ? QSqlError() : q.lastError();
    });
    const ResolveTarget target = fx.headsWithLines();
    const ApplyResult r =
        resolver.apply(target, longChangeSet(fx, 250, {}, refusal ? QList<int>{200} : QList<int>()),
                       maxErrors, false);
    QCOMPARE(r.errorCount, refusal ? 1 : 0);
    QVERIFY2(statements <= atMost, qPrintable(QString::number(statements)));
    if (refusal)
        QCOMPARE(fx.keys("xdoch", "headno"), heads);
    else
        QCOMPARE(fx.count("xdoch", "length(headno) = 5"), 250);
}

void tst_Resolver::refusedSavepointStatementEndsTheApply_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<bool>("lineRefused");
    for (const QString &b : backendNames()) {
        QTest::addRow("%s rollback to savepoint", qPrintable(b))
            << b << "ROLLBACK TO SAVEPOINT" << true;
        QTest::addRow("%s release savepoint", qPrintable(b)) << b << "RELEASE SAVEPOINT" << false;
    }
}

void tst_Resolver::refusedSavepointStatementEndsTheApply()
{
    QFETCH(QString, backend);
    QFETCH(QString, refused);
    QFETCH(bool, lineRefused);
    Fixture fx(backend);
    const QString heads = fx.keys("xdoch", "headno");
    const QString lines = fx.keys("xdocb", "headno, bodyno");
    Resolver resolver(fx.module.database(), fx.module.catalog());
    resolver.setControlStatement([db = fx.module.database(), refused](const QString &sql) {
        if (sql.startsWith(refused))
            return QSqlError(QString(), QStringLiteral("refused here"), QSqlError::StatementError);
        QSqlQuery q(db);
        return q.exec(sql) ? QSqlError() : q.lastError();
    });
    const ResolveTarget target = fx.headsWithLines();
    // A good head first, then a head whose second line is refused or goes in.
    Changes l(fx.lines);
    l.insert({"H5", "0001", "P1", 1.0}).insert({"H5", lineRefused ? "0001" : "0002", "P2", 2.0});
    Changes c(fx.heads);
    c.insert({"H6", "2026-03-06 08:00:00", "S1"}).insert({"H5", "2026-03-05 08:00:00", "S1"}, l);
    QString error;
    try {
        resolver.apply(target, c, -1, true);
    } catch (const ServerError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(refused) && error.contains("refused here"), qPrintable(error));
    // Nothing of the request stands, the refused head's half least of all.
    QCOMPARE(fx.keys("xdoch", "headno"), heads);
    QCOMPARE(fx.keys("xdocb", "headno, bodyno"), lines);
    // The connection is left outside any transaction: the next request goes through.
    const ApplyResult next =
        fx.apply(Changes(fx.heads).insert({"H7", "2026-03-07 09:00:00", "S1"}));
    QVERIFY2(next.errorCount == 0, qPrintable(errorsOf(next)));
    QCOMPARE(fx.count("xdoch", "headno = 'H7'"), 1);
}

void tst_Resolver::refreshedRowsAsStored()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    Changes c(fx.heads);
    c.insert({"H9", "2026-03-09 10:00:00", "S2", "二号仓", "7.5"}) // State left to the database
        .modify({"H1", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"}, {{Prints, 4}});
    const ApplyResult r = fx.apply(c);
    QCOMPARE(r.errorCount, 0);
    QCOMPARE(r.refreshed.fields.size(), fx.heads.size());
    QCOMPARE(r.refreshed.rows.size(), 2);
    const RowValues &h9 = r.refreshed.rows[0];
    QCOMPARE(h9[State].toString(), QStringLiteral("1"));
    QCOMPARE(h9[Amt].metaType().id(), QMetaType::Double);
    QCOMPARE(h9[Amt].toDouble(), 7.5);
    QCOMPARE(h9[StoreName].toString(), QStringLiteral("二号仓"));
    QCOMPARE(r.refreshed.rows[1][Prints].toInt(), 4);
}

void tst_Resolver::lineNumberReusedInOneSave()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    // The operator deletes line 0002 and adds a new line, which takes the free number 0002;
    // the new line is listed before the removal in the change set.
    Changes l(fx.lines);
    l.insert({"H1", "0002", "P9", 9.0}).remove({"H1", "0002", "P2", 2.0});
    l.modify({"H1", "0001", "P1", 1.5}, {{LQty, 4.0}});
    const ApplyResult r = fx.apply(Changes(fx.heads).modify(
        {"H1", "2026-03-01 09:00:00", "S1", "一号仓", 10.25, 1, "1"}, {{Amt, 63.0}}, l));
    QVERIFY2(r.errorCount == 0, qPrintable(errorsOf(r)));
    QCOMPARE(fx.keys("xdocb", "headno, bodyno, pdtcode"),
             QStringLiteral("H1/0001/P1 H1/0002/P9 H3/0001/P1"));
    QCOMPARE(fx.value("SELECT qty FROM xdocb WHERE headno = 'H1' AND bodyno = '0001'").toDouble(),
             4.0);
}

void tst_Resolver::tableWithoutKeyIsNotGuessed()
{
    QFETCH(QString, backend);
    Fixture fx(backend);
    QSqlQuery q(fx.scratch().db());
    QVERIFY(q.exec("CREATE TABLE xnote (code varchar(10), note varchar(20))"));
    QVERIFY(q.exec("INSERT INTO xnote (code, note) VALUES ('A', 'one')"));
    QVERIFY(q.exec("INSERT INTO xnote (code, note) VALUES ('A', 'two')"));
    ProviderDef def;
    def.name = QStringLiteral("dspNote");
    def.sql = QStringLiteral("select code, note from xnote");
    ProviderModule module(QStringLiteral("NoteRDM"), {def});
    GetRecordsRequest request;
    request.provider = def.name;
    request.count = 0;
    request.options = opening;
    const Fields fields = module.getRecords(request).fields;
    // Without a key a row cannot be told apart: refused rather than hitting both rows.
    const ApplyResult r =
        module.applyUpdates(def.name, Changes(fields).modify({"A", "one"}, {{1, "changed"}}), -1);
    QCOMPARE(r.errorCount, 1);
    QVERIFY2(r.errors[0].message.contains("no key"), qPrintable(r.errors[0].message));
    QCOMPARE(fx.count("xnote", "note = 'changed'"), 0);
}

QTEST_GUILESS_MAIN(tst_Resolver)
#include "tst_Resolver.moc"
