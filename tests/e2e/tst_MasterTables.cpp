#include "../lumo/LumoChildTestSupport.h"
#include "../lumo/LumoTestSupport.h"
#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDBImage.h"
#include "LumoDataSetModel.h"
#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoListBox.h"
#include "LumoPageControl.h"
#include "LumoSocketConnection.h"
#include "LumoUpdateError.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "UMasterData.h"
#include "UMasterTables.h"
#include "UMsgBox.h"
#include "USpecedt.h"
#include "UWorkWindows.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

bool sql(TestServer &server, const QStringList &statements)
{
    QSqlQuery q(server.db().db());
    for (const QString &statement : statements) {
        if (!q.exec(statement)) {
            qWarning() << statement << q.lastError().text();
            return false;
        }
    }
    return true;
}

//! The client as after login: the data module with its five connections and shared lists,
//! and one master-data window opened the way the main window opens it.
struct Client
{
    TestServer &server;
    TdmMain dm;
    QPointer<TfrmSingletbl> window;
    bool ready = false;

    explicit Client(TestServer &s) : server(s)
    {
        ready = logInDataModule(dm, server.port());
        registerMasterDataWindows();
    }
    ~Client() { delete window.data(); }

    bool open(const QString &className)
    {
        delete window.data();
        window = qobject_cast<TfrmSingletbl *>(workwindows::create(className));
        return window && lumo::test::showActive(window);
    }
    TLumoCLientDataSet &cds() const { return *window->CDSXMaster; }
    TLumoField &field(const QString &name) const { return cds().FieldByName(name); }
    TDataSetState state() const { return cds().State(); }
    bool exec(int command)
    {
        const bool done = window->LumoChild->ExecCommand(command);
        QCoreApplication::processEvents();
        return done;
    }
    template <class T> T *child(const QString &name) const { return window->findChild<T *>(name); }
    //! Types a code into a code/name editor of the edit area and leaves it.
    bool pick(const QString &editor, const QString &code)
    {
        TLumoCodeName *cn = nullptr;
        for (TLumoCodeName *candidate : window->findChildren<TLumoCodeName *>(editor)) {
            if (candidate->parentWidget() != window->pnlMasterList)
                cn = candidate;
        }
        if (!cn)
            return false;
        cn->activeEdit()->setText(code);
        cn->Resolve();
        return true;
    }
    QVariant stored(const QString &statement) const
    {
        QSqlQuery q(server.db().db());
        if (!q.exec(statement) || !q.next())
            return QVariant();
        return q.value(0);
    }
};

QString duplicateText(const QStringList &pairs)
{
    return pairs.join(QLatin1Char(',')) + QStringLiteral("的资料已经存在。请检查！");
}

} // namespace

#define CLIENT(c)                                                                                  \
    QFETCH(QString, backend);                                                                      \
    QString serverError;                                                                           \
    TestServer *server = serverFor(backend, &serverError);                                         \
    QVERIFY2(server, qPrintable(serverError));                                                     \
    Client c(*server);                                                                             \
    QVERIFY(c.ready)

class tst_MasterTables : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { TLumoUpdateError::setHook({}); }
    void cleanupTestCase() { stopServers(); }
    void windowsDeclared();
    void lookingChangesNothing_data();
    void lookingChangesNothing();
    void companyParent_data() { addBackendRows(); }
    void companyParent();
    void departmentNeedsCompany_data() { addBackendRows(); }
    void departmentNeedsCompany();
    void employeeDepartmentBringsCompany_data() { addBackendRows(); }
    void employeeDepartmentBringsCompany();
    void duplicatePartnerCode_data();
    void duplicatePartnerCode();
    void openingStockByStore_data() { addBackendRows(); }
    void openingStockByStore();
    void openingStockInPackets_data() { addBackendRows(); }
    void openingStockInPackets();
    void openingQuantityCarriesStockOnHand_data() { addBackendRows(); }
    void openingQuantityCarriesStockOnHand();
    void productClassHeads_data() { addBackendRows(); }
    void productClassHeads();
    void variantChooser_data() { addBackendRows(); }
    void variantChooser();
};

