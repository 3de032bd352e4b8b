// Rights the server enforces for a logged-in operator, over the shipped account set: change
// sets by provider and Flag, the check, reports, the rights editor's and the parameters'
// own methods, logins an administrator gives to employees, and the parameters applied when
// orders are checked.

#include "ModuleTestKit.h"
#include "PasswordHash.h"
#include "RightsStore.h"
#include "SessionRegistry.h"
#include "SysParaStore.h"
#include "UBaseRDM.h"
#include "UBillRDM.h"
#include "URPTRDM.h"

#include <QSqlQuery>
#include <QTest>

using namespace korvane;
using namespace korvane::test;
using rights::Op;

namespace {

const QString Clerk = QStringLiteral("0002");
const QString ClerkPassword = QStringLiteral("start");

int functionRow(const char *name)
{
    return rights::rowOf(rights::List::Function, QString::fromUtf8(name));
}

int reportRow(const char *name)
{
    return rights::rowOf(rights::List::Report, QString::fromUtf8(name));
}

QString login(TBaseRDM &base, const QString &user, const QString &password, QVariantList *out)
{
    base.call(QStringLiteral("LogIn"),
              {user, password, QStringLiteral("127.0.0.1"), QStringLiteral("test")}, out);
    return out->value(0).toString();
}

//! A logged-in client: its base module and the module of the class it opened after login.
template <typename Module> struct Client
{
    TBaseRDM base;
    SessionGuardedModule module{std::make_unique<Module>()};
    QVariantList loginOut;

    bool logIn(const QString &user, const QString &password)
    {
        const QString id = login(base, user, password, &loginOut);
        module.setSession(id);
        return id.toInt() >= 0;
    }
};

//! A stored password that verifies quickly, so that the many logins here cost little.
QString quickHash(const QString &password)
{
    return PasswordHash::hash(password, QByteArray(PasswordHash::kSaltBytes, 's'), 1000);
}

//! The shipped account set with the documents fixture and a clerk 0002 without rights.
struct Site
{
    explicit Site(const QString &backend) : db(backend)
    {
        db.ok = db.ok && loadDocuments(db.scratch.db()) &&
                db.exec(QStringLiteral("INSERT INTO XPSEmp (code, name, deptcode, Corpcode) "
                                       "VALUES ('0002', '张伟', '0001', '0001')"));
        setPassword(QStringLiteral("0001"), QStringLiteral("0001"));
    }
    void setPassword(const QString &user, const QString &password)
    {
        QSqlQuery q(db.scratch.db());
        q.prepare(QStringLiteral("UPDATE XPSEmp SET PWD = ? WHERE code = ?"));
        q.addBindValue(quickHash(password));
        q.addBindValue(user);
        db.ok = db.ok && q.exec();
    }
    AccountSet db;
};

QString callError(RemoteDataModule &module, const char *method, const QVariantList &args)
{
    return errorOf([&] { module.call(QLatin1String(method), args, nullptr); });
}

Packet receiptShape(RemoteDataModule &bill)
{
    return records(
        bill, QStringLiteral("dspBuyInOut"),
        requestParams({{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", "1"}},
                      {"StoreCode", "spCode", "DeptCode"}, {}),
        0);
}

ChangeSet newReceipt(const Fields &fields, const QString &headno)
{
    return insertion(fields, {{"headno", headno},
                              {"Flag", "1"},
                              {"InOutFlag", "0"},
                              {"hdate", "2026-03-10 10:00:00"},
                              {"Storecode", "W1"},
                              {"spcode", "S1"},
                              {"State", "1"}});
}

//! The stored head as a modification that sets State to "2".
ChangeSet checking(const Fields &fields, const QVariantMap &stored)
{
    ChangeSet set;
    set.fields = fields;
    ChangeRow row;
    row.op = ChangeOp::Modify;
    row.oldValues = rowOf(fields, stored);
    row.newValues = row.oldValues;
    row.changed = QBitArray(fields.size());
    const int state = indexOfField(fields, QStringLiteral("State"));
    row.newValues[state] = QStringLiteral("2");
    row.changed.setBit(state);
    set.rows << row;
    return set;
}

Fields fieldsNamed(const QStringList &names)
{
    Fields fields;
    for (const QString &n : names)
        fields << FieldDef{.name = n};
    return fields;
}

} // namespace

class TestRights : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { m_sites.clear(); }

    void adminOfNewAccountSetHoldsEveryRight_data() { addBackendRows(); }
    void adminOfNewAccountSetHoldsEveryRight();
    void receiptNeedsAddAndCheckRights_data() { addBackendRows(); }
    void receiptNeedsAddAndCheckRights();
    void reportNeedsItsRight_data() { addBackendRows(); }
    void reportNeedsItsRight();
    void staffRightGuardsRightsAndPasswords_data() { addBackendRows(); }
    void staffRightGuardsRightsAndPasswords();
    void lastStaffRightCannotGo_data() { addBackendRows(); }
    void lastStaffRightCannotGo();
    void employeeGetsALogin_data() { addBackendRows(); }
    void employeeGetsALogin();
    void parametersNeedTheirRight_data() { addBackendRows(); }
    void parametersNeedTheirRight();

    void checkingOrdersCarriesPrices_data();
    void checkingOrdersCarriesPrices();

    void neededRights_data();
    void neededRights();
    void uncoveredChangesAreRefused();
    void everyDocumentAndMasterProviderIsCovered();
    void everyReportCodeIsCovered();
    void grantsText_data();
    void grantsText();

private:
    Site &site(const QString &backend)
    {
        std::unique_ptr<Site> &s = m_sites[backend];
        if (!s)
            s = std::make_unique<Site>(backend);
        s->db.useForModules();
        return *s;
    }
    //! Gives the clerk the password and exactly these rights.
    void setUpClerk(Site &s, const rights::Grants &grants)
    {
        s.setPassword(Clerk, ClerkPassword);
        RightsStore::store(s.db.scratch.db(), Clerk, grants);
    }

    std::map<QString, std::unique_ptr<Site>> m_sites;
};

void TestRights::adminOfNewAccountSetHoldsEveryRight()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    QCOMPARE(RightsStore::load(s.db.scratch.db(), QStringLiteral("0001")),
             rights::Grants::everything());
    // The login hands the rights to the client.
    Client<TBillRDM> admin;
    QVERIFY(admin.logIn(QStringLiteral("0001"), QStringLiteral("0001")));
    QCOMPARE(rights::Grants::fromText(admin.loginOut.value(3).toString()),
             rights::Grants::everything());
}

