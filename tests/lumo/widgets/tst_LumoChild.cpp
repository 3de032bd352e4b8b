#include "FakeRemoteServer.h"
#include "LumoChild.h"
#include "LumoChildTestSupport.h"
#include "LumoDBGrid.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoMessages.h"
#include "LumoPageControl.h"
#include "LumoPanel.h"
#include "LumoTestSupport.h"
#include "LumoUpdateError.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

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

PacketRow line(const QString &headno, const QString &bodyno, double pqty)
{
    return {headno, bodyno, pqty};
}

//! Documents H1 (lines 0001 and 0003), H2 (one line) and H3 (no lines).
Packet documents()
{
    FieldDef lines = field(QStringLiteral("xStockChb"), FieldType::Nested);
    lines.fields = {field(QStringLiteral("headno"), FieldType::String, pfInUpdate | pfInWhere),
                    field(QStringLiteral("bodyno"), FieldType::String, pfInUpdate | pfInWhere),
                    field(QStringLiteral("pqty"), FieldType::Float)};
    Packet p;
    p.fields = {field(QStringLiteral("headno"), FieldType::String, pfInUpdate | pfInWhere),
                field(QStringLiteral("note")), field(QStringLiteral("amt"), FieldType::Float),
                lines};
    p.rows << PacketRow{{QStringLiteral("H1"), QStringLiteral("first"), 1.0, QVariant()},
                        {{3,
                          {line(QStringLiteral("H1"), QStringLiteral("0001"), 3),
                           line(QStringLiteral("H1"), QStringLiteral("0003"), 4)}}}};
    p.rows << PacketRow{{QStringLiteral("H2"), QStringLiteral("second"), 2.0, QVariant()},
                        {{3, {line(QStringLiteral("H2"), QStringLiteral("0001"), 5)}}}};
    p.rows << RowValues{QStringLiteral("H3"), QStringLiteral("third"), 3.0, QVariant()};
    return p;
}

//! The provider plus the document module's own methods.
class DocumentServer : public FakeRemoteServer
{
public:
    QStringList calls;        // "method:arg|arg|..."
    QStringList existingKeys; // what keyExist finds
    QString refusalText;      // replaces the message of every refused row
    int serial = 0;

    QVariant call(const QString &method, const QVariantList &args, QVariantList *) override
    {
        QStringList texts;
        for (const QVariant &a : args)
            texts << a.toString();
        calls << method + QLatin1Char(':') + texts.join(QLatin1Char('|'));
        if (method == QStringLiteral("GetHeadno"))
            return QStringLiteral("20261210%1").arg(++serial, 4, 10, QLatin1Char('0'));
        if (method == QStringLiteral("keyExist"))
            return existingKeys.contains(texts.value(2));
        return {};
    }

    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override
    {
        ApplyResult result = FakeRemoteServer::applyUpdates(provider, delta, maxErrors);
        if (!refusalText.isEmpty()) {
            for (ApplyError &e : result.errors)
                e.message = refusalText;
        }
        return result;
    }

    int callsOf(const QString &method) const
    {
        return int(calls.filter(QRegularExpression(QLatin1Char('^') + method + ':')).size());
    }
};

using Messages = lumo::test::MessageQueue;
using lumo::test::editPanel;

//! A small document window: a query panel, a head panel (D1) and a line panel (D2), the
//! heads with nested lines, and the frame.
struct WorkWindow
{
    DocumentServer server;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TLumoPanel *pnlQuery = nullptr;
    TLumoPanel *pnlMaster = nullptr;
    TLumoPanel *pnlDetail = nullptr;
    TLumoCLientDataSet *CDSXMaster = nullptr;
    TLumoCLientDataSet *cdsXDetail = nullptr;
    TLumoChild *LumoChild = nullptr;

    WorkWindow()
    {
        server.table = documents();
        window->setObjectName(QStringLiteral("frmTest"));
        new QVBoxLayout(window.get());
        pnlQuery = editPanel(window.get(), QStringLiteral("pnlQuery"), QStringLiteral("D0"));
        pnlQuery->setPnlType(TLumoPanel::ptQuery);
        pnlMaster = editPanel(window.get(), QStringLiteral("pnlMasterEdt"), QStringLiteral("D1"));
        pnlDetail = editPanel(window.get(), QStringLiteral("pnlDetail"), QStringLiteral("D2"));

        CDSXMaster = new TLumoCLientDataSet(window.get());
        CDSXMaster->setObjectName(QStringLiteral("CDSXMaster"));
        CDSXMaster->setTagStr(QStringLiteral("D1"));
        CDSXMaster->setTableName(QStringLiteral("xStockChh"));
        CDSXMaster->setProviderName(QStringLiteral("dspTest"));
        CDSXMaster->setRemoteServer(&server);
        CDSXMaster->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("headno")}};
        cdsXDetail = new TLumoCLientDataSet(window.get());
        cdsXDetail->setObjectName(QStringLiteral("cdsXDetail"));
        cdsXDetail->setTagStr(QStringLiteral("D2"));
        cdsXDetail->setTableName(QStringLiteral("xStockChb"));
        cdsXDetail->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("headno;bodyno")}};
        LumoChild = new TLumoChild(window.get());
        LumoChild->setObjectName(QStringLiteral("LumoChild"));
    }

    //! What the window's first activation does: initialise the frame, open the data sets.
    void activate(const TLumoSession &session = {})
    {
        LumoChild->InitFrame(session);
        CDSXMaster->Open();
        CDSXMaster->FieldByName(QStringLiteral("headno"))
            .setDisplayLabel(QStringLiteral("单据号码"))
            .setRequired(true);
        cdsXDetail->setDataSetField(&CDSXMaster->FieldByName(QStringLiteral("xStockChb")));
    }

    QLineEdit *editor(TLumoPanel *panel) const { return panel->findChild<QLineEdit *>(); }
    QString head() const { return CDSXMaster->FieldByName(QStringLiteral("headno")).AsString(); }
    QString bodyNo() const { return cdsXDetail->FieldByName(QStringLiteral("bodyno")).AsString(); }
    bool exec(int command) { return LumoChild->ExecCommand(command); }
};

} // namespace