// Every window exists by its class name, on the frame, with its declaration's caption.
void tst_MasterTables::windowsDeclared()
{
    TdmMain dm;
    registerMasterDataWindows();
    for (const QString &className : masterTableClasses()) {
        QVERIFY2(workwindows::isRegistered(className), qPrintable(className));
        std::unique_ptr<QWidget> window(workwindows::create(className));
        auto *frame = qobject_cast<TfrmSingletbl *>(window.get());
        QVERIFY(frame);
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        QCOMPARE(window->windowTitle(), masterTableDecl(className)->caption);
        QCOMPARE(frame->pnlQuery->isHidden(), className != QLatin1String("TfrmXStock"));
        const bool paged = !frame->decl().pages.isEmpty();
        auto *pages = window->findChild<TLumoPageControl *>(QStringLiteral("pgcEdit"));
        QCOMPARE(pages != nullptr, paged);
        if (paged) {
            QCOMPARE(pages->count(), frame->decl().pages.size());
            QCOMPARE(pages->tabText(1), frame->decl().pages.at(1));
        }
    }
}

void tst_MasterTables::lookingChangesNothing_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    for (const QString &className : masterTableClasses())
        QTest::addRow("sqlite/%s", qPrintable(className)) << QStringLiteral("sqlite") << className;
}

// Walking through the editors of a listed row, without typing, leaves the row unchanged.
void tst_MasterTables::lookingChangesNothing()
{
    QFETCH(QString, className);
    Messages messages;
    CLIENT(c);
    QVERIFY(c.open(className));
    if (!c.cds().Active()) {
        c.window->searchEditor(QStringLiteral("cnStore"))->setText(QStringLiteral("0001"));
        c.window->Search();
    }
    for (QWidget *editor : c.window->pnlMasterEdt->findChildren<QWidget *>()) {
        if (editor->focusPolicy() == Qt::NoFocus || !editor->isVisibleTo(c.window))
            continue;
        editor->setFocus();
        QCoreApplication::processEvents();
        QVERIFY2(c.state() == TDataSetState::dsBrowse, qPrintable(editor->objectName()));
    }
    QCOMPARE(c.cds().ChangeCount(), 0);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// A company cannot be its own parent; another company can, and so can none.
void tst_MasterTables::companyParent()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(c.open(QStringLiteral("TfrmXCorp")));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("CODE")).setValue(QStringLiteral("CA"));
    c.field(QStringLiteral("NAME")).setValue(QStringLiteral("甲公司"));
    c.field(QStringLiteral("PARENT")).setValue(QStringLiteral("CA"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("公司不能作为其本身的子公司！")});
    QCOMPARE(messages.kinds, QList<int>{mkHint});
    QCOMPARE(c.state(), TDataSetState::dsInsert);

    // The Delete key empties the parent's box.
    auto *parent = c.child<TLumoDBLookupCombobox>(QStringLiteral("cbPARENT"));
    QVERIFY(parent);
    parent->setFocus();
    QTest::keyClick(parent, Qt::Key_Delete);
    QVERIFY(c.field(QStringLiteral("PARENT")).IsNull());
    messages.texts.clear();
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QVERIFY(c.stored(QStringLiteral("SELECT parent FROM xcorp WHERE code = 'CA'")).isNull());

    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("CODE")).setValue(QStringLiteral("CB"));
    c.field(QStringLiteral("NAME")).setValue(QStringLiteral("乙公司"));
    c.field(QStringLiteral("PARENT")).setValue(QStringLiteral("CA"));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(c.stored(QStringLiteral("SELECT parent FROM xcorp WHERE code = 'CB'")).toString(),
             QStringLiteral("CA"));
    // The saved company joins the shared company list, which names the parent.
    QTRY_COMPARE(c.field(QStringLiteral("ParentName")).AsString(), QStringLiteral("甲公司"));
}

