#include "URPTRDM.h"

#include "LumoDatasetprovider.h"
#include "LumoSQL.h"
#include "RightsStore.h"

#include <QRegularExpression>

#include <algorithm>

namespace korvane {

namespace {

// Building blocks of the report statements. A product line is named through inner joins,
// so lines whose product, variant line or unit is missing are left out.
const QString ProductLine =
    QStringLiteral("b.pdtcode, p.name AS PdtName, b.pdtno AS PdtNO, pb.SpecName AS PdtSpecName,"
                   " m.name AS MeasureName");
const QString ProductLineJoins =
    QStringLiteral("JOIN xprdth p ON p.pdtcode = b.pdtcode\n"
                   "JOIN xprdtb pb ON pb.pdtcode = b.pdtcode AND pb.bodyno = b.pdtno\n"
                   "JOIN XMeasure m ON m.code = pb.measure");
const QString ProductLineGroup = QStringLiteral("b.pdtcode, p.name, b.pdtno, pb.SpecName, m.name");
const QString DateRange =
    QStringLiteral("substr(h.hdate, 1, 10) >= :BeginDate AND substr(h.hdate, 1, 10) <= :EndDate");

//! An optional condition: the column must equal the parameter unless its twin is blank.
QString pair(const QString &column, const QString &param)
{
    return QStringLiteral("(%1 = :%2 OR trim(:tmp%2) = '')").arg(column, param);
}

QString lines(const QStringList &parts)
{
    return parts.join(QLatin1Char('\n'));
}

//! Product-line totals of order lines (quantity and amount with tax).
QString orderSummary(const QString &head, const QString &body, const QStringList &conditions)
{
    return lines({QStringLiteral("SELECT %1, sum(b.pqty) AS TotalPqty,"
                                 " sum(b.Taxamount) AS TotalAmount")
                      .arg(ProductLine),
                  QStringLiteral("FROM %1 b\nJOIN %2 h ON h.headno = b.headno").arg(body, head),
                  ProductLineJoins,
                  QStringLiteral("WHERE ") + conditions.join(QStringLiteral("\n  AND ")),
                  QStringLiteral("GROUP BY ") + ProductLineGroup,
                  QStringLiteral("ORDER BY b.pdtcode, b.pdtno")});
}

QStringList rangeConditions()
{
    return {DateRange, pair("h.spcode", "spCode"), pair("h.deptcode", "DeptCode"),
            pair("b.pdtcode", "pdtCode"), QStringLiteral("h.State >= :State")};
}

//! Product-line quantities of stock-document lines of one kind.
QString stockSummary(const QString &flag)
{
    return lines({QStringLiteral("SELECT %1, sum(b.pqty) AS TotalPqty").arg(ProductLine),
                  QStringLiteral("FROM xStockChb b\n"
                                 "JOIN xStockChh h ON h.headno = b.headno AND h.Flag = '%1'")
                      .arg(flag),
                  ProductLineJoins,
                  QStringLiteral("WHERE ") + rangeConditions().join(QStringLiteral("\n  AND ")),
                  QStringLiteral("GROUP BY ") + ProductLineGroup,
                  QStringLiteral("ORDER BY b.pdtcode, b.pdtno")});
}

//! Heads of the date range and filters with their partner, department and currency names
//! (inner joins), for the detail reports; partner empty leaves partner and department out.
QString headSubselect(const QString &head, const QString &partner, const QString &where)
{
    QStringList cols{QStringLiteral("h.headno AS Headno"),
                     QStringLiteral("substr(h.hdate, 1, 10) AS hdate")};
    QStringList joins;
    if (!partner.isEmpty()) {
        cols << QStringLiteral("sp.name AS spName") << QStringLiteral("dp.name AS deptName");
        joins << QStringLiteral("JOIN %1 sp ON sp.code = h.spcode").arg(partner)
              << QStringLiteral("JOIN XDept dp ON dp.code = h.deptcode");
    }
    cols << QStringLiteral("mo.name AS currencyname") << QStringLiteral("h.taxamt")
         << QStringLiteral("h.RMBtaxamt");
    joins << QStringLiteral("JOIN XMoney mo ON mo.code = h.currency");
    return lines({QStringLiteral("(SELECT ") + cols.join(QStringLiteral(", ")),
                  QStringLiteral(" FROM %1 h").arg(head), joins.join(QLatin1Char('\n')),
                  QStringLiteral(" WHERE ") + where + QStringLiteral(") hs")});
}

QString headFilters()
{
    return lines({DateRange, QStringLiteral("   AND ") + pair("h.spcode", "spCode"),
                  QStringLiteral("   AND ") + pair("h.deptcode", "DeptCode"),
                  QStringLiteral("   AND h.State >= :State")});
}

const QString OrderDetailOrder = QStringLiteral("ORDER BY hs.Headno, b.pdtcode, b.pdtno");

//! Order lines per head and product line with what has arrived (or been delivered) so far,
//! without an order.
QString orderDetailRows(const QString &head, const QString &body, const QString &partner)
{
    const QString headCols = partner.isEmpty()
                                 ? QStringLiteral("hs.Headno, hs.hdate, hs.currencyname,"
                                                  " hs.taxamt, hs.RMBtaxamt")
                                 : QStringLiteral("hs.Headno, hs.hdate, hs.spName, hs.deptName,"
                                                  " hs.currencyname, hs.taxamt, hs.RMBtaxamt");
    return lines(
        {QStringLiteral("SELECT %1, %2,").arg(headCols, ProductLine),
         QStringLiteral("       sum(b.pqty) AS TotalPqty, sum(b.Taxamount) AS TotalAmount,"),
         QStringLiteral("       sum(coalesce(b.getpqty, 0)) AS TotalGetPqty,"),
         QStringLiteral("       sum(b.pqty) - sum(coalesce(b.getpqty, 0)) AS TotalNotArrive"),
         QStringLiteral("FROM ") + headSubselect(head, partner, headFilters()),
         QStringLiteral("JOIN %1 b ON b.headno = hs.Headno").arg(body), ProductLineJoins,
         QStringLiteral("WHERE ") + pair("b.pdtcode", "pdtCode"),
         QStringLiteral("GROUP BY %1, %2").arg(headCols, ProductLineGroup)});
}

QString orderDetail(const QString &head, const QString &body, const QString &partner)
{
    return lines({orderDetailRows(head, body, partner), OrderDetailOrder});
}

//! Per sales head and product line: the latest invoice's date and number, what was
//! invoiced (a red invoice reverses, whatever sign its lines were entered with), of
//! documents in the chosen state.
const QString InvoicedPerSalesLine = QStringLiteral(
    R"((SELECT sb.headno, sb.pdtcode, sb.pdtno, substr(max(ih.hdate), 1, 10) AS InvoiceDate,
        max(ih.InVoiceNO) AS InvoiceNO,
        sum(CASE WHEN ih.Flag = '2' THEN -abs(ib.pqty) ELSE ib.pqty END) AS InvoicePqty,
        sum(CASE WHEN ih.Flag = '2' THEN -abs(ib.Taxamount) ELSE ib.Taxamount END)
          AS InvoiceAmount
 FROM xInvoiceb ib
 JOIN xInvoiceh ih ON ih.headno = ib.headno
 JOIN XSaleb sb ON sb.headno = ib.LinkHeadno AND sb.bodyno = ib.LinkBodyno
 WHERE ih.State >= :State
 GROUP BY sb.headno, sb.pdtcode, sb.pdtno) inv)");

//! Per sales head and product line: the latest receipt's date and what receipts settled.
const QString ReceivedPerSalesLine = QStringLiteral(
    R"((SELECT sb.headno, sb.pdtcode, sb.pdtno, substr(max(rh.hdate), 1, 10) AS GatherDate,
        sum(rb.GetTaxamount) AS GatherAmount
 FROM XInComeb rb
 JOIN XIncomeh rh ON rh.headno = rb.headno
 JOIN XSaleb sb ON sb.headno = rb.LinkHeadno AND sb.bodyno = rb.LinkBodyno
 WHERE rh.State >= :State
 GROUP BY sb.headno, sb.pdtcode, sb.pdtno) rec)");