class tst_LumoChild : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { TLumoUpdateError::setHook({}); }
    void configurationReports_data();
    void configurationReports();
    void uninitialisedFrameRefusesCommands();
    void gridsAndNumberEditor_data();
    void gridsAndNumberEditor();
    void sessionDateFormatAndFloatFormat_data();
    void sessionDateFormatAndFloatFormat();
    void commandResult_data();
    void commandResult();
    void navigationAtTheEnds();
    void currentDataSetFollowsFocusedPanel();
    void appendNumbersHeadAndLines();
    void newDocumentBringsItsPageForward();
    void nextBodyNo_data();
    void nextBodyNo();
    void lineNeedsTheHeadKey();
    void postChecks_data();
    void postChecks();
    void blankFieldsBeforePost();
    void deleteDocumentWithLines();
    void deleteAsksAndStopsOnEmpty();
    void returnQuestion_data();
    void returnQuestion();
    void returnClosesTheWorkAreaWindow();
    void cancelGivesBackTheNumber();
    void lockAfterPost();
    void scrollAsksToSave_data();
    void scrollAsksToSave();
    void refusedChanges_data();
    void refusedChanges();
    void updateErrorDialogShowsTheRecord();
    void lumoMessageActions_data();
    void lumoMessageActions();
    void commandEntryServesLatestFrame();
    void commandErrorsEndInTheCommand_data();
    void commandErrorsEndInTheCommand();
};

void tst_LumoChild::configurationReports_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("report");
    QTest::newRow("sound window") << ""
                                  << "";
    QTest::newRow("no master") << "no master"
                               << "没有设定主表！请重新设定！";
    QTest::newRow("no table name") << "no table"
                                   << "请指定cdsXDetail所连接的表！";
    QTest::newRow("no key index") << "no index"
                                  << "主索引未定义！";
    QTest::newRow("key field missing") << "bad key"
                                       << "主索定义错误！cdsXDetail中没有字段：'bodyno'";
    QTest::newRow("detail without edit area") << "no panel"
                                              << "cdsXDetail没有对应的编辑区域！请重新设定！";
    QTest::newRow("second frame") << "two frames"
                                  << "只能放一个LumoChild! :)";
}

void tst_LumoChild::configurationReports()
{
    QFETCH(QString, fault);
    QFETCH(QString, report);
    Messages messages;
    WorkWindow w;
    if (fault == QLatin1String("no master"))
        w.CDSXMaster->setTagStr(QStringLiteral("D3"));
    else if (fault == QLatin1String("no table"))
        w.cdsXDetail->setTableName(QString());
    else if (fault == QLatin1String("no index"))
        w.cdsXDetail->IndexDefs().clear();
    else if (fault == QLatin1String("bad key"))
        w.cdsXDetail->addDataField(QStringLiteral("headno")); // declared fields lack bodyno
    else if (fault == QLatin1String("no panel"))
        w.pnlDetail->setPnlType(TLumoPanel::ptNormal);
    else if (fault == QLatin1String("two frames"))
        new TLumoChild(w.window.get());
    w.LumoChild->InitFrame({});
    QVERIFY(w.LumoChild->Initialized()); // a faulty window still opens
    if (report.isEmpty()) {
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QCOMPARE(w.LumoChild->MasterDataSet(), w.CDSXMaster);
        QCOMPARE(w.LumoChild->ActivePanel(), w.pnlMaster);
        QVERIFY(w.pnlMaster->Active());
        QVERIFY(!w.pnlDetail->Active());
        QCOMPARE(w.LumoChild->ManagedDataSets().size(), 2);
        return;
    }
    QVERIFY2(messages.texts.contains(report), qPrintable(messages.texts.join('\n')));
    QCOMPARE(messages.kinds.at(messages.texts.indexOf(report)), int(LumoMsg::Debug));
}

void tst_LumoChild::uninitialisedFrameRefusesCommands()
{
    Messages messages;
    WorkWindow w;
    QVERIFY(!w.exec(TLumoChild::cmFirst));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("LumoChild未初始化！")});
    // InitFrame works once only.
    w.activate();
    w.CDSXMaster->setTagStr(QStringLiteral("D0"));
    w.LumoChild->InitFrame({});
    QCOMPARE(w.LumoChild->ManagedDataSets().size(), 2);
}