void tst_MasterTables::departmentNeedsCompany()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(c.open(QStringLiteral("TfrmXDept")));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("CODE")).setValue(QStringLiteral("DN"));
    c.field(QStringLiteral("NAME")).setValue(QStringLiteral("无公司部"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts,
             QStringList{QStringLiteral("所属公司代码不能为空！请先填所属公司代码")});
    QVERIFY(!c.stored(QStringLiteral("SELECT code FROM xDept WHERE code = 'DN'")).isValid());
    c.field(QStringLiteral("corpcode")).setValue(QStringLiteral("0001"));
    QCOMPARE(c.field(QStringLiteral("CorpName")).AsString(), QStringLiteral("本公司"));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QCOMPARE(c.stored(QStringLiteral("SELECT CorpCode FROM xDept WHERE code = 'DN'")).toString(),
             QStringLiteral("0001"));
}

// Picking a department fills its name and its company's code and name.
void tst_MasterTables::employeeDepartmentBringsCompany()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(*server, {QStringLiteral("INSERT INTO xcorp (code, name) VALUES ('EC', '分部')"),
                          QStringLiteral("INSERT INTO xDept (code, name, CorpCode) "
                                         "VALUES ('ED', '门市部', 'EC')")}));
    QVERIFY(c.open(QStringLiteral("TfrmXpsEMP")));
    QVERIFY(c.child<TLumoDBImage>(QStringLiteral("imgpic")));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("code")).setValue(QStringLiteral("e1"));
    c.field(QStringLiteral("name")).setValue(QStringLiteral("张三"));
    c.field(QStringLiteral("sexb")).setValue(QStringLiteral("2"));
    QCOMPARE(c.field(QStringLiteral("Sex")).AsString(), QStringLiteral("女"));
    QVERIFY(c.pick(QStringLiteral("cndeptcode"), QStringLiteral("ED")));
    QCOMPARE(c.field(QStringLiteral("DeptName")).AsString(), QStringLiteral("门市部"));
    QCOMPARE(c.field(QStringLiteral("corpcode")).AsString(), QStringLiteral("EC"));
    QCOMPARE(c.field(QStringLiteral("CorpName")).AsString(), QStringLiteral("分部"));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    // Employee codes are kept as typed.
    QCOMPARE(c.stored(QStringLiteral("SELECT Corpcode FROM XPSEmp WHERE code = 'e1'")).toString(),
             QStringLiteral("EC"));
    // The department can be picked in the grid as well.
    const int column = c.window->decl().gridColumns.indexOf(QStringLiteral("deptcode"));
    auto *twin = qobject_cast<TLumoCodeName *>(c.window->GridXMaster->overlayEditor(column));
    QVERIFY(twin);
    QCOMPARE(twin->LinkDataField(),
             c.child<TLumoCodeName>(QStringLiteral("cndeptcode"))->LinkDataField());
}

void tst_MasterTables::duplicatePartnerCode_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("codeCaption");
    QTest::addColumn<QString>("classCaption");
    QStringList backends{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        backends << QStringLiteral("postgresql");
    for (const QString &backend : backends) {
        QTest::addRow("%s/suppliers", qPrintable(backend))
            << backend << QStringLiteral("TfrmXFatbn") << QStringLiteral("xFatBn")
            << QStringLiteral("厂商代码：") << QStringLiteral("厂商类别：");
        QTest::addRow("%s/customers", qPrintable(backend))
            << backend << QStringLiteral("TfrmXCustome") << QStringLiteral("xCustome")
            << QStringLiteral("客户代码：") << QStringLiteral("客户类别：");
    }
}

