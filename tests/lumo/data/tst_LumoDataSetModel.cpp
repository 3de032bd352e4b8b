#include "FakeRemoteServer.h"
#include "LumoDataSetModel.h"
#include "LumoDataSource.h"

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace korvane;

namespace {

Packet products(int rows)
{
    Packet p;
    p.fields = {
        FieldDef{QStringLiteral("Code"), FieldType::String, 10, true, pfInUpdate | pfInWhere},
        FieldDef{QStringLiteral("Name"), FieldType::String, 20},
        FieldDef{QStringLiteral("Price"), FieldType::Float}};
    for (int i = 0; i < rows; ++i)
        p.rows << RowValues{QStringLiteral("P%1").arg(i), QStringLiteral("product %1").arg(i),
                            i * 1.5};
    return p;
}

struct Fixture
{
    FakeRemoteServer server;
    TLumoCLientDataSet ds;
    TLumoDataSetModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};

    explicit Fixture(int rows, int packetRecords = -1)
    {
        server.table = products(rows);
        ds.setRemoteServer(&server);
        ds.setProviderName(QStringLiteral("dspPdt"));
        ds.setPacketRecords(packetRecords);
        ds.setFloatFormat(QStringLiteral("0.00"));
        model.setDataSet(&ds);
    }
};

} // namespace

class tst_LumoDataSetModel : public QObject
{
    Q_OBJECT
private slots:
    void showsFieldsAndRows();
    void editsGoThroughTheDataSet();
    void refusedEditsStayInTheModel();
    void failuresEndInTheModel_data();
    void failuresEndInTheModel();
    void fetchesAsTheGridScrolls();
    void rowsFollowStructuralChanges();
    void dataSourcePassesNotificationsOn();
    void integersKeepAllBits_data();
    void integersKeepAllBits();
};

void tst_LumoDataSetModel::integersKeepAllBits_data()
{
    // Beyond 2^53 a double cannot tell neighbours apart, beyond 2^31 an int cannot hold them.
    QTest::addColumn<QVariant>("typed");
    QTest::addColumn<qlonglong>("value");
    const qlonglong big = (qlonglong(1) << 53) + 1;
    QTest::newRow("number") << QVariant(big) << big;
    QTest::newRow("typed text") << QVariant(QString::number(big)) << big;
    QTest::newRow("negative text")
        << QVariant(QStringLiteral(" -4611686018427387905 ")) << -(qlonglong(1) << 62) - 1;
    QTest::newRow("beyond 32 bits") << QVariant(qlonglong(3000000000)) << qlonglong(3000000000);
}

void tst_LumoDataSetModel::integersKeepAllBits()
{
    QFETCH(QVariant, typed);
    QFETCH(qlonglong, value);
    const qlonglong stored = (qlonglong(1) << 40) + 3;
    Fixture f(0);
    f.server.table.fields << FieldDef{QStringLiteral("Qty"), FieldType::Integer, 0, false,
                                      pfInUpdate};
    f.server.table.rows << RowValues{QStringLiteral("P0"), QStringLiteral("screw"), 1.5, stored};
    f.ds.Open();
    f.model.setColumns({});
    QCOMPARE(f.model.index(0, 3).data().toString(), QString::number(stored));
    QCOMPARE(f.model.index(0, 3).data(Qt::EditRole).toLongLong(), stored);
    QVERIFY(f.model.setData(f.model.index(0, 3), typed));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Qty")).AsInteger(), value);
    QCOMPARE(f.model.index(0, 3).data().toString(), QString::number(value));
    QVERIFY(f.ds.Post());
    QCOMPARE(f.ds.ApplyUpdates(0), 0);
    // The change set carries both values whole.
    const ChangeRow &change = f.server.applied.value(0).rows.value(0);
    QCOMPARE(change.oldValues.value(3).toLongLong(), stored);
    QCOMPARE(change.newValues.value(3).toLongLong(), value);
}

