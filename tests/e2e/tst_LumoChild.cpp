#include "../lumo/LumoChildTestSupport.h"
#include "../lumo/LumoTestSupport.h"
#include "Korvane_TLB.h"
#include "LumoChild.h"
#include "LumoPanel.h"
#include "LumoSocketConnection.h"
#include "LumoUpdateError.h"
#include "TestServer.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace korvane;
using namespace korvane::test;
using Messages = lumo::test::MessageQueue;
using lumo::test::editPanel;

namespace {

QString classId(const QString &name)
{
    for (const tlb::ClassDef &def : tlb::classes()) {
        if (def.name == name)
            return def.classId;
    }
    return QString();
}

int count(TestServer &server, const QString &sql, const QString &value)
{
    QSqlQuery q(server.db().db());
    q.prepare(sql);
    q.addBindValue(value);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toInt();
}

int heads(TestServer &server, const QString &headno)
{
    return count(server, QStringLiteral("SELECT count(*) FROM xStockChh WHERE headno = ?"), headno);
}

int lines(TestServer &server, const QString &headno)
{
    return count(server, QStringLiteral("SELECT count(*) FROM xStockChb WHERE headno = ?"), headno);
}

//! A purchase-receipt window in small: today's receipts of the document module with their
//! lines nested, a head panel and a line panel, the frame numbering heads and lines.
struct ReceiptWindow
{
    TLumoSocketConnection base;
    TLumoSocketConnection bill;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TLumoPanel *pnlMasterEdt = nullptr;
    TLumoPanel *pnlDetail = nullptr;
    TLumoCLientDataSet *CDSXMaster = nullptr;
    TLumoCLientDataSet *cdsXDetail = nullptr;
    TLumoChild *LumoChild = nullptr;
    TLumoSession session;

    explicit ReceiptWindow(TestServer &server)
    {
        logIn(server);
        new QVBoxLayout(window.get());
        pnlMasterEdt =
            editPanel(window.get(), QStringLiteral("pnlMasterEdt"), QStringLiteral("D1"));
        pnlDetail = editPanel(window.get(), QStringLiteral("pnlDetail"), QStringLiteral("D2"));
        makeDataSets();
        LumoChild = new TLumoChild(window.get());
        LumoChild->setAutoNO(true);
    }

    void logIn(TestServer &server)
    {
        base.setPort(server.port());
        base.setServerGUID(classId(QStringLiteral("BaseRDM")));
        QString info, sysSet, purView, para;
        base.callWithOutputs(QStringLiteral("LogIn"),
                             {QStringLiteral("0001"), QStringLiteral("0001"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                             {&session.SessionId, &info, &sysSet, &purView, &para});
        bill.setPort(server.port());
        bill.setServerGUID(classId(QStringLiteral("BillRDM")));
        bill.setSession(session.SessionId);
    }

    void makeDataSets()
    {
        CDSXMaster = new TLumoCLientDataSet(window.get());
        CDSXMaster->setObjectName(QStringLiteral("CDSXMaster"));
        CDSXMaster->setTagStr(QStringLiteral("D1"));
        CDSXMaster->setRemoteServer(&bill);
        CDSXMaster->setProviderName(QStringLiteral("dspBuyInOut"));
        CDSXMaster->setTableName(QStringLiteral("xStockChh"));
        CDSXMaster->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("headno")}};
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        TLumoParams &params = CDSXMaster->Params();
        params.setValue(QStringLiteral("BeginDate"), today);
        params.setValue(QStringLiteral("EndDate"), today);
        params.setValue(QStringLiteral("Flag"), QStringLiteral("1"));
        for (const char *filter : {"StoreCode", "spCode", "DeptCode"}) {
            params.setValue(QLatin1String(filter), QStringLiteral(" "));
            params.setValue(QStringLiteral("tmp") + QLatin1String(filter), QStringLiteral(" "));
        }
        // The receipt's own defaults of a new head.
        CDSXMaster->AfterInsert = [](TLumoCLientDataSet &ds) {
            ds.FieldByName(QStringLiteral("hdate"))
                .setValue(
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            ds.FieldByName(QStringLiteral("Flag")).setValue(QStringLiteral("1"));
            ds.FieldByName(QStringLiteral("State")).setValue(QStringLiteral("1"));
        };
        cdsXDetail = new TLumoCLientDataSet(window.get());
        cdsXDetail->setObjectName(QStringLiteral("cdsXDetail"));
        cdsXDetail->setTagStr(QStringLiteral("D2"));
        cdsXDetail->setTableName(QStringLiteral("xStockChb"));
        cdsXDetail->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("headno;bodyno")}};
        // A line belongs to the head it is entered under.
        cdsXDetail->AfterInsert = [this](TLumoCLientDataSet &ds) {
            ds.FieldByName(QStringLiteral("headno")).setValue(head());
        };
    }

