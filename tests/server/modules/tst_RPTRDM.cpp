// The report module in-process over the shipped account set with a small set of orders,
// deliveries, receipts and stock: every report by its flag, and the refused openings.

#include "LumoSQL.h"
#include "ModuleTestKit.h"
#include "URPTRDM.h"

#include <QRegularExpression>
#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A report request as the condition windows send it: March 2026, documents not yet
//! checked included, nothing picked, then the given values.
Params reportParams(const QString &flag, const QVariantMap &given = {})
{
    return requestParams(
        {{"SQLFLAG", flag},
         {"BeginDate", "2026-03-01"},
         {"EndDate", "2026-03-31"},
         {"State", "1"},
         {"CorpCode", "0001"}},
        {"pdtCode", "spCode", "DeptCode", "pdtno", "ClassCode", "LocalCode", "StoreCode"}, given);
}

QStringList fieldNames(const Packet &packet)
{
    QStringList names;
    for (const FieldDef &f : packet.fields)
        names << f.name;
    return names;
}

//! "field=value" of every probe field in the row.
QStringList probe(const Packet &packet, const RowValues &row, const QStringList &fields)
{
    QStringList cells;
    for (const QString &f : fields)
        cells << f + QLatin1Char('=') + row.value(packet.indexOf(f)).toString();
    return cells;
}

Packet report(TRPTRDM &module, const Params &params, int count = -1)
{
    return records(module, QStringLiteral("dspXMaster"), params, count);
}

const QStringList ProductLine{"pdtcode", "PdtName", "PdtNO", "PdtSpecName", "MeasureName"};
const QStringList OrderTotals = ProductLine + QStringList{"TotalPqty", "TotalAmount"};
const QStringList OrderDetail =
    QStringList{"Headno", "hdate", "spName", "deptName", "currencyname", "taxamt", "RMBtaxamt"} +
    ProductLine + QStringList{"TotalPqty", "TotalAmount", "TotalGetPqty", "TotalNotArrive"};
const QStringList StockDetail = QStringList{"Headno", "LinkHeadNO", "hdate", "spName", "deptName"} +
                                ProductLine + QStringList{"TotalPqty"};
const QStringList PriceDetail =
    QStringList{"Headno", "hdate", "spName", "deptName", "currencyname"} + ProductLine +
    QStringList{"Price", "TotalPqty"};
const QStringList PartnerList{"code", "name", "connectname", "telephone", "fax", "bank", "taxno"};

} // namespace

class TestRPTRDM : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { m_sets.clear(); }

    void everyReportReturnsItsColumns_data();
    void everyReportReturnsItsColumns();
    void stateSelectsDifferentlyInTheTwoFamilies_data() { addBackendRows(); }
    void stateSelectsDifferentlyInTheTwoFamilies();
    void missingOrUnknownFlagAborts_data() { addBackendRows(); }
    void missingOrUnknownFlagAborts();
    void packetsContinueTheChosenReport_data() { addBackendRows(); }
    void packetsContinueTheChosenReport();

private:
    AccountSet &accountSet(const QString &backend)
    {
        std::unique_ptr<AccountSet> &set = m_sets[backend];
        if (!set) {
            set = std::make_unique<AccountSet>(backend);
            set->ok = set->ok && loadDocuments(set->scratch.db());
        }
        useAsRunTimeConnection(set->scratch);
        return *set;
    }

    std::map<QString, std::unique_ptr<AccountSet>> m_sets;
};