void TestRights::receiptNeedsAddAndCheckRights()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    setUpClerk(s, {});
    Client<TBillRDM> clerk;
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    const Fields fields = receiptShape(clerk.module).fields;
    const QString headno = QStringLiteral("209903100001");
    auto stored = [&] {
        return s.db.scalar(
            QStringLiteral("SELECT State FROM xStockChh WHERE headno = '%1'").arg(headno));
    };

    QCOMPARE(errorOf([&] {
                 clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"),
                                           newReceipt(fields, headno), 0);
             }),
             QStringLiteral("您没有“采购收货—新增”的权限，操作未执行！"));
    QVERIFY(stored().isNull());

    // The rights given while the clerk is logged in count from the next request.
    rights::Grants grants;
    grants.grant(rights::functionRight(functionRow("采购收货"), Op::Add));
    setUpClerk(s, grants);
    ApplyResult result =
        clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"), newReceipt(fields, headno), 0);
    QCOMPARE(errorsOf(result), QString());
    QCOMPARE(stored().toString(), QStringLiteral("1"));

    // The same right does not reach a return, which shares the head table.
    ChangeSet purchaseReturn = newReceipt(fields, QStringLiteral("209903100002"));
    purchaseReturn.rows[0].newValues[indexOfField(fields, QStringLiteral("Flag"))] =
        QStringLiteral("2");
    QCOMPARE(errorOf([&] {
                 clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"), purchaseReturn, 0);
             }),
             QStringLiteral("您没有“采购退货—新增”的权限，操作未执行！"));

    const QVariantMap head{
        {"headno", headno},  {"Flag", "1"},    {"InOutFlag", "0"}, {"hdate", "2026-03-10 10:00:00"},
        {"Storecode", "W1"}, {"spcode", "S1"}, {"State", "1"}};
    QCOMPARE(errorOf([&] {
                 clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"), checking(fields, head),
                                           0);
             }),
             QStringLiteral("您没有“采购收货—审核”的权限，操作未执行！"));
    QCOMPARE(stored().toString(), QStringLiteral("1"));

    grants.grant(rights::functionRight(functionRow("采购收货"), Op::Check));
    setUpClerk(s, grants);
    result = clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"), checking(fields, head), 0);
    QCOMPARE(errorsOf(result), QString());
    QCOMPARE(stored().toString(), QStringLiteral("2"));

    // Taken away while logged in: the next change set is refused.
    setUpClerk(s, {});
    QVERIFY(!errorOf([&] {
                 clerk.module.applyUpdates(QStringLiteral("dspBuyInOut"),
                                           newReceipt(fields, QStringLiteral("209903100003")), 0);
             }).isEmpty());
    // Reading stays open.
    QVERIFY(!receiptShape(clerk.module).fields.isEmpty());
}