void tst_LumoDataSetModel::showsFieldsAndRows()
{
    Fixture f(3);
    QVERIFY_THROWS_EXCEPTION(TLumoDataSetError, f.ds.FieldByName(QStringLiteral("Price")));
    f.ds.Open();
    f.ds.FieldByName(QStringLiteral("Name")).setDisplayLabel(QStringLiteral("名称"));
    f.model.setColumns({}); // labels are read when the columns are made
    QCOMPARE(f.model.rowCount(), 3);
    QCOMPARE(f.model.columnCount(), 3);
    QCOMPARE(f.model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QCOMPARE(f.model.index(2, 2).data().toString(), QStringLiteral("3.00"));
    QCOMPARE(f.model.index(2, 2).data(Qt::EditRole).toDouble(), 3.0);
    QCOMPARE(f.model.index(0, 0).data().toString(), QStringLiteral("P0"));
    f.model.setColumns({QStringLiteral("price"), QStringLiteral("code")});
    QCOMPARE(f.model.columnCount(), 2);
    QCOMPARE(f.model.index(1, 1).data().toString(), QStringLiteral("P1"));
}

void tst_LumoDataSetModel::editsGoThroughTheDataSet()
{
    Fixture f(3);
    f.ds.Open();
    f.ds.FieldByName(QStringLiteral("Code")).setReadOnly(true);
    QVERIFY(!(f.model.flags(f.model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(f.model.flags(f.model.index(0, 1)) & Qt::ItemIsEditable);
    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);
    QVERIFY(f.model.setData(f.model.index(1, 2), QStringLiteral("9.5")));
    QCOMPARE(f.ds.RecNo(), 2);
    QCOMPARE(f.ds.State(), TDataSetState::dsEdit);
    QCOMPARE(changed.size(), 1);
    QVERIFY(f.ds.Post());
    QCOMPARE(f.model.index(1, 2).data().toString(), QStringLiteral("9.50"));
    QCOMPARE(f.model.index(1, 0).data(TLumoDataSetModel::UpdateStatusRole).toInt(),
             int(TUpdateStatus::usModified));
    QCOMPARE(f.model.index(0, 0).data(TLumoDataSetModel::UpdateStatusRole).toInt(),
             int(TUpdateStatus::usUnmodified));
    QVERIFY(!f.model.setData(f.model.index(0, 0), QStringLiteral("X")));
    f.model.setReadOnly(true);
    QVERIFY(!(f.model.flags(f.model.index(0, 1)) & Qt::ItemIsEditable));
}

void tst_LumoDataSetModel::refusedEditsStayInTheModel()
{
    Fixture f(2);
    f.ds.Open();
    QSignalSpy refused(&f.model, &TLumoDataSetModel::editRefused);
    QVERIFY(!f.model.setData(f.model.index(0, 2), QStringLiteral("abc")));
    QCOMPARE(refused.size(), 1);
    QVERIFY(f.model.lastError().contains(QStringLiteral("Price")));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Price")).AsFloat(), 0.0);
    // A handler that refuses moving off the record refuses the edit of another row.
    f.ds.BeforeScroll = [](TLumoCLientDataSet &) { Abort(); };
    QVERIFY(!f.model.setData(f.model.index(1, 1), QStringLiteral("n")));
    QCOMPARE(f.model.index(1, 1).data().toString(), QStringLiteral("product 1"));
}

void tst_LumoDataSetModel::failuresEndInTheModel_data()
{
    QTest::addColumn<QString>("where");   // "edit": a handler of Edit fails; "cell": a calculation
    QTest::addColumn<bool>("unexpected"); // a plain std::exception rather than the server's text
    QTest::newRow("edit, server refuses") << QStringLiteral("edit") << false;
    QTest::newRow("edit, unexpected") << QStringLiteral("edit") << true;
    QTest::newRow("cell, server refuses") << QStringLiteral("cell") << false;
    QTest::newRow("cell, unexpected") << QStringLiteral("cell") << true;
}

void tst_LumoDataSetModel::failuresEndInTheModel()
{
    QFETCH(QString, where);
    QFETCH(bool, unexpected);
    Fixture f(2);
    bool failing = false;
    const auto fail = [&] {
        if (!failing)
            return;
        if (unexpected)
            throw std::logic_error("broken");
        throw TLumoRemoteError(QStringLiteral("连接已断开"));
    };
    f.ds.addCalcField(QStringLiteral("Twice"), FieldType::Float, [&](const TLumoRecordView &) {
        if (where == QLatin1String("cell"))
            fail();
        return QVariant(2.0);
    });
    f.ds.BeforeEdit = [&](TLumoCLientDataSet &) {
        if (where == QLatin1String("edit"))
            fail();
    };
    f.ds.Open();
    f.model.setColumns({QStringLiteral("Name"), QStringLiteral("Twice")});
    QSignalSpy refused(&f.model, &TLumoDataSetModel::editRefused);
    failing = true;
    if (unexpected)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("failed: broken")));
    try {
        if (where == QLatin1String("edit"))
            QVERIFY(!f.model.setData(f.model.index(1, 0), QStringLiteral("n")));
        else
            QCOMPARE(f.model.index(0, 1).data(), QVariant());
    } catch (const std::exception &e) {
        QFAIL(e.what()); // it would have gone on into the event loop
    }
    // The server's text is handed on for an edit; a cell swallows it; the unexpected is logged.
    const bool handedOn = where == QLatin1String("edit") && !unexpected;
    QCOMPARE(refused.size(), handedOn ? 1 : 0);
    QCOMPARE(f.model.lastError(), handedOn ? QStringLiteral("连接已断开") : QString());
    // The grid goes on working.
    failing = false;
    QCOMPARE(f.ds.State(), TDataSetState::dsBrowse);
    QVERIFY(f.model.setData(f.model.index(1, 0), QStringLiteral("n")));
    QCOMPARE(f.model.index(1, 0).data().toString(), QStringLiteral("n"));
    QCOMPARE(f.model.index(1, 1).data().toString(), QStringLiteral("2.00"));
}

void tst_LumoDataSetModel::fetchesAsTheGridScrolls()
{
    // The item model tester fetches on its own while it checks a reset, so the paging is
    // watched on a model of its own here.
    FakeRemoteServer server;
    server.table = products(7);
    TLumoCLientDataSet ds;
    ds.setRemoteServer(&server);
    ds.setProviderName(QStringLiteral("dspPdt"));
    ds.setPacketRecords(3);
    TLumoDataSetModel model;
    model.setDataSet(&ds);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    ds.Open();
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(model.canFetchMore({}));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 3);
    QCOMPARE(inserted.first().at(2).toInt(), 5);
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 7);
    QVERIFY(!model.canFetchMore({}));
    QCOMPARE(model.index(6, 0).data().toString(), QStringLiteral("P6"));

    // The server dropping mid-scroll: an error, the rows already here stay.
    ds.Close();
    ds.Open();
    server.gone = true;
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.lastError().isEmpty());
}