void tst_LumoChild::gridsAndNumberEditor_data()
{
    QTest::addColumn<QString>("gridCode");
    QTest::addColumn<bool>("readOnlyNumber");
    QTest::newRow("master grid, number read-only") << "D1" << true;
    QTest::newRow("line grid, number typed") << "d2" << false;
    QTest::newRow("unbound grid") << "D0" << true;
    QTest::newRow("no code") << "" << false;
}

void tst_LumoChild::gridsAndNumberEditor()
{
    QFETCH(QString, gridCode);
    QFETCH(bool, readOnlyNumber);
    Messages messages;
    WorkWindow w;
    auto *grid = new Tlumodbgrid(w.pnlMaster);
    grid->setObjectName(QStringLiteral("GridXMaster"));
    grid->setTagStr(gridCode);
    w.pnlMaster->layout()->addWidget(grid);
    auto *number = new TLumoDBEdit(w.pnlMaster);
    number->setDataField(QStringLiteral("headno"));
    TLumoSession session;
    session.HeadNoReadOnly = readOnlyNumber;
    w.activate(session);
    QCOMPARE(number->TagStr(), readOnlyNumber ? QStringLiteral("R") : QString());
    QCOMPARE(number->isReadOnly(), readOnlyNumber);
    const bool wrongCode = gridCode != QLatin1String("D1") && gridCode != QLatin1String("d2");
    QCOMPARE(messages.texts, wrongCode
                                 ? QStringList{QStringLiteral("GridXMaster的TagStr错误！(D1~D9)")}
                                 : QStringList{});
    // A double click on any grid of the window is the edit command.
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton);
    QCOMPARE(w.CDSXMaster->State(), TDataSetState::dsEdit);
}

void tst_LumoChild::sessionDateFormatAndFloatFormat_data()
{
    QTest::addColumn<QString>("userFormat");
    QTest::addColumn<int>("fmt");
    QTest::newRow("short GB") << "YY年MM月DD日 HH点MM分SS秒" << int(TLumoDateEdit::dtfShortGBDate);
    QTest::newRow("short") << "YY-MM-DD HH:MM:SS" << int(TLumoDateEdit::dtfShortDate);
    QTest::newRow("GB") << "YYYY年MM月DD日 HH点MM分SS秒" << int(TLumoDateEdit::dtfGBDate);
    QTest::newRow("anything else") << "YYYY-MM-DD HH:MM:SS" << int(TLumoDateEdit::dtfDate);
}

void tst_LumoChild::sessionDateFormatAndFloatFormat()
{
    QFETCH(QString, userFormat);
    QFETCH(int, fmt);
    Messages messages;
    WorkWindow w;
    auto *date = new TLumoDateEdit(w.pnlMaster);
    date->setDateTimeFmt(fmt == TLumoDateEdit::dtfDate ? TLumoDateEdit::dtfGBDate
                                                       : TLumoDateEdit::dtfDate);
    // A data set the frame does not manage still shows its floats with two decimals.
    auto *lookup = new TLumoCLientDataSet(w.window.get());
    lookup->addDataField(QStringLiteral("Rate"), FieldType::Float);
    TLumoSession session;
    session.DateFormat = userFormat;
    w.activate(session);
    QCOMPARE(int(date->DateTimeFmt()), fmt);
    QCOMPARE(lookup->FieldByName(QStringLiteral("Rate")).DisplayFormat(), QStringLiteral("0.00"));
    QCOMPARE(w.CDSXMaster->FieldByName(QStringLiteral("amt")).DisplayText(),
             QStringLiteral("1.00"));
    QCOMPARE(w.LumoChild->ManagedDataSets().size(), 2);
}

void tst_LumoChild::commandResult_data()
{
    QTest::addColumn<bool>("beforeSays");
    QTest::addColumn<bool>("withAfter");
    QTest::addColumn<bool>("afterSays");
    QTest::addColumn<bool>("result");
    QTest::newRow("before false, no after: own action decides") << false << false << true << true;
    QTest::newRow("before false, after passes it on") << false << true << false << false;
    QTest::newRow("after decides") << true << true << false << false;
    QTest::newRow("all true") << true << true << true << true;
}

void tst_LumoChild::commandResult()
{
    QFETCH(bool, beforeSays);
    QFETCH(bool, withAfter);
    QFETCH(bool, afterSays);
    QFETCH(bool, result);
    Messages messages;
    WorkWindow w;
    w.activate();
    QList<bool> afterReceived;
    w.LumoChild->BeforeExecParentCommand = [&](int, bool &RLT) { RLT = beforeSays; };
    if (withAfter) {
        w.LumoChild->AfterExecParentCommand = [&](int, bool &RLT) {
            afterReceived << RLT;
            RLT = afterSays;
        };
    }
    QCOMPARE(w.exec(TLumoChild::cmEdit), result);
    QCOMPARE(w.CDSXMaster->State(), TDataSetState::dsEdit); // the before-event cannot stop it
    if (withAfter)
        QCOMPARE(afterReceived, QList<bool>{beforeSays});

    // A before-event that must stop a command aborts silently.
    w.exec(TLumoChild::cmCancel);
    w.LumoChild->BeforeExecParentCommand = [](int, bool &) { Abort(); };
    QVERIFY(!w.exec(TLumoChild::cmEdit));
    QCOMPARE(w.CDSXMaster->State(), TDataSetState::dsBrowse);
}

