#include "FakeRemoteServer.h"
#include "LumoCLientDataSet.h"
#include "LumoMessages.h"

#include <QTest>

using namespace korvane;

namespace {

FieldDef field(const QString &name, FieldType type = FieldType::String, int flags = pfInUpdate)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.flags = flags;
    return def;
}

// A code table: Code (key), Name, Rate.
Packet codeTable(int rows)
{
    Packet p;
    p.fields = {field(QStringLiteral("Code"), FieldType::String, pfInUpdate | pfInWhere),
                field(QStringLiteral("Name")), field(QStringLiteral("Rate"), FieldType::Float)};
    for (int i = 1; i <= rows; ++i)
        p.rows << RowValues{QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')),
                            QStringLiteral("name%1").arg(i), double(i)};
    return p;
}

// Documents: headno (key), State, lines nested (headno, bodyno, pqty).
Packet documents()
{
    FieldDef lines = field(QStringLiteral("qryLines"), FieldType::Nested);
    lines.fields = {field(QStringLiteral("headno"), FieldType::String, pfInUpdate | pfInWhere),
                    field(QStringLiteral("bodyno"), FieldType::String, pfInUpdate | pfInWhere),
                    field(QStringLiteral("pqty"), FieldType::Float)};
    Packet p;
    p.fields = {field(QStringLiteral("headno"), FieldType::String, pfInUpdate | pfInWhere),
                field(QStringLiteral("State")), lines};
    p.rows << PacketRow{{QStringLiteral("H1"), QStringLiteral("1"), QVariant()},
                        {{2,
                          {PacketRow{QStringLiteral("H1"), QStringLiteral("0001"), 3.0},
                           PacketRow{QStringLiteral("H1"), QStringLiteral("0002"), 4.0}}}}};
    p.rows << PacketRow{{QStringLiteral("H2"), QStringLiteral("2"), QVariant()},
                        {{2, {PacketRow{QStringLiteral("H2"), QStringLiteral("0001"), 10.0}}}}};
    return p;
}

struct Fixture
{
    FakeRemoteServer server;
    TLumoCLientDataSet ds;

    explicit Fixture(const Packet &table = codeTable(3), int packetRecords = -1)
    {
        server.table = table;
        ds.setObjectName(QStringLiteral("CDSXMaster"));
        ds.setRemoteServer(&server);
        ds.setProviderName(QStringLiteral("dspTest"));
        ds.setPacketRecords(packetRecords);
    }
};

QStringList messages;
int answerMessage(const QString &text, int)
{
    messages << text;
    return LumoMsg::Ok;
}

} // namespace

class tst_LumoCLientDataSet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void construction();
    void fieldsIgnoreCaseAndCursorWalks();
    void changeLogMarks();
    void changeSetCarriesOldAndNewValues();
    void cancelUpdatesRestoresEverything();
    void handlerRefusesSilently_data();
    void handlerRefusesSilently();
    void badInputLeavesDataSetAsItWas_data();
    void badInputLeavesDataSetAsItWas();
    void applyMergesRefreshedValues();
    void refusedRowsReconciled_data();
    void refusedRowsReconciled();
    void nestedLinesFollowTheHead();
    void aggregateAndLookupFollowLines();
    void fetchOnDemand();
    void failedFetchEndsInTheMove_data();
    void failedFetchEndsInTheMove();
    void checkRequired_data();
    void checkRequired();
    void locateValues_data();
    void locateValues();
    void filters_data();
    void filters();
    void floatFormatAndParams();
    void calculatedFieldsAndIndexOrder();
    void dataRoundTrip();
};

void tst_LumoCLientDataSet::init()
{
    messages.clear();
    setLumoMessageHook(answerMessage);
}

void tst_LumoCLientDataSet::construction()
{
    TLumoCLientDataSet ds;
    QCOMPARE(ds.TagStr(), QStringLiteral("D0"));
    ds.setTagStr(QStringLiteral("d2"));
    QCOMPARE(ds.TagStr(), QStringLiteral("D2"));
    ds.setTagStr(QStringLiteral("E1"));
    QCOMPARE(ds.TagStr(), QStringLiteral("D0"));
    // The key index exists from construction, even without a Code field.
    QCOMPARE(ds.indexFields(QStringLiteral("IDXKEY")), QStringLiteral("Code"));
    QCOMPARE(ds.MaxRecord(), 0);
    QVERIFY(!ds.Active());
    QCOMPARE(ds.property("TagStr").toString(), QStringLiteral("D0"));
}

