// The report condition windows against a running server over a month of documents: what must
// be filled and the messages, the parameters each sends (the pair rule, State from the check
// box), the date and condition lines the form receives, the rows it previews, the default
// and remembered dates and "清除所有条件". The report forms are stand-ins that record what
// they were given.

#include "../server/DocumentFixture.h"
#include "LumoCLientDataSet.h"
#include "LumoCheckBox.h"
#include "LumoCodeName.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoSocketConnection.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "URPT.h"
#include "URPTQryKinds.h"
#include "UWait.h"
#include "UWorkWindows.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QDate>
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <memory>
#include <set>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A report form that records what the condition window gave it.
struct FakeForm : TfrmRPT
{
    QString title;
    QString dateLine;
    QStringList lines;
    int previews = 0;
    QStringList params; // "name=value", sorted
    int rows = -1;
    QStringList firstRow; // "field=value" of every field, the names in lower case
    bool windowHiddenDuringPreview = false;
    bool waitGoneDuringPreview = false;
    QPointer<QWidget> window;

    void setTitle(const QString &t) override { title = t; }
    void setDateLine(const QString &line) override { dateLine = line; }
    void setConditionLines(const QStringList &l) override { lines = l; }
    void preview(TLumoCLientDataSet &data, QWidget *) override
    {
        ++previews;
        params.clear();
        for (const Param &p : data.Params().list())
            params << p.name + QLatin1Char('=') + p.value.toString();
        params.sort();
        rows = data.RecordCount();
        firstRow.clear();
        data.First();
        if (rows > 0) {
            for (int i = 0; i < data.FieldCount(); ++i)
                firstRow << data.Fields(i).FieldName().toLower() + QLatin1Char('=') +
                                data.Fields(i).Value().toString();
        }
        windowHiddenDuringPreview = window && !window->isVisible();
        waitGoneDuringPreview = !TfrmWait::current();
    }
};

//! The stand-in forms by report code, put behind the condition windows' form lookup.
struct Forms
{
    std::map<QString, FakeForm> byCode;
    int lookups = 0;
    std::set<QString> missing; // codes that have no form

    Forms()
    {
        reports::setFormLookup([this](const QString &code) -> TfrmRPT * {
            ++lookups;
            if (missing.count(code))
                return nullptr;
            return &byCode[code];
        });
    }
    ~Forms() { reports::setFormLookup({}); }
    FakeForm &operator[](const QString &code) { return byCode[code]; }
};

bool loadFixture(TestServer &server, const QString &backend)
{
    static std::set<QString> loaded;
    if (loaded.count(backend))
        return true;
    if (!loadDocuments(server.db().db()))
        return false;
    loaded.insert(backend);
    return true;
}

//! The client as after login, with the condition windows registered.
struct Client
{
    TdmMain dm;
    bool ready = false;

    explicit Client(const TestServer &server)
    {
        logInAsAdministrator(dm, server);
        registerReportWindows();
        ready = true;
    }
};

//! A condition window as the main window hands it over: the report code, then shown.
std::unique_ptr<TfrmRPTQry> openWindow(const QString &className, const QString &code)
{
    std::unique_ptr<TfrmRPTQry> window(qobject_cast<TfrmRPTQry *>(workwindows::create(className)));
    if (!window)
        return window;
    window->setProperty(workwindows::ReportCodeProperty, code);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

//! Types a code into a condition's editor and leaves it, the way the operator does.
void pick(TfrmRPTQry &window, const QString &condition, const QString &code)
{
    TLumoCodeName *editor = window.codeEditor(condition);
    QVERIFY2(editor, qPrintable(condition));
    editor->activeEdit()->setText(code);
    editor->Resolve();
}

void setDates(TfrmRPTQry &window, const QString &begin, const QString &end)
{
    window.edtBeginDate->SetDateTimeText(begin.isEmpty() ? QString() : begin + " 00:00:00");
    window.edtEndDate->SetDateTimeText(end.isEmpty() ? QString() : end + " 00:00:00");
}

QString dateOf(TLumoDateEdit *edit)
{
    return edit->GetDateTimeText().left(10);
}

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QStringList pairParams(const QVariantMap &values)
{
    QStringList params;
    for (auto it = values.begin(); it != values.end(); ++it) {
        params << it.key() + QLatin1Char('=') + it.value().toString();
        params << QStringLiteral("tmp") + it.key() + QLatin1Char('=') + it.value().toString();
    }
    return params;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

using Picks = QList<QPair<QString, QString>>;

} // namespace

#define CLIENT(c)                                                                                  \
    QFETCH(QString, backend);                                                                      \
    QString serverError;                                                                           \
    TestServer *server = serverFor(backend, &serverError);                                         \
    QVERIFY2(server, qPrintable(serverError));                                                     \
    QVERIFY(loadFixture(*server, backend));                                                        \
    Client c(*server);                                                                             \
    QVERIFY(c.ready)

class tst_ReportQuery : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { stopServers(); }
    void windowsDeclared();
    void reportCodeChoosesForm();
    void missingFormFailsClearly();
    void customerLabelBlueForSalesEnquiry();
    void requiredConditions_data();
    void requiredConditions();
    void reportRun_data();
    void reportRun();
    void datesDefaultAndRemembered_data() { addBackendRows(); }
    void datesDefaultAndRemembered();
    void serverErrorKeepsWindowOpen_data() { addBackendRows(); }
    void serverErrorKeepsWindowOpen();
};

