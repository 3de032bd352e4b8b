// The nine documents of the stock-movement tables against the real server: the list and
// its filters, numbering, package arithmetic, the check, reading order lines and the
// refusals of bad input.

#include "DocumentDesk.h"
#include "LumoCodeName.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDataSetModel.h"
#include "RightsCatalog.h"
#include "UDocumentKinds.h"
#include "UPackRules.h"
#include "UStockDocuments.h"
#include "UWorkWindows.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

const QStringList PartnerWindows{"TfrmBuyIn", "TfrmBuyOut", "TfrmSaleOut", "TfrmSaleIn"};
const QStringList StockWindows{"TfrmStockCheck", "TfrmStockprocess", "TfrmStockMove",
                               "TfrmStockReject", "TfrmStockOther"};

//! The backend's server without stock documents.
TestServer *stockServerFor(const QString &backend, QString *error)
{
    return documentServerFor(backend, {QStringLiteral("xStockChb"), QStringLiteral("xStockChh")},
                             error);
}

//! A head of the given kind and date stored behind the window's back.
bool storeHead(TestServer &server, const QString &headno, const QString &flag, const QString &date,
               const QString &store = QStringLiteral("W1"),
               const QString &state = QStringLiteral("1"))
{
    return sql(server, QStringLiteral("INSERT INTO xStockChh (headno, Flag, InOutFlag, hdate, "
                                      "Storecode, deptcode, mcode, State) VALUES ('%1', '%2', "
                                      "'0', '%3 08:00:00', '%4', '0001', '0001', '%5')")
                           .arg(headno, flag, date, store, state));
}

QStringList allWindows()
{
    return PartnerWindows + StockWindows;
}

} // namespace

//! The backend's server, without stock documents, as `server`.
#define START_SERVER()                                                                             \
    QString serverError;                                                                           \
    TestServer *server = stockServerFor(backend, &serverError);                                    \
    QVERIFY2(server, qPrintable(serverError))

#define OPEN_DESK(d, className, checkOnSave)                                                       \
    START_SERVER();                                                                                \
    Desk d(*server);                                                                               \
    QVERIFY(d.open(className, checkOnSave))

class tst_Documents : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { stopDocumentServers(); }
    void registeredWithTheirComponents();
    void todaysListOfItsKindOnly_data() { addWindowRows(allWindows()); }
    void todaysListOfItsKindOnly();
    void blankSelectorSendsBlankInBothTwins_data() { addWindowRows(allWindows()); }
    void blankSelectorSendsBlankInBothTwins();
    void packageArithmetic_data();
    void packageArithmetic();
    void lineNumbersFillGaps_data() { addWindowRows({"TfrmBuyIn", "TfrmStockMove"}); }
    void lineNumbersFillGaps();
    void checkSelectedDocuments_data() { addWindowRows({"TfrmSaleOut", "TfrmStockCheck"}); }
    void checkSelectedDocuments();
    void checkOnSave_data() { addWindowRows(allWindows()); }
    void checkOnSave();
    void checkOnSaveNeedsTheCheckRight_data() { addWindowRows({"TfrmBuyIn", "TfrmStockCheck"}); }
    void checkOnSaveNeedsTheCheckRight();
    void countCaptionsFollowTheType_data() { addWindowRows({"TfrmStockCheck", "TfrmStockOther"}); }
    void countCaptionsFollowTheType();
    void typeListOfItsKindOnly_data() { addWindowRows(StockWindows); }
    void typeListOfItsKindOnly();
    void readOrderLines_data() { addWindowRows(PartnerWindows); }
    void readOrderLines();
    void cancelledPickerLeavesNoLine_data() { addWindowRows(PartnerWindows); }
    void cancelledPickerLeavesNoLine();
    void badInputRefusedWhole_data();
    void badInputRefusedWhole();
    void transferKeepsItsStoresApart_data() { addWindowRows({"TfrmStockMove"}); }
    void transferKeepsItsStoresApart();
};