void tst_LumoCLientDataSet::fieldsIgnoreCaseAndCursorWalks()
{
    Fixture f;
    f.ds.Open();
    QVERIFY(f.ds.Active());
    QCOMPARE(f.ds.RecordCount(), 3);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("CODE")).AsString(), QStringLiteral("01"));
    QVERIFY(f.ds.Bof());
    QVERIFY(f.ds.Next());
    QCOMPARE(f.ds.RecNo(), 2);
    QVERIFY(!f.ds.Bof() && !f.ds.Eof());
    f.ds.Last();
    QVERIFY(f.ds.Eof());
    QCOMPARE(f.ds.FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("name3"));
    f.ds.Next();
    QVERIFY(f.ds.Eof());
    QCOMPARE(f.ds.RecNo(), 3);
    f.ds.First();
    QVERIFY(f.ds.Bof());
    QCOMPARE(f.ds.RecNo(), 1);
    int scrolled = 0;
    f.ds.AfterScroll = [&](TLumoCLientDataSet &) { ++scrolled; };
    f.ds.MoveBy(2);
    QCOMPARE(f.ds.RecNo(), 3);
    QCOMPARE(scrolled, 1);
    f.ds.Close();
    QVERIFY(!f.ds.Active());
    QCOMPARE(f.ds.RecordCount(), 0);
}

void tst_LumoCLientDataSet::changeLogMarks()
{
    Fixture f;
    f.ds.Open();
    // An inserted record that is deleted again leaves no trace.
    QVERIFY(f.ds.Append());
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("99"));
    QVERIFY(f.ds.Post());
    QCOMPARE(f.ds.ChangeCount(), 1);
    QVERIFY(f.ds.Delete());
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.ds.RecordCount(), 3);

    // Edits after an insert keep it an insert.
    f.ds.Append();
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("98"));
    f.ds.Post();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("later"));
    f.ds.Post();
    QCOMPARE(f.ds.UpdateStatus(), TUpdateStatus::usInserted);
    QCOMPARE(f.ds.ChangeCount(), 1);

    // A modified record keeps its original; putting the value back leaves nothing to send.
    f.ds.First();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("changed"));
    f.ds.Post();
    QCOMPARE(f.ds.UpdateStatus(), TUpdateStatus::usModified);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Name")).OldValue().toString(),
             QStringLiteral("name1"));
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("name1"));
    f.ds.Post();
    QCOMPARE(f.ds.UpdateStatus(), TUpdateStatus::usUnmodified);

    // A deleted stored record is hidden but stays in the log.
    f.ds.Delete();
    QCOMPARE(f.ds.RecordCount(), 3); // 02, 03 and the insert 98
    QCOMPARE(f.ds.ChangeCount(), 2);
}

void tst_LumoCLientDataSet::changeSetCarriesOldAndNewValues()
{
    Fixture f;
    f.ds.Open();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("0X")); // a changed key
    f.ds.Post();
    f.ds.Next();
    f.ds.Delete();
    f.ds.Append();
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("04"));
    f.ds.FieldByName(QStringLiteral("Rate")).setValue(QStringLiteral("2.5"));
    f.ds.Post();

    const ChangeSet set = f.ds.changeSet();
    QCOMPARE(set.rows.size(), 3);
    QCOMPARE(set.rows[0].op, ChangeOp::Modify);
    QCOMPARE(set.rows[0].oldValues.value(0).toString(), QStringLiteral("01"));
    QCOMPARE(set.rows[0].newValues.value(0).toString(), QStringLiteral("0X"));
    QVERIFY(set.rows[0].changed.testBit(0));
    QVERIFY(!set.rows[0].changed.testBit(1));
    QCOMPARE(set.rows[1].op, ChangeOp::Delete);
    QCOMPARE(set.rows[1].oldValues.value(0).toString(), QStringLiteral("02"));
    QVERIFY(set.rows[1].newValues.isEmpty());
    QCOMPARE(set.rows[2].op, ChangeOp::Insert);
    QVERIFY(set.rows[2].oldValues.isEmpty());
    QCOMPARE(set.rows[2].newValues.value(2).toDouble(), 2.5);
}