void TestRPTRDM::everyReportReturnsItsColumns_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("firstRow");

    struct Case
    {
        const char *flag;
        QVariantMap given;
        QStringList columns;
        int rows;
        QStringList firstRow;
    };
    const QList<Case> cases{
        {"RPTBUY", {}, OrderTotals, 2, {"pdtcode=P1", "MeasureName=个", "TotalPqty=3"}},
        {"RPTSALE", {}, OrderTotals, 3, {"PdtNO=0001", "TotalAmount=702"}},
        {"RPTBUYIN", {}, ProductLine + QStringList{"TotalPqty"}, 1, {"TotalPqty=1"}},
        {"RPTSALEOUT", {}, ProductLine + QStringList{"TotalPqty"}, 1, {"PdtSpecName=32寸"}},
        {"RPTSALEDAY", {{"BeginDate", "2026-03-02"}}, OrderTotals, 3, {"TotalPqty=3"}},
        {"RPTSALEMon", {{"BeginDate", "2026-03"}}, OrderTotals, 3, {"TotalPqty=3"}},
        {"RPTCUSTSALE",
         {},
         ProductLine + QStringList{"spCode", "spname", "TotalPqty", "TotalAmount", "localcode"},
         3,
         {"spname=客户一", "localcode=L1"}},
        {"RPTBUYDETAIL",
         {},
         OrderDetail,
         2,
         {"Headno=202603010001", "hdate=2026-03-01", "spName=供应商一", "currencyname=人民币",
          "TotalGetPqty=1", "TotalNotArrive=1"}},
        {"RPTBUYSTAT",
         {},
         QStringList(OrderDetail).mid(0, 2) + OrderDetail.mid(4),
         2,
         {"TotalNotArrive=1"}},
        {"RPTSALEDETAIL", {}, OrderDetail, 2, {"spName=客户一", "TotalNotArrive=2"}},
        {"RPTSALEALL",
         {{"spCode", "K1"}, {"tmpspCode", "K1"}},
         OrderDetail,
         2,
         {"Headno=202603020001"}},
        {"RPTBUYINDETAIL", {}, StockDetail, 1, {"LinkHeadNO=202603010001", "spName=供应商一"}},
        {"RPTSALEOUTDETAIL", {}, StockDetail, 1, {"LinkHeadNO=202603020001", "spName=客户一"}},
        {"RPTBUYPRICE",
         {{"pdtCode", "P1"}, {"tmppdtCode", "P1"}},
         PriceDetail,
         1,
         {"Price=100", "TotalPqty=2"}},
        {"RPTSALEPRICE",
         {{"pdtCode", "P1"}, {"tmppdtCode", "P1"}, {"pdtno", "0001"}, {"tmppdtno", "0001"}},
         PriceDetail,
         1,
         {"Price=200", "TotalPqty=3"}},
        {"RPTGATHERDETAIL",
         {},
         {"hDate", "spName", "SaleHeadno", "Deptname", "RMBTaxamt"},
         1,
         {"SaleHeadno=202603020001", "RMBTaxamt=300"}},
        {"RPTGATHERCUST",
         {},
         {"spName", "SaleHeadno", "SaleRMTTaxAmt", "hDate", "Deptname", "RMBTaxamt"},
         1,
         {"SaleRMTTaxAmt=702", "RMBTaxamt=300"}},
        // The order without a salesman is left out.
        {"RPTEMPGAIN",
         {},
         {"Deptname", "empName", "spname", "TotaltaxAmt", "TotalRMBtaxAmt"},
         2,
         {"empName=系统管理员", "spname=客户一", "TotaltaxAmt=702"}},
        {"RPTSTOCKDETAIL",
         {},
         {"StoreName", "pdtcode", "pdtname", "specname", "TotalPqty", "TotalBadNum"},
         3,
         {"StoreName=W1", "TotalPqty=5", "TotalBadNum=1"}},
        {"RPTPRDT",
         {{"ClassCode", "C1"}, {"tmpClassCode", "C1"}},
         {"PdtCode", "PdtName", "ClassName", "SpecName", "TInprice", "Inprice", "TSalePrice",
          "SalePrice", "spname", "ciName"},
         3,
         {"ClassName=电器", "spname=供应商一", "ciName=牌子"}},
        {"RPTPSEMP",
         {},
         {"DeptName", "Code", "EmpName", "sexb", "DutyName", "Tel1", "Native", "EduName"},
         1,
         {"Code=0001", "DeptName=总部"}},
        {"RPTCUST",
         {{"LocalCode", "L1"}, {"tmpLocalCode", "L1"}},
         PartnerList,
         2,
         {"code=K1", "connectname=李四"}},
        {"RPTFATBN", {}, PartnerList, 2, {"code=S1", "telephone=021-1"}},
        {"ChartClassSale",
         {{"pdtCode", "P1"}, {"tmppdtCode", "P1"}},
         {"SortDate", "MeasureName", "TotalPqty", "TotalAmount"},
         2,
         {"SortDate=2026-03-02 11:00:00", "TotalAmount=600"}},
        {"ChartSaleOrder", {}, {"pdtCode", "TotalPqty", "TotalAmount"}, 2, {}},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases) {
            QTest::addRow("%s %s", qPrintable(backend), c.flag)
                << backend << QString(c.flag) << c.given << c.columns << c.rows << c.firstRow;
        }
    }
}