// Both windows report a duplicate code with the supplier label; only their captions differ.
void tst_MasterTables::duplicatePartnerCode()
{
    QFETCH(QString, className);
    QFETCH(QString, table);
    QFETCH(QString, codeCaption);
    QFETCH(QString, classCaption);
    Messages messages;
    CLIENT(c);
    const QString local =
        className == QLatin1String("TfrmXFatbn") ? QStringLiteral("LF") : QStringLiteral("LC");
    QVERIFY(
        sql(*server,
            {QStringLiteral("INSERT INTO XLocal (code, name) VALUES ('%1', '华北')").arg(local)}));
    c.dm.lookup(QStringLiteral("dspLocal"))->Close();
    c.dm.lookup(QStringLiteral("dspLocal"))->Open();
    QVERIFY(c.open(className));
    QCOMPARE(c.child<TLumoLabel>(QStringLiteral("lblcode"))->text(), codeCaption);
    QCOMPARE(c.child<TLumoLabel>(QStringLiteral("lblLocalCode"))->text(), classCaption);
    QCOMPARE(c.window->GridXMaster->model()->columnCount(), 7);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(c.exec(TLumoChild::cmNew));
        c.field(QStringLiteral("code")).setValue(QStringLiteral("P1"));
        c.field(QStringLiteral("name")).setValue(QStringLiteral("伙伴"));
        c.field(QStringLiteral("LocalCode")).setValue(local);
        QCOMPARE(c.exec(TLumoChild::cmSave), attempt == 0);
    }
    QCOMPARE(messages.texts, QStringList{duplicateText({QStringLiteral("厂商代码为'P1'")})});
    QCOMPARE(c.state(), TDataSetState::dsInsert);
    QVERIFY(c.exec(TLumoChild::cmCancel));
    QCOMPARE(
        c.stored(QStringLiteral("SELECT count(*) FROM %1 WHERE code = 'P1'").arg(table)).toInt(),
        1);
}

// Nothing is listed before a store is searched; new rows start in the picked store with
// today in their three dates; store, product and line together are the key.
void tst_MasterTables::openingStockByStore()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(
        *server,
        {QStringLiteral("INSERT INTO XStore (code, name, parentc) VALUES ('S1', '一仓', '0001')"),
         QStringLiteral("INSERT INTO XStore (code, name, parentc) VALUES ('S2', '二仓', '0001')"),
         QStringLiteral("INSERT INTO XMeasure (code, name) VALUES ('OS', '个')"),
         QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('OC', '杂货')"),
         QStringLiteral(
             "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('OP', '杯子', 'OC')"),
         QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) "
                        "VALUES ('OP', '0001', '大', 'OS')"),
         QStringLiteral("INSERT INTO XStock (storecode, pdtcode, pdtno, StartPrice) "
                        "VALUES ('S2', 'OP', '0001', 3)")}));
    QVERIFY(c.open(QStringLiteral("TfrmXStock")));
    QVERIFY(!c.cds().Active());
    const QString askStore = QStringLiteral("请先选择仓库！");
    TLumoCodeName *store = c.window->searchEditor(QStringLiteral("cnStore"));
    QVERIFY(store);
    QVERIFY(!c.exec(TLumoChild::cmNew));
    QCOMPARE(messages.texts, QStringList{askStore});
    QVERIFY(store->activeEdit()->hasFocus());
    c.window->Search();
    QCOMPARE(messages.texts, (QStringList{askStore, askStore}));
    QVERIFY(!c.cds().Active());
    messages.texts.clear();

    store->setText(QStringLiteral("S1"));
    c.window->Search();
    QVERIFY(c.cds().Active());
    QCOMPARE(c.cds().RecordCount(), 0);

    QVERIFY(c.exec(TLumoChild::cmNew));
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(c.field(QStringLiteral("storecode")).AsString(), QStringLiteral("S1"));
    for (const char *date : {"StartDate", "CalDate", "cntdate"}) {
        const QString value = c.field(QLatin1String(date)).AsString();
        QVERIFY2(value.size() == 19 && value.startsWith(today), qPrintable(value));
    }
    QVERIFY(c.pick(QStringLiteral("cnpdtcode"), QStringLiteral("OP")));
    QCOMPARE(c.field(QStringLiteral("PdtName")).AsString(), QStringLiteral("杯子"));
    QVERIFY(c.pick(QStringLiteral("cnpdtno"), QStringLiteral("0001")));
    QCOMPARE(c.field(QStringLiteral("specname")).AsString(), QStringLiteral("大"));
    c.field(QStringLiteral("StartPrice")).setValue(5.0);
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));

    // The same line again in the same store is a duplicate over all three key fields.
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("pdtcode")).setValue(QStringLiteral("OP"));
    c.field(QStringLiteral("pdtno")).setValue(QStringLiteral("0001"));
    c.field(QStringLiteral("StartPrice")).setValue(5.0);
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{duplicateText({QStringLiteral("仓库代码为'S1'"),
                                                        QStringLiteral("货品代码为'OP'"),
                                                        QStringLiteral("货品项次为'0001'")})});
    QVERIFY(c.exec(TLumoChild::cmCancel));
    messages.texts.clear();

    // A line that does not exist is refused by the server and nothing is stored.
    int refusals = 0;
    TLumoUpdateError::setHook([&refusals](TLumoUpdateError &) {
        ++refusals;
        return TReconcileAction::raCancel;
    });
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("pdtcode")).setValue(QStringLiteral("OP"));
    c.field(QStringLiteral("pdtno")).setValue(QStringLiteral("0009"));
    c.field(QStringLiteral("StartPrice")).setValue(1.0);
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(refusals, 1);
    QVERIFY(c.exec(TLumoChild::cmCancel));
    QCOMPARE(c.stored(QStringLiteral("SELECT count(*) FROM XStock WHERE pdtno = '0009'")).toInt(),
             0);
    messages.texts.clear();

    // Listing the other store shows its own row; the same line there was accepted.
    store->setText(QStringLiteral("S2"));
    c.window->Search();
    QCOMPARE(c.cds().RecordCount(), 1);
    QCOMPARE(c.field(QStringLiteral("StartPrice")).AsFloat(), 3.0);
    QCOMPARE(c.stored(QStringLiteral("SELECT count(*) FROM XStock WHERE pdtcode = 'OP'")).toInt(),
             2);
    // A product picked in the search panel narrows the list.
    c.window->searchEditor(QStringLiteral("cnPdt"))->setText(QStringLiteral("NONE"));
    c.window->Search();
    QCOMPARE(c.cds().RecordCount(), 0);
}