//! The sales detail with, per line, what has been invoiced and received and what is still
//! owed.
QString salesEnquiry()
{
    QStringList detail{"Headno",       "hdate",       "spName",       "deptName",
                       "currencyname", "taxamt",      "RMBtaxamt",    "pdtcode",
                       "PdtName",      "PdtNO",       "PdtSpecName",  "MeasureName",
                       "TotalPqty",    "TotalAmount", "TotalGetPqty", "TotalNotArrive"};
    detail.replaceInStrings(QRegularExpression("^"), QStringLiteral("d."));
    const auto joinOn = [](const QString &alias) {
        return QStringLiteral(" ON %1.headno = d.Headno AND %1.pdtcode = d.pdtcode"
                              " AND %1.pdtno = d.PdtNO")
            .arg(alias);
    };
    return lines(
        {QStringLiteral("SELECT ") + detail.join(QStringLiteral(", ")) + QLatin1Char(','),
         QStringLiteral("       inv.InvoiceDate, inv.InvoiceNO,"
                        " coalesce(inv.InvoicePqty, 0) AS InvoicePqty,"
                        " coalesce(inv.InvoiceAmount, 0) AS InvoiceAmount,"),
         QStringLiteral("       rec.GatherDate, coalesce(rec.GatherAmount, 0) AS GatherAmount,"),
         QStringLiteral("       d.TotalAmount - coalesce(rec.GatherAmount, 0) AS NotGatherAmount"),
         QStringLiteral("FROM (") + orderDetailRows("XSaleh", "XSaleb", "xCustome") +
             QStringLiteral(") d"),
         QStringLiteral("LEFT JOIN ") + InvoicedPerSalesLine + joinOn("inv"),
         QStringLiteral("LEFT JOIN ") + ReceivedPerSalesLine + joinOn("rec"),
         QStringLiteral("ORDER BY d.Headno, d.pdtcode, d.PdtNO")});
}

