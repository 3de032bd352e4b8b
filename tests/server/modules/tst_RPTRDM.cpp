// The report module in-process over the shipped account set with a small set of orders,
// deliveries, receipts and stock: every report by its flag, and the refused openings.

#include "LumoSQL.h"
#include "ModuleTestKit.h"
#include "URPTRDM.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
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

//! The field's value in every row.
QStringList column(const Packet &packet, const QString &field)
{
    QStringList values;
    for (const RowValues &row : packet.rows)
        values << row.value(packet.indexOf(field)).toString();
    return values;
}

Packet report(TRPTRDM &module, const Params &params, int count = -1)
{
    return records(module, QStringLiteral("dspXMaster"), params, count);
}

// On top of the shared documents: invoices of the first sales order's line (two blue, one
// red entered with positive figures), and staff of two departments whose codes interleave.
const char *const ReportExtrasSql[] = {
    "UPDATE xInvoiceh SET InVoiceNO = 'FP0001' WHERE headno = '202603070001'",
    "UPDATE xInvoiceb SET LinkHeadno = '202603020001', LinkBodyno = '0001'"
    " WHERE headno = '202603070001'",
    "INSERT INTO xInvoiceh (headno, Flag, InOutFlag, InVoiceNO, hdate, spcode, deptcode, mcode,"
    " currency, Taxamt, State) VALUES ('202603080001', '1', '1', 'FP0002',"
    " '2026-03-08 10:00:00', 'K1', '0001', '0001', '01', 468, '2')",
    "INSERT INTO xInvoiceb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty,"
    " price, amount, Taxamount) VALUES ('202603080001', '0001', '202603020001', '0001', 'P1',"
    " '0001', 2, 200, 400, 468)",
    "INSERT INTO xInvoiceh (headno, Flag, InOutFlag, InVoiceNO, hdate, spcode, deptcode, mcode,"
    " currency, Taxamt, State) VALUES ('202603090001', '2', '1', 'FP0003',"
    " '2026-03-09 10:00:00', 'K1', '0001', '0001', '01', 234, '2')",
    "INSERT INTO xInvoiceb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty,"
    " price, amount, Taxamount) VALUES ('202603090001', '0001', '202603020001', '0001', 'P1',"
    " '0001', 1, 200, 200, 234)",
    "INSERT INTO xDept (code, name, CorpCode) VALUES ('0002', '销售部', '0001')",
    "INSERT INTO XPSEmp (code, name, deptcode, Corpcode) VALUES ('0002', '王五', '0002', '0001')",
    "INSERT INTO XPSEmp (code, name, deptcode, Corpcode) VALUES ('0003', '赵六', '0001', '0001')",
};

bool loadReportExtras(const AccountSet &set)
{
    return std::all_of(std::begin(ReportExtrasSql), std::end(ReportExtrasSql),
                       [&](const char *sql) { return set.exec(QString::fromUtf8(sql)); });
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
const QStringList SalesEnquiry =
    OrderDetail + QStringList{"InvoiceDate", "InvoiceNO",    "InvoicePqty",    "InvoiceAmount",
                              "GatherDate",  "GatherAmount", "NotGatherAmount"};
const QStringList PartnerList{"code", "name", "connectname", "telephone", "fax", "bank", "taxno"};

} // namespace

class TestRPTRDM : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { m_sets.clear(); }

    void everyReportReturnsItsColumns_data();
    void everyReportReturnsItsColumns();
    void stateIncludesOrLeavesOutUncheckedDocuments_data();
    void stateIncludesOrLeavesOutUncheckedDocuments();
    void receivablesStartFromTheSalesOrders_data() { addBackendRows(); }
    void receivablesStartFromTheSalesOrders();
    void salesEnquiryAddsInvoicesAndReceipts_data() { addBackendRows(); }
    void salesEnquiryAddsInvoicesAndReceipts();
    void staffGroupedByDepartment_data() { addBackendRows(); }
    void staffGroupedByDepartment();
    void missingOrUnknownFlagAborts_data() { addBackendRows(); }
    void missingOrUnknownFlagAborts();
    void packetsContinueTheChosenReport_data() { addBackendRows(); }
    void packetsContinueTheChosenReport();
    void rankingKeepsTheFirstByMeasure_data();
    void rankingKeepsTheFirstByMeasure();