void tst_Documents::registeredWithTheirComponents()
{
    TdmMain dm;
    registerDocumentWindows();
    for (const QString &className : documentClasses()) {
        QVERIFY2(workwindows::isRegistered(className), qPrintable(className));
        std::unique_ptr<QWidget> window(workwindows::create(className));
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        auto *frame = qobject_cast<TfrmMasterDetailtbl *>(window.get());
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), frame->decl().caption);
        QCOMPARE(frame->CDSXMaster->PacketRecords(), 20);
        QVERIFY(frame->LumoChild->AutoNO());
        QVERIFY(frame->GridXMaster->MultiSelect());
        for (const char *name :
             {"pcMain",      "tsXMasterList",   "pnlQuery",     "pnlMaster", "pnlMasterList",
              "GridXMaster", "tsXMasterDetail", "pnlMasterEdt", "pnlDetail", "pnlDetailList",
              "GridXDetail", "pnlDetailEdt",    "CDSXMaster",   "dsXMaster", "cdsXDetail",
              "dsXDetail",   "FaceSet",         "LumoChild",    "deBegin",   "deEnd",
              "btnQry",      "cnPdtCode",       "cnSpecName",   "edtHeadno", "dehDate",
              "lblTotalpqty"})
            QVERIFY2(window->findChild<QObject *>(QLatin1String(name)), name);
        // Partner documents read their lines from orders; stock documents never do.
        const bool partner = PartnerWindows.contains(className);
        QCOMPARE(frame->btnReadBuy != nullptr, partner);
        QCOMPARE(frame->cdsXDetail->FieldByName("LinkHeadno").Visible(), partner);
    }
}

// A new window lists today's documents of its own kind, all filters off, though every kind
// lives in the same head table.
void tst_Documents::todaysListOfItsKindOnly()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    START_SERVER();
    const QString yesterday =
        QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));
    for (int flag = 1; flag <= 9; ++flag) {
        QVERIFY(
            storeHead(*server, QStringLiteral("T%1").arg(flag), QString::number(flag), today()));
        QVERIFY(
            storeHead(*server, QStringLiteral("Y%1").arg(flag), QString::number(flag), yesterday));
    }
    Desk d(*server);
    QVERIFY(d.open(className));
    const QString flag = d.window->decl().flag;
    QCOMPARE(d.listed(), QStringList{QStringLiteral("T") + flag});
    QCOMPARE(d.bill->param("BeginDate"), today());
    QCOMPARE(d.bill->param("EndDate"), today());
    QCOMPARE(d.bill->param("Flag"), flag);
    QVERIFY(d.bill->filtersOff());
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));
}

// A selector holding a code filters by it in both parameters; one left empty sends a single
// blank in both and filters nothing.
void tst_Documents::blankSelectorSendsBlankInBothTwins()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    START_SERVER();
    const QString flag = documentDecl(className)->flag;
    QVERIFY(storeHead(*server, QStringLiteral("A1"), flag, today(), QStringLiteral("W1")));
    QVERIFY(storeHead(*server, QStringLiteral("A2"), flag, today(), QStringLiteral("W2")));
    Desk d(*server);
    QVERIFY(d.open(className));
    TLumoCodeName *store = d.window->selector(QStringLiteral("cnStoreCodeSel"));
    store->setText(QStringLiteral("W2"));
    d.window->btnQryClick();
    QCOMPARE(d.listed(), QStringList{QStringLiteral("A2")});
    QCOMPARE(d.bill->param("StoreCode"), QStringLiteral("W2"));
    QCOMPARE(d.bill->param("tmpStoreCode"), QStringLiteral("W2"));
    QCOMPARE(d.bill->param("tmpDeptCode"), QStringLiteral(" "));

    store->setText(QString());
    d.window->btnQryClick();
    QCOMPARE(d.listed(), (QStringList{QStringLiteral("A1"), QStringLiteral("A2")}));
    QVERIFY(d.bill->filtersOff());
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));

    // An empty date asks for one and the list stays as it is.
    d.window->deBegin->clear();
    d.window->btnQryClick();
    QCOMPARE(d.messages.texts, QStringList{d.window->decl().datePrompt});
    QCOMPARE(d.listed().size(), 2);
}