void tst_LumoCLientDataSet::cancelUpdatesRestoresEverything()
{
    Fixture f(documents());
    f.ds.Open();
    TLumoCLientDataSet lines;
    lines.setDataSetField(&f.ds.FieldByName(QStringLiteral("qryLines")));
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("State")).setValue(QStringLiteral("2"));
    lines.Append();
    lines.FieldByName(QStringLiteral("bodyno")).setValue(QStringLiteral("0003"));
    lines.Post();
    f.ds.Post();
    f.ds.Next();
    f.ds.Delete();
    QCOMPARE(f.ds.ChangeCount(), 3);
    f.ds.CancelUpdates();
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.ds.RecordCount(), 2);
    f.ds.First();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("State")).AsString(), QStringLiteral("1"));
    QCOMPARE(lines.RecordCount(), 2);

    // A line still being typed goes with its deleted head and does not come back.
    lines.Append();
    lines.FieldByName(QStringLiteral("bodyno")).setValue(QStringLiteral("0009"));
    QVERIFY(f.ds.Delete());
    QCOMPARE(lines.State(), TDataSetState::dsBrowse);
    f.ds.CancelUpdates();
    f.ds.First();
    QCOMPARE(lines.RecordCount(), 2);
    QCOMPARE(f.ds.ChangeCount(), 0);
}

void tst_LumoCLientDataSet::handlerRefusesSilently_data()
{
    QTest::addColumn<QString>("event");
    for (const char *e : {"BeforeEdit", "BeforeInsert", "BeforePost", "BeforeDelete",
                          "BeforeScroll", "OnNewRecord"})
        QTest::newRow(e) << QString::fromLatin1(e);
}

void tst_LumoCLientDataSet::handlerRefusesSilently()
{
    QFETCH(QString, event);
    Fixture f;
    f.ds.Open();
    const auto refuse = [](TLumoCLientDataSet &) { Abort(); };
    const QHash<QString, TDataSetNotifyEvent *> events = {
        {QStringLiteral("BeforeEdit"), &f.ds.BeforeEdit},
        {QStringLiteral("BeforeInsert"), &f.ds.BeforeInsert},
        {QStringLiteral("BeforePost"), &f.ds.BeforePost},
        {QStringLiteral("BeforeDelete"), &f.ds.BeforeDelete},
        {QStringLiteral("BeforeScroll"), &f.ds.BeforeScroll},
        {QStringLiteral("OnNewRecord"), &f.ds.OnNewRecord}};
    *events.value(event) = refuse;

    const bool refused = [&] {
        if (event == QLatin1String("BeforeEdit"))
            return !f.ds.Edit();
        if (event == QLatin1String("BeforeInsert") || event == QLatin1String("OnNewRecord"))
            return !f.ds.Append();
        if (event == QLatin1String("BeforeDelete"))
            return !f.ds.Delete();
        if (event == QLatin1String("BeforeScroll"))
            return !f.ds.Next();
        f.ds.Edit();
        f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("x"));
        const bool posted = f.ds.Post();
        // A refused post keeps the record in edit with what was typed.
        if (!posted && f.ds.State() == TDataSetState::dsEdit &&
            f.ds.FieldByName(QStringLiteral("Name")).AsString() == QLatin1String("x")) {
            f.ds.Cancel();
            return true;
        }
        return false;
    }();
    QVERIFY(refused);
    QCOMPARE(f.ds.State(), TDataSetState::dsBrowse);
    QCOMPARE(f.ds.RecordCount(), 3);
    QCOMPARE(f.ds.RecNo(), 1);
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("name1"));
}

void tst_LumoCLientDataSet::badInputLeavesDataSetAsItWas_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown field") << "unknown"
                                   << "字段'Nope'不存在";
    QTest::newRow("wrong value type") << "type"
                                      << "'abc'不是字段'Rate'的有效数值";
    QTest::newRow("required empty") << "required"
                                    << "字段'名称'必须有值";
    QTest::newRow("server gone") << "gone"
                                 << "连接已断开";
    QTest::newRow("browse state") << "browse"
                                  << "数据集不在编辑或插入状态";
}

