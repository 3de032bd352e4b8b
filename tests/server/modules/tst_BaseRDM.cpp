// The base module over the shipped account set, on both databases: login refused and
// accepted, the plain-text upgrade, what works before login, key tests with hostile
// input, password change, the variant (规格) lists, and every master-data provider.

#include "LoginUserInfo.h"
#include "ModuleTestKit.h"
#include "PasswordHash.h"
#include "SessionRegistry.h"
#include "UBaseRDM.h"

#include <QRegularExpression>

using namespace korvane;
using namespace korvane::test;

namespace {

// Master data beyond the initial rows: a class with a variant kind, a product line,
// a unit, a brand and a store.
const char *const MasterRows[] = {
    "INSERT INTO XSpech (hcode, name) VALUES ('H1', '颜色')",
    "INSERT INTO XSpecb (hcode, bcode, name) VALUES ('H1', '01', '红')",
    "INSERT INTO XSpecb (hcode, bcode, name) VALUES ('H1', '02', '蓝')",
    "INSERT INTO XPrdtClass (Code, name, hspecno1) VALUES ('C1', '电器', 'H1')",
    "INSERT INTO XCI (Code, Name) VALUES ('01', '牌子')",
    "INSERT INTO XCI (Code, Name) VALUES ('A B', '空格')",
    "INSERT INTO XMeasure (code, name) VALUES ('PCS', '个')",
    "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('P1', '电视', 'C1')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('P1', '0001', '32寸', 'PCS')",
    "INSERT INTO XStore (code, name, parentc) VALUES ('W1', '一号仓', '0001')",
};

QVariantList call(TBaseRDM &m, const QString &method, const QVariantList &args,
                  QVariant *result = nullptr)
{
    QVariantList out;
    const QVariant r = m.call(method, args, &out);
    if (result)
        *result = r;
    return out;
}

QString login(TBaseRDM &m, const QString &user, const QString &password,
              QString *userInfo = nullptr)
{
    const QVariantList out =
        call(m, QStringLiteral("LogIn"), {user, password, QStringLiteral("127.0.0.1"), "pc"});
    if (userInfo)
        *userInfo = out.value(1).toString();
    return out.value(0).toString();
}

bool loadMasterRows(const AccountSet &db)
{
    bool ok = db.ok;
    for (const char *sql : MasterRows)
        ok = ok && db.exec(QString::fromUtf8(sql));
    return ok;
}

//! A module over an account set of its own.
struct Fixture
{
    explicit Fixture(const QString &backend) : db(backend)
    {
        ok = loadMasterRows(db);
        module = std::make_unique<TBaseRDM>();
    }
    ~Fixture() { module.reset(); }
    bool loggedIn() { return login(*module, "0001", "0001").toInt() >= 0; }
    AccountSet db;
    bool ok = true;
    std::unique_ptr<TBaseRDM> module;
};

//! One account set per backend for the cases that only read or add rows of their own,
//! with a logged-in module on it.
struct Shared
{
    explicit Shared(const QString &backend) : db(backend)
    {
        ok = loadMasterRows(db);
        module = std::make_unique<TBaseRDM>();
        ok = ok && login(*module, "0001", "0001").toInt() >= 0;
    }
    AccountSet db;
    bool ok = true;
    std::unique_ptr<TBaseRDM> module; // goes before the database
};

Packet packetOf(const QVariant &result)
{
    if (result.metaType() != QMetaType::fromType<Packet>())
        qWarning() << "not a packet:" << result;
    return result.value<Packet>();
}

} // namespace

class tst_BaseRDM : public QObject
{
    Q_OBJECT

    PerBackend<Shared> shared;

private slots:
    void cleanupTestCase() { shared.clear(); }