    //! The window's first activation: the frame, then the data sets.
    bool activate()
    {
        if (!lumo::test::showActive(window.get()))
            return false;
        LumoChild->InitFrame(session);
        CDSXMaster->Open();
        CDSXMaster->FieldByName(QStringLiteral("headno"))
            .setDisplayLabel(QStringLiteral("单据号码"))
            .setRequired(true);
        cdsXDetail->setDataSetField(&CDSXMaster->FieldByName(QStringLiteral("qryBuyInOutD")));
        return true;
    }

    bool exec(int command) { return LumoChild->ExecCommand(command); }
    QString head() const { return CDSXMaster->FieldByName(QStringLiteral("headno")).AsString(); }
    QString bodyNo() const { return cdsXDetail->FieldByName(QStringLiteral("bodyno")).AsString(); }
    void focus(TLumoPanel *panel) { panel->findChild<QLineEdit *>()->setFocus(); }

    //! A new receipt with lines of the given quantities, through the command table.
    QString newReceipt(const QList<double> &quantities)
    {
        focus(pnlMasterEdt);
        if (!exec(TLumoChild::cmNew))
            return QString();
        const QString number = head();
        focus(pnlDetail);
        for (double pqty : quantities) {
            if (!exec(TLumoChild::cmNew))
                return QString();
            cdsXDetail->FieldByName(QStringLiteral("pqty")).setValue(pqty);
        }
        focus(pnlMasterEdt);
        return number;
    }
};

//! A running server, the messages answered and the receipt window opened on it.
struct Receipts
{
    TestServer server;
    Messages messages;
    std::unique_ptr<ReceiptWindow> window;

    explicit Receipts(const QString &backend) : server(backend) {}
    bool open()
    {
        if (!server.start())
            return false;
        window = std::make_unique<ReceiptWindow>(server);
        return window->activate();
    }
};

} // namespace

class tst_LumoChild : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { TLumoUpdateError::setHook({}); }
    void numberedReceiptSavedWithItsLines_data() { addBackendRows(); }
    void numberedReceiptSavedWithItsLines();
    void duplicateNumberRefused_data() { addBackendRows(); }
    void duplicateNumberRefused();
    void deleteReachesTheServerAtOnce_data() { addBackendRows(); }
    void deleteReachesTheServerAtOnce();
    void returnAsksBeforeLeaving_data();
    void returnAsksBeforeLeaving();
    void missingProductRefusedByReference_data() { addBackendRows(); }
    void missingProductRefusedByReference();
    void referencedStoreKeptWhole_data() { addBackendRows(); }
    void referencedStoreKeptWhole();
};

void tst_LumoChild::numberedReceiptSavedWithItsLines()
{
    QFETCH(QString, backend);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    ReceiptWindow &w = *r.window;
    QVERIFY(messages.texts.isEmpty());

    const QString number = w.newReceipt({1, 2, 3});
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QCOMPARE(number.left(8), today);
    QCOMPARE(number.size(), 12);
    QCOMPARE(w.bodyNo(), QStringLiteral("0003"));
    QCOMPARE(heads(server, number), 0); // nothing stored before the save
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(heads(server, number), 1);
    QCOMPARE(lines(server, number), 3);
    QCOMPARE(w.CDSXMaster->ChangeCount(), 0);

    // The next receipt gets the next number; its lines start again at 0001.
    const QString second = w.newReceipt({4});
    QVERIFY(second > number);
    QCOMPARE(w.bodyNo(), QStringLiteral("0001"));
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(lines(server, second), 1);

    // Reopened, the first receipt takes a new line into the lowest free number.
    w.CDSXMaster->Close();
    w.CDSXMaster->Open();
    QVERIFY(w.CDSXMaster->LocateValues(QStringLiteral("headno"), {number}, true));
    QCOMPARE(w.cdsXDetail->RecordCount(), 3);
    QVERIFY(w.cdsXDetail->LocateValues(QStringLiteral("bodyno"), {QStringLiteral("0002")}, true));
    w.focus(w.pnlDetail);
    messages.answers = {LumoMsg::Yes};
    QVERIFY(w.exec(TLumoChild::cmDelete)); // applied at once
    QCOMPARE(lines(server, number), 2);
    QVERIFY(w.exec(TLumoChild::cmNew));
    QCOMPARE(w.bodyNo(), QStringLiteral("0002"));
    w.cdsXDetail->FieldByName(QStringLiteral("pqty")).setValue(9);
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(lines(server, number), 3);
}