void tst_LumoCLientDataSet::badInputLeavesDataSetAsItWas()
{
    QFETCH(QString, input);
    QFETCH(QString, error);
    Fixture f;
    f.ds.Open();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("pending"));
    f.ds.Post(); // one change in the log before the bad input
    const ChangeSet before = f.ds.changeSet();

    QString thrown;
    try {
        if (input == QLatin1String("unknown")) {
            f.ds.FieldByName(QStringLiteral("Nope"));
        } else if (input == QLatin1String("type")) {
            f.ds.Edit();
            f.ds.FieldByName(QStringLiteral("Rate")).setValue(QStringLiteral("abc"));
        } else if (input == QLatin1String("required")) {
            f.ds.FieldByName(QStringLiteral("Name"))
                .setRequired(true)
                .setDisplayLabel(QStringLiteral("名称"));
            f.ds.Edit();
            f.ds.FieldByName(QStringLiteral("Name")).Clear();
            f.ds.Post();
        } else if (input == QLatin1String("gone")) {
            f.server.gone = true;
            f.ds.ApplyUpdates(0);
        } else {
            f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("x"));
        }
    } catch (const TLumoDataSetError &e) {
        thrown = e.text();
    } catch (const TLumoRemoteError &e) {
        thrown = e.text();
    }
    QVERIFY2(thrown.contains(error), qPrintable(thrown));
    if (f.ds.State() != TDataSetState::dsBrowse)
        f.ds.Cancel();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("pending"));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Rate")).AsFloat(), 1.0);
    QCOMPARE(f.ds.ChangeCount(), 1);
    // A later apply still sends every change.
    f.server.gone = false;
    QCOMPARE(f.ds.ApplyUpdates(0), 0);
    QCOMPARE(f.server.applied.last().rows.size(), before.rows.size());
    QCOMPARE(f.server.table.rows[0].value(1).toString(), QStringLiteral("pending"));
}

void tst_LumoCLientDataSet::applyMergesRefreshedValues()
{
    Packet table = codeTable(2);
    table.fields << field(QStringLiteral("Stamp"));
    for (RowValues &row : table.rows)
        row << QVariant();
    Fixture f(table);
    f.server.stampColumn = 3;
    f.ds.Open();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("renamed"));
    f.ds.Post();
    f.ds.Append();
    f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("03"));
    f.ds.Post();
    QCOMPARE(f.ds.ApplyUpdates(0), 0);
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Stamp")).AsString(), QStringLiteral("stamped"));
    f.ds.First();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Stamp")).AsString(), QStringLiteral("stamped"));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Name")).OldValue().toString(),
             QStringLiteral("renamed"));
    QCOMPARE(f.server.table.rows.size(), 3);
}

Q_DECLARE_METATYPE(TReconcileAction)

void tst_LumoCLientDataSet::refusedRowsReconciled_data()
{
    QTest::addColumn<TReconcileAction>("action");
    QTest::addColumn<int>("maxErrors");
    QTest::addColumn<int>("changesLeft");
    QTest::addColumn<QString>("nameAfter");
    // Two changes: 01 renamed (refused), 02 renamed (fine).
    QTest::newRow("skip, nothing tolerated") << TReconcileAction::raSkip << 0 << 2 << "bad";
    QTest::newRow("skip, all tolerated") << TReconcileAction::raSkip << -1 << 1 << "bad";
    QTest::newRow("correct keeps it") << TReconcileAction::raCorrect << -1 << 1 << "bad";
    QTest::newRow("cancel backs it out") << TReconcileAction::raCancel << -1 << 0 << "name1";
    QTest::newRow("refresh backs it out") << TReconcileAction::raRefresh << -1 << 0 << "name1";
    QTest::newRow("merge takes it as done") << TReconcileAction::raMerge << -1 << 0 << "bad";
    QTest::newRow("merge after rollback keeps it") << TReconcileAction::raMerge << 0 << 2 << "bad";
    QTest::newRow("abort keeps it") << TReconcileAction::raAbort << -1 << 1 << "bad";
}