// A store's list arrives 20 rows at a time and ends; a new row goes after the last one.
void tst_MasterTables::openingStockInPackets()
{
    Messages messages;
    CLIENT(c);
    QStringList rows{
        QStringLiteral("INSERT INTO XStore (code, name, parentc) VALUES ('S3', '三仓', '0001')"),
        QStringLiteral("INSERT INTO XMeasure (code, name) VALUES ('PK', '个')"),
        QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('PK', '杂货')"),
        QStringLiteral(
            "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('PK', '盘子', 'PK')")};
    for (int i = 1; i <= 25; ++i) {
        const QString line = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        rows << QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) "
                               "VALUES ('PK', '%1', '号%1', 'PK')")
                    .arg(line)
             << QStringLiteral("INSERT INTO XStock (storecode, pdtcode, pdtno, StartPrice) "
                               "VALUES ('S3', 'PK', '%1', 1)")
                    .arg(line);
    }
    QVERIFY(sql(*server, rows));
    QVERIFY(c.open(QStringLiteral("TfrmXStock")));
    c.window->searchEditor(QStringLiteral("cnStore"))->setText(QStringLiteral("S3"));
    c.window->Search();
    QCOMPARE(c.cds().RecordCount(), 20);
    for (int packets = 0; packets < 5 && c.cds().GetNextPacket(); ++packets) {
    }
    QCOMPARE(c.cds().RecordCount(), 25);
    QVERIFY(c.exec(TLumoChild::cmNew));
    QCOMPARE(c.cds().RecordCount(), 26);
    QVERIFY(c.exec(TLumoChild::cmCancel));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// Stock on hand and on order are shown, not typed; a changed opening quantity moves the