private:
    AccountSet &accountSet(const QString &backend)
    {
        std::unique_ptr<AccountSet> &set = m_sets[backend];
        if (!set) {
            set = std::make_unique<AccountSet>(backend);
            set->ok = set->ok && loadDocuments(set->scratch.db()) && loadReportExtras(*set);
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
         3,
         {"Headno=202603010001", "hdate=2026-03-01", "spName=供应商一", "currencyname=人民币",
          "TotalGetPqty=1", "TotalNotArrive=1"}},
        {"RPTBUYSTAT",
         {},
         QStringList(OrderDetail).mid(0, 2) + OrderDetail.mid(4),
         3,
         {"TotalNotArrive=1"}},
        {"RPTSALEDETAIL", {}, OrderDetail, 3, {"spName=客户一", "TotalNotArrive=2"}},
        {"RPTSALEALL",
         {{"spCode", "K1"}, {"tmpspCode", "K1"}},
         SalesEnquiry,
         2,
         {"Headno=202603020001", "InvoicePqty=2", "GatherAmount=300"}},
        {"RPTBUYINDETAIL", {}, StockDetail, 1, {"LinkHeadNO=202603010001", "spName=供应商一"}},
        {"RPTSALEOUTDETAIL", {}, StockDetail, 1, {"LinkHeadNO=202603020001", "spName=客户一"}},
        {"RPTBUYPRICE",
         {{"pdtCode", "P1"}, {"tmppdtCode", "P1"}},
         PriceDetail,
         2,
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
         {"SaleHeadno=202603020001", "RMBTaxamt=300", "hDate=2026-03-06"}},
        {"RPTGATHERCUST",
         {},
         {"spName", "SaleHeadno", "SaleRMTTaxAmt", "hDate", "Deptname", "RMBTaxamt"},
         3,
         {"SaleRMTTaxAmt=702", "RMBTaxamt=300", "hDate=2026-03-02"}},
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
         {"StoreName=一号仓", "TotalPqty=5", "TotalBadNum=1"}},
        {"RPTPRDT",
         {{"ClassCode", "C1"}, {"tmpClassCode", "C1"}},
         {"PdtCode", "PdtName", "ClassName", "SpecName", "TInprice", "Inprice", "TSalePrice",
          "SalePrice", "spname", "ciName"},
         3,
         {"ClassName=电器", "spname=供应商一", "ciName=牌子"}},
        {"RPTPSEMP",
         {},
         {"DeptName", "Code", "EmpName", "sexb", "DutyName", "Tel1", "Native", "EduName"},
         3,
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
        {"ChartSaleOrder",
         {{"SelCount", "10"}, {"Measure", "TotalPqty"}},
         {"pdtCode", "PdtName", "TotalPqty", "TotalAmount"},
         2,
         {"pdtCode=P1", "PdtName=电视", "TotalPqty=4"}},
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

void TestRPTRDM::stateIncludesOrLeavesOutUncheckedDocuments_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("checkedOnly");
    QTest::addColumn<QStringList>("withUnchecked");

    struct Case
    {
        const char *flag;
        QVariantMap given;
        QString field;
        QStringList checkedOnly;
        QStringList withUnchecked;
    };
    const QVariantMap p1{{"pdtCode", "P1"}, {"tmppdtCode", "P1"}};
    const QList<Case> cases{
        {"RPTBUY", {}, "TotalPqty", {"2", "1"}, {"3", "1"}},
        {"RPTBUYDETAIL",
         {},
         "Headno",
         {"202603010001", "202603010001"},
         {"202603010001", "202603010001", "202603050001"}},
        {"RPTBUYSTAT",
         {},
         "Headno",
         {"202603010001", "202603010001"},
         {"202603010001", "202603010001", "202603050001"}},
        {"RPTSALEDETAIL",
         {},
         "Headno",
         {"202603020001", "202603020003"},
         {"202603020001", "202603020002", "202603020003"}},
        {"RPTBUYPRICE", p1, "Headno", {"202603010001"}, {"202603010001", "202603050001"}},
        {"RPTSALEPRICE", p1, "Headno", {"202603020001"}, {"202603020001", "202603020002"}},
        // Only checked stock documents of these kinds exist: both values show them.
        {"RPTBUYINDETAIL", {}, "Headno", {"202603030001"}, {"202603030001"}},
        {"RPTSALEOUTDETAIL", {}, "Headno", {"202603040001"}, {"202603040001"}},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases) {
            QTest::addRow("%s %s", qPrintable(backend), c.flag)
                << backend << QString(c.flag) << c.given << c.field << c.checkedOnly
                << c.withUnchecked;
        }
    }
}