// Every condition window exists by its class name on the one frame, with its caption, its
// buttons, the link that clears and the data set on the report module.
void tst_ReportQuery::windowsDeclared()
{
    TdmMain dm;
    registerReportWindows();
    const QStringList own{"TfrmRPTPrdtQry", "TfrmRPTempQry"};
    QCOMPARE(reportQueryClasses().size(), 11);
    for (const QString &className : reportQueryClasses()) {
        QVERIFY2(workwindows::isRegistered(className), qPrintable(className));
        std::unique_ptr<QWidget> widget(workwindows::create(className));
        auto *window = qobject_cast<TfrmRPTQry *>(widget.get());
        QVERIFY(window);
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        QCOMPARE(window->windowTitle() == QStringLiteral("报表条件选择"), !own.contains(className));
        QCOMPARE(window->BitBtn1->text(), QStringLiteral("√ 产生报表"));
        QCOMPARE(window->BitBtn2->text(), QStringLiteral("× 取消"));
        QVERIFY(window->lblEmpty->text().contains(QStringLiteral("清除所有条件")));
        QCOMPARE(window->lblEmpty->parentWidget(), window->pnlSel);
        QCOMPARE(window->cdsXMaster->ProviderName(), QStringLiteral("dspXMaster"));
        QCOMPARE(window->cdsXMaster->RemoteServer(), dm.scRPT);
        const bool dated = window->decl().condition(QStringLiteral("dtDates"));
        QCOMPARE(window->edtBeginDate != nullptr, dated);
        if (window->chkState)
            QVERIFY(window->chkState->isChecked());
        for (TLumoCodeName *editor : window->findChildren<TLumoCodeName *>()) {
            QVERIFY(editor->NODB());
            QVERIFY(!editor->CodeDataField().isEmpty());
            QCOMPARE(editor->RemoteServer(), dm.scCodeName);
        }
    }
    const std::unique_ptr<QWidget> products(workwindows::create(QStringLiteral("TfrmRPTPrdtQry")));
    QCOMPARE(products->windowTitle(), QStringLiteral("产品资料报表条件选择"));
}

// The form is chosen when the code changes, not when the same code comes again; the
// customer/supplier window names the form's title by the code.
void tst_ReportQuery::reportCodeChoosesForm()
{
    Forms forms;
    TdmMain dm;
    registerReportWindows();
    std::unique_ptr<QWidget> widget(workwindows::create(QStringLiteral("TfrmRPTCustQry")));
    auto *window = qobject_cast<TfrmRPTQry *>(widget.get());
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTCUST"));
    QCOMPARE(window->reportForm(), &forms[QStringLiteral("RPTCUST")]);
    QCOMPARE(forms[QStringLiteral("RPTCUST")].title, QStringLiteral("客户资料报表"));
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTCUST"));
    QCOMPARE(forms.lookups, 1);
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTFATBN"));
    QCOMPARE(window->reportForm(), &forms[QStringLiteral("RPTFATBN")]);
    QCOMPARE(forms[QStringLiteral("RPTFATBN")].title, QStringLiteral("厂商资料报表"));
    QCOMPARE(window->property(workwindows::ReportCodeProperty).toString(),
             QStringLiteral("RPTFATBN"));

    // Windows of one title leave the form's own.
    std::unique_ptr<QWidget> buy(workwindows::create(QStringLiteral("TfrmRPTBuyQry")));
    buy->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTBUY"));
    QVERIFY(forms[QStringLiteral("RPTBUY")].title.isEmpty());
}