void TestRights::reportNeedsItsRight()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    setUpClerk(s, {});
    Client<TRPTRDM> clerk;
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    const Params params = requestParams({{"SQLFLAG", "RPTBUY"},
                                         {"BeginDate", "2026-03-01"},
                                         {"EndDate", "2026-03-31"},
                                         {"State", "1"}},
                                        {"spCode", "DeptCode", "Pdtcode", "StoreCode"}, {});
    QCOMPARE(errorOf([&] { records(clerk.module, QStringLiteral("dspXMaster"), params); }),
             QStringLiteral("您没有“采购汇总报表”的报表权限！"));
    rights::Grants grants;
    grants.grant(rights::reportRight(reportRow("采购汇总报表")));
    setUpClerk(s, grants);
    QCOMPARE(errorOf([&] { records(clerk.module, QStringLiteral("dspXMaster"), params); }),
             QString());
}

void TestRights::staffRightGuardsRightsAndPasswords()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    rights::Grants purchases;
    purchases.grant(rights::functionRight(functionRow("采购单"), Op::Add));
    setUpClerk(s, purchases);
    Client<TBillRDM> clerk;
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    const QString refused = QStringLiteral("您没有“人员权限”的系统权限，操作未执行！");
    QCOMPARE(callError(clerk.base, "SetRights", {Clerk, rights::Grants::everything().toText()}),
             refused);
    QCOMPARE(callError(clerk.base, "GetRights", {QStringLiteral("0001")}), refused);
    QCOMPARE(callError(clerk.base, "SetUserPWD", {QStringLiteral("0001"), QStringLiteral("x")}),
             refused);
    QCOMPARE(RightsStore::load(s.db.scratch.db(), Clerk), purchases);
    QVERIFY(PasswordHash::verify(
        QStringLiteral("0001"),
        s.db.scalar(QStringLiteral("SELECT PWD FROM XPSEmp WHERE code = '0001'")).toString()));
}