void tst_Documents::packageArithmetic_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<double>("perPackage");
    QTest::addColumn<QString>("typed"); // "pqty" or "BigPackNum"
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("packages");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QString>("message");
    struct Case
    {
        const char *tag, *className;
        double perPackage;
        const char *typed;
        double value;
        int packages;
        double quantity;
        const char *verb; // of the message, "" for none
    };
    const QList<Case> cases{
        {"25 is no whole number of tens", "TfrmBuyIn", 10, "pqty", 25, 0, 25, ""},
        {"30 makes three tens", "TfrmBuyIn", 10, "pqty", 30, 3, 30, ""},
        {"three packages of ten", "TfrmBuyIn", 10, "BigPackNum", 3, 3, 30, ""},
        {"no package size: receipt", "TfrmBuyIn", 0, "BigPackNum", 3, 0, 0, "收货"},
        {"no package size: return", "TfrmBuyOut", 0, "BigPackNum", 2, 0, 0, "退货"},
        {"no package size: delivery", "TfrmSaleOut", 0, "BigPackNum", 2, 0, 0, "销售"},
        {"no package size: stock", "TfrmStockReject", 0, "BigPackNum", 2, 0, 0, "采购"},
        {"quantity without a package size", "TfrmStockCheck", 0, "pqty", 7, 0, 7, ""},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases)
            QTest::addRow("%s %s", qPrintable(backend), c.tag)
                << backend << QString(c.className) << c.perPackage << QString(c.typed) << c.value
                << c.packages << c.quantity
                << (*c.verb ? packrules::noPackageSizeMessage(QString::fromUtf8(c.verb))
                            : QString());
    }
}

void tst_Documents::packageArithmetic()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(double, perPackage);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(int, packages);
    QFETCH(double, quantity);
    QFETCH(QString, message);
    OPEN_DESK(d, className, false);
    d.newHead();
    d.focus(d.window->GridXDetail);
    QVERIFY(d.exec(TLumoChild::cmNew));
    int changes = 0;
    TLumoField &pqty = d.lines().FieldByName(QStringLiteral("pqty"));
    const TFieldNotifyEvent rule = pqty.OnChange;
    pqty.OnChange = [&](TLumoField &f) {
        ++changes;
        rule(f);
    };
    d.lines().FieldByName(QStringLiteral("PackNum")).setValue(perPackage);
    d.lines().FieldByName(typed).setValue(value);
    QCOMPARE(d.lines().FieldByName(QStringLiteral("BigPackNum")).AsInteger(), packages);
    QCOMPARE(d.lines().FieldByName(QStringLiteral("pqty")).AsFloat(), quantity);
    QVERIFY2(changes <= 2, qPrintable(QString::number(changes))); // the rules end each other
    QCOMPARE(d.messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
}

// Lines 0001 to 0003, 0002 deleted: the next line takes 0002 again.
void tst_Documents::lineNumbersFillGaps()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, false);
    const QString number = d.saveDocument({1, 2, 3});
    QVERIFY2(!number.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(d.count("SELECT count(*) FROM xStockChb"), 3);
    QVERIFY(d.lines().LocateValues(QStringLiteral("bodyno"), {QStringLiteral("0002")}, true));
    d.focus(d.window->GridXDetail);
    d.messages.answers = {LumoMsg::Yes};
    QVERIFY(d.exec(TLumoChild::cmDelete));
    d.addLine(9);
    QCOMPARE(d.lines().FieldByName(QStringLiteral("bodyno")).AsString(), QStringLiteral("0002"));
    d.addLine(10);
    QCOMPARE(d.lines().FieldByName(QStringLiteral("bodyno")).AsString(), QStringLiteral("0004"));
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(
        d.count("SELECT count(*) FROM xStockChb WHERE bodyno IN ('0001','0002','0003','0004')"), 4);
    QCOMPARE(d.lines().FieldByName(QStringLiteral("SumOfPqty")).AsFloat(), 1.0 + 3 + 9 + 10);
    QCOMPARE(d.window->lblSumOfPqty->text(), QStringLiteral("23.00"));
}