// A report without a form is refused with a log line, before anything is fetched.
void tst_ReportQuery::missingFormFailsClearly()
{
    Forms forms;
    forms.missing.insert(QStringLiteral("RPTCUST"));
    TdmMain dm;
    registerReportWindows();
    QTest::ignoreMessage(QtWarningMsg,
                         "TfrmRPTCustQry: no report form for the report code \"RPTCUST\"");
    const auto window = openWindow(QStringLiteral("TfrmRPTCustQry"), QStringLiteral("RPTCUST"));
    QVERIFY(window);
    QVERIFY(!window->reportForm());
    QTest::ignoreMessage(QtWarningMsg,
                         "TfrmRPTCustQry: the report \"RPTCUST\" has no form; nothing is fetched");
    QVERIFY(!window->Generate());
    QVERIFY(window->isVisible());
    QVERIFY(!window->cdsXMaster->Active());
}

// Only the sales enquiry requires the customer, and shows so by its label.
void tst_ReportQuery::customerLabelBlueForSalesEnquiry()
{
    Forms forms;
    TdmMain dm;
    registerReportWindows();
    std::unique_ptr<QWidget> widget(workwindows::create(QStringLiteral("TfrmRPTSaleQry")));
    auto *window = qobject_cast<TfrmRPTQry *>(widget.get());
    QLabel *label = window->conditionLabel(QStringLiteral("cnSpCode"));
    QVERIFY(label);
    auto colour = [label] { return label->palette().color(QPalette::WindowText); };
    QCOMPARE(colour(), QColor(Qt::black));
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTSALEALL"));
    QCOMPARE(colour(), QColor(Qt::blue));
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTSALE"));
    QCOMPARE(colour(), QColor(Qt::black));
    // The other labels keep their colour.
    QCOMPARE(
        window->conditionLabel(QStringLiteral("cnPdtCode"))->palette().color(QPalette::WindowText),
        window->palette().color(QPalette::WindowText));
}

void tst_ReportQuery::requiredConditions_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<QString>("message"); // empty: the report runs
    QTest::addColumn<QString>("focus");   // the editor that takes the focus
    struct Case
    {
        const char *name, *className, *code, *begin, *end;
        Picks picks;
        const char *message, *focus;
    };
    const char *const Dates = "请先选择报表查询的时间段。";
    const QList<Case> cases{
        {"no begin date", "TfrmRPTBuyQry", "RPTBUY", "", "2026-03-31", {}, Dates, "edtBeginDate"},
        {"no end date", "TfrmRPTBuyQry", "RPTBUY", "2026-03-01", "", {}, Dates, "edtEndDate"},
        {"no dates before no product",
         "TfrmRPTBuyPriceQry",
         "RPTBUYPRICE",
         "",
         "",
         {},
         Dates,
         "edtBeginDate"},
        {"price report needs its product",
         "TfrmRPTBuyPriceQry",
         "RPTBUYPRICE",
         "2026-03-01",
         "2026-03-31",
         {},
         "请先选择要查询的货品。",
         "cnPdtCode"},
        {"sales price report needs its product",
         "TfrmRPTSalePriceQry",
         "RPTSALEPRICE",
         "2026-03-01",
         "2026-03-31",
         {{"cnSpCode", "K1"}},
         "请先选择要查询的货品。",
         "cnPdtCode"},
        {"sales enquiry needs its customer",
         "TfrmRPTSaleQry",
         "RPTSALEALL",
         "2026-03-01",
         "2026-03-31",
         {{"cnPdtCode", "P1"}},
         "请先选择客户！",
         "cnSpCode"},
        {"sales summary runs without a customer",
         "TfrmRPTSaleQry",
         "RPTSALE",
         "2026-03-01",
         "2026-03-31",
         {},
         "",
         ""},
        {"receipts detail needs its dates",
         "TfrmRPTGatherDetailQry",
         "RPTGATHERDETAIL",
         "",
         "",
         {},
         Dates,
         "edtBeginDate"},
        {"salesman report needs its dates",
         "TfrmRPTempGainQry",
         "RPTEMPGAIN",
         "2026-03-01",
         "",
         {},
         Dates,
         "edtEndDate"},
        {"staff report needs its company",
         "TfrmRPTempQry",
         "RPTPSEMP",
         "",
         "",
         {},
         "请先选择所属公司。",
         "cnCorpCode"},
        {"receivables need nothing", "TfrmRPTGatherCustQry", "RPTGATHERCUST", "", "", {}, "", ""},
        {"stock needs nothing", "TfrmRPTStockDetailQry", "RPTSTOCKDETAIL", "", "", {}, "", ""},
        {"products need nothing", "TfrmRPTPrdtQry", "RPTPRDT", "", "", {}, "", ""},
        {"customers need nothing", "TfrmRPTCustQry", "RPTFATBN", "", "", {}, "", ""},
    };
    for (const QString &backend : testBackends()) {
        for (const Case &c : cases)
            QTest::addRow("%s/%s", qPrintable(backend), c.name)
                << backend << c.className << c.code << c.begin << c.end << c.picks
                << QString::fromUtf8(c.message) << c.focus;
    }
}