void TestRights::lastStaffRightCannotGo()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    setUpClerk(s, {});
    Client<TBillRDM> admin;
    QVERIFY(admin.logIn(QStringLiteral("0001"), QStringLiteral("0001")));
    rights::Grants withoutStaff = rights::Grants::everything();
    withoutStaff.revoke(rights::systemRight(rights::SystemRight::Staff));
    QCOMPARE(callError(admin.base, "SetRights", {QStringLiteral("0001"), withoutStaff.toText()}),
             QStringLiteral("至少要有一名员工拥有“人员权限”，权限未保存！"));
    QCOMPARE(RightsStore::load(s.db.scratch.db(), QStringLiteral("0001")),
             rights::Grants::everything());

    // Rights for an employee deleted meanwhile, or a text that is no rights list.
    QCOMPARE(callError(admin.base, "SetRights", {QStringLiteral("0099"), QString()}),
             QStringLiteral("员工“0099”已不存在，权限未保存！"));
    QCOMPARE(callError(admin.base, "SetRights", {Clerk, QStringLiteral("FUNC:99:0")}),
             QStringLiteral("权限数据有误，权限未保存！"));

    // Once another employee holds it, the administrator may give it up.
    rights::Grants staff;
    staff.grant(rights::systemRight(rights::SystemRight::Staff));
    QVERIFY(admin.base.SetRights(Clerk, staff.toText()));
    QVERIFY(admin.base.SetRights(QStringLiteral("0001"), withoutStaff.toText()));
    QCOMPARE(RightsStore::load(s.db.scratch.db(), QStringLiteral("0001")), withoutStaff);
    QVERIFY(!RightsStore::holds(s.db.scratch.db(), QStringLiteral("0001"),
                                rights::systemRight(rights::SystemRight::Staff)));
    // The administrator's next request to the editor is refused; the clerk gives it back.
    QVERIFY(!callError(admin.base, "GetRights", {Clerk}).isEmpty());
    Client<TBillRDM> clerk;
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    QVERIFY(clerk.base.SetRights(QStringLiteral("0001"), rights::Grants::everything().toText()));
}

void TestRights::employeeGetsALogin()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    s.db.exec(QStringLiteral("UPDATE XPSEmp SET PWD = '' WHERE code = '0002'"));
    Client<TBillRDM> admin;
    QVERIFY(admin.logIn(QStringLiteral("0001"), QStringLiteral("0001")));
    auto listed = [&] {
        return !findRow(records(admin.base, QStringLiteral("dspUserList")), QStringLiteral("Code"),
                        Clerk)
                    .isEmpty();
    };
    QVERIFY(!listed());
    QCOMPARE(callError(admin.base, "SetUserPWD", {Clerk, QString()}),
             QStringLiteral("密码不能为空！"));
    QCOMPARE(callError(admin.base, "SetUserPWD", {Clerk, QString(17, QLatin1Char('a'))}),
             QStringLiteral("密码最长16位！"));
    QCOMPARE(callError(admin.base, "SetUserPWD", {QStringLiteral("0099"), ClerkPassword}),
             QStringLiteral("员工“0099”已不存在，密码未设置！"));
    QVERIFY(!listed());

    QVERIFY(admin.base.SetUserPWD(Clerk, QString(16, QLatin1Char('a'))));
    QVERIFY(admin.base.SetUserPWD(Clerk, ClerkPassword)); // a reset
    QVERIFY(listed());
    const QString stored =
        s.db.scalar(QStringLiteral("SELECT PWD FROM XPSEmp WHERE code = '0002'")).toString();
    QVERIFY(PasswordHash::isHash(stored));

    Client<TBillRDM> clerk;
    QVERIFY(!clerk.logIn(Clerk, QString(16, QLatin1Char('a'))));
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    // The clerk changes the password with the operator's own method.
    QVERIFY(clerk.base.SetPWD(Clerk, QStringLiteral("mine")));
    Client<TBillRDM> again;
    QVERIFY(again.logIn(Clerk, QStringLiteral("mine")));
}