void tst_LumoChild::duplicateNumberRefused()
{
    QFETCH(QString, backend);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    ReceiptWindow &w = *r.window;
    const QString number = w.newReceipt({1});
    QVERIFY(w.exec(TLumoChild::cmSave));

    // A second head typed over with the stored number is refused before anything is sent.
    w.newReceipt({});
    w.CDSXMaster->FieldByName(QStringLiteral("headno")).setValue(number);
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts,
             QStringList{QStringLiteral("单据号码为'%1'的资料已经存在。请检查！").arg(number)});
    QCOMPARE(w.CDSXMaster->State(), TDataSetState::dsInsert);
    QCOMPARE(heads(server, number), 1);
    QVERIFY(w.exec(TLumoChild::cmCancel));

    // Editing the stored receipt without touching its number saves.
    messages.texts.clear();
    QVERIFY(w.CDSXMaster->LocateValues(QStringLiteral("headno"), {number}, true));
    QVERIFY(w.exec(TLumoChild::cmEdit));
    w.CDSXMaster->FieldByName(QStringLiteral("note")).setValue(QStringLiteral("checked twice"));
    QVERIFY(w.exec(TLumoChild::cmSave));
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM xStockChh WHERE note = ?"),
                   QStringLiteral("checked twice")),
             1);
}

void tst_LumoChild::deleteReachesTheServerAtOnce()
{
    QFETCH(QString, backend);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    ReceiptWindow &w = *r.window;
    const QString number = w.newReceipt({1, 2, 3});
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(lines(server, number), 3);

    messages.answers = {LumoMsg::Yes};
    QVERIFY2(w.exec(TLumoChild::cmDelete), qPrintable(messages.texts.join('|')));
    QCOMPARE(heads(server, number), 0);
    QCOMPARE(lines(server, number), 0);
    QCOMPARE(w.CDSXMaster->ChangeCount(), 0);
    QCOMPARE(w.CDSXMaster->RecordCount(), 0);
    QVERIFY(!w.exec(TLumoChild::cmDelete)); // nothing left: nothing asked
    QCOMPARE(messages.texts, QStringList{QStringLiteral("确实要删除此笔资料吗？")});
}

void tst_LumoChild::returnAsksBeforeLeaving_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("stored");
    QStringList backends{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        backends << QStringLiteral("postgresql");
    for (const QString &backend : std::as_const(backends)) {
        QTest::addRow("%s yes", qPrintable(backend)) << backend << int(LumoMsg::Yes) << true << 1;
        QTest::addRow("%s no", qPrintable(backend)) << backend << int(LumoMsg::No) << true << 0;
        QTest::addRow("%s cancel", qPrintable(backend))
            << backend << int(LumoMsg::Cancel) << false << 0;
    }
}

void tst_LumoChild::returnAsksBeforeLeaving()
{
    QFETCH(QString, backend);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(int, stored);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    ReceiptWindow &w = *r.window;
    const QString number = w.newReceipt({5, 6});
    QVERIFY(!w.exec(TLumoChild::cmMayLeave));
    messages.answers = {answer};
    QCOMPARE(w.exec(TLumoChild::cmReturn), closed);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("当前资料尚未保存，是否保存")});
    QCOMPARE(w.window->isVisible(), !closed);
    QCOMPARE(heads(server, number), stored);
    QCOMPARE(lines(server, number), stored * 2);
}