void tst_LumoChild::navigationAtTheEnds()
{
    Messages messages;
    WorkWindow w;
    w.activate();
    QCOMPARE(w.head(), QStringLiteral("H1"));
    QVERIFY(w.exec(TLumoChild::cmPrior));
    QCOMPARE(w.head(), QStringLiteral("H1"));
    QVERIFY(w.exec(TLumoChild::cmLast)); // from the first record to the last
    QCOMPARE(w.head(), QStringLiteral("H3"));
    QVERIFY(w.exec(TLumoChild::cmLast)); // on the last one nothing moves
    QCOMPARE(w.head(), QStringLiteral("H3"));
    QVERIFY(w.exec(TLumoChild::cmNext));
    QCOMPARE(w.head(), QStringLiteral("H3"));
    QVERIFY(w.exec(TLumoChild::cmFirst));
    QCOMPARE(w.head(), QStringLiteral("H1"));
    QVERIFY(w.exec(TLumoChild::cmNext));
    QCOMPARE(w.head(), QStringLiteral("H2"));
    QCOMPARE(w.cdsXDetail->RecordCount(), 1);
    QVERIFY(messages.texts.isEmpty());
    // Without AutoNav the frame leaves the record alone.
    w.LumoChild->setOptions(TLumoChild::defaultOptions() & ~TLumoChild::AutoNav);
    QVERIFY(w.exec(TLumoChild::cmFirst));
    QCOMPARE(w.head(), QStringLiteral("H2"));
}

void tst_LumoChild::currentDataSetFollowsFocusedPanel()
{
    Messages messages;
    WorkWindow w;
    QVERIFY(lumo::test::showActive(w.window.get()));
    w.activate();
    // The query panel takes the focus when the window initialises.
    QCOMPARE(QApplication::focusWidget(), w.editor(w.pnlQuery));
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.CDSXMaster);

    w.editor(w.pnlDetail)->setFocus();
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.cdsXDetail);
    QCOMPARE(w.LumoChild->ActivePanel(), w.pnlDetail);
    QVERIFY(w.pnlDetail->Active());
    QVERIFY(!w.pnlMaster->Active());
    QVERIFY(w.exec(TLumoChild::cmNext)); // commands 1-7 go to the current data set
    QCOMPARE(w.bodyNo(), QStringLiteral("0003"));
    QCOMPARE(w.head(), QStringLiteral("H1"));

    w.editor(w.pnlQuery)->setFocus(); // a query panel is no edit area
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.cdsXDetail);
    w.editor(w.pnlMaster)->setFocus();
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.CDSXMaster);

    // New and edit bring the focus to the active panel.
    w.editor(w.pnlQuery)->setFocus();
    QVERIFY(w.exec(TLumoChild::cmEdit));
    QCOMPARE(QApplication::focusWidget(), w.editor(w.pnlMaster));
}

void tst_LumoChild::appendNumbersHeadAndLines()
{
    Messages messages;
    WorkWindow w;
    QVERIFY(lumo::test::showActive(w.window.get()));
    w.LumoChild->setAutoNO(true);
    QStringList formSaw;
    w.CDSXMaster->AfterInsert = [&](TLumoCLientDataSet &ds) {
        // The form's own handler runs first, before the number is there.
        formSaw << ds.FieldByName(QStringLiteral("headno")).AsString();
        ds.FieldByName(QStringLiteral("note")).setValue(QStringLiteral("new"));
    };
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmNew));
    QCOMPARE(formSaw, QStringList{QString()});
    QCOMPARE(w.head(), QStringLiteral("202612100001"));
    QCOMPARE(w.server.calls, QStringList{QStringLiteral("GetHeadno:xStockChh")});
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(w.server.table.rows.size(), 4);

    // Lines 0001 and 0003: new lines fill the gap first, then go on past the end.
    QVERIFY(w.exec(TLumoChild::cmFirst));
    w.editor(w.pnlDetail)->setFocus();
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.cdsXDetail);
    QCOMPARE(w.head(), QStringLiteral("H1"));
    QCOMPARE(w.cdsXDetail->RecordCount(), 2);
    QVERIFY(w.exec(TLumoChild::cmNew));
    QCOMPARE(w.bodyNo(), QStringLiteral("0002"));
    QCOMPARE(QApplication::focusWidget(), w.editor(w.pnlDetail));
    QVERIFY(w.exec(TLumoChild::cmNew)); // posts 0002 first
    QCOMPARE(w.bodyNo(), QStringLiteral("0004"));
    QVERIFY(w.exec(TLumoChild::cmCancel));
    QVERIFY(w.exec(TLumoChild::cmLast)); // lines stay in the order they were entered
    QCOMPARE(w.bodyNo(), QStringLiteral("0002"));
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.exec(TLumoChild::cmDelete)); // 0002 goes: the next new line takes it back
    QVERIFY(w.exec(TLumoChild::cmNew));
    QCOMPARE(w.bodyNo(), QStringLiteral("0002"));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
}