void TestRights::parametersNeedTheirRight()
{
    QFETCH(QString, backend);
    Site &s = site(backend);
    QVERIFY(s.db.ok);
    setUpClerk(s, {});
    Client<TBillRDM> admin;
    QVERIFY(admin.logIn(QStringLiteral("0001"), QStringLiteral("0001")));
    QCOMPARE(SystemParameters::fromText(admin.base.GetSysPara()), SystemParameters());

    SystemParameters changed;
    changed.autoCheck = false;
    changed.buyPriceUpdate = false;
    changed.reportCorpName1 = QStringLiteral("上海某某贸易有限公司");
    changed.reportLogo = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray("rest");
    changed.reportPrintTime = false;

    Client<TBillRDM> clerk;
    QVERIFY(clerk.logIn(Clerk, ClerkPassword));
    QCOMPARE(callError(clerk.base, "SetSysPara", {changed.toText()}),
             QStringLiteral("您没有“系统参数”的系统权限，操作未执行！"));
    QCOMPARE(SystemParameters::fromText(clerk.base.GetSysPara()), SystemParameters());

    SystemParameters noPicture = changed;
    noPicture.reportLogo = QByteArray("GIF89a but not allowed");
    QCOMPARE(callError(admin.base, "SetSysPara", {noPicture.toText()}),
             QStringLiteral("报表表头图标不是有效的图片，系统参数未保存！"));
    QCOMPARE(SysParaStore::load(s.db.scratch.db()), SystemParameters());
    QCOMPARE(callError(admin.base, "SetSysPara", {QStringLiteral("[1]")}),
             QStringLiteral("系统参数数据有误，未保存！"));

    QVERIFY(admin.base.SetSysPara(changed.toText()));
    QCOMPARE(SystemParameters::fromText(clerk.base.GetSysPara()), changed);
    // The next login carries them.
    Client<TBillRDM> later;
    QVERIFY(later.logIn(Clerk, ClerkPassword));
    QCOMPARE(SystemParameters::fromText(later.loginOut.value(2).toString()), changed);
    QVERIFY(admin.base.SetSysPara(SystemParameters().toText()));
}

void TestRights::checkingOrdersCarriesPrices_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("headno");
    QTest::addColumn<QString>("pdtno");
    QTest::addColumn<bool>("updates");
    QTest::addColumn<QString>("priceColumns");
    QTest::addColumn<QVariantList>("expected");
    // The purchase order's line: price 90, no tax rate; the product line had 100 / 117.
    // The sales order's line: price 200, no tax rate; the product line had 300 / 351.
    for (const QString &backend : backends()) {
        const QByteArray b = backend.toLatin1();
        QTest::newRow(b + " purchase, option on")
            << backend << "dspBuy"
            << "202603050001"
            << "0001" << true << "Inprice, TInprice" << QVariantList{90.0, 90.0};
        QTest::newRow(b + " purchase, option off")
            << backend << "dspBuy"
            << "202603050001"
            << "0001" << false << "Inprice, TInprice" << QVariantList{100.0, 117.0};
        QTest::newRow(b + " sales, option on")
            << backend << "dspSale"
            << "202603020002"
            << "0002" << true << "SalePrice, TSalePrice" << QVariantList{200.0, 200.0};
        QTest::newRow(b + " sales, option off")
            << backend << "dspSale"
            << "202603020002"
            << "0002" << false << "SalePrice, TSalePrice" << QVariantList{300.0, 351.0};
    }
}