// The checks in the window's order: each missing condition shows its hint, puts the focus
// into the empty editor and fetches nothing; the window stays open with the entries.
void tst_ReportQuery::requiredConditions()
{
    QFETCH(QString, className);
    QFETCH(QString, code);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(Picks, picks);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Messages messages;
    Forms forms;
    CLIENT(c);
    const auto window = openWindow(className, code);
    QVERIFY(window);
    if (window->edtBeginDate)
        setDates(*window, begin, end);
    for (const auto &[condition, value] : picks)
        pick(*window, condition, value);
    messages.texts.clear();

    const bool ran = window->Generate();
    QCOMPARE(ran, message.isEmpty());
    QCOMPARE(forms[code].previews, ran ? 1 : 0);
    if (ran) {
        QVERIFY(messages.texts.isEmpty());
        return;
    }
    QCOMPARE(messages.texts, QStringList{message});
    QCOMPARE(messages.kinds, QList<int>{mkHint});
    QVERIFY(window->isVisible());
    QVERIFY(!window->cdsXMaster->Active());
    QWidget *focused = window->focusWidget();
    QVERIFY(focused);
    const bool inEditor =
        focused->objectName() == focus ||
        (focused->parentWidget() && focused->parentWidget()->objectName() == focus);
    QVERIFY2(inEditor, qPrintable(focused->objectName()));
    if (window->edtBeginDate)
        QCOMPARE(dateOf(window->edtBeginDate), begin);
    for (const auto &[condition, value] : picks)
        QCOMPARE(window->codeEditor(condition)->Text(), value);
}