//! Stock-document lines of one kind per head and product line.
QString stockDetail(const QString &flag, const QString &partner)
{
    return lines({QStringLiteral("SELECT h.headno AS Headno, b.LinkHeadno AS LinkHeadNO,"
                                 " substr(h.hdate, 1, 10) AS hdate,"),
                  QStringLiteral("       sp.name AS spName, dp.name AS deptName, %1,"
                                 " sum(b.pqty) AS TotalPqty")
                      .arg(ProductLine),
                  QStringLiteral("FROM xStockChh h"),
                  QStringLiteral("JOIN xStockChb b ON b.headno = h.headno"),
                  QStringLiteral("JOIN %1 sp ON sp.code = h.spcode").arg(partner),
                  QStringLiteral("JOIN XDept dp ON dp.code = h.deptcode"), ProductLineJoins,
                  QStringLiteral("WHERE h.Flag = '%1' AND ").arg(flag) + headFilters(),
                  QStringLiteral("  AND ") + pair("b.pdtcode", "pdtCode"),
                  QStringLiteral("GROUP BY h.headno, b.LinkHeadno, h.hdate, sp.name, dp.name, ") +
                      ProductLineGroup,
                  QStringLiteral("ORDER BY h.headno, b.pdtcode, b.pdtno")});
}

//! The prices an order line was agreed at, per head and product line.
QString orderPrices(const QString &head, const QString &body, const QString &partner)
{
    const QString headCols =
        QStringLiteral("hs.Headno, hs.hdate, hs.spName, hs.deptName, hs.currencyname");
    return lines({QStringLiteral("SELECT %1, %2, b.price AS Price, sum(b.pqty) AS TotalPqty")
                      .arg(headCols, ProductLine),
                  QStringLiteral("FROM ") + headSubselect(head, partner, headFilters()),
                  QStringLiteral("JOIN %1 b ON b.headno = hs.Headno").arg(body), ProductLineJoins,
                  QStringLiteral("WHERE ") + pair("b.pdtcode", "pdtCode"),
                  QStringLiteral("  AND ") + pair("b.pdtno", "pdtno"),
                  QStringLiteral("GROUP BY %1, %2, b.price").arg(headCols, ProductLineGroup),
                  QStringLiteral("ORDER BY hs.Headno, b.pdtcode, b.pdtno")});
}