void tst_LumoDataSetModel::rowsFollowStructuralChanges()
{
    Fixture f(3);
    f.ds.Open();
    f.ds.Append();
    QCOMPARE(f.model.rowCount(), 4);
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("N1"));
    f.ds.Post();
    QCOMPARE(f.model.index(3, 0).data(TLumoDataSetModel::UpdateStatusRole).toInt(),
             int(TUpdateStatus::usInserted));
    f.ds.First();
    f.ds.Delete();
    QCOMPARE(f.model.rowCount(), 3);
    f.ds.setFilter(QStringLiteral("Code='P1'"));
    f.ds.setFiltered(true);
    QCOMPARE(f.model.rowCount(), 1);
    f.ds.Close();
    QCOMPARE(f.model.rowCount(), 0);
}

void tst_LumoDataSetModel::dataSourcePassesNotificationsOn()
{
    Fixture f(3);
    TLumoDataSource source;
    source.setTagStr(QStringLiteral("d1"));
    QCOMPARE(source.TagStr(), QStringLiteral("D1"));
    source.setDataSet(&f.ds);
    QSignalSpy moved(&source, &TLumoDataSource::recordMoved);
    QSignalSpy fields(&source, &TLumoDataSource::fieldChanged);
    QSignalSpy states(&source, &TLumoDataSource::stateChanged);
    QSignalSpy active(&source, &TLumoDataSource::activeChanged);
    f.ds.Open();
    QCOMPARE(active.size(), 1);
    moved.clear();
    f.ds.Next();
    QCOMPARE(moved.size(), 1);
    f.ds.Edit();
    QCOMPARE(source.State(), TDataSetState::dsEdit);
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("x"));
    QCOMPARE(fields.size(), 1);
    QCOMPARE(fields.first().first().value<TLumoField *>()->FieldName(), QStringLiteral("Name"));
    // While disabled the controls hear nothing; enabling makes them reread.
    source.setEnabled(false);
    moved.clear();
    f.ds.Post();
    f.ds.First();
    QCOMPARE(moved.size(), 0);
    source.setEnabled(true);
    QCOMPARE(moved.size(), 1);
    QVERIFY(states.size() >= 2);
}

QTEST_MAIN(tst_LumoDataSetModel)
#include "tst_LumoDataSetModel.moc"