void TestRights::checkingOrdersCarriesPrices()
{
    QFETCH(QString, backend);
    QFETCH(QString, provider);
    QFETCH(QString, headno);
    QFETCH(QString, pdtno);
    QFETCH(bool, updates);
    QFETCH(QString, priceColumns);
    QFETCH(QVariantList, expected);

    Site s(backend); // a fresh fixture: the check changes the prices
    s.db.useForModules();
    QVERIFY(s.db.ok);
    SystemParameters parameters;
    parameters.buyPriceUpdate = updates;
    parameters.salePriceUpdate = updates;
    SysParaStore::store(s.db.scratch.db(), parameters);

    TBillRDM bill;
    const Packet orders =
        records(bill, provider,
                requestParams({{"BeginDate", "2026-03-01"}, {"EndDate", "2026-03-31"}},
                              {"StoreCode", "spCode", "DeptCode"}, {}));
    const PacketRow order = findRow(orders, QStringLiteral("headno"), headno);
    QVERIFY(!order.isEmpty());
    QVariantMap head;
    for (int i = 0; i < orders.fields.size(); ++i) {
        if (orders.fields.at(i).type != FieldType::Nested)
            head.insert(orders.fields.at(i).name, order.at(i));
    }
    const ApplyResult result = bill.applyUpdates(provider, checking(orders.fields, head), 0);
    QCOMPARE(errorsOf(result), QString());

    QSqlQuery q(s.db.scratch.db());
    QVERIFY(q.exec(QStringLiteral("SELECT %1 FROM xprdtb WHERE pdtcode = 'P1' AND bodyno = '%2'")
                       .arg(priceColumns, pdtno)));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toDouble(), expected.at(0).toDouble());
    QCOMPARE(q.value(1).toDouble(), expected.at(1).toDouble());
}

void TestRights::neededRights_data()
{
    QTest::addColumn<QString>("provider");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("oldState");
    QTest::addColumn<QString>("newState");
    QTest::addColumn<bool>("editsNote");
    QTest::addColumn<QStringList>("needed");

    const int insert = int(ChangeOp::Insert);
    const int modify = int(ChangeOp::Modify);
    const int remove = int(ChangeOp::Delete);
    QTest::newRow("new order") << "dspBuy" << insert << ""
                               << "1" << false << QStringList{"采购单—新增"};
    QTest::newRow("saved checked at once")
        << "dspBuy" << insert << ""
        << "2" << false << QStringList{"采购单—新增", "采购单—审核"};
    QTest::newRow("edit") << "dspSale" << modify << "1"
                          << "1" << true << QStringList{"销售单—修改"};
    QTest::newRow("check only") << "dspSale" << modify << "1"
                                << "2" << false << QStringList{"销售单—审核"};
    QTest::newRow("uncheck") << "dspIncome" << modify << "2"
                             << "1" << false << QStringList{"收款单—审核"};
    QTest::newRow("edit and check") << "dspOutCome" << modify << "1"
                                    << "2" << true << QStringList{"付款单—修改", "付款单—审核"};
    QTest::newRow("delete") << "dspBuy" << remove << "1"
                            << "" << false << QStringList{"采购单—删除"};
    QTest::newRow("master data") << "dspCI" << insert << ""
                                 << "" << false << QStringList{"品牌定义—新增"};
    QTest::newRow("provider name in any case") << "DSPPSEMP" << remove << ""
                                               << "" << false << QStringList{"员工资料—删除"};
}

void TestRights::neededRights()
{
    QFETCH(QString, provider);
    QFETCH(int, op);
    QFETCH(QString, oldState);
    QFETCH(QString, newState);
    QFETCH(bool, editsNote);
    QFETCH(QStringList, needed);

    ChangeSet set;
    set.fields = fieldsNamed({"headno", "State", "Assessorcode", "AssessorDate", "note"});
    ChangeRow row;
    row.op = ChangeOp(op);
    row.oldValues = {"1", oldState, QVariant(), QVariant(), "a"};
    row.newValues = {"1", newState, QVariant(), QVariant(), editsNote ? "b" : "a"};
    row.changed = QBitArray(set.fields.size());
    if (oldState != newState) {
        row.changed.setBit(1);
        row.changed.setBit(2);
        row.changed.setBit(3);
    }
    if (editsNote)
        row.changed.setBit(4);
    set.rows << row;
    QStringList names;
    for (const rights::Right &r : RightsStore::neededFor(provider, set))
        names << rights::describe(r);
    QCOMPARE(names, needed);
}

