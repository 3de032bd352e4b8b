// The code/name and lookup modules over the shipped account set, on both databases: the
// one-code switch, the dependent filters, rows hidden by inner joins, lists without
// passwords, the free existence test an administrator must allow, and numbering shared
// with the document module.

#include "AutoGainNO.h"
#include "LumoDatasetprovider.h"
#include "ModuleTestKit.h"
#include "UBillRDM.h"
#include "UCodenameRDM.h"
#include "ULookupRDM.h"

using namespace korvane;
using namespace korvane::test;

namespace {

const char *const Rows[] = {
    "INSERT INTO xcorp (code, name) VALUES ('0002', '分公司')",
    "INSERT INTO xDept (code, name, CorpCode) VALUES ('0002', '门市', '0002')",
    "INSERT INTO XPSEmp (code, name, deptcode, Corpcode, PWD) VALUES ('0002', '甲', '0002', "
    "'0002', 'x')",
    "INSERT INTO XPSEmp (code, name, deptcode, Corpcode) VALUES ('0003', '无密码', '0001', '0001')",
    "INSERT INTO XStore (code, name, parentc) VALUES ('W1', '一号仓', '0001')",
    "INSERT INTO XLocal (code, name) VALUES ('L1', '华东')",
    "INSERT INTO XLocal (code, name) VALUES ('L2', '华南')",
    "INSERT INTO XMoney (code, name, ename, rate) VALUES ('02', '美元', 'USD', 7)",
    "INSERT INTO xFatBn (code, name, localcode, deptcode) VALUES ('S1', '厂一', 'L1', '0001')",
    "INSERT INTO xFatBn (code, name) VALUES ('S2', '无部门')",
    "INSERT INTO xCustome (code, name, deptcode) VALUES ('K1', '客一', '0002')",
    "INSERT INTO XPrdtClass (Code, name) VALUES ('C1', '电器')",
    "INSERT INTO XPrdtClass (Code, name) VALUES ('C2', '家具')",
    "INSERT INTO XCI (Code, Name) VALUES ('01', '牌子')",
    "INSERT INTO XMeasure (code, name) VALUES ('PCS', '个')",
    "INSERT INTO XSpech (hcode, name) VALUES ('H1', '颜色')",
    "INSERT INTO XSpech (hcode, name, name_e) VALUES ('H2', '尺码', 'Size')",
    "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('P1', '电视', 'C1', '01')",
    "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('P2', '椅子', 'C2')",
    "INSERT INTO xprdth (pdtcode, name) VALUES ('P3', '无类')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('P1', '0001', '32寸', 'PCS')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('P1', '0002', '40寸', 'PCS')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName) VALUES ('P2', '0001', '无单位')",
};

struct Shared
{
    explicit Shared(const QString &backend) : db(backend)
    {
        ok = db.ok;
        for (const char *sql : Rows)
            ok = ok && db.exec(QString::fromUtf8(sql));
        codeName = std::make_unique<TCodeNameRDM>();
        lookup = std::make_unique<TLookupRDM>();
    }
    AccountSet db;
    bool ok = true;
    std::unique_ptr<TCodeNameRDM> codeName; // modules go before the database
    std::unique_ptr<TLookupRDM> lookup;
};

QStringList column(const Packet &packet, const QString &field)
{
    QStringList values;
    const int i = packet.indexOf(field);
    for (const RowValues &row : packet.rows)
        values << (i < 0 ? QStringLiteral("?") : row.at(i).toString());
    return values;
}

//! Statements from clients allowed while the object lives.
struct AllowCommandText
{
    AllowCommandText() { setCommandTextAllowed(true); }
    ~AllowCommandText() { setCommandTextAllowed(false); }
};

} // namespace

class tst_CodenameLookupRDM : public QObject
{
    Q_OBJECT

    PerBackend<Shared> shared;