void TestRPTRDM::everyReportReturnsItsColumns()
{
    QFETCH(QString, backend);
    QFETCH(QString, flag);
    QFETCH(QVariantMap, given);
    QFETCH(QStringList, columns);
    QFETCH(int, rows);
    QFETCH(QStringList, firstRow);

    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;
    const Packet packet = report(module, reportParams(flag, given));
    QCOMPARE(fieldNames(packet), columns);
    QCOMPARE(packet.rows.size(), rows);
    QCOMPARE(probe(packet, packet.rows.first(),
                   QStringList(firstRow).replaceInStrings(QRegularExpression("=.*"), QString())),
             firstRow);

    // The flag is matched without regard to case.
    QCOMPARE(report(module, reportParams(flag.toLower(), given)).rows.size(), rows);
}

void TestRPTRDM::stateSelectsDifferentlyInTheTwoFamilies()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    // Summaries take State >= :State: only checked orders when "2" is sent.
    const Packet summary = report(module, reportParams("RPTBUY", {{"State", "2"}}));
    QCOMPARE(summary.rows.size(), 2);
    QCOMPARE(probe(summary, summary.rows.first(), {"TotalPqty"}), QStringList{"TotalPqty=2"});
    // Details take State > :State: "2" selects nothing, "1" the checked orders.
    QVERIFY(report(module, reportParams("RPTBUYDETAIL", {{"State", "2"}})).rows.isEmpty());
    QCOMPARE(report(module, reportParams("RPTBUYDETAIL", {{"State", "1"}})).rows.size(), 2);
}

void TestRPTRDM::missingOrUnknownFlagAborts()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;
    QCOMPARE(module.providerNames(), QStringList{"dspXMaster"});

    Params noFlag = reportParams("RPTBUY");
    QCOMPARE(noFlag.removeIf([](const Param &p) { return p.name == "SQLFLAG"; }), 1);
    for (const Params &params : {noFlag, reportParams("NOSUCHREPORT"), reportParams("")}) {
        try {
            report(module, params);
            QFAIL("an opening without a known report flag went through");
        } catch (const ServerError &e) {
            QCOMPARE(e.text(), QString("Operation aborted"));
        }
    }
    // The module serves the next request as before.
    QCOMPARE(report(module, reportParams(" rptBuy ")).rows.size(), 2);
}

void TestRPTRDM::packetsContinueTheChosenReport()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    const Packet first = report(module, reportParams("RPTSTOCKDETAIL"), 2);
    QCOMPARE(first.rows.size(), 2);
    QVERIFY(!first.eof);
    // A later packet of the same opening carries no parameters.
    GetRecordsRequest more;
    more.provider = "DSPXMASTER";
    more.count = 2;
    const Packet rest = module.getRecords(more);
    QCOMPARE(rest.rows.size(), 1);
    QVERIFY(rest.eof);
    QCOMPARE(probe(rest, rest.rows.first(), {"StoreName"}), QStringList{"StoreName=W2"});
    // With nothing open, such a request names no report.
    QVERIFY_THROWS_EXCEPTION(ServerError, module.getRecords(more));

    // A holder with a detail statement nests its rows under each master row.
    new TLumoSQL("STORESTOCK", "SELECT code FROM XStore ORDER BY code",
                 "SELECT pdtcode, pdtno FROM XStock WHERE storecode = :code ORDER BY pdtno",
                 "stock per store", &module);
    const Packet nested = report(module, {Param{"SQLFLAG", "storestock"}});
    const int detail = nested.indexOf("qryXDetail");
    QVERIFY(detail >= 0);
    QCOMPARE(nested.rows.size(), 2);
    QCOMPARE(nested.rows.at(0).detailRows(detail).size(), 2);
    QCOMPARE(nested.rows.at(1).detailRows(detail).size(), 1);
}

QTEST_GUILESS_MAIN(TestRPTRDM)
#include "tst_RPTRDM.moc"