void tst_LumoCLientDataSet::refusedRowsReconciled()
{
    QFETCH(TReconcileAction, action);
    QFETCH(int, maxErrors);
    Fixture f;
    f.server.refuse.insert(QStringLiteral("01"), 3631);
    f.ds.Open();
    QString seen;
    f.ds.OnReconcileError = [&](TLumoCLientDataSet &ds, const TLumoReconcileError &e,
                                TUpdateKind kind) {
        seen = QStringLiteral("%1|%2|%3|%4")
                   .arg(e.Message)
                   .arg(e.ErrorCode)
                   .arg(int(kind))
                   .arg(ds.FieldByName(QStringLiteral("Code")).AsString());
        return action;
    };
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("bad"));
    f.ds.Post();
    f.ds.Next();
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("good"));
    f.ds.Post();

    QCOMPARE(f.ds.ApplyUpdates(maxErrors), 1);
    QCOMPARE(seen, QStringLiteral("refused 01|3631|%1|01").arg(int(TUpdateKind::ukModify)));
    QTEST(f.ds.ChangeCount(), "changesLeft");
    f.ds.First();
    QTEST(f.ds.FieldByName(QStringLiteral("Name")).AsString(), "nameAfter");

    // Once the server accepts it, a second apply sends what is left and clears the log.
    f.server.refuse.clear();
    QCOMPARE(f.ds.ApplyUpdates(0), 0);
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.server.table.rows[1].value(1).toString(), QStringLiteral("good"));
}

void tst_LumoCLientDataSet::nestedLinesFollowTheHead()
{
    Fixture f(documents());
    f.ds.Open();
    TLumoCLientDataSet lines;
    lines.setDataSetField(&f.ds.FieldByName(QStringLiteral("qryLines")));
    QVERIFY(lines.Active());
    QCOMPARE(lines.RecordCount(), 2);
    f.ds.Next();
    QCOMPARE(lines.RecordCount(), 1);
    QCOMPARE(lines.FieldByName(QStringLiteral("pqty")).AsFloat(), 10.0);

    // A new line puts the head into edit and counts in the head's change log.
    QVERIFY(lines.Append());
    QCOMPARE(f.ds.State(), TDataSetState::dsEdit);
    lines.FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H2"));
    lines.FieldByName(QStringLiteral("bodyno")).setValue(QStringLiteral("0002"));
    lines.Post();
    f.ds.Post();
    QCOMPARE(f.ds.ChangeCount(), 1);
    QCOMPARE(f.ds.UpdateStatus(), TUpdateStatus::usModified);

    // A new head with lines before it is posted: the lines travel inside its change row.
    f.ds.Append();
    f.ds.FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H3"));
    QCOMPARE(lines.RecordCount(), 0);
    lines.Append();
    lines.FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H3"));
    lines.FieldByName(QStringLiteral("bodyno")).setValue(QStringLiteral("0001"));
    f.ds.Post(); // posts the pending line first
    QCOMPARE(lines.State(), TDataSetState::dsBrowse);
    QCOMPARE(f.ds.ChangeCount(), 3);

    const ChangeSet set = f.ds.changeSet();
    QCOMPARE(set.rows.size(), 2);
    QCOMPARE(set.rows[0].op, ChangeOp::Modify); // H2 itself unchanged, its lines changed
    QCOMPARE(set.rows[0].changed.count(true), 0);
    QCOMPARE(set.rows[0].details.size(), 1);
    QCOMPARE(set.rows[0].details[0].first, 2);
    QCOMPARE(set.rows[0].details[0].second.rows[0].op, ChangeOp::Insert);
    QCOMPARE(set.rows[1].op, ChangeOp::Insert);
    QCOMPARE(set.rows[1].details[0].second.rows.size(), 1);

    // Scrolling back shows the first head's lines again; cancelling a head edit takes
    // the lines typed meanwhile back with it.
    f.ds.First();
    QCOMPARE(lines.RecordCount(), 2);
    lines.Last();
    lines.Delete();
    QCOMPARE(f.ds.State(), TDataSetState::dsEdit);
    QCOMPARE(lines.RecordCount(), 1);
    f.ds.Cancel();
    QCOMPARE(lines.RecordCount(), 2);
    QCOMPARE(f.ds.ChangeCount(), 3);

    QCOMPARE(f.ds.ApplyUpdates(0), 0);
    QCOMPARE(f.ds.ChangeCount(), 0);
    QCOMPARE(f.server.applied.size(), 1);
}