// Three documents selected, the middle one already checked: the other two are checked,
// CheckBill runs once per line of those two and everything is applied at once.
void tst_Documents::checkSelectedDocuments()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, false);
    const QString first = d.saveDocument({1, 2});
    const QString second = d.saveDocument({3});
    const QString third = d.saveDocument({4, 5, 6});
    QVERIFY(!first.isEmpty() && !second.isEmpty() && !third.isEmpty());
    QVERIFY(
        sql(*server,
            QStringLiteral("UPDATE xStockChh SET State = '2' WHERE headno = '%1'").arg(second)));
    d.window->btnQryClick();
    QCOMPARE(d.listed(), (QStringList{first, second, third}));
    d.window->GridXMaster->selectAll();
    d.bill->applies = 0;
    d.messages.texts.clear();

    QVERIFY(d.exec(TLumoChild::cmCheck));
    QCOMPARE(d.messages.texts, QStringList{QStringLiteral("审核完成")});
    QCOMPARE(d.bill->applies, 1);
    QCOMPARE(d.bill->checkCalls.size(), 5);
    const QVariantList call = d.bill->checkCalls.first();
    QCOMPARE(call.size(), 13);
    QCOMPARE(call.at(0).toString(), QStringLiteral("BILLBUY"));
    QCOMPARE(call.at(4).toString(), QStringLiteral("1"));
    QCOMPARE(call.at(5).toString(), QStringLiteral("W1"));
    QCOMPARE(call.at(6).toString(), QStringLiteral("P1"));
    QCOMPARE(call.at(7).toString(), QStringLiteral("0001"));
    for (const QString &number : {first, third}) {
        QCOMPARE(d.stored("State", number).toString(), QStringLiteral("2"));
        QCOMPARE(d.stored("Assessorcode", number).toString(), QStringLiteral("0001"));
        QCOMPARE(d.stored("AssessorDate", number).toString().left(10), today());
    }
    QVERIFY(d.stored("Assessorcode", second).toString().isEmpty());

    // Nothing left to check says so.
    d.messages.texts.clear();
    QVERIFY(!d.exec(TLumoChild::cmCheck));
    QCOMPARE(d.messages.texts, QStringList{QStringLiteral("请选择未审核单据进行审核！")});
    QCOMPARE(d.bill->applies, 1);
}

// With the check-on-save switch on, a saved document is checked in the same step, quietly.
void tst_Documents::checkOnSave()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, true);
    const QString number = d.saveDocument({2});
    QVERIFY2(!number.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(d.stored("State", number).toString(), QStringLiteral("2"));
    QCOMPARE(d.stored("Assessorcode", number).toString(), QStringLiteral("0001"));
    QCOMPARE(d.stored("AssessorDate", number).toString().left(10), today());
    QCOMPARE(d.stored("Flag", number).toString(), d.window->decl().flag);
    QCOMPARE(d.bill->checkCalls.size(), 1);
    QCOMPARE(d.heads().FieldByName(QStringLiteral("StateName")).AsString(),
             QStringLiteral("已审核"));
}

// An operator without the check right still saves under check-on-save: the document stays
// unchecked, and the window shows it as stored rather than as checked.
void tst_Documents::checkOnSaveNeedsTheCheckRight()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, true);
    const int row = rights::functionRowForWindow(className).value_or(0);
    QVERIFY(row > 0);
    const rights::Right check = rights::functionRight(row, rights::Op::Check);
    const auto grantBack = qScopeGuard([&] {
        sql(d.server, QStringLiteral("INSERT INTO XRight (EmpCode, RightList, RowNo, Op) "
                                     "VALUES ('0001', 'FUNC', %1, 3)")
                          .arg(row));
        ParentInfo.Rights = rights::Grants();
        ParentInfo.RightsKnown = false;
    });
    QVERIFY(sql(d.server, QStringLiteral("DELETE FROM XRight WHERE EmpCode = '0001' AND "
                                         "RightList = 'FUNC' AND RowNo = %1 AND Op = 3")
                              .arg(row)));

    // The server refuses the check that follows the save.
    QString number = d.newHead();
    d.addLine(2);
    d.focusHead();
    QVERIFY(!d.exec(TLumoChild::cmSave));
    QCOMPARE(d.messages.texts, QStringList{rights::refusal(check)});
    QCOMPARE(d.stored("State", number).toString(), QStringLiteral("1"));
    QCOMPARE(d.heads().ChangeCount(), 0);
    QCOMPARE(d.heads().FieldByName(QStringLiteral("State")).AsString(), QStringLiteral("1"));
    QVERIFY(d.heads().FieldByName(QStringLiteral("Assessorcode")).AsString().isEmpty());

    // A client that knows the operator's rights does not try.
    rights::Grants grants = rights::Grants::everything();
    grants.revoke(check);
    ParentInfo.Rights = grants;
    ParentInfo.RightsKnown = true;
    d.messages.texts.clear();
    const int applies = d.bill->applies;
    number = d.saveDocument({3});
    QVERIFY2(!number.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(d.bill->applies, applies + 1);
    QCOMPARE(d.stored("State", number).toString(), QStringLiteral("1"));
}