void tst_LumoChild::newDocumentBringsItsPageForward()
{
    // A list page whose head panel holds only the grid, and a document page with the head's
    // editors: a new head is typed on the document page.
    Messages messages;
    WorkWindow w;
    auto *pages = new TLumoPageControl(w.window.get());
    w.window->layout()->addWidget(pages);
    auto *listPage = new QWidget;
    auto *documentPage = new QWidget;
    new QVBoxLayout(listPage);
    new QVBoxLayout(documentPage);
    pages->addTab(listPage, QStringLiteral("资料列表"));
    pages->addTab(documentPage, QStringLiteral("详细信息"));
    auto *pnlList = new TLumoPanel(listPage);
    pnlList->setPnlType(TLumoPanel::ptActivePnl);
    pnlList->setTagStr(QStringLiteral("D1"));
    listPage->layout()->addWidget(pnlList);
    auto *grid = new Tlumodbgrid(pnlList);
    grid->setTagStr(QStringLiteral("D1"));
    w.pnlMaster->setParent(documentPage);
    documentPage->layout()->addWidget(w.pnlMaster);
    QVERIFY(lumo::test::showActive(w.window.get()));
    w.activate();
    grid->setFocus(); // the operator works in the list
    QCOMPARE(w.LumoChild->ActivePanel(), pnlList);
    QCOMPARE(pages->currentWidget(), listPage);
    QVERIFY(w.exec(TLumoChild::cmNew));
    QCOMPARE(pages->currentWidget(), documentPage);
    QCOMPARE(QApplication::focusWidget(), w.editor(w.pnlMaster));
    QCOMPARE(w.LumoChild->ActivePanel(), w.pnlMaster);
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoChild::nextBodyNo_data()
{
    QTest::addColumn<QStringList>("used");
    QTest::addColumn<QString>("next");
    QTest::newRow("no lines") << QStringList{} << "0001";
    QTest::newRow("gap") << QStringList{"0001", "0003"} << "0002";
    QTest::newRow("after the last") << QStringList{"0002", "0001", "0003"} << "0004";
    QTest::newRow("foreign numbers leave room") << QStringList{"A", "B"} << "0001";
    QTest::newRow("ten thousand lines") << QStringList{"9999"} << "0001";
}

void tst_LumoChild::nextBodyNo()
{
    QFETCH(QStringList, used);
    QFETCH(QString, next);
    QCOMPARE(TLumoChild::NextBodyNo(used), next);
}

void tst_LumoChild::lineNeedsTheHeadKey()
{
    Messages messages;
    WorkWindow w;
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmNew)); // no numbering: the head has no number yet
    QVERIFY(!w.cdsXDetail->Append());
    QCOMPARE(messages.texts, QStringList{QStringLiteral("单据号码不能为空！")});
    QCOMPARE(w.cdsXDetail->State(), TDataSetState::dsBrowse);
    w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H9"));
    QVERIFY(w.cdsXDetail->Append());
}

void tst_LumoChild::postChecks_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("onServer");
    QTest::addColumn<bool>("posted");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("keyTests");
    const QString exists = QStringLiteral("单据号码为'H2'的资料已经存在。请检查！");
    QTest::newRow("new with a free key") << true << "H7" << QStringList{"H1"} << true << "" << 1;
    QTest::newRow("new with a taken key")
        << true << "H2" << QStringList{"H2"} << false << exists << 1;
    QTest::newRow("edit without touching the key")
        << false << "H1" << QStringList{"H1"} << true << "" << 1;
    QTest::newRow("edit onto a taken key")
        << false << "H2" << QStringList{"H1", "H2"} << false << exists << 1;
    QTest::newRow("required key empty")
        << true << "" << QStringList{} << false << "单据号码不能为空！请先填单据号码" << 0;
}

void tst_LumoChild::postChecks()
{
    QFETCH(bool, append);
    QFETCH(QString, key);
    QFETCH(QStringList, onServer);
    QFETCH(bool, posted);
    QFETCH(QString, message);
    QFETCH(int, keyTests);
    Messages messages;
    WorkWindow w;
    w.activate();
    w.server.existingKeys = onServer;
    QVERIFY(w.exec(append ? TLumoChild::cmNew : TLumoChild::cmEdit));
    w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(key);
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("typed"));
    QCOMPARE(w.exec(TLumoChild::cmSave), posted);
    QCOMPARE(w.server.callsOf(QStringLiteral("keyExist")), keyTests);
    if (keyTests)
        QCOMPARE(w.server.calls.last(), QStringLiteral("keyExist:xStockChh|headno|") + key);
    QCOMPARE(messages.texts, message.isEmpty() ? QStringList{} : QStringList{message});
    // A refused post keeps the record and what was typed.
    QCOMPARE(w.CDSXMaster->State(),
             posted ? TDataSetState::dsBrowse
                    : (append ? TDataSetState::dsInsert : TDataSetState::dsEdit));
    QCOMPARE(w.head(), key);
    QCOMPARE(w.server.applied.size(), posted ? 1 : 0);
}