void TestRights::uncoveredChangesAreRefused()
{
    // A provider no right covers, a Flag no right covers, a flagged provider without Flag.
    ChangeSet set = insertion(fieldsNamed({"headno", "Flag"}), {{"headno", "1"}, {"Flag", "0"}});
    QVERIFY(!errorOf([&] { RightsStore::neededFor(QStringLiteral("dspXpsEmp"), set); }).isEmpty());
    QVERIFY(!errorOf([&] { RightsStore::neededFor(QStringLiteral("dspStockch"), set); }).isEmpty());
    ChangeSet noFlag = insertion(fieldsNamed({"headno"}), {{"headno", "1"}});
    QVERIFY(
        !errorOf([&] { RightsStore::neededFor(QStringLiteral("dspBuyInOut"), noFlag); }).isEmpty());
    // Moving a document to another kind needs the rights of both kinds.
    ChangeSet moved;
    moved.fields = fieldsNamed({"headno", "Flag"});
    ChangeRow row;
    row.oldValues = {"1", "1"};
    row.newValues = {"1", "2"};
    row.changed = QBitArray(2);
    row.changed.setBit(1);
    moved.rows << row;
    QCOMPARE(RightsStore::neededFor(QStringLiteral("dspBuyInOut"), moved).size(), 2);
}

void TestRights::everyDocumentAndMasterProviderIsCovered()
{
    QStringList providers;
    for (const ProviderDef &def : TBaseRDM::providerDefs()) {
        if (def.name != QLatin1String("dspUserList") && def.name != QLatin1String("dsp"))
            providers << def.name;
    }
    providers << QStringList{"dspBuy", "dspSale", "dspIncome", "dspOutCome"};
    for (const QString &p : providers)
        QVERIFY2(rights::functionRowFor(p).has_value(), qPrintable(p));
    for (const char *flag : {"1", "2"})
        QVERIFY(rights::functionRowFor(QStringLiteral("dspBuyInOut"), QLatin1String(flag)));
    for (const char *flag : {"3", "4"})
        QVERIFY(rights::functionRowFor(QStringLiteral("dspSaleInOut"), QLatin1String(flag)));
    for (const char *flag : {"5", "6", "7", "8", "9"})
        QVERIFY(rights::functionRowFor(QStringLiteral("dspStockch"), QLatin1String(flag)));
    for (const char *flag : {"1", "2"})
        QVERIFY(rights::functionRowFor(QStringLiteral("dspInvoice"), QLatin1String(flag)));
}

void TestRights::everyReportCodeIsCovered()
{
    for (const TRPTRDM::Report &r : TRPTRDM::reports())
        QVERIFY2(!rights::reportRowsFor(r.flag).isEmpty(), qPrintable(r.flag));
    // Both report rights numbered 15 are rights of their own.
    QCOMPARE(rights::reportRowsFor(QStringLiteral("RPTSALEDETAIL")), QList<int>{15});
    QCOMPARE(rights::reportRowsFor(QStringLiteral("RPTCUSTSALE")), QList<int>{16});
}

void TestRights::grantsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("one of each") << "SYS:1:0,FUNC:35:3,RPT:41:0" << true;
    QTest::newRow("row beyond the list") << "RPT:42:0" << false;
    QTest::newRow("operation of a report") << "RPT:1:1" << false;
    QTest::newRow("unknown list") << "XYZ:1:0" << false;
    QTest::newRow("not a number") << "FUNC:a:0" << false;
}

void TestRights::grantsText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<rights::Grants> grants = rights::Grants::fromText(text);
    QCOMPARE(grants.has_value(), valid);
    if (valid)
        QCOMPARE(grants->toText(), text);
}

QTEST_GUILESS_MAIN(TestRights)
#include "tst_Rights.moc"