void tst_Documents::countCaptionsFollowTheType()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, false);
    TLumoDataSetModel *model = d.window->GridXDetail->dataModel();
    const int column = model->columnOf(QStringLiteral("pqty"));
    const auto captions = [&] {
        return model->headerData(column, Qt::Horizontal).toString() + QLatin1Char('/') +
               d.window->lblTotalpqty->text();
    };
    d.newHead(); // a new count is of type "0"
    QCOMPARE(captions(), QStringLiteral("盘亏数量/盘亏总数"));
    d.setHead(QStringLiteral("InOutFlag"), QStringLiteral("1"));
    QCOMPARE(captions(), QStringLiteral("盘赢数量/盘赢总数"));
    d.setHead(QStringLiteral("InOutFlag"), QStringLiteral("0"));
    QCOMPARE(captions(), QStringLiteral("盘亏数量/盘亏总数"));
}

// Every stock window shares one type list; each shows only the types of its own kind, also
// after another stock window had it.
void tst_Documents::typeListOfItsKindOnly()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, QStringLiteral("TfrmStockOther"), false);
    QVERIFY(d.open(className));
    TLumoCLientDataSet *types = d.dm.lookup(QStringLiteral("cdsXStockChAttr"));
    const QString flag = d.window->decl().flag;
    QVERIFY(types->RecordCount() > 0);
    const TLumoField &kind = types->FieldByName(QStringLiteral("Flag"));
    for (int row = 0; row < types->RecordCount(); ++row)
        QCOMPARE(kind.valueAt(row).toString(), flag);
    if (auto *box = qobject_cast<TLumoDBLookupCombobox *>(
            d.window->component(QStringLiteral("cbInOutFlag")))) {
        box->showPopup(); // the list is read again when it opens
        box->hidePopup();
        QCOMPARE(box->count(), types->RecordCount());
    }
}