// Receipt lines with the sales order they settle.
const QString ReceiptDetailSql =
    QStringLiteral(R"(SELECT substr(h.hdate, 1, 10) AS hDate, c.name AS spName,
       b.LinkHeadno AS SaleHeadno,
       dp.name AS Deptname, b.GetTaxamount AS RMBTaxamt
FROM XIncomeh h
JOIN XInComeb b ON b.headno = h.headno
JOIN XSaleh s ON s.headno = b.LinkHeadno
JOIN xCustome c ON c.code = h.spcode
LEFT JOIN XDept dp ON dp.code = s.deptcode
WHERE substr(h.hdate, 1, 10) >= :BeginDate AND substr(h.hdate, 1, 10) <= :EndDate
  AND (h.spcode = :spCode OR trim(:tmpspCode) = '')
  AND (h.deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
  AND h.State >= :State
ORDER BY h.spcode, h.hdate, b.LinkHeadno)");

// The sales orders of the chosen state with what receipts of that state settled on them:
// an order nobody has paid yet is owed in full, so it shows too.
const QString ReceiptPerOrderSql =
    QStringLiteral(R"(SELECT c.name AS spName, s.headno AS SaleHeadno, s.RMBtaxamt AS SaleRMTTaxAmt,
       substr(s.hdate, 1, 10) AS hDate, dp.name AS Deptname,
       coalesce(r.received, 0) AS RMBTaxamt
FROM XSaleh s
JOIN xCustome c ON c.code = s.spcode
LEFT JOIN XDept dp ON dp.code = s.deptcode
LEFT JOIN (SELECT b.LinkHeadno AS headno, sum(b.GetTaxamount) AS received
           FROM XInComeb b
           JOIN XIncomeh h ON h.headno = b.headno
           WHERE h.State >= :State
           GROUP BY b.LinkHeadno) r ON r.headno = s.headno
WHERE (s.spcode = :spCode OR trim(:tmpspCode) = '')
  AND (s.deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
  AND s.State >= :State
ORDER BY c.name, s.hdate, dp.name)");

// Sales per salesman and customer; the department is the salesman's, as the report groups
// by salesman.
const QString SalesmanSql =
    QStringLiteral(R"(SELECT dp.name AS Deptname, e.name AS empName, c.name AS spname,
       sum(h.taxamt) AS TotaltaxAmt, sum(h.RMBtaxamt) AS TotalRMBtaxAmt
FROM XSaleh h
JOIN XPSEmp e ON e.code = h.mcode
JOIN XDept dp ON dp.code = e.deptcode
JOIN xCustome c ON c.code = h.spcode
WHERE substr(h.hdate, 1, 10) >= :BeginDate AND substr(h.hdate, 1, 10) <= :EndDate
  AND (e.deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
  AND h.State >= :State
GROUP BY dp.name, e.name, c.name
ORDER BY dp.name, e.name, c.name)");

// Product-line totals per customer, with the customer's category.
const QString CustomerSalesSql =
    QStringLiteral(R"(SELECT %1, h.spcode AS spCode, c.name AS spname,
       sum(b.pqty) AS TotalPqty, sum(b.Taxamount) AS TotalAmount, max(c.localcode) AS localcode
FROM XSaleb b
JOIN XSaleh h ON h.headno = b.headno
JOIN xCustome c ON c.code = h.spcode
%2
WHERE %3
GROUP BY %4, h.spcode, c.name
ORDER BY b.pdtcode, b.pdtno, max(c.localcode))")
        .arg(ProductLine, ProductLineJoins, rangeConditions().join(QStringLiteral("\n  AND ")),
             ProductLineGroup);

// Stock per store and product line, in the order of the store codes.
const QString StockSql = QStringLiteral(
    R"(SELECT st.name AS StoreName, s.pdtcode, p.name AS pdtname, pb.SpecName AS specname,
       sum(s.pqty) AS TotalPqty, sum(s.badnum) AS TotalBadNum
FROM XStock s
JOIN xprdtb pb ON pb.pdtcode = s.pdtcode AND pb.bodyno = s.pdtno
JOIN xprdth p ON p.pdtcode = s.pdtcode
JOIN XStore st ON st.code = s.storecode
WHERE (s.storecode = :StoreCode OR trim(:tmpStoreCode) = '')
  AND (s.pdtcode = :pdtCode OR trim(:tmppdtCode) = '')
  AND (s.pdtno = :pdtno OR trim(:tmppdtno) = '')
GROUP BY s.storecode, st.name, s.pdtcode, s.pdtno, p.name, pb.SpecName
ORDER BY s.storecode, s.pdtcode)");

const QString ProductsSql = QStringLiteral(
    R"(SELECT pb.pdtcode AS PdtCode, p.name AS PdtName, cl.name AS ClassName, pb.SpecName,
       pb.TInprice, pb.Inprice, pb.TSalePrice, pb.SalePrice, f.name AS spname, ci.Name AS ciName
FROM xprdtb pb
JOIN xprdth p ON p.pdtcode = pb.pdtcode
JOIN XPrdtClass cl ON cl.Code = p.classcode
LEFT JOIN xFatBn f ON f.code = pb.spcode
LEFT JOIN XCI ci ON ci.Code = p.cicode
WHERE (p.classcode = :ClassCode OR trim(:tmpClassCode) = '')
  AND (pb.pdtcode = :pdtCode OR trim(:tmppdtCode) = '')
  AND (pb.spcode = :spCode OR trim(:tmpspCode) = '')
ORDER BY p.classcode, pb.pdtcode)");

// The staff of one company, a department's people together as the report groups them; the
// sex prints by its name.
const QString StaffSql = QStringLiteral(
    R"(SELECT dp.name AS DeptName, e.code AS Code, e.name AS EmpName, sx.Name AS sexb,
       du.Name AS DutyName, e.tel1 AS Tel1, e.native AS Native, ed.Name AS EduName
FROM XPSEmp e
JOIN XDept dp ON dp.code = e.deptcode
LEFT JOIN XSexAttr sx ON sx.Code = e.sexb
LEFT JOIN XDuty du ON du.Code = e.duticode
LEFT JOIN XEdu ed ON ed.Code = e.educode
WHERE e.Corpcode = :CorpCode
  AND (e.deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
ORDER BY e.deptcode, e.code)");

QString partnerList(const QString &table)
{
    return QStringLiteral(R"(SELECT code, name, connectname, telephone, fax, bank, taxno
FROM %1
WHERE (localcode = :LocalCode OR trim(:tmpLocalCode) = '')
  AND (deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
ORDER BY code)")
        .arg(table);
}

// Sales of one product over time, whatever the documents' state.
const QString ProductSalesChartSql =
    QStringLiteral(R"(SELECT h.hdate AS SortDate, m.name AS MeasureName, sum(b.pqty) AS TotalPqty,
       sum(b.amount) AS TotalAmount
FROM XSaleb b
JOIN XSaleh h ON h.headno = b.headno
%1
WHERE substr(h.hdate, 1, 10) >= :BeginDate AND substr(h.hdate, 1, 10) <= :EndDate
  AND (b.pdtcode = :pdtCode OR trim(:tmppdtCode) = '')
GROUP BY h.hdate, m.name
ORDER BY h.hdate)")
        .arg(ProductLineJoins);

// The products sold most in the range: the first :SelCount by the measure the client names
// in :Measure ("TotalAmount" ranks by amount, anything else by quantity), ties in product
// code order so that the cut at N is the same on every database.
const QString SalesRankingChartSql = QStringLiteral(
    R"(SELECT b.pdtcode AS pdtCode, p.name AS PdtName, sum(b.pqty) AS TotalPqty,
       sum(b.amount) AS TotalAmount
FROM XSaleb b
JOIN XSaleh h ON h.headno = b.headno
LEFT JOIN xprdth p ON p.pdtcode = b.pdtcode
WHERE substr(h.hdate, 1, 10) >= :BeginDate AND substr(h.hdate, 1, 10) <= :EndDate
GROUP BY b.pdtcode, p.name
ORDER BY CASE WHEN :Measure = 'TotalAmount' THEN sum(b.amount) ELSE sum(b.pqty) END DESC,
         b.pdtcode
LIMIT CAST(:SelCount AS INTEGER))");

const QString MasterProvider = QStringLiteral("dspXMaster");
const QString FlagParam = QStringLiteral("SQLFLAG");
// The data layer's message for an opening refused before its query ran.
const QString Aborted = QStringLiteral("Operation aborted");

ProviderDefs masterProvider()
{
    return {{.name = MasterProvider, .description = QStringLiteral("报表")}};
}

QList<TRPTRDM::Report> buildReports()
{
    const QString day = QStringLiteral("substr(h.hdate, 1, 10) = :BeginDate");
    const QString month = QStringLiteral("substr(h.hdate, 1, 7) = :BeginDate");
    const QString dept = pair("h.deptcode", "DeptCode");
    const QString summaryState = QStringLiteral("h.State >= :State");
    return {
        {"RPTBUY", orderSummary("XBuyh", "XBuyb", rangeConditions()), "采购汇总"},
        {"RPTSALE", orderSummary("XSaleh", "XSaleb", rangeConditions()), "销售汇总"},
        {"RPTBUYIN", stockSummary("1"), "入库汇总"},
        {"RPTSALEOUT", stockSummary("3"), "销售出库汇总"},
        {"RPTSALEDAY", orderSummary("XSaleh", "XSaleb", {day, dept, summaryState}), "销售日报表"},
        {"RPTSALEMon", orderSummary("XSaleh", "XSaleb", {month, dept, summaryState}), "销售月报表"},
        {"RPTCUSTSALE", CustomerSalesSql, "客户销售分析"},
        {"RPTBUYDETAIL", orderDetail("XBuyh", "XBuyb", "xFatBn"), "采购明细"},
        {"RPTBUYSTAT", orderDetail("XBuyh", "XBuyb", QString()), "采购在途"},
        {"RPTSALEDETAIL", orderDetail("XSaleh", "XSaleb", "xCustome"), "销售明细"},
        {"RPTSALEALL", salesEnquiry(), "销售综合查询"},
        {"RPTBUYINDETAIL", stockDetail("1", "xFatBn"), "采购入库明细"},
        {"RPTSALEOUTDETAIL", stockDetail("3", "xCustome"), "销售出库明细"},
        {"RPTBUYPRICE", orderPrices("XBuyh", "XBuyb", "xFatBn"), "采购价格分析"},
        {"RPTSALEPRICE", orderPrices("XSaleh", "XSaleb", "xCustome"), "销售价格分析"},
        {"RPTGATHERDETAIL", ReceiptDetailSql, "已收明晰"},
        {"RPTGATHERCUST", ReceiptPerOrderSql, "已收明晰"},
        {"RPTEMPGAIN", SalesmanSql, "销售人员业绩统计"},
        {"RPTSTOCKDETAIL", StockSql, "库存汇总"},
        {"RPTPRDT", ProductsSql, "产品资料"},
        {"RPTPSEMP", StaffSql, "员工资料"},
        {"RPTCUST", partnerList("XCustome"), "客户资料"},
        {"RPTFATBN", partnerList("xFatBn"), "厂商资料"},
        {"ChartClassSale", ProductSalesChartSql, "货品销售分析图"},
        {"ChartSaleOrder", SalesRankingChartSql, "货品销售排行"},
    };
}

} // namespace

const QList<TRPTRDM::Report> &TRPTRDM::reports()
{
    static const QList<Report> all = buildReports();
    return all;
}

TRPTRDM::TRPTRDM(QObject *parent)
    : ProviderModule(QStringLiteral("RPTRDM"), masterProvider(), parent)
{
    for (const Report &r : reports())
        new TLumoSQL(r.flag, r.sql, QString(), r.description, this);
}

TLumoSQL *TRPTRDM::statementFor(const QString &flag) const
{
    const QList<TLumoSQL *> holders = findChildren<TLumoSQL *>(Qt::FindDirectChildrenOnly);
    for (TLumoSQL *holder : holders) {
        if (holder->hasFlag(flag))
            return holder;
    }
    return nullptr;
}

TLumoDatasetprovider *TRPTRDM::reportProvider(const TLumoSQL &holder)
{
    TLumoDatasetprovider *&p = m_reportProviders[&holder];
    if (!p) {
        const bool nested = !holder.detailSql().trimmed().isEmpty();
        const ProviderDef def{.name = MasterProvider,
                              .sql = holder.sql(),
                              .detailField = nested ? QStringLiteral("qryXDetail") : QString(),
                              .detailSql = nested ? holder.detailSql() : QString(),
                              .description = holder.description()};
        p = new TLumoDatasetprovider(def, connection(), this);
    }
    return p;
}

Packet TRPTRDM::getRecords(const GetRecordsRequest &request)
{
    if (request.provider.compare(MasterProvider, Qt::CaseInsensitive) != 0)
        return ProviderModule::getRecords(request);

    // A later packet of the same opening continues the report already chosen.
    const bool continues = !(request.options & (grMetaData | grReset)) && m_open &&
                           request.params.isEmpty() && request.commandText.isEmpty();
    if (continues) {
        const Packet packet = m_open->getRecords(request);
        if (packet.eof)
            m_open = nullptr;
        return packet;
    }

    // Before the query opens: the report is the holder filed under SQLFLAG, which the
    // statement itself does not take. No flag, or an unknown one, aborts the opening.
    m_open = nullptr;
    GetRecordsRequest report = request;
    const auto flag = std::find_if(report.params.begin(), report.params.end(), [](const Param &p) {
        return p.name.compare(FlagParam, Qt::CaseInsensitive) == 0;
    });
    if (flag == report.params.end())
        throw ServerError(Aborted);
    const TLumoSQL *holder = statementFor(flag->value.toString());
    if (!holder)
        throw ServerError(Aborted);
    const QString user = operatorCode();
    if (!user.isEmpty())
        RightsStore::requireReport(database(), user, flag->value.toString());
    report.params.erase(flag);
    TLumoDatasetprovider *provider = reportProvider(*holder);
    Packet packet = provider->getRecords(report);
    if (!packet.eof)
        m_open = provider;
    return packet;
}

} // namespace korvane