void tst_LumoChild::blankFieldsBeforePost()
{
    Messages messages;
    WorkWindow w;
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmNew));
    w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H5"));
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QString());
    QVERIFY(w.exec(TLumoChild::cmSave));
    const RowValues stored = w.server.table.rows.last();
    QCOMPARE(stored.at(0).toString(), QStringLiteral("H5"));
    QVERIFY(stored.at(1).isNull());         // text: null
    QCOMPARE(stored.at(2).toDouble(), 0.0); // number: 0
    QVERIFY(!stored.at(2).isNull());
}

void tst_LumoChild::deleteDocumentWithLines()
{
    Messages messages;
    messages.answers = {LumoMsg::Yes};
    WorkWindow w;
    w.activate();
    QCOMPARE(w.cdsXDetail->RecordCount(), 2);
    QList<int> detailCountsAtMasterDelete;
    w.CDSXMaster->BeforeDelete = [&](TLumoCLientDataSet &) {
        detailCountsAtMasterDelete << w.cdsXDetail->RecordCount();
    };
    QVERIFY(w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
    QCOMPARE(messages.kinds, QList<int>{LumoMsg::YesNo});
    QCOMPARE(detailCountsAtMasterDelete, QList<int>{0}); // the lines went first
    // One apply, at once, carrying the head's deletion.
    QCOMPARE(w.server.applied.size(), 1);
    QCOMPARE(w.server.applied.first().rows.first().op, ChangeOp::Delete);
    QCOMPARE(w.CDSXMaster->ChangeCount(), 0);
    QCOMPARE(w.server.table.rows.size(), 2);
    QCOMPARE(w.head(), QStringLiteral("H2"));
}

void tst_LumoChild::deleteAsksAndStopsOnEmpty()
{
    Messages messages;
    messages.answers = {LumoMsg::No};
    WorkWindow w;
    QVERIFY(lumo::test::showActive(w.window.get()));
    w.activate();
    QVERIFY(!w.exec(TLumoChild::cmDelete)); // No keeps everything
    QCOMPARE(w.CDSXMaster->RecordCount(), 3);
    QVERIFY(w.server.applied.isEmpty());
    // A document without lines: deleting a line asks nothing.
    QVERIFY(w.exec(TLumoChild::cmLast));
    w.editor(w.pnlDetail)->setFocus();
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.cdsXDetail);
    messages.texts.clear();
    QVERIFY(!w.exec(TLumoChild::cmDelete));
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoChild::returnQuestion_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("applies");
    QTest::addColumn<int>("rowsOnServer");
    QTest::newRow("nothing to save") << false << 0 << true << 0 << 3;
    QTest::newRow("yes saves") << true << int(LumoMsg::Yes) << true << 1 << 4;
    QTest::newRow("no drops") << true << int(LumoMsg::No) << true << 0 << 3;
    QTest::newRow("cancel stays") << true << int(LumoMsg::Cancel) << false << 0 << 3;
}

void tst_LumoChild::returnQuestion()
{
    QFETCH(bool, unsaved);
    QFETCH(int, answer);
    QFETCH(bool, result);
    QFETCH(int, applies);
    QFETCH(int, rowsOnServer);
    Messages messages;
    messages.answers = {answer};
    WorkWindow w;
    w.window->show();
    w.activate();
    if (unsaved) {
        QVERIFY(w.exec(TLumoChild::cmNew));
        w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H8"));
    }
    QCOMPARE(w.exec(TLumoChild::cmMayLeave), !unsaved);
    QCOMPARE(w.exec(TLumoChild::cmReturn), result);
    QCOMPARE(messages.texts,
             unsaved ? QStringList{QStringLiteral("当前资料尚未保存，是否保存")} : QStringList{});
    if (unsaved)
        QCOMPARE(messages.kinds.first(), int(LumoMsg::YesNoCancel));
    QCOMPARE(w.window->isVisible(), !result);
    QCOMPARE(w.server.applied.size(), applies);
    QCOMPARE(w.server.table.rows.size(), rowsOnServer);
    if (result)
        QCOMPARE(w.CDSXMaster->ChangeCount(), 0);
}

void tst_LumoChild::returnClosesTheWorkAreaWindow()
{
    Messages messages;
    QMdiArea area;
    WorkWindow w;
    QWidget *window = w.window.release();
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(window);
    QPointer<QWidget> form = window;
    area.show();
    sub->showMaximized();
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmReturn));
    QVERIFY(!sub->isVisible());
    QTRY_VERIFY(form.isNull()); // the window frees itself
    QVERIFY(area.subWindowList().isEmpty());
}

void tst_LumoChild::cancelGivesBackTheNumber()
{
    Messages messages;
    WorkWindow w;
    w.LumoChild->setAutoNO(true);
    TLumoSession session;
    session.SessionId = QStringLiteral("4711");
    w.activate(session);
    QVERIFY(w.exec(TLumoChild::cmNew));
    QVERIFY(w.exec(TLumoChild::cmCancel));
    QCOMPARE(w.CDSXMaster->RecordCount(), 3);
    QCOMPARE(w.server.calls.last(), QStringLiteral("CancelHeadno:4711"));
}