// Three order lines chosen: three lines with consecutive numbers, their order references,
// the ordered quantity and the remark of the kind.
void tst_Documents::readOrderLines()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    START_SERVER();
    // A third checked line for each partner, with a remainder still to come.
    sql(*server, QStringLiteral("INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, pqty, getpqty) "
                                "VALUES ('202603010001', '0003', 'P1', '0002', 30, 10)"));
    sql(*server,
        QStringLiteral("INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, pqty, getpqty) "
                       "VALUES ('202603020001', '0002', 'P1', '0002', 30, 10)"));
    Desk d(*server);
    QVERIFY(d.open(className));
    // The head's code boxes stand at the left of their cells, under the plain editors.
    for (const TLumoCodeName *code : d.window->pnlMasterEdt->findChildren<TLumoCodeName *>())
        QVERIFY2(code->x() == 0, qPrintable(code->objectName()));
    const TDocumentDecl &decl = d.window->decl();
    const bool sale = decl.provider == QLatin1String("dspSaleInOut");
    d.newHead();
    d.addLine(1); // a line typed before: the read lines come after it
    QStringList shown;
    TfrmReadOrder::setHook([&](TfrmReadOrder &picker) {
        shown << picker.windowTitle() << picker.edtspCode->text() << picker.edtStoreCode->text();
        picker.deBegin->SetDateTimeText(QStringLiteral("2026-03-01 00:00:00"));
        picker.deEnd->SetDateTimeText(QStringLiteral("2026-03-31 00:00:00"));
        picker.btnQryClick();
        picker.dbGridFpo->selectAll();
        picker.BitBtn1Click();
        return picker.result();
    });
    d.window->btnReadBuyClick();
    QCOMPARE(shown, (QStringList{decl.read.sourceKind, sale ? "K1" : "S1", "W1"}));
    QCOMPARE(d.lines().RecordCount(), 4);
    QStringList got;
    for (int row = 1; row < d.lines().RecordCount(); ++row) {
        QStringList parts;
        for (const char *f : {"bodyno", "LinkHeadno", "LinkBodyno", "pdtcode", "pqty", "note"})
            parts << d.lines().FieldByName(QLatin1String(f)).valueAt(row).toString();
        got << parts.join(QLatin1Char('/'));
    }
    const QString remark = decl.read.sourceKind + QStringLiteral("%1") + decl.read.remarkEnd;
    const QStringList expected =
        sale ? QStringList{"0002/202603020001/0001/P1/3/" + remark.arg("202603020001"),
                           "0003/202603020001/0002/P1/30/" + remark.arg("202603020001"),
                           "0004/202603020003/0001/P2/1/" + remark.arg("202603020003")}
             : QStringList{"0002/202603010001/0001/P1/2/" + remark.arg("202603010001"),
                           "0003/202603010001/0002/P2/1/" + remark.arg("202603010001"),
                           "0004/202603010001/0003/P1/30/" + remark.arg("202603010001")};
    QCOMPARE(got, expected);
    d.focusHead();
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(d.count("SELECT count(*) FROM xStockChb WHERE LinkHeadno IS NOT NULL"), 3);
    sql(*server, QStringLiteral("DELETE FROM XBuyb WHERE bodyno = '0003'"));
    sql(*server,
        QStringLiteral("DELETE FROM XSaleb WHERE headno = '202603020001' AND bodyno = '0002'"));
}

// A picker cancelled, or confirmed while it shows nothing, leaves no empty line behind.
void tst_Documents::cancelledPickerLeavesNoLine()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, false);
    d.newHead();
    d.addLine(5);
    for (bool confirmEmpty : {false, true}) {
        TfrmReadOrder::setHook([&](TfrmReadOrder &picker) {
            if (confirmEmpty)
                picker.BitBtn1Click(); // nothing queried: stays open, then cancelled
            picker.reject();
            return picker.result();
        });
        d.window->btnReadBuyClick();
        QCOMPARE(d.lines().RecordCount(), 1);
        QCOMPARE(d.lines().FieldByName(QStringLiteral("pqty")).AsFloat(), 5.0);
    }
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(d.count("SELECT count(*) FROM xStockChb"), 1);
}

void tst_Documents::badInputRefusedWhole_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    for (const QString &backend : backends()) {
        QTest::addRow("%s required store", qPrintable(backend))
            << backend << "no store" << QStringLiteral("仓库不能为空！请先填仓库");
        QTest::addRow("%s duplicate number", qPrintable(backend))
            << backend << "duplicate" << QStringLiteral("收货单号为'DUP1'的资料已经存在。请检查！");
        QTest::addRow("%s text in a quantity", qPrintable(backend))
            << backend << "text quantity" << QStringLiteral("'abc'不是字段'pqty'的有效数值");
        QTest::addRow("%s unknown product", qPrintable(backend))
            << backend << "unknown product" << QStringLiteral("没有'NOSUCH'这一货品代码");
        QTest::addRow("%s unknown store", qPrintable(backend))
            << backend << "unknown store" << QStringLiteral("没有'NOSUCH'这一仓库");
        QTest::addRow("%s over-long remark", qPrintable(backend))
            << backend << "long remark" << QString();
    }
}