    void login_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        struct Case
        {
            const char *name, *user, *password;
            bool accepted;
        };
        static const Case cases[] = {
            {"administrator", "0001", "0001", true},
            {"wrong password", "0001", "0002", false},
            {"empty password", "0001", "", false},
            {"unknown user", "0002", "0001", false},
            {"empty user", "", "", false},
            {"user injection", "0001' OR '1'='1", "0001", false},
            {"password injection", "0001", "' OR '1'='1", false},
            {"password is the stored hash", "0001", "pbkdf2-sha256$600000$x$y", false},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.name)
                    << backend << c.user << c.password << c.accepted;
    }
    void login()
    {
        QFETCH(QString, backend);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        QVERIFY(shared(backend).ok);
        auto module = std::make_unique<TBaseRDM>();
        QString userInfo;
        const QString id = ::login(*module, user, password, &userInfo);
        if (!accepted) {
            QCOMPARE(id, QStringLiteral("-5"));
            QVERIFY(userInfo.isEmpty());
            QVERIFY(module->sessionId().isEmpty());
            return;
        }
        bool isNumber = false;
        QVERIFY(id.toInt(&isNumber) >= 0);
        QVERIFY(isNumber);
        QVERIFY(isValidSession(id));
        const LoginUserInfo expected{"0001", "系统管理员", "0001", "总部", "0001", "本公司"};
        QCOMPARE(LoginUserInfo::fromText(userInfo), expected);
        // The session ends with the module instance (its client went away).
        module.reset();
        QVERIFY(!isValidSession(id));
    }

    void aFailedLoginEndsTheEarlierSession_data() { addBackendRows(); }
    void aFailedLoginEndsTheEarlierSession()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        const QString first = ::login(*f.module, "0001", "0001");
        QVERIFY(isValidSession(first));
        QCOMPARE(::login(*f.module, "0001", "wrong"), QStringLiteral("-5"));
        QVERIFY(!isValidSession(first));
        QCOMPARE(errorOf([&] { records(*f.module, "dspCI"); }), QStringLiteral("请先登录！"));
    }

    void plainTextPasswordIsUpgradedOnce_data() { addBackendRows(); }
    void plainTextPasswordIsUpgradedOnce()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.db.exec("UPDATE XPSEmp SET PWD = 'old pw' WHERE code = '0001'"));
        QCOMPARE(::login(*f.module, "0001", "old pw "), QStringLiteral("-5"));
        QCOMPARE(f.db.scalar("SELECT PWD FROM XPSEmp WHERE code = '0001'").toString(),
                 QStringLiteral("old pw"));
        QVERIFY(::login(*f.module, "0001", "old pw").toInt() >= 0);
        const QString stored = f.db.scalar("SELECT PWD FROM XPSEmp WHERE code = '0001'").toString();
        QVERIFY(PasswordHash::isHash(stored));
        QVERIFY(PasswordHash::verify(QStringLiteral("old pw"), stored));
        // From now on the hash answers.
        TBaseRDM again;
        QVERIFY(::login(again, "0001", "old pw").toInt() >= 0);
        QCOMPARE(::login(again, "0001", "0001"), QStringLiteral("-5"));
    }

    void failedUpgradeIsLoggedAndTheLoginStands_data() { addBackendRows(); }
    void failedUpgradeIsLoggedAndTheLoginStands()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.db.exec("UPDATE XPSEmp SET PWD = 'old pw' WHERE code = '0001'"));
        const bool locked =
            f.db.scratch.isPostgres()
                ? f.db.exec("CREATE FUNCTION keep_pwd() RETURNS trigger LANGUAGE plpgsql AS "
                            "$$BEGIN RAISE EXCEPTION 'passwords are locked'; END$$") &&
                      f.db.exec("CREATE TRIGGER keep_pwd BEFORE UPDATE OF PWD ON XPSEmp "
                                "FOR EACH ROW EXECUTE FUNCTION keep_pwd()")
                : f.db.exec("CREATE TRIGGER keep_pwd BEFORE UPDATE OF PWD ON XPSEmp "
                            "BEGIN SELECT RAISE(ABORT, 'passwords are locked'); END");
        QVERIFY(locked);
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(
                "the password of user 0001 stays plain text: .*passwords are locked"));
        const QString id = ::login(*f.module, "0001", "old pw");
        QVERIFY2(id.toInt() >= 0, qPrintable(id));
        QVERIFY(isValidSession(id));
        QCOMPARE(f.db.scalar("SELECT PWD FROM XPSEmp WHERE code = '0001'").toString(),
                 QStringLiteral("old pw"));
    }

    void beforeLoginOnlyDBActiveAndTheUserList_data() { addBackendRows(); }
    void beforeLoginOnlyDBActiveAndTheUserList()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVariant active;
        call(*f.module, "DBActive", {}, &active);
        QCOMPARE(active, QVariant(true));
        // The login list: operators with their department, never a password.
        const Packet users = records(*f.module, "dspUserList");
        QCOMPARE(users.rows.size(), 1);
        QCOMPARE(users.rows[0].at(users.indexOf("Code")).toString(), QStringLiteral("0001"));
        QCOMPARE(users.rows[0].at(users.indexOf("DeptName")).toString(), QStringLiteral("总部"));
        QCOMPARE(users.indexOf("PWD"), -1);

        const QString refused = QStringLiteral("请先登录！");
        QCOMPARE(errorOf([&] { records(*f.module, "dspPsEmp"); }), refused);
        QCOMPARE(errorOf([&] { f.module->applyUpdates("dspCI", ChangeSet(), 0); }), refused);
        QCOMPARE(errorOf([&] { f.module->applyUpdates("dspUserList", ChangeSet(), 0); }), refused);
        QCOMPARE(errorOf([&] { call(*f.module, "KeyExist", {"XCI", "Code", "01"}); }), refused);
        QCOMPARE(errorOf([&] { call(*f.module, "SetPWD", {"0001", "x"}); }), refused);
        QCOMPARE(errorOf([&] { call(*f.module, "GetSpec", {"H1"}); }), refused);
        QVERIFY(f.loggedIn());
        QCOMPARE(records(*f.module, "dspPsEmp").rows.size(), 1);
    }

    void dbActiveIsFalseWithoutDatabase()
    {
        DbConnectionInfo nowhere;
        nowhere.driver = QStringLiteral("QPSQL");
        nowhere.hostName = QStringLiteral("127.0.0.1");
        nowhere.port = 1; // nothing listens there
        nowhere.databaseName = QStringLiteral("QUV");
        setRunTimeConnection(nowhere);
        TBaseRDM module;
        QVariant active;
        call(module, "DBActive", {}, &active);
        QCOMPARE(active, QVariant(false));
        QCOMPARE(::login(module, "0001", "0001"), QStringLiteral("-2"));
    }

    void keyExist_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("values");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("error");
        struct Case
        {
            const char *name, *table, *fields, *values;
            bool exists;
            const char *error;
        };
        static const Case cases[] = {
            {"existing code", "XCI", "Code", "01", true, ""},
            {"missing code", "XCI", "Code", "02", false, ""},
            {"names in any case", "xci", "CODE", "01", true, ""},
            {"two fields", "xprdtb", "pdtcode,bodyno", "P1,0001", true, ""},
            {"two fields, blanks around", "xprdtb", " pdtcode , bodyno", "P1, 0001", true, ""},
            {"two fields, other line", "xprdtb", "pdtcode,bodyno", "P1,0002", false, ""},
            {"value with a blank", "XCI", "Code", "A B", true, ""},
            {"quoted value with a comma", "XCI", "Code", "\"0,1\"", false, ""},
            {"more values than fields", "XCI", "Code", "01,02", true, ""},
            {"value injection", "XCI", "Code", "x' OR '1'='1", false, ""},
            {"value injection, quoted", "XCI", "Code", "\"' OR ''='\"", false, ""},
            {"unknown table", "XNone", "Code", "01", false, "Table 'XNone' not found"},
            {"table injection", "XCI WHERE 1=1 --", "Code", "01", false,
             "Table 'XCI WHERE 1=1 --' not found"},
            {"unknown field", "XCI", "Nope", "01", false, "Field 'Nope' not found"},
            {"field injection", "XCI", "Code=Code OR 1", "01", false,
             "Field 'Code=Code OR 1' not found"},
            {"fewer values than fields", "xprdtb", "pdtcode,bodyno", "P1", false,
             "keyExist: 2 fields but only 1 values"},
            {"no field", "XCI", "", "01", false, "keyExist: no field given"},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.name)
                    << backend << c.table << c.fields << c.values << c.exists << c.error;
    }
    void keyExist()
    {
        QFETCH(QString, backend);
        QFETCH(QString, table);
        QFETCH(QString, fields);
        QFETCH(QString, values);
        QFETCH(bool, exists);
        QFETCH(QString, error);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.loggedIn());
        QVariant result;
        QCOMPARE(errorOf([&] {
                     call(*f.module, "KeyExist", {table, fields, values}, &result);
                 }),
                 error);
        if (error.isEmpty())
            QCOMPARE(result, QVariant(exists));
        QCOMPARE(f.db.scalar("SELECT count(*) FROM XCI").toInt(), 2);
    }

    void setPassword_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("stored");
        struct Case
        {
            const char *name, *user, *password;
            bool stored;
        };
        static const Case cases[] = {
            {"own password", "0001", "新密码pw", true},
            {"sixteen characters", "0001", "0123456789abcdef", true},
            {"seventeen characters", "0001", "0123456789abcdefg", false},
            {"empty", "0001", "", false},
            {"with a quote", "0001", "it's'--", true},
            {"another user", "0002", "x", false},
            {"user injection", "0001' OR '1'='1", "x", false},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.name)
                    << backend << c.user << c.password << c.stored;
    }
    void setPassword()
    {
        QFETCH(QString, backend);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, stored);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.db.exec("INSERT INTO XPSEmp (code, name, deptcode, Corpcode, PWD) "
                          "VALUES ('0002', '张三', '0001', '0001', 'pw2')"));
        QVERIFY(f.loggedIn());
        QVariant result;
        call(*f.module, "SetPWD", {user, password}, &result);
        QCOMPARE(result, QVariant(stored));
        const QString admin = f.db.scalar("SELECT PWD FROM XPSEmp WHERE code = '0001'").toString();
        QVERIFY(PasswordHash::isHash(admin));
        QCOMPARE(PasswordHash::verify(password, admin), stored);
        QCOMPARE(PasswordHash::verify(QStringLiteral("0001"), admin), !stored);
        QCOMPARE(f.db.scalar("SELECT PWD FROM XPSEmp WHERE code = '0002'").toString(),
                 QStringLiteral("pw2"));
        if (stored) {
            TBaseRDM other;
            QVERIFY(::login(other, "0001", password).toInt() >= 0);
        }
    }

    void variantLists_data() { addBackendRows(); }
    void variantLists()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.loggedIn());
        QVariant result;
        call(*f.module, "GetSpec", {"H1"}, &result);
        Packet values = packetOf(result);
        QCOMPARE(values.rows.size(), 2);
        QVERIFY(values.indexOf("bCode") >= 0);
        QCOMPARE(findRow(values, "bCode", "02").at(values.indexOf("Name")).toString(),
                 QStringLiteral("蓝"));
        call(*f.module, "GetSpec", {"H1' OR '1'='1"}, &result);
        QCOMPARE(packetOf(result).rows.size(), 0);

        call(*f.module, "GetSpech", {"C1"}, &result);
        const Packet kinds = packetOf(result);
        QCOMPARE(kinds.rows.size(), 1);
        QCOMPARE(kinds.rows[0].at(kinds.indexOf("hspecName1")).toString(), QStringLiteral("颜色"));
        QVERIFY(kinds.rows[0].at(kinds.indexOf("hspecName2")).isNull());
        QCOMPARE(kinds.indexOf("hspecno6") >= 0, true);
        // An unknown class answers null, not an empty packet.
        result = QStringLiteral("not answered");
        call(*f.module, "GetSpech", {"NOCLASS"}, &result);
        QVERIFY(result.isNull());
    }

    void everyProviderAnswers_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("provider");
        for (const QString &backend : backends())
            for (const ProviderDef &def : TBaseRDM::providerDefs())
                if (!def.sql.isEmpty())
                    QTest::addRow("%s %s", qPrintable(backend), qPrintable(def.name))
                        << backend << def.name;
    }
    void everyProviderAnswers()
    {
        QFETCH(QString, backend);
        QFETCH(QString, provider);
        Shared &f = shared(backend);
        QVERIFY(f.ok);
        const Packet packet = records(*f.module, provider, {{"StoreCode", "W1"}});
        QVERIFY(!packet.fields.isEmpty());
        QVERIFY(packet.eof);
    }

    void providersFilterAndHideRows_data() { addBackendRows(); }
    void providersFilterAndHideRows()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.db.exec("INSERT INTO XPrdtClass (Code, name) VALUES ('C2', '家具')"));
        QVERIFY(f.db.exec("INSERT INTO xprdth (pdtcode, name, classcode, cicode) "
                          "VALUES ('P2', '椅子', 'C2', '01')"));
        QVERIFY(f.db.exec("INSERT INTO xprdth (pdtcode, name) VALUES ('P3', '无类')"));
        QVERIFY(f.loggedIn());
        // A product without a class is not delivered; the switches choose the filters.
        QCOMPARE(records(*f.module, "dspPrdt").rows.size(), 2);
        QCOMPARE(
            records(*f.module, "dspPrdt", {{"ClassCode", "C2"}, {"tmpClassCode", ""}}).rows.size(),
            2);
        QCOMPARE(
            records(*f.module, "dspPrdt", {{"ClassCode", "C2"}, {"tmpClassCode", " "}}).rows.size(),
            2);
        const Packet c2 =
            records(*f.module, "dspPrdt", {{"ClassCode", "C2"}, {"tmpClassCode", "C2"}});
        QCOMPARE(c2.rows.size(), 1);
        QCOMPARE(c2.rows[0].at(c2.indexOf("CIName")).toString(), QStringLiteral("牌子"));
        QCOMPARE(c2.rows[0].at(c2.indexOf("ClassName")).toString(), QStringLiteral("家具"));
        // The lines arrive nested in their product.
        const Packet p1 = records(*f.module, "dspPrdt", {{"CICode", ""}, {"tmpCICode", ""}});
        const int nested = p1.indexOf("qryPrdtD");
        QVERIFY(nested >= 0);
        QCOMPARE(findRow(p1, "pdtcode", "P1").detailRows(nested).size(), 1);
        // The employee list has no password column.
        QCOMPARE(records(*f.module, "dspPsEmp").indexOf("PWD"), -1);
    }

    void masterDataRoundTrip_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QVariantMap>("row");
        QTest::addColumn<QString>("key");
        QTest::addColumn<Params>("params");
        struct Case
        {
            const char *provider;
            QVariantMap row;
            const char *key;
            Params params;
        };
        const QList<Case> cases{
            {"dspCI", {{"Code", "02"}, {"Name", "新牌"}}, "Code", {}},
            {"dspCorp", {{"code", "0002"}, {"name", "分公司"}, {"parent", "0001"}}, "code", {}},
            {"dspcredit", {{"Code", "A"}, {"Name", "甲级"}, {"CNum", 5000.5}}, "Code", {}},
            {"dspCustome",
             {{"code", "K9"}, {"name", "客户九"}, {"moneycode", "01"}, {"staffnum", 12}},
             "code",
             {}},
            {"dspDept", {{"code", "0002"}, {"name", "销售部"}, {"CorpCode", "0001"}}, "code", {}},
            {"dspDuty", {{"Code", "01"}, {"Name", "经理"}, {"BaseSal", 3000.0}}, "Code", {}},
            {"dspEdu", {{"Code", "1"}, {"Name", "大学"}}, "Code", {}},
            {"dspFatbn", {{"code", "S9"}, {"name", "厂商九"}, {"deptcode", "0001"}}, "code", {}},
            {"dspLocal", {{"code", "L1"}, {"name", "华东"}}, "code", {}},
            {"dspMeasure", {{"code", "KG"}, {"name", "公斤"}}, "code", {}},
            {"dspMoney", {{"code", "02"}, {"name", "美元"}, {"rate", 7.1}}, "code", {}},
            {"dsppayKind", {{"code", "01"}, {"name", "现金"}}, "code", {}},
            {"dspPolity", {{"Code", "1"}, {"Name", "群众"}}, "Code", {}},
            {"dsppdtClass", {{"Code", "C7"}, {"name", "文具"}, {"hspecno1", "H1"}}, "Code", {}},
            {"dspPsEmp",
             {{"code", "0007"},
              {"name", "王五"},
              {"deptcode", "0001"},
              {"Corpcode", "0001"},
              {"basesary", 1234.5},
              {"pic", QByteArray("\x89PNG\0\x01", 6)}},
             "code",
             {}},
            {"dspStock",
             {{"storecode", "W1"}, {"pdtcode", "P1"}, {"pdtno", "0001"}, {"startnum", 10.0}},
             "pdtcode",
             {{"StoreCode", "W1"}, {"tmpPdtCode", ""}}},
            {"dspStore", {{"code", "W9"}, {"name", "九号仓"}, {"parentc", "0001"}}, "code", {}},
            {"dspTaxAttr", {{"Code", "17"}, {"Name", "增值税"}, {"taxrate", 17.0}}, "Code", {}},
            {"dspSpec", {{"hcode", "H9"}, {"name", "尺寸"}}, "hcode", {}},
            {"dspPrdt", {{"pdtcode", "P9"}, {"name", "台灯"}, {"classcode", "C1"}}, "pdtcode", {}},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.provider)
                    << backend << QString::fromLatin1(c.provider) << c.row
                    << QString::fromLatin1(c.key) << c.params;
    }
    void masterDataRoundTrip()
    {
        QFETCH(QString, backend);
        QFETCH(QString, provider);
        QFETCH(QVariantMap, row);
        QFETCH(QString, key);
        QFETCH(Params, params);
        Shared &f = shared(backend);
        QVERIFY(f.ok);
        const Fields fields = records(*f.module, provider, params, 0).fields;
        const ApplyResult applied = f.module->applyUpdates(provider, insertion(fields, row), 0);
        QVERIFY2(applied.errorCount == 0, qPrintable(errorsOf(applied)));
        const RowValues back = findRow(records(*f.module, provider, params), key, row.value(key));
        QVERIFY(!back.isEmpty());
        for (auto it = row.begin(); it != row.end(); ++it) {
            const QVariant value = back.at(indexOfField(fields, it.key()));
            if (it.value().typeId() == QMetaType::Double || it.value().typeId() == QMetaType::Int)
                QCOMPARE(value.toDouble(), it.value().toDouble());
            else if (it.value().typeId() == QMetaType::QByteArray)
                QCOMPARE(value.toByteArray(), it.value().toByteArray());
            else
                QCOMPARE(value.toString(), it.value().toString());
        }
    }

    void nestedLinesSaveWithTheirHead_data() { addBackendRows(); }
    void nestedLinesSaveWithTheirHead()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.loggedIn());
        const Fields heads = records(*f.module, "dspPrdt", {}, 0).fields;
        const int nested = indexOfField(heads, "qryPrdtD");
        QVERIFY(nested >= 0);
        ChangeSet set =
            insertion(heads, {{"pdtcode", "P8"}, {"name", "音箱"}, {"classcode", "C1"}});
        set.rows[0].details << qMakePair(nested,
                                         insertion(heads[nested].fields, {{"pdtcode", "P8"},
                                                                          {"bodyno", "0001"},
                                                                          {"SpecName", "小号"},
                                                                          {"TSalePrice", 99.5}}));
        const ApplyResult applied = f.module->applyUpdates("dspPrdt", set, 0);
        QVERIFY2(applied.errorCount == 0, qPrintable(errorsOf(applied)));
        const PacketRow back = findRow(records(*f.module, "dspPrdt"), "pdtcode", "P8");
        QVERIFY(!back.isEmpty());
        const PacketRows lines = back.detailRows(nested);
        QCOMPARE(lines.size(), 1);
        const int spec = indexOfField(heads[nested].fields, "SpecName");
        QCOMPARE(lines[0].at(spec).toString(), QStringLiteral("小号"));
    }

    void employeeChangeKeepsThePassword_data() { addBackendRows(); }
    void employeeChangeKeepsThePassword()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.loggedIn());
        const Packet staff = records(*f.module, "dspPsEmp");
        ChangeSet set;
        set.fields = staff.fields;
        ChangeRow row;
        row.op = ChangeOp::Modify;
        row.oldValues = staff.rows[0];
        row.newValues = row.oldValues;
        row.changed = QBitArray(staff.fields.size());
        const int name = staff.indexOf("name");
        row.newValues[name] = QStringLiteral("管理员");
        row.changed.setBit(name);
        set.rows << row;
        const ApplyResult applied = f.module->applyUpdates("dspPsEmp", set, 0);
        QVERIFY2(applied.errorCount == 0, qPrintable(errorsOf(applied)));
        // The password column is not among the fields: the login still holds.
        TBaseRDM other;
        QString userInfo;
        QVERIFY(::login(other, "0001", "0001", &userInfo).toInt() >= 0);
        QCOMPARE(LoginUserInfo::fromText(userInfo).userName, QStringLiteral("管理员"));
    }

    void codeInUseCannotBeDeleted_data() { addBackendRows(); }
    void codeInUseCannotBeDeleted()
    {
        QFETCH(QString, backend);
        Fixture f(backend);
        QVERIFY(f.ok);
        QVERIFY(f.db.exec("INSERT INTO xCustome (code, name, moneycode) VALUES ('K1', 'x', '01')"));
        QVERIFY(f.loggedIn());
        const Packet money = records(*f.module, "dspMoney");
        ChangeSet set;
        set.fields = money.fields;
        ChangeRow row;
        row.op = ChangeOp::Delete;
        row.oldValues = findRow(money, "code", "01");
        set.rows << row;
        const ApplyResult applied = f.module->applyUpdates("dspMoney", set, 0);
        QCOMPARE(applied.errorCount, 1);
        QCOMPARE(applied.errors[0].errorCode, 3631);
        QCOMPARE(f.db.scalar("SELECT count(*) FROM XMoney WHERE code = '01'").toInt(), 1);
    }

    void commaList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("one") << "Code" << QStringList{"Code"};
        QTest::newRow("two") << "pdtcode,bodyno" << QStringList{"pdtcode", "bodyno"};
        QTest::newRow("blanks kept inside") << " A B , C" << QStringList{"A B", "C"};
        QTest::newRow("empty item") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("trailing comma") << "a," << QStringList{"a", ""};
        QTest::newRow("quoted comma") << "\"a,b\",c" << QStringList{"a,b", "c"};
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void commaList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(splitCommaList(text), items);
    }
};

QTEST_GUILESS_MAIN(tst_BaseRDM)
#include "tst_BaseRDM.moc"