void tst_LumoCLientDataSet::aggregateAndLookupFollowLines()
{
    TLumoCLientDataSet states;
    Packet stateList;
    stateList.fields = {field(QStringLiteral("Code")), field(QStringLiteral("Name"))};
    stateList.rows = {{QStringLiteral("1"), QStringLiteral("未审核")},
                      {QStringLiteral("2"), QStringLiteral("已审核")}};
    states.setData(stateList);

    Fixture f(documents());
    f.ds.addLookupField(QStringLiteral("StateName"), QStringLiteral("State"), &states,
                        QStringLiteral("Code"), QStringLiteral("Name"));
    f.ds.addDataField(QStringLiteral("qryLines"), FieldType::Nested);
    TLumoCLientDataSet lines;
    lines.setDataSetField(&f.ds.FieldByName(QStringLiteral("qryLines")));
    TLumoField &sum =
        lines.addAggregateField(QStringLiteral("SumOfPqty"), QStringLiteral("Sum( Pqty )"));
    TLumoField &count =
        lines.addAggregateField(QStringLiteral("Lines"), QStringLiteral("Count ( bodyno )"));
    f.ds.Open();
    QVERIFY(lines.Active());

    QCOMPARE(f.ds.FieldByName(QStringLiteral("StateName")).AsString(), QStringLiteral("未审核"));
    QCOMPARE(sum.AsFloat(), 7.0);
    QCOMPARE(count.Value().toInt(), 2);
    lines.Edit();
    lines.FieldByName(QStringLiteral("pqty")).setValue(5.5);
    QCOMPARE(sum.AsFloat(), 9.5);
    lines.Append();
    lines.FieldByName(QStringLiteral("pqty")).setValue(1);
    lines.Post();
    QCOMPARE(sum.AsFloat(), 10.5);
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("State")).setValue(QStringLiteral("2"));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("StateName")).AsString(), QStringLiteral("已审核"));
    f.ds.Post();
    f.ds.Next();
    QCOMPARE(sum.AsFloat(), 10.0);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("statename")).AsString(), QStringLiteral("已审核"));
    QVERIFY_THROWS_EXCEPTION(
        TLumoDataSetError,
        lines.addAggregateField(QStringLiteral("Bad"), QStringLiteral("Total(x)")));
}

void tst_LumoCLientDataSet::fetchOnDemand()
{
    Fixture f(codeTable(5), 2);
    f.ds.Open();
    QCOMPARE(f.ds.RecordCount(), 2);
    QVERIFY(f.ds.canFetchMore());
    f.ds.Next();
    QCOMPARE(f.ds.RecordCount(), 2);
    f.ds.Next(); // past the last fetched row: the next packet comes
    QCOMPARE(f.ds.RecordCount(), 4);
    QCOMPARE(f.ds.RecNo(), 3);
    f.ds.Last();
    QCOMPARE(f.ds.RecordCount(), 5);
    QVERIFY(!f.ds.canFetchMore());
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Code")).AsString(), QStringLiteral("05"));
    // Reopening starts again from the first packet.
    f.ds.Close();
    f.ds.Open();
    QCOMPARE(f.ds.RecordCount(), 2);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Code")).AsString(), QStringLiteral("01"));
}

void tst_LumoCLientDataSet::failedFetchEndsInTheMove_data()
{
    QTest::addColumn<int>("distance"); // 1: Next, otherwise MoveBy
    QTest::newRow("Next") << 1;
    QTest::newRow("MoveBy") << 3;
}

void tst_LumoCLientDataSet::failedFetchEndsInTheMove()
{
    QFETCH(int, distance);
    Fixture f(codeTable(5), 2);
    f.ds.Open();
    f.ds.Next();
    const auto move = [&] { return distance == 1 ? f.ds.Next() : f.ds.MoveBy(distance); };
    f.server.gone = true;
    messages.clear();
    try {
        move();
    } catch (const std::exception &e) {
        QFAIL(e.what()); // it would have gone on into the event loop
    }
    // The operator is told once; the rows loaded so far stay, the cursor on the last of them.
    QCOMPARE(messages, QStringList{QStringLiteral("连接已断开")});
    QCOMPARE(f.ds.RecordCount(), 2);
    QCOMPARE(f.ds.RecNo(), 2);
    QVERIFY(f.ds.canFetchMore());
    // The next move asks the server again.
    f.server.gone = false;
    move();
    QCOMPARE(f.ds.RecordCount(), distance == 1 ? 4 : 5);
    QCOMPARE(f.ds.RecNo(), distance == 1 ? 3 : 5);
}