void tst_LumoChild::lockAfterPost()
{
    Messages messages;
    WorkWindow w;
    w.LumoChild->setLockAfterPost(true);
    QVERIFY(lumo::test::showActive(w.window.get()));
    w.activate();
    const QString locked = QStringLiteral("单据产生后不允许修改！");
    QVERIFY(!w.exec(TLumoChild::cmEdit));
    QCOMPARE(messages.texts, QStringList{locked});
    QCOMPARE(w.CDSXMaster->State(), TDataSetState::dsBrowse);

    // The lines of a saved document are locked too.
    w.editor(w.pnlDetail)->setFocus();
    QCOMPARE(w.LumoChild->CurrentDataSet(), w.cdsXDetail);
    messages.texts.clear();
    QVERIFY(!w.exec(TLumoChild::cmEdit));
    QVERIFY(!w.exec(TLumoChild::cmNew));
    QVERIFY(!w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, (QStringList{locked, locked, locked}));
    QCOMPARE(w.cdsXDetail->RecordCount(), 2);

    // A new document takes lines until it is saved.
    w.editor(w.pnlMaster)->setFocus();
    QVERIFY(w.exec(TLumoChild::cmNew));
    w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(QStringLiteral("H6"));
    QVERIFY(w.cdsXDetail->Append());
    w.cdsXDetail->FieldByName(QStringLiteral("bodyno")).setValue(QStringLiteral("0001"));
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY(!w.cdsXDetail->Edit());

    // The whole of a saved document may still go.
    messages.texts.clear();
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.exec(TLumoChild::cmFirst));
    QVERIFY(w.exec(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
    QCOMPARE(w.server.table.rows.size(), 3);
}

void tst_LumoChild::scrollAsksToSave_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("storedNote");
    QTest::newRow("yes saves, then moves") << int(LumoMsg::Yes) << true << "changed";
    QTest::newRow("no drops, then moves") << int(LumoMsg::No) << true << "first";
    QTest::newRow("cancel stays") << int(LumoMsg::Cancel) << false << "first";
}

void tst_LumoChild::scrollAsksToSave()
{
    QFETCH(int, answer);
    QFETCH(bool, moved);
    QFETCH(QString, storedNote);
    Messages messages;
    messages.answers = {answer};
    WorkWindow w;
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("changed"));
    QCOMPARE(w.exec(TLumoChild::cmNext), moved);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("当前资料尚未保存，是否保存")});
    QCOMPARE(w.head(), moved ? QStringLiteral("H2") : QStringLiteral("H1"));
    QCOMPARE(w.server.table.rows.first().at(1).toString(), storedNote);
    QCOMPARE(w.CDSXMaster->ChangeCount(), moved ? 0 : 1);
    // Saving itself moves nothing and asks nothing.
    messages.texts.clear();
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY(messages.texts.isEmpty());
}

void tst_LumoChild::refusedChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<int>("leftInLog");
    QTest::addColumn<bool>("masterEditing");
    QTest::newRow("server rule aborts") << "modify" << 0 << "LUMO2单据已审核，不能修改"
                                        << "单据已审核，不能修改" << false << 1 << false;
    QTest::newRow("server rule cancels") << "modify" << 0 << "LUMO5不能修改"
                                         << "不能修改" << false << 0 << false;
    QTest::newRow("referenced row deleted") << "delete" << 3631 << ""
                                            << "此记录已被引用，不能删除！!" << true << 0 << false;
    QTest::newRow("referenced key changed")
        << "modify" << 3631 << ""
        << "此记录已被引用，关键字'单据号码'不能修改!" << true << 1 << true;
    QTest::newRow("other refusal: the dialog decides") << "modify" << 7 << ""
                                                       << "" << true << 1 << false;
}

void tst_LumoChild::refusedChanges()
{
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, serverText);
    QFETCH(QString, shown);
    QFETCH(bool, dialog);
    QFETCH(int, leftInLog);
    QFETCH(bool, masterEditing);
    Messages messages;
    messages.answers = {LumoMsg::Yes};
    WorkWindow w;
    w.activate();
    w.server.refuse.insert(QStringLiteral("H1"), code);
    w.server.refusalText = serverText;
    int dialogs = 0;
    TLumoUpdateError::setHook([&](TLumoUpdateError &d) {
        ++dialogs;
        d.setAction(TReconcileAction::raSkip);
        d.accept();
        return d.Action();
    });
    if (change == QLatin1String("delete")) {
        QVERIFY(!w.exec(TLumoChild::cmDelete));
        messages.texts.removeFirst(); // the question
    } else {
        QVERIFY(w.exec(TLumoChild::cmEdit));
        w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("changed"));
        QVERIFY(!w.exec(TLumoChild::cmSave)); // refused rows make the save fail
    }
    QCOMPARE(messages.texts, shown.isEmpty() ? QStringList{} : QStringList{shown});
    QCOMPARE(dialogs, dialog ? 1 : 0);
    QCOMPARE(w.CDSXMaster->ChangeCount(), leftInLog);
    QCOMPARE(w.CDSXMaster->State() == TDataSetState::dsEdit, masterEditing);
    QCOMPARE(w.server.table.rows.size(), 3); // nothing reached the provider's rows
    QCOMPARE(w.CDSXMaster->RecordCount(), 3);
}