void tst_ReportQuery::reportRun_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("code");
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<bool>("unchecked"); // "包含未审核单据" ticked off
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("dateLine");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("rows"); // -1: not looked at
    QTest::addColumn<QStringList>("firstRow");

    const QStringList march{"BeginDate=2026-03-01", "EndDate=2026-03-31"};
    const QString marchLine = QStringLiteral("日期：2026-03-01~2026-03-31");
    const QString all = QStringLiteral(" 【 全 部 】");
    const QVariantMap none{{"pdtCode", " "}, {"spCode", " "}, {"DeptCode", " "}};
    struct Case
    {
        const char *name, *className, *code;
        Picks picks;
        bool unchecked;
        QStringList params;
        bool dated;
        QStringList lines;
        int rows;
        QStringList firstRow;
    };
    const QList<Case> cases{
        {"purchase summary, nothing picked",
         "TfrmRPTBuyQry",
         "RPTBUY",
         {},
         false,
         march + pairParams(none) + QStringList{"SQLFLAG=RPTBUY", "State=1"},
         true,
         {"货    品:" + all, "供 应 商:" + all, "采购部门:" + all},
         2,
         {"pdtcode=P1", "TotalPqty=3"}},
        {"purchase summary, checked documents only",
         "TfrmRPTBuyQry",
         "RPTBUY",
         {},
         true,
         march + pairParams(none) + QStringList{"SQLFLAG=RPTBUY", "State=2"},
         true,
         {"货    品:" + all, "供 应 商:" + all, "采购部门:" + all},
         2,
         {"pdtcode=P1", "TotalPqty=2"}},
        {"receipts by supplier and department",
         "TfrmRPTBuyQry",
         "RPTBUYIN",
         {{"cnSpCode", "S1"}, {"cnDeptCode", "0001"}},
         false,
         march + pairParams({{"pdtCode", " "}, {"spCode", "S1"}, {"DeptCode", "0001"}}) +
             QStringList{"SQLFLAG=RPTBUYIN", "State=1"},
         true,
         {"货    品:" + all, "供 应 商:供应商一", "验收部门:总部"},
         1,
         {"pdtcode=P1", "TotalPqty=1"}},
        {"purchase detail names its department",
         "TfrmRPTBuyQry",
         "RPTBUYDETAIL",
         {{"cnPdtCode", "P2"}},
         false,
         march + pairParams({{"pdtCode", "P2"}, {"spCode", " "}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTBUYDETAIL", "State=1"},
         true,
         {"货    品:冰箱", "供 应 商:" + all, "采购部门:" + all},
         -1,
         {}},
        {"purchase prices of a product line",
         "TfrmRPTBuyPriceQry",
         "RPTBUYPRICE",
         {{"cnPdtCode", "P1"}, {"cnPdtNo", "0001"}},
         false,
         march +
             pairParams(
                 {{"pdtCode", "P1"}, {"pdtno", "0001"}, {"spCode", " "}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTBUYPRICE", "State=1"},
         true,
         {"货    品:电视", "规格型号:32寸", "供 应 商:" + all, "采购部门:" + all},
         -1,
         {}},
        {"sales summary of a customer",
         "TfrmRPTSaleQry",
         "RPTSALE",
         {{"cnSpCode", "K2"}},
         false,
         march + pairParams({{"pdtCode", " "}, {"spCode", "K2"}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTSALE", "State=1"},
         true,
         {"货    品:" + all, "客    户:客户二", "销售部门:" + all},
         1,
         {"pdtcode=P1", "PdtNO=0002"}},
        {"deliveries name their department",
         "TfrmRPTSaleQry",
         "RPTSALEOUTDETAIL",
         {{"cnDeptCode", "0001"}},
         false,
         march + pairParams({{"pdtCode", " "}, {"spCode", " "}, {"DeptCode", "0001"}}) +
             QStringList{"SQLFLAG=RPTSALEOUTDETAIL", "State=1"},
         true,
         {"货    品:" + all, "客    户:" + all, "出货部门:总部"},
         -1,
         {}},
        {"sales enquiry of a customer",
         "TfrmRPTSaleQry",
         "RPTSALEALL",
         {{"cnSpCode", "K1"}},
         false,
         march + pairParams({{"pdtCode", " "}, {"spCode", "K1"}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTSALEALL", "State=1"},
         true,
         {"货    品:" + all, "客    户:客户一", "销售部门:" + all},
         -1,
         {}},
        {"sales prices without a product line",
         "TfrmRPTSalePriceQry",
         "RPTSALEPRICE",
         {{"cnPdtCode", "P1"}},
         false,
         march +
             pairParams({{"pdtCode", "P1"}, {"pdtno", " "}, {"spCode", " "}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTSALEPRICE", "State=1"},
         true,
         {"货    品:电视", "客    户:" + all, "销售部门:" + all},
         -1,
         {}},
        {"salesmen",
         "TfrmRPTempGainQry",
         "RPTEMPGAIN",
         {},
         false,
         march + pairParams({{"DeptCode", " "}}) + QStringList{"SQLFLAG=RPTEMPGAIN", "State=1"},
         true,
         {"销售部门:" + all},
         2,
         {"Deptname=总部", "empName=系统管理员"}},
        {"receipts of a customer",
         "TfrmRPTGatherDetailQry",
         "RPTGATHERDETAIL",
         {{"cnSpCode", "K1"}, {"cnDeptCode", "0001"}},
         false,
         march + pairParams({{"spCode", "K1"}, {"DeptCode", "0001"}}) +
             QStringList{"SQLFLAG=RPTGATHERDETAIL", "State=1"},
         true,
         {"客    户:客户一", "收款部门:总部"},
         1,
         {"spName=客户一", "SaleHeadno=202603020001", "RMBTaxamt=300"}},
        {"receivables",
         "TfrmRPTGatherCustQry",
         "RPTGATHERCUST",
         {},
         false,
         pairParams({{"spCode", " "}, {"DeptCode", " "}}) +
             QStringList{"SQLFLAG=RPTGATHERCUST", "State=1"},
         false,
         {"客    户:" + all, "销售部门:" + all},
         -1,
         {}},
        {"stock of a product line in a store",
         "TfrmRPTStockDetailQry",
         "RPTSTOCKDETAIL",
         {{"cnStoreCode", "W1"}, {"cnPdtCode", "P1"}, {"cnPdtNo", "0001"}},
         false,
         pairParams({{"StoreCode", "W1"}, {"PdtCode", "P1"}, {"PdtNo", "0001"}}) +
             QStringList{"SQLFLAG=RPTSTOCKDETAIL"},
         false,
         {"仓库名称:一号仓", "货    品:电视", "货品项次：32寸"},
         1,
         {"pdtcode=P1", "TotalPqty=5", "TotalBadNum=1"}},
        {"all stock",
         "TfrmRPTStockDetailQry",
         "RPTSTOCKDETAIL",
         {},
         false,
         pairParams({{"StoreCode", " "}, {"PdtCode", " "}, {"PdtNo", " "}}) +
             QStringList{"SQLFLAG=RPTSTOCKDETAIL"},
         false,
         {"仓库名称:" + all, "货    品:" + all, "货品项次：【 全 部 】"},
         3,
         {}},
        {"products of a class",
         "TfrmRPTPrdtQry",
         "RPTPRDT",
         {{"cnClassCode", "C1"}, {"cnPdtCode", "P2"}},
         false,
         pairParams({{"ClassCode", "C1"}, {"pdtCode", "P2"}, {"spCode", " "}}) +
             QStringList{"SQLFLAG=RPTPRDT"},
         false,
         {"货品类别:电器", "货    品:冰箱", "供 应 商:" + all},
         1,
         {"PdtCode=P2", "SpecName=双门"}},
        {"a product of any class",
         "TfrmRPTPrdtQry",
         "RPTPRDT",
         {{"cnPdtCode", "P1"}},
         false,
         pairParams({{"ClassCode", " "}, {"pdtCode", "P1"}, {"spCode", " "}}) +
             QStringList{"SQLFLAG=RPTPRDT"},
         false,
         {"货品类别:" + all, "货    品:电视", "供 应 商:" + all},
         2,
         {"PdtCode=P1", "SpecName=32寸"}},
        {"staff of a company",
         "TfrmRPTempQry",
         "RPTPSEMP",
         {{"cnCorpCode", "0001"}},
         false,
         pairParams({{"DeptCode", " "}}) + QStringList{"SQLFLAG=RPTPSEMP", "CorpCode=0001"},
         false,
         {"公    司:本公司"},
         1,
         {"Code=0001", "DeptName=总部"}},
        {"customers of a class",
         "TfrmRPTCustQry",
         "RPTCUST",
         {{"cnLocalCode", "L1"}},
         false,
         pairParams({{"LocalCode", "L1"}, {"DeptCode", " "}}) + QStringList{"SQLFLAG=RPTCUST"},
         false,
         {"类别:华东", "关系部门:" + all},
         2,
         {"code=K1", "connectname=李四"}},
        {"suppliers of a department",
         "TfrmRPTCustQry",
         "RPTFATBN",
         {{"cnDeptCode", "0001"}},
         false,
         pairParams({{"LocalCode", " "}, {"DeptCode", "0001"}}) + QStringList{"SQLFLAG=RPTFATBN"},
         false,
         {"类别:" + all, "关系部门:总部"},
         2,
         {"code=S1", "name=供应商一"}},
    };
    for (const QString &backend : testBackends()) {
        for (const Case &c : cases)
            QTest::addRow("%s/%s", qPrintable(backend), c.name)
                << backend << c.className << c.code << c.picks << c.unchecked << sorted(c.params)
                << (c.dated ? marchLine : QString()) << c.lines << c.rows << c.firstRow;
    }
}

// A run as the operator makes it: conditions picked, "√ 产生报表"; the form receives the date
// line and the condition lines, previews the rows fetched with the window's parameters, and
// the window is hidden meanwhile and closed (with its data set) afterwards.
void tst_ReportQuery::reportRun()
{
    QFETCH(QString, className);
    QFETCH(QString, code);
    QFETCH(Picks, picks);
    QFETCH(bool, unchecked);
    QFETCH(QStringList, params);
    QFETCH(QString, dateLine);
    QFETCH(QStringList, lines);
    QFETCH(int, rows);
    QFETCH(QStringList, firstRow);
    Messages messages;
    Forms forms;
    CLIENT(c);
    const auto window = openWindow(className, code);
    QVERIFY(window);
    if (window->edtBeginDate)
        setDates(*window, QStringLiteral("2026-03-01"), QStringLiteral("2026-03-31"));
    for (const auto &[condition, value] : picks)
        pick(*window, condition, value);
    if (unchecked)
        window->chkState->setChecked(false);
    FakeForm &form = forms[code];
    form.window = window.get();

    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join(QLatin1Char('|'))));
    QCOMPARE(form.previews, 1);
    QCOMPARE(form.params, params);
    QCOMPARE(form.dateLine, dateLine);
    QCOMPARE(form.lines, lines);
    if (rows >= 0)
        QCOMPARE(form.rows, rows);
    for (const QString &cell : firstRow) {
        const QString named = cell.section(QLatin1Char('='), 0, 0).toLower() + QLatin1Char('=') +
                              cell.section(QLatin1Char('='), 1);
        QVERIFY2(form.firstRow.contains(named), qPrintable(form.firstRow.join(QLatin1Char(' '))));
    }
    QVERIFY(form.windowHiddenDuringPreview);
    QVERIFY(form.waitGoneDuringPreview);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QVERIFY(!window->cdsXMaster->Active());
}

// Today in both date boxes the first time; the dates of the last run when opened again;
// "清除所有条件" empties dates and codes, and the next opening brings today back.
void tst_ReportQuery::datesDefaultAndRemembered()
{
    Messages messages;
    Forms forms;
    CLIENT(c);
    const auto window = openWindow(QStringLiteral("TfrmRPTBuyQry"), QStringLiteral("RPTBUY"));
    QVERIFY(window);
    QCOMPARE(dateOf(window->edtBeginDate), today());
    QCOMPARE(dateOf(window->edtEndDate), today());

    setDates(*window, QStringLiteral("2003-01-01"), QStringLiteral("2003-01-31"));
    pick(*window, QStringLiteral("cnSpCode"), QStringLiteral("S1"));
    QVERIFY(window->Generate());
    QCOMPARE(forms[QStringLiteral("RPTBUY")].dateLine,
             QStringLiteral("日期：2003-01-01~2003-01-31"));
    QCOMPARE(forms[QStringLiteral("RPTBUY")].rows, 0); // an empty result still shows the report

    // Opened again, for another report of the family.
    window->setProperty(workwindows::ReportCodeProperty, QStringLiteral("RPTBUYSTAT"));
    window->show();
    QCoreApplication::processEvents();
    QCOMPARE(dateOf(window->edtBeginDate), QStringLiteral("2003-01-01"));
    QCOMPARE(dateOf(window->edtEndDate), QStringLiteral("2003-01-31"));
    QCOMPARE(window->codeEditor(QStringLiteral("cnSpCode"))->Text(), QStringLiteral("S1"));
    QCOMPARE(window->nameBox(QStringLiteral("cnSpCode"))->text(), QStringLiteral("供应商一"));

    emit window->lblEmpty->linkActivated(QStringLiteral("clear"));
    QVERIFY(window->edtBeginDate->digits().isEmpty());
    QVERIFY(window->edtEndDate->digits().isEmpty());
    QVERIFY(window->codeEditor(QStringLiteral("cnSpCode"))->Text().isEmpty());
    QVERIFY(window->nameBox(QStringLiteral("cnSpCode"))->text().isEmpty());
    QVERIFY(window->chkState->isChecked());
    window->reject();
    window->show();
    QCoreApplication::processEvents();
    QCOMPARE(dateOf(window->edtBeginDate), today());
    QCOMPARE(dateOf(window->edtEndDate), today());
}

// An unknown report code: the opening is refused by the server; nothing is shown to the
// operator, the wait window is gone and the condition window stays open with its entries.
void tst_ReportQuery::serverErrorKeepsWindowOpen()
{
    Messages messages;
    Forms forms;
    CLIENT(c);
    const auto window = openWindow(QStringLiteral("TfrmRPTCustQry"), QStringLiteral("RPTNOSUCH"));
    QVERIFY(window);
    pick(*window, QStringLiteral("cnLocalCode"), QStringLiteral("L1"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                           "could not be fetched: Operation aborted")));
    QVERIFY(!window->Generate());
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(!TfrmWait::current());
    QVERIFY(window->isVisible());
    QCOMPARE(forms[QStringLiteral("RPTNOSUCH")].previews, 0);
    QCOMPARE(window->codeEditor(QStringLiteral("cnLocalCode"))->Text(), QStringLiteral("L1"));
}

QTEST_MAIN(tst_ReportQuery)
#include "tst_ReportQuery.moc"