// Each bad input gets its message, nothing reaches the database, and the document stays on
// screen as typed.
void tst_Documents::badInputRefusedWhole()
{
    QFETCH(QString, backend);
    QFETCH(QString, input);
    QFETCH(QString, message);
    OPEN_DESK(d, QStringLiteral("TfrmBuyIn"), false);
    QStringList refused;
    TLumoUpdateError::setHook([&](TLumoUpdateError &dialog) {
        refused << dialog.windowTitle();
        dialog.accept();
        return dialog.Action();
    });
    QVERIFY(storeHead(*server, QStringLiteral("DUP1"), QStringLiteral("1"), today()));
    d.newHead();
    d.addLine(4);
    d.messages.texts.clear();
    if (input == QLatin1String("no store")) {
        d.setHead(QStringLiteral("storecode"), QVariant());
    } else if (input == QLatin1String("duplicate")) {
        d.setHead(QStringLiteral("headno"), QStringLiteral("DUP1"));
    } else if (input == QLatin1String("text quantity")) {
        TLumoDataSetModel *model = d.window->GridXDetail->dataModel();
        QVERIFY(!model->setData(model->index(0, model->columnOf(QStringLiteral("pqty"))),
                                QStringLiteral("abc")));
        QCoreApplication::processEvents();
        QCOMPARE(d.messages.texts, QStringList{message});
        QCOMPARE(d.lines().FieldByName(QStringLiteral("pqty")).AsFloat(), 4.0);
        return;
    } else if (input == QLatin1String("unknown product") ||
               input == QLatin1String("unknown store")) {
        const bool product = input == QLatin1String("unknown product");
        TLumoCodeName *editor = d.window->selector(product ? "cnPdtCode" : "cnStoreCode");
        editor->dbEdit()->setText(QStringLiteral("NOSUCH"));
        editor->Resolve();
        QCOMPARE(d.messages.texts, QStringList{message});
        const TLumoField &code = product ? d.lines().FieldByName(QStringLiteral("pdtcode"))
                                         : d.heads().FieldByName(QStringLiteral("storecode"));
        QVERIFY(code.IsNull()); // the code did not stay
        message = product ? QStringLiteral("货品代码不能为空！请先填货品代码")
                          : QStringLiteral("仓库不能为空！请先填仓库");
        d.messages.texts.clear();
    } else {
        d.lines().FieldByName(QStringLiteral("note")).setValue(QString(61, QLatin1Char('x')));
    }
    d.focusHead();
    QVERIFY(!d.exec(TLumoChild::cmSave));
    if (message.isEmpty())
        QCOMPARE(refused.size(), 1); // the server's refusal, shown with the refused line
    else
        QCOMPARE(d.messages.texts, QStringList{message});
    QCOMPARE(d.count("SELECT count(*) FROM xStockChh WHERE Flag = '1'"), 1); // DUP1 only
    QCOMPARE(d.count("SELECT count(*) FROM xStockChb"), 0);
    QVERIFY(d.heads().State() == TDataSetState::dsInsert || d.heads().ChangeCount() > 0);
    QCOMPARE(d.lines().RecordCount(), 1);
}

// A transfer's two store editors refuse to be left holding the same store, and such a
// transfer is not saved.
void tst_Documents::transferKeepsItsStoresApart()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className, false);
    d.newHead();
    d.addLine(1);
    const QString refusal = QStringLiteral("拨入仓库与拨出仓库不能为同一仓库！");
    TLumoCodeName *in = d.window->selector(QStringLiteral("cnStoreCodeIN"));
    in->dbEdit()->setText(QStringLiteral("W1"));
    in->Resolve();
    QCOMPARE(d.messages.texts, QStringList{refusal});
    QCOMPARE(d.heads().FieldByName(QStringLiteral("StoreNameIn")).AsString(),
             QStringLiteral("一号仓"));
    d.focusHead();
    d.messages.texts.clear();
    QVERIFY(!d.exec(TLumoChild::cmSave));
    QCOMPARE(d.messages.texts, QStringList{refusal});
    QCOMPARE(d.count("SELECT count(*) FROM xStockChh"), 0);

    d.setHead(QStringLiteral("StorecodeIn"), QStringLiteral("W2"));
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(d.count("SELECT count(*) FROM xStockChh WHERE StorecodeIn = 'W2'"), 1);
}

QTEST_MAIN(tst_Documents)
#include "tst_Documents.moc"