// stock on hand by the same difference, on screen as the server stores it.
void tst_MasterTables::openingQuantityCarriesStockOnHand()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(
        *server,
        {QStringLiteral("INSERT INTO XStore (code, name, parentc) VALUES ('S4', '四仓', '0001')"),
         QStringLiteral("INSERT INTO XMeasure (code, name) VALUES ('QS', '个')"),
         QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('QC', '杂货')"),
         QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('QP', '碗', 'QC')"),
         QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) "
                        "VALUES ('QP', '0001', '大', 'QS'), ('QP', '0002', '小', 'QS')"),
         // 10 opening, 4 received since, 3 on order.
         QStringLiteral("INSERT INTO XStock (storecode, pdtcode, pdtno, StartPrice, StartDate, "
                        "CalDate, cntdate, startnum, pqty, stdpqty) VALUES ('S4', 'QP', '0001', "
                        "3, '2026-01-01 00:00:00', '2026-01-01 00:00:00', "
                        "'2026-01-01 00:00:00', 10, 14, 3)")}));
    QVERIFY(c.open(QStringLiteral("TfrmXStock")));
    c.window->searchEditor(QStringLiteral("cnStore"))->setText(QStringLiteral("S4"));
    c.window->Search();
    QCOMPARE(c.cds().RecordCount(), 1);
    for (const char *name : {"pqty", "stdpqty"}) {
        QVERIFY(c.field(QLatin1String(name)).ReadOnly());
        auto *editor = c.child<TLumoDBEdit>(QStringLiteral("edt") + QLatin1String(name));
        QVERIFY(editor && editor->isReadOnly());
        Tlumodbgrid *grid = c.window->GridXMaster;
        int column = grid->dataModel()->columnCount() - 1;
        while (column >= 0 && grid->columnField(column)->FieldName() != QLatin1String(name))
            --column;
        QVERIFY(column >= 0);
        QVERIFY(
            !(grid->dataModel()->flags(grid->dataModel()->index(0, column)) & Qt::ItemIsEditable));
    }

    QVERIFY(c.exec(TLumoChild::cmEdit));
    c.field(QStringLiteral("startnum")).setValue(12.0);
    QCOMPARE(c.field(QStringLiteral("pqty")).AsFloat(), 16.0);
    c.field(QStringLiteral("startnum")).setValue(7.0); // measured from the stored row
    QCOMPARE(c.field(QStringLiteral("pqty")).AsFloat(), 11.0);
    QVERIFY2(c.exec(TLumoChild::cmSave), qPrintable(messages.texts.join('\n')));
    QCOMPARE(c.stored(QStringLiteral("SELECT pqty FROM XStock WHERE storecode = 'S4' AND "
                                     "pdtno = '0001'"))
                 .toDouble(),
             11.0);
    QCOMPARE(c.stored(QStringLiteral("SELECT stdpqty FROM XStock WHERE storecode = 'S4' AND "
                                     "pdtno = '0001'"))
                 .toDouble(),
             0.0); // worked out from the checked orders: there are none

    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("pdtcode")).setValue(QStringLiteral("QP"));
    c.field(QStringLiteral("pdtno")).setValue(QStringLiteral("0002"));
    c.field(QStringLiteral("StartPrice")).setValue(1.0);
    c.field(QStringLiteral("startnum")).setValue(6.0);
    QCOMPARE(c.field(QStringLiteral("pqty")).AsFloat(), 6.0);
    QVERIFY(c.exec(TLumoChild::cmSave));
    QCOMPARE(c.stored(QStringLiteral("SELECT pqty FROM XStock WHERE storecode = 'S4' AND "
                                     "pdtno = '0002'"))
                 .toDouble(),
             6.0);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// The six heads are code/name editors on the variant kinds; a picked head brings
// its name, in the edit area and in the grid.
void tst_MasterTables::productClassHeads()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(*server, {QStringLiteral("INSERT INTO XSpech (hcode, name, name_e) "
                                         "VALUES ('CH1', '颜色', 'Colour')"),
                          QStringLiteral("INSERT INTO XSpech (hcode, name, name_e) "
                                         "VALUES ('CH2', '尺码', 'Size')")}));
    QVERIFY(c.open(QStringLiteral("TfrmXPrdtClass")));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.field(QStringLiteral("code")).setValue(QStringLiteral("PC1"));
    c.field(QStringLiteral("name")).setValue(QStringLiteral("服装"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("规格一不能为空！请先填规格一")});
    messages.texts.clear();
    QVERIFY(c.pick(QStringLiteral("cnhspecno1"), QStringLiteral("ch1")));
    QVERIFY(c.pick(QStringLiteral("cnhspecno2"), QStringLiteral("CH2")));
    QCOMPARE(c.field(QStringLiteral("hspecno1")).AsString(), QStringLiteral("CH1"));
    QCOMPARE(c.field(QStringLiteral("hSpecName1")).AsString(), QStringLiteral("颜色"));
    QCOMPARE(c.field(QStringLiteral("hSpecName2")).AsString(), QStringLiteral("尺码"));
    // The pick list shows the English name as its third column.
    QCOMPARE(c.child<TLumoCodeName>(QStringLiteral("cnhspecno2"))->TitlesList(),
             (QStringList{QStringLiteral("规格代码"), QStringLiteral("规格名称"),
                          QStringLiteral("规格英文名称")}));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(
        c.stored(QStringLiteral("SELECT hspecno2 FROM XPrdtClass WHERE code = 'PC1'")).toString(),
        QStringLiteral("CH2"));
    for (int n = 1; n <= 6; ++n) {
        const QString head = QStringLiteral("hspecno%1").arg(n);
        const auto editors = c.window->findChildren<TLumoCodeName *>(QStringLiteral("cn") + head);
        QCOMPARE(editors.size(), 2); // the edit area's and the grid's
    }
}