void tst_LumoChild::updateErrorDialogShowsTheRecord()
{
    Messages messages;
    WorkWindow w;
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("changed"));
    TLumoUpdateError dialog(*w.CDSXMaster, TLumoReconcileError{QStringLiteral("refused"), 9},
                            TUpdateKind::ukModify);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Update Error - CDSXMaster"));
    QTableWidget *grid = dialog.grid();
    QStringList headers;
    for (int c = 0; c < grid->columnCount(); ++c)
        headers << grid->horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{"Field Name", " Value", "Original Value", "Conflicting Value"}));
    QCOMPARE(grid->rowCount(), 3); // headno, note, amt: the nested lines are no field value
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("<Unchanged>"));
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("changed"));
    QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("first"));
    dialog.changedOnly()->setChecked(true);
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("note"));
    dialog.reject();
    QCOMPARE(dialog.Action(), TReconcileAction::raAbort);
    dialog.setAction(TReconcileAction::raCancel);
    dialog.accept();
    QCOMPARE(dialog.Action(), TReconcileAction::raCancel);
}

void tst_LumoChild::lumoMessageActions_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("isRule");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("text");
    QTest::newRow("1 skip") << "LUMO1a" << true << int(TReconcileAction::raSkip) << "a";
    QTest::newRow("2 abort") << "LUMO2b" << true << int(TReconcileAction::raAbort) << "b";
    QTest::newRow("3 merge") << "LUMO3c" << true << int(TReconcileAction::raMerge) << "c";
    QTest::newRow("4 correct") << "LUMO4d" << true << int(TReconcileAction::raCorrect) << "d";
    QTest::newRow("5 cancel") << "LUMO5e" << true << int(TReconcileAction::raCancel) << "e";
    QTest::newRow("6 refresh") << "LUMO6f" << true << int(TReconcileAction::raRefresh) << "f";
    QTest::newRow("other digit corrects")
        << "LUMO9g" << true << int(TReconcileAction::raCorrect) << "g";
    QTest::newRow("LUMO alone") << "LUMO" << true << int(TReconcileAction::raCorrect) << "";
    QTest::newRow("lower case is no rule") << "lumo2x" << false << 0 << "";
}

void tst_LumoChild::lumoMessageActions()
{
    QFETCH(QString, message);
    QFETCH(bool, isRule);
    QFETCH(int, action);
    QFETCH(QString, text);
    TReconcileAction got = TReconcileAction::raSkip;
    QString shown;
    QCOMPARE(TLumoChild::LumoMessageAction(message, &got, &shown), isRule);
    if (isRule) {
        QCOMPARE(int(got), action);
        QCOMPARE(shown, text);
    }
}

void tst_LumoChild::commandEntryServesLatestFrame()
{
    Messages messages;
    QList<int> registered;
    TCommandEntry entry;
    TLumoSession session;
    session.SetCommandTarget = [&](const TCommandEntry &e) {
        entry = e;
        registered << 1;
    };
    WorkWindow w;
    w.activate(session);
    QVERIFY(registered.isEmpty());
    w.LumoChild->ActivateCommandTarget();
    QCOMPARE(registered.size(), 1);
    QVERIFY(entry);
    QVERIFY(entry(TLumoChild::cmLast));
    QCOMPARE(w.head(), QStringLiteral("H3"));
    QVERIFY(entry(TLumoChild::cmMayLeave));
}

void tst_LumoChild::commandErrorsEndInTheCommand_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("server gone while saving")
        << "remote" << QStringList{QStringLiteral("连接已断开")};
    QTest::newRow("an operator's error of any kind")
        << "operator" << QStringList{QStringLiteral("单据已被他人修改")};
    QTest::newRow("unexpected") << "unexpected" << QStringList{};
}

void tst_LumoChild::commandErrorsEndInTheCommand()
{
    QFETCH(QString, failure);
    QFETCH(QStringList, shown);
    Messages messages;
    WorkWindow w;
    w.activate();
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("typed"));
    bool failing = true;
    w.server.gone = failure == QLatin1String("remote");
    w.LumoChild->BeforeExecParentCommand = [&](int, bool &) {
        if (failing && failure == QLatin1String("operator"))
            throw korvane::OperatorError(QStringLiteral("单据已被他人修改"));
    };
    w.LumoChild->AfterExecParentCommand = [&](int, bool &) {
        if (failing && failure == QLatin1String("unexpected"))
            throw std::out_of_range("row 7");
    };
    if (shown.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("command.*row 7")));
    try {
        QVERIFY(!w.exec(TLumoChild::cmSave));
    } catch (const std::exception &e) {
        QFAIL(e.what()); // it would have gone on into the event loop
    }
    QCOMPARE(messages.texts, shown);
    QCOMPARE(w.LumoChild->RunningCommand(), 0);
    // The window goes on working: what the failure kept back is saved now.
    failing = false;
    w.server.gone = false;
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(w.CDSXMaster->ChangeCount(), 0);
    QCOMPARE(w.server.table.rows.first().at(1).toString(), QStringLiteral("typed"));
    QVERIFY(w.exec(TLumoChild::cmNext));
    QCOMPARE(w.CDSXMaster->RecNo(), 2);
}

QTEST_MAIN(tst_LumoChild)
#include "tst_LumoChild.moc"