void TestRPTRDM::stateIncludesOrLeavesOutUncheckedDocuments()
{
    QFETCH(QString, backend);
    QFETCH(QString, flag);
    QFETCH(QVariantMap, given);
    QFETCH(QString, field);
    QFETCH(QStringList, checkedOnly);
    QFETCH(QStringList, withUnchecked);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    // "2" (the box unticked) keeps the checked documents, "1" adds those not yet checked,
    // in the summaries and the details alike.
    given.insert("State", "2");
    QCOMPARE(column(report(module, reportParams(flag, given)), field), checkedOnly);
    given.insert("State", "1");
    QCOMPARE(column(report(module, reportParams(flag, given)), field), withUnchecked);
}

void TestRPTRDM::receivablesStartFromTheSalesOrders()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    // Every sales order shows with what was received on it; K2's order has no receipt and
    // is owed in full.
    const Packet all = report(module, reportParams("RPTGATHERCUST"));
    QCOMPARE(column(all, "SaleHeadno"),
             (QStringList{"202603020001", "202603020003", "202603020002"}));
    QCOMPARE(column(all, "SaleRMTTaxAmt"), (QStringList{"702", "234", "234"}));
    QCOMPARE(column(all, "RMBTaxamt"), (QStringList{"300", "0", "0"}));

    const Packet k2 =
        report(module, reportParams("RPTGATHERCUST", {{"spCode", "K2"}, {"tmpspCode", "K2"}}));
    QCOMPARE(column(k2, "spName"), QStringList{"客户二"});
    QCOMPARE(column(k2, "RMBTaxamt"), QStringList{"0"});
    // Unticked, the order not yet checked is left out.
    QCOMPARE(column(report(module, reportParams("RPTGATHERCUST", {{"State", "2"}})), "SaleHeadno"),
             (QStringList{"202603020001", "202603020003"}));
    // A receipt not yet checked counts only while such documents are included.
    QVERIFY(accountSet(backend).exec(
        "INSERT INTO XIncomeh (headno, hdate, currency, exchgrate, Taxamt, RMBTaxamt, spcode,"
        " deptcode, mcode, State) VALUES ('202603100001', '2026-03-10 10:00:00', '01', 1, 34,"
        " 34, 'K2', '0001', '0001', '1')"));
    QVERIFY(accountSet(backend).exec(
        "INSERT INTO XInComeb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty,"
        " Taxamount, GetTaxamount) VALUES ('202603100001', '0001', '202603020002', '0001',"
        " 'P1', '0002', 1, 234, 34)"));
    QCOMPARE(column(report(module,
                           reportParams("RPTGATHERCUST", {{"spCode", "K2"}, {"tmpspCode", "K2"}})),
                    "RMBTaxamt"),
             QStringList{"34"});
    QVERIFY(accountSet(backend).exec("DELETE FROM XInComeb WHERE headno = '202603100001'"));
    QVERIFY(accountSet(backend).exec("DELETE FROM XIncomeh WHERE headno = '202603100001'"));
}

void TestRPTRDM::salesEnquiryAddsInvoicesAndReceipts()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    const Packet k1 =
        report(module, reportParams("RPTSALEALL", {{"spCode", "K1"}, {"tmpspCode", "K1"}}));
    QCOMPARE(k1.rows.size(), 2);
    const QStringList figures{"InvoiceDate", "InvoiceNO",    "InvoicePqty",    "InvoiceAmount",
                              "GatherDate",  "GatherAmount", "NotGatherAmount"};
    // Two blue invoices of 1 and 2 and a red one of 1 on the first order's line; 300
    // received of 702.
    QCOMPARE(probe(k1, k1.rows.at(0), figures),
             (QStringList{"InvoiceDate=2026-03-09", "InvoiceNO=FP0003", "InvoicePqty=2",
                          "InvoiceAmount=468", "GatherDate=2026-03-06", "GatherAmount=300",
                          "NotGatherAmount=402"}));
    // Nothing invoiced or received: owed in full.
    QCOMPARE(probe(k1, k1.rows.at(1), figures),
             (QStringList{"InvoiceDate=", "InvoiceNO=", "InvoicePqty=0", "InvoiceAmount=0",
                          "GatherDate=", "GatherAmount=0", "NotGatherAmount=234"}));
    // Unticked, the invoice not yet checked is left out.
    const Packet checked =
        report(module,
               reportParams("RPTSALEALL", {{"spCode", "K1"}, {"tmpspCode", "K1"}, {"State", "2"}}));
    QCOMPARE(probe(checked, checked.rows.at(0), {"InvoicePqty", "InvoiceAmount"}),
             (QStringList{"InvoicePqty=1", "InvoiceAmount=234"}));
}