// The chooser lists the items of each head of the class; the picks in list order make the
// text; it empties itself when it closes.
void tst_MasterTables::variantChooser()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(
        *server,
        {QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('SC', '颜色')"),
         QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('SZ', '尺码')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('SC', '0001', 'red')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('SC', '0002', 'blue')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('SZ', '0001', 'L')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('SZ', '0002', 'XL')"),
         QStringLiteral("INSERT INTO XPrdtClass (Code, name, hspecno1, hspecno2) "
                        "VALUES ('SK', '服装', 'SC', 'SZ')")}));
    TfrmSpecedt &chooser = frmSpecedt();
    QCOMPARE(&chooser, &frmSpecedt()); // made once
    QCOMPARE(chooser.windowTitle(), QStringLiteral("货品规格选择"));
    auto click = [&chooser](int n, const QString &text) {
        TLumoListBox *list = chooser.list(n);
        const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
        if (items.size() != 1)
            return false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
        return true;
    };
    struct Case
    {
        QList<std::pair<int, QString>> clicks;
        QString text;
    };
    for (const Case &run : {Case{{{1, "red"}, {2, "XL"}}, "red,XL"}, Case{{{2, "XL"}}, "XL"},
                            Case{{{2, "XL"}, {1, "red"}}, "red,XL"}}) {
        QVERIFY(chooser.Load(*c.dm.SCBase, QStringLiteral("SK"), QStringLiteral("旧规格")));
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QCOMPARE(chooser.edtSpec->text(), QStringLiteral("旧规格"));
        QCOMPARE(chooser.label(1)->text(), QStringLiteral("颜色"));
        QCOMPARE(chooser.label(2)->text(), QStringLiteral("尺码"));
        QCOMPARE(chooser.list(1)->count(), 2);
        QVERIFY(chooser.list(2)->isEnabled());
        QVERIFY(!chooser.list(3)->isEnabled());
        QCOMPARE(chooser.label(3)->text(), QStringLiteral("规格三"));
        for (const auto &[n, text] : run.clicks)
            QVERIFY(click(n, text));
        QCOMPARE(chooser.edtSpec->text(), run.text);
        chooser.accept();
        QCOMPARE(chooser.acceptedText(), run.text);
        // Closed, it is empty again.
        QCOMPARE(chooser.label(1)->text(), QStringLiteral("规格一"));
        QCOMPARE(chooser.list(1)->count(), 0);
        QVERIFY(!chooser.list(1)->isEnabled());
        QVERIFY(chooser.edtSpec->text().isEmpty());
    }
    QVERIFY(chooser.Load(*c.dm.SCBase, QStringLiteral("SK"), QString()));
    QVERIFY(click(1, QStringLiteral("blue")));
    chooser.reject();
    QVERIFY(chooser.acceptedText().isEmpty());
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));

    QVERIFY(!chooser.Load(*c.dm.SCBase, QStringLiteral("NOCLASS"), QString()));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("此大类产品没有规格可选择！")});
    QCOMPARE(messages.kinds, QList<int>{mkHint});
    QCOMPARE(chooser.list(1)->count(), 0);
}

QTEST_MAIN(tst_MasterTables)
#include "tst_MasterTables.moc"