    static void addProviderRows(const ProviderDefs &defs)
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("provider");
        for (const QString &backend : backends())
            for (const ProviderDef &def : defs)
                if (!def.sql.isEmpty())
                    QTest::addRow("%s %s", qPrintable(backend), qPrintable(def.name))
                        << backend << def.name;
    }

private slots:
    void cleanupTestCase() { shared.clear(); }

    void everyCodeNameProviderAnswers_data() { addProviderRows(TCodeNameRDM::providerDefs()); }
    void everyCodeNameProviderAnswers()
    {
        QFETCH(QString, backend);
        QFETCH(QString, provider);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        const Packet all = records(*s.codeName, provider, {{"Code", " "}, {"tmpCode", " "}});
        QVERIFY(!all.rows.isEmpty());
        QVERIFY(all.fields.size() >= 2);
    }

    void everyLookupProviderAnswers_data() { addProviderRows(TLookupRDM::providerDefs()); }
    void everyLookupProviderAnswers()
    {
        QFETCH(QString, backend);
        QFETCH(QString, provider);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        QVERIFY(!records(*s.lookup, provider).fields.isEmpty());
    }

    void codeNameLists_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("provider");
        QTest::addColumn<Params>("params");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("expected");
        struct Case
        {
            const char *name, *provider;
            Params params;
            const char *field;
            QStringList expected;
        };
        const QList<Case> cases{
            // Products without an existing class are hidden; order: class, brand, code.
            {"all products", "dspPdtCN", {{"Code", ""}, {"tmpCode", ""}}, "pdtcode", {"P1", "P2"}},
            {"blank switch",
             "dspPdtCN",
             {{"Code", "P2"}, {"tmpCode", " "}},
             "pdtcode",
             {"P1", "P2"}},
            {"one product", "dspPdtCN", {{"Code", "P2"}, {"tmpCode", "P2"}}, "pdtcode", {"P2"}},
            {"unknown product", "dspPdtCN", {{"Code", "P9"}, {"tmpCode", "P9"}}, "pdtcode", {}},
            {"injected code",
             "dspPdtCN",
             {{"Code", "x' OR '1'='1"}, {"tmpCode", "x"}},
             "pdtcode",
             {}},
            {"products of a class",
             "dspClassPdtCN",
             {{"Code", ""}, {"tmpCode", ""}, {"PreCode", "C2"}, {"tmpPreCode", "C2"}},
             "pdtcode",
             {"P2"}},
            {"products of every class",
             "dspClassPdtCN",
             {{"Code", ""}, {"tmpCode", ""}, {"PreCode", " "}, {"tmpPreCode", " "}},
             "pdtcode",
             {"P1", "P2"}},
            // Lines without a unit are hidden.
            {"lines of a product",
             "dspSpecCN",
             {{"Code", ""}, {"tmpCode", ""}, {"preCode", "P1"}, {"tmpPreCode", "P1"}},
             "bodyno",
             {"0001", "0002"}},
            {"one line",
             "dspSpecCN",
             {{"Code", "0002"}, {"tmpCode", "0002"}, {"preCode", "P1"}, {"tmpPreCode", "P1"}},
             "SpecName",
             {"40寸"}},
            {"operators with a password",
             "dspUserListCN",
             {{"Code", ""}, {"tmpCode", ""}},
             "Code",
             {"0001", "0002"}},
            {"departments",
             "dspDeptCN",
             {{"Code", ""}, {"tmpCode", ""}},
             "CorpName",
             {"本公司", "分公司"}},
            {"departments of a company",
             "dspCorpDeptCN",
             {{"Code", ""}, {"tmpCode", ""}, {"PreCode", "0002"}, {"tmpCorpCode", "0002"}},
             "Code",
             {"0002"}},
            {"departments of a company, editor's switch",
             "dspCorpDeptCN",
             {{"Code", ""}, {"tmpCode", ""}, {"PreCode", "0002"}, {"tmpPreCode", "0002"}},
             "Code",
             {"0002"}},
            {"departments of every company",
             "dspCorpDeptCN",
             {{"Code", ""}, {"tmpCode", ""}, {"PreCode", "0002"}},
             "Code",
             {"0001", "0002"}},
            // Suppliers without a department are hidden.
            {"suppliers", "dspFatbnCN", {{"Code", ""}, {"tmpCode", ""}}, "LocalName", {"华东"}},
            {"customers", "dspCustomeCN", {{"Code", ""}, {"tmpCode", ""}}, "DeptName", {"门市"}},
            {"stores", "dspStoreCN", {{"Code", "W1"}, {"tmpCode", "W1"}}, "CorpName", {"本公司"}},
            {"currencies", "dspMoneyCN", {{"Code", ""}, {"tmpCode", ""}}, "Rate", {"1", "7"}},
            // A typed code resolves to its own row, not to the first one.
            {"one currency", "dspMoneyCN", {{"Code", "02"}, {"tmpCode", "02"}}, "Name", {"美元"}},
            {"partner classes",
             "dspLocalCN",
             {{"Code", ""}, {"tmpCode", " "}},
             "Code",
             {"L1", "L2"}},
            {"one partner class",
             "dspLocalCN",
             {{"Code", "L2"}, {"tmpCode", "L2"}},
             "name",
             {"华南"}},
            {"variant kinds with English names",
             "dspSpecCodeCN",
             {{"Code", ""}, {"tmpCode", ""}},
             "name_e",
             {"", "Size"}},
            {"one variant kind",
             "dspSpecCodeCN",
             {{"Code", "H2"}, {"tmpCode", "H2"}},
             "name",
             {"尺码"}},
            {"classes", "dspClassCN", {{"Code", "C1"}, {"tmpCode", "C1"}}, "name", {"电器"}},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.name)
                    << backend << QString::fromLatin1(c.provider) << c.params
                    << QString::fromLatin1(c.field) << c.expected;
    }
    void codeNameLists()
    {
        QFETCH(QString, backend);
        QFETCH(QString, provider);
        QFETCH(Params, params);
        QFETCH(QString, field);
        QFETCH(QStringList, expected);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        QCOMPARE(column(records(*s.codeName, provider, params), field), expected);
    }

    void lookupLists_data() { addBackendRows(); }
    void lookupLists()
    {
        QFETCH(QString, backend);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        // The users' copy carries its password column, always empty.
        const Packet users = records(*s.lookup, "dspXpsEmp");
        QCOMPARE(column(users, "Code"), (QStringList{"0001", "0002", "0003"}));
        QCOMPARE(column(users, "pwd"), (QStringList{"", "", ""}));
        // Sub-kinds in kind order.
        const Packet kinds = records(*s.lookup, "dspXStockChAttr");
        QCOMPARE(kinds.rows.size(), 12);
        QCOMPARE(column(kinds, "Flag").first(), QStringLiteral("1"));
        QCOMPARE(column(kinds, "InOutFlag").last(), QStringLiteral("1"));
        QCOMPARE(column(records(*s.lookup, "dspXDocState"), "Code"), (QStringList{"1", "2"}));
        QCOMPARE(column(records(*s.lookup, "dspPrdt"), "pdtcode"), (QStringList{"P1", "P2", "P3"}));
    }

    void freeTestIsRefusedUnlessAllowed_data() { addBackendRows(); }
    void freeTestIsRefusedUnlessAllowed()
    {
        QFETCH(QString, backend);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        const QString error = errorOf([&] {
            s.lookup->call("keyExist", {"SELECT count(*) FROM XCI", 0}, nullptr);
        });
        QVERIFY2(error.contains(QLatin1String("AllowCommandText=1")), qPrintable(error));
        GetRecordsRequest own;
        own.provider = QStringLiteral("dspQry");
        own.commandText = QStringLiteral("SELECT count(*) FROM XCI");
        QCOMPARE(errorOf([&] { s.lookup->getRecords(own); }), error);
    }

    void freeTest_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("error"); // part of the refusal; empty when answered
        struct Case
        {
            const char *name, *sql;
            bool result;
            const char *error;
        };
        static const Case cases[] = {
            {"count of a filled table", "SELECT count(*) FROM XCI", true, ""},
            {"count of an empty table", "SELECT count(*) FROM XTaxAttr", false, ""},
            {"no row", "SELECT Code FROM XCI WHERE Code = 'none'", false, ""},
            {"bad statement", "SELECT nonsense FROM nowhere", false, ""},
            {"text first column", "SELECT Name FROM XCI", false, "is not a valid integer"},
            {"null first column", "SELECT NULL", false, ""},
            {"a change is rolled back", "DELETE FROM XMarryAttr", false, ""},
            {"one statement with its semicolon", "SELECT count(*) FROM XCI ;", true, ""},
            // Only reads answer: a change that hands back rows is refused by the database.
            {"a change that answers rows", "DELETE FROM XMarryAttr RETURNING 1", false, ""},
            {"a lone commit", "COMMIT", false, ""},
            // What follows a COMMIT would run outside the rolled-back transaction.
            {"statements after a commit", "SELECT count(*) FROM XCI; COMMIT; DROP TABLE XMarryAttr",
             false, "one statement"},
            {"a change after a commit", "COMMIT; DELETE FROM XMarryAttr", false, "one statement"},
        };
        for (const QString &backend : backends())
            for (const Case &c : cases)
                QTest::addRow("%s %s", qPrintable(backend), c.name)
                    << backend << c.sql << c.result << c.error;
    }
    void freeTest()
    {
        QFETCH(QString, backend);
        QFETCH(QString, sql);
        QFETCH(bool, result);
        QFETCH(QString, error);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        AllowCommandText allowed;
        QVariant answer;
        const QString refusal = errorOf([&] { answer = s.lookup->keyExist(sql, 0); });
        QVERIFY2(error.isEmpty() ? refusal.isEmpty() : refusal.contains(error),
                 qPrintable(refusal));
        if (error.isEmpty())
            QCOMPARE(answer.toBool(), result);
        QCOMPARE(s.db.scalar("SELECT count(*) FROM XMarryAttr").toInt(), 4);
        // The module stays usable, and its connection writes again.
        QCOMPARE(records(*s.lookup, "dspXCi").rows.size(), 1);
        QSqlQuery write(s.lookup->database());
        QVERIFY2(write.exec("UPDATE XMarryAttr SET Code = Code WHERE Code = 'none'"),
                 qPrintable(write.lastError().text()));
    }

    void numbersContinueAcrossModules_data() { addBackendRows(); }
    void numbersContinueAcrossModules()
    {
        QFETCH(QString, backend);
        Shared &s = shared(backend);
        QVERIFY(s.ok);
        AutoGainNO::instance().clear();
        TBillRDM bill;
        const QString today = AutoGainNO::instance().today().toString(QStringLiteral("yyyyMMdd"));
        QCOMPARE(s.lookup->call("GetHeadNO", {"xStockChh"}, nullptr).toString(), today + "0001");
        QCOMPARE(bill.call("GetHeadno", {"XSTOCKCHH"}, nullptr).toString(), today + "0002");
        QCOMPARE(s.lookup->call("getheadno", {"xstockchh"}, nullptr).toString(), today + "0003");
        // A name that is no table never reaches a statement: the cache alone numbers it.
        QCOMPARE(s.lookup->call("GetHeadno", {"XCI; DROP TABLE XCI"}, nullptr).toString(),
                 today + "0001");
        QCOMPARE(s.db.scalar("SELECT count(*) FROM XCI").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_CodenameLookupRDM)
#include "tst_CodenameLookupRDM.moc"