void TestRPTRDM::staffGroupedByDepartment()
{
    QFETCH(QString, backend);
    QVERIFY(accountSet(backend).ok);
    TRPTRDM module;

    const Packet staff = report(module, reportParams("RPTPSEMP"));
    QCOMPARE(column(staff, "Code"), (QStringList{"0001", "0003", "0002"}));
    QCOMPARE(column(staff, "DeptName"), (QStringList{"总部", "总部", "销售部"}));
    // The sex prints by its name; one not given stays blank.
    QVERIFY(accountSet(backend).exec("UPDATE XPSEmp SET sexb = '2' WHERE code = '0003'"));
    QCOMPARE(column(report(module, reportParams("RPTPSEMP")), "sexb"), (QStringList{"", "女", ""}));
    QVERIFY(accountSet(backend).exec("UPDATE XPSEmp SET sexb = NULL WHERE code = '0003'"));
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
    QCOMPARE(probe(rest, rest.rows.first(), {"StoreName"}), QStringList{"StoreName=二号仓"});
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

// Sales of May 2003 only, away from the shared documents: four products whose quantities
// and amounts tie in different pairs.
const char *const RankingSql[] = {
    "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('R1', '甲', 'C1', 'B1')",
    "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('R2', '乙', 'C1', 'B1')",
    "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('R3', '丙', 'C1', 'B1')",
    "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('R4', '丁', 'C1', 'B1')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('R1', '0001', '-', 'PCS')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('R2', '0001', '-', 'PCS')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('R3', '0001', '-', 'PCS')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure) VALUES ('R4', '0001', '-', 'PCS')",
    "INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt,"
    " RMBtaxamt, deptcode, State) VALUES ('200305050001', '2003-05-05 09:00:00', 'W1', 'K1',"
    " '01', 1, 0, 0, 0, 0, '0001', '1')",
    "INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount)"
    " VALUES ('200305050001', '0001', 'R2', '0001', 20, 5, 100, 0, 0)",
    "INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount)"
    " VALUES ('200305050001', '0002', 'R1', '0001', 10, 2, 20, 0, 0)",
    "INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount)"
    " VALUES ('200305050001', '0003', 'R1', '0001', 10, 3, 30, 0, 0)",
    "INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount)"
    " VALUES ('200305050001', '0004', 'R3', '0001', 50, 2, 100, 0, 0)",
    "INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount)"
    " VALUES ('200305050001', '0005', 'R4', '0001', 1, 9, 10, 0, 0)",
};

void TestRPTRDM::rankingKeepsTheFirstByMeasure_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("measure");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("ranked"); // "code name quantity amount"
    struct Case
    {
        const char *name, *measure, *count;
        QStringList ranked;
    };
    const QList<Case> cases{
        {"by quantity, tie in code order",
         "TotalPqty",
         "10",
         {"R4 丁 9 10", "R1 甲 5 50", "R2 乙 5 100", "R3 丙 2 100"}},
        {"by amount, tie in code order",
         "TotalAmount",
         "10",
         {"R2 乙 5 100", "R3 丙 2 100", "R1 甲 5 50", "R4 丁 9 10"}},
        {"first two by amount", "TotalAmount", "2", {"R2 乙 5 100", "R3 丙 2 100"}},
        {"first one by quantity", "TotalPqty", "1", {"R4 丁 9 10"}},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases)
            QTest::addRow("%s %s", qPrintable(backend), c.name)
                << backend << QString(c.measure) << QString(c.count) << c.ranked;
    }
}

void TestRPTRDM::rankingKeepsTheFirstByMeasure()
{
    QFETCH(QString, backend);
    QFETCH(QString, measure);
    QFETCH(QString, count);
    QFETCH(QStringList, ranked);
    AccountSet &set = accountSet(backend);
    QVERIFY(set.ok);
    if (set.scalar("SELECT count(*) FROM XSaleh WHERE headno = '200305050001'").toInt() == 0) {
        for (const char *sql : RankingSql)
            QVERIFY(set.exec(QString::fromUtf8(sql)));
    }
    TRPTRDM module;
    const Packet packet =
        report(module, {Param{"SQLFLAG", "ChartSaleOrder"}, Param{"BeginDate", "2003-05-01"},
                        Param{"EndDate", "2003-05-31"}, Param{"SelCount", count},
                        Param{"Measure", measure}});
    QStringList rows;
    for (const RowValues &row : packet.rows) {
        QStringList cells;
        for (const char *f : {"pdtCode", "PdtName", "TotalPqty", "TotalAmount"})
            cells << row.value(packet.indexOf(f)).toString();
        rows << cells.join(' ');
    }
    QCOMPARE(rows, ranked);
}

QTEST_GUILESS_MAIN(TestRPTRDM)
#include "tst_RPTRDM.moc"