void tst_LumoCLientDataSet::checkRequired_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("contentChecks");
    const QString first = QStringLiteral("代码不能为空！请先填代码");
    QTest::newRow("closed") << "closed" << false << QStringList() << 0;
    QTest::newRow("two empty, first only") << "bothEmpty" << false << QStringList{first} << 0;
    QTest::newRow("all filled, check passes") << "filled" << true << QStringList() << 3;
    QTest::newRow("check refuses") << "refuse" << false << QStringList() << 3;
    QTest::newRow("check throws, result kept") << "throws" << true << QStringList() << 3;
    QTest::newRow("check runs before the empty field")
        << "secondEmpty" << false << QStringList{QStringLiteral("名称不能为空！请先填名称")} << 1;
}

void tst_LumoCLientDataSet::checkRequired()
{
    QFETCH(QString, setup);
    Fixture f;
    f.ds.addDataField(QStringLiteral("Code"))
        .setRequired(true)
        .setDisplayLabel(QStringLiteral("代码"));
    f.ds.addDataField(QStringLiteral("Name"))
        .setRequired(true)
        .setDisplayLabel(QStringLiteral("名称"));
    int checks = 0;
    f.ds.ContentCheck = [&](bool &valid) {
        ++checks;
        if (setup == QLatin1String("throws"))
            throw TLumoDataSetError(QStringLiteral("x"));
        valid = setup != QLatin1String("refuse");
    };
    if (setup != QLatin1String("closed")) {
        f.ds.Open();
        f.ds.Append();
        if (setup != QLatin1String("bothEmpty"))
            f.ds.FieldByName(QStringLiteral("Code")).setValue(QStringLiteral("07"));
        if (setup != QLatin1String("bothEmpty") && setup != QLatin1String("secondEmpty"))
            f.ds.FieldByName(QStringLiteral("Name")).setValue(QStringLiteral("n"));
    }
    QTEST(f.ds.CheckRequired(), "result");
    QTEST(messages, "shown");
    QTEST(checks, "contentChecks");
}

void tst_LumoCLientDataSet::locateValues_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<int>("recNo");
    QTest::newRow("exact code") << "Code" << QVariantList{QStringLiteral("02")} << true << 2;
    QTest::newRow("exact is case-sensitive")
        << "Name" << QVariantList{QStringLiteral("NAME3")} << true << 0;
    QTest::newRow("prefix ignores case")
        << "Name" << QVariantList{QStringLiteral("NAME3")} << false << 3;
    QTest::newRow("two fields") << "Code;Name"
                                << QVariantList{QStringLiteral("03"), QStringLiteral("name3")}
                                << true << 3;
    QTest::newRow("number field") << "rate" << QVariantList{2.0} << true << 2;
    QTest::newRow("missing") << "Code" << QVariantList{QStringLiteral("77")} << true << 0;
}

void tst_LumoCLientDataSet::locateValues()
{
    QFETCH(QString, fields);
    QFETCH(QVariantList, values);
    QFETCH(bool, exact);
    QFETCH(int, recNo);
    Fixture f(codeTable(3), 1); // locating reads rows not fetched yet
    f.ds.Open();
    QCOMPARE(f.ds.LocateValues(fields, values, exact), recNo > 0);
    QCOMPARE(f.ds.RecNo(), recNo > 0 ? recNo : 1);
}

void tst_LumoCLientDataSet::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("equal") << "Code='02'" << QStringList{"02"};
    QTest::newRow("and") << "Code>'01' and Rate<3" << QStringList{"02"};
    QTest::newRow("or with blanks") << "Code = '01' OR Code = '03'" << QStringList{"01", "03"};
    QTest::newRow("not equal, parentheses")
        << "(Code<>'01') and not (Name='name3')" << QStringList{"02"};
    QTest::newRow("no rows") << "Name='none'" << QStringList();
}