void tst_LumoChild::missingProductRefusedByReference()
{
    QFETCH(QString, backend);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    ReceiptWindow &w = *r.window;
    int dialogs = 0;
    TLumoUpdateError::setHook([&](TLumoUpdateError &dialog) {
        ++dialogs;
        dialog.accept();
        return dialog.Action();
    });
    const QString number = w.newReceipt({1});
    w.cdsXDetail->FieldByName(QStringLiteral("pdtcode")).setValue(QStringLiteral("NO-SUCH"));
    w.cdsXDetail->FieldByName(QStringLiteral("pdtno")).setValue(QStringLiteral("0001"));
    QVERIFY(!w.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("此记录已被引用，不能删除！!")});
    QCOMPARE(dialogs, 1);
    QCOMPARE(heads(server, number), 0);
    // The refused line was taken back; the head is still there to be saved on its own.
    QCOMPARE(w.cdsXDetail->RecordCount(), 0);
    QCOMPARE(w.CDSXMaster->ChangeCount(), 1);
    QVERIFY(w.exec(TLumoChild::cmSave));
    QCOMPARE(heads(server, number), 1);
    QCOMPARE(lines(server, number), 0);
}

void tst_LumoChild::referencedStoreKeptWhole()
{
    // A code-table window over the stores; a receipt refers to store S1.
    QFETCH(QString, backend);
    Receipts r(backend);
    QVERIFY2(r.open(), qPrintable(r.server.error()));
    TestServer &server = r.server;
    Messages &messages = r.messages;
    QSqlQuery q(server.db().db());
    QVERIFY(q.exec(
        QStringLiteral("INSERT INTO XStore (code, name, parentc) VALUES ('S1', '主仓', '0001')")));
    QVERIFY(q.exec(QStringLiteral(
        "INSERT INTO xStockChh (headno, Flag, Storecode) VALUES ('R1', '1', 'S1')")));

    QWidget window;
    new QVBoxLayout(&window);
    TLumoPanel *pnlMaster = editPanel(&window, QStringLiteral("pnlMaster"), QStringLiteral("D1"));
    auto *stores = new TLumoCLientDataSet(&window);
    stores->setObjectName(QStringLiteral("CDSXMaster"));
    stores->setTagStr(QStringLiteral("D1"));
    stores->setRemoteServer(&r.window->base);
    stores->setProviderName(QStringLiteral("dspStore"));
    stores->setTableName(QStringLiteral("XStore"));
    TLumoChild frame(&window);
    QVERIFY(lumo::test::showActive(&window));
    frame.InitFrame(r.window->session);
    stores->Open();
    stores->FieldByName(QStringLiteral("code")).setDisplayLabel(QStringLiteral("仓库代码"));
    pnlMaster->findChild<QLineEdit *>()->setFocus();
    int dialogs = 0;
    TLumoUpdateError::setHook([&](TLumoUpdateError &dialog) {
        ++dialogs;
        dialog.accept();
        return dialog.Action();
    });
    messages.texts.clear();

    // Its code cannot change: the store goes back into editing, the change kept.
    QVERIFY(frame.ExecCommand(TLumoChild::cmEdit));
    stores->FieldByName(QStringLiteral("code")).setValue(QStringLiteral("S2"));
    QVERIFY(!frame.ExecCommand(TLumoChild::cmSave));
    QCOMPARE(messages.texts,
             QStringList{QStringLiteral("此记录已被引用，关键字'仓库代码'不能修改!")});
    QCOMPARE(dialogs, 1);
    QCOMPARE(stores->State(), TDataSetState::dsEdit);
    QCOMPARE(stores->FieldByName(QStringLiteral("code")).AsString(), QStringLiteral("S2"));
    QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XStore WHERE code = ?"),
                   QStringLiteral("S1")),
             1);

    // Nor can it go: the deletion is taken back and the store stays in the list.
    QVERIFY(frame.ExecCommand(TLumoChild::cmCancel));
    QCOMPARE(stores->FieldByName(QStringLiteral("code")).AsString(), QStringLiteral("S1"));
    messages.texts.clear();
    messages.answers = {LumoMsg::Yes};
    QVERIFY(!frame.ExecCommand(TLumoChild::cmDelete));
    QCOMPARE(messages.texts, (QStringList{QStringLiteral("确实要删除此笔资料吗？"),
                                          QStringLiteral("此记录已被引用，不能删除！!")}));
    QCOMPARE(dialogs, 2);
    QCOMPARE(stores->RecordCount(), 1);
    QCOMPARE(stores->ChangeCount(), 0);
    QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XStore WHERE code = ?"),
                   QStringLiteral("S1")),
             1);
}

QTEST_MAIN(tst_LumoChild)
#include "tst_LumoChild.moc"