void tst_LumoCLientDataSet::filters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, codes);
    Fixture f;
    f.ds.Open();
    f.ds.setFilter(filter);
    f.ds.setFiltered(true);
    QStringList seen;
    for (int r = 0; r < f.ds.RecordCount(); ++r)
        seen << f.ds.FieldByName(QStringLiteral("Code")).valueAt(r).toString();
    QCOMPARE(seen, codes);
    f.ds.setFiltered(false);
    QCOMPARE(f.ds.RecordCount(), 3);
    QVERIFY_THROWS_EXCEPTION(TLumoDataSetError, f.ds.setFilter(QStringLiteral("Code='01")));
    QVERIFY_THROWS_EXCEPTION(TLumoDataSetError, f.ds.setFilter(QStringLiteral("Nope='1'")));
    QCOMPARE(f.ds.Filter(), filter);
}

void tst_LumoCLientDataSet::floatFormatAndParams()
{
    Fixture f;
    f.ds.setFloatFormat(QStringLiteral("0.00"));
    f.ds.Params().setValue(QStringLiteral("BeginDate"), QStringLiteral("2026-01-01"));
    f.ds.Params().setValue(QStringLiteral("begindate"), QStringLiteral("2026-02-01"));
    f.ds.Open();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Rate")).DisplayText(), QStringLiteral("1.00"));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Rate")).Text(), QStringLiteral("1.00"));
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Rate")).AsString(), QStringLiteral("1"));
    QCOMPARE(f.server.paramsSeen.last().size(), 1);
    QCOMPARE(f.server.paramsSeen.last().first().name, QStringLiteral("BeginDate"));
    QCOMPARE(f.ds.Params().value(QStringLiteral("BEGINDATE")).toString(),
             QStringLiteral("2026-02-01"));
    QVERIFY_THROWS_EXCEPTION(TLumoDataSetError, f.ds.Params().value(QStringLiteral("EndDate")));
}

void tst_LumoCLientDataSet::calculatedFieldsAndIndexOrder()
{
    Fixture f;
    f.ds.addCalcField(QStringLiteral("Double"), FieldType::Float, [](const TLumoRecordView &r) {
        return r.asFloat(QStringLiteral("Rate")) * 2;
    });
    f.ds.IndexDefs().append(TLumoIndexDef{QStringLiteral("byRate"), QStringLiteral("Rate")});
    f.ds.Open();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("double")).AsFloat(), 2.0);
    QVERIFY(f.ds.FieldByName(QStringLiteral("Double")).ReadOnly());
    f.ds.Edit();
    f.ds.FieldByName(QStringLiteral("Rate")).setValue(7);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Double")).AsFloat(), 14.0);
    f.ds.Post();
    // An index orders the rows; the current record stays current.
    f.ds.setIndexName(QStringLiteral("BYRATE"));
    QCOMPARE(f.ds.RecNo(), 3);
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Code")).AsString(), QStringLiteral("01"));
    f.ds.First();
    QCOMPARE(f.ds.FieldByName(QStringLiteral("Code")).AsString(), QStringLiteral("02"));
    QVERIFY_THROWS_EXCEPTION(TLumoDataSetError, f.ds.setIndexName(QStringLiteral("none")));
}

void tst_LumoCLientDataSet::dataRoundTrip()
{
    Fixture f(documents());
    f.ds.Open();
    f.ds.Next();
    f.ds.Delete();
    TLumoCLientDataSet copy;
    copy.setData(f.ds.Data());
    QCOMPARE(copy.RecordCount(), 1);
    QCOMPARE(copy.ChangeCount(), 0);
    const PacketRows lines = copy.Data().rows[0].detailRows(2);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].value(1).toString(), QStringLiteral("0002"));
    // An in-memory data set made of declared fields.
    TLumoCLientDataSet memory;
    memory.addDataField(QStringLiteral("pdtcode"), FieldType::String, 30);
    memory.addDataField(QStringLiteral("Needpqty"), FieldType::Float);
    memory.CreateDataSet();
    memory.Append();
    memory.FieldByName(QStringLiteral("needpqty")).setValue(4);
    memory.Post();
    QCOMPARE(memory.Data().rows.size(), 1);
    QCOMPARE(memory.Data().rows[0].value(1).toDouble(), 4.0);
}

QTEST_MAIN(tst_LumoCLientDataSet)
#include "tst_LumoCLientDataSet.moc"
