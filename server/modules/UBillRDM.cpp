#include "UBillRDM.h"

#include "AutoGainNO.h"
#include "SchemaCatalog.h"

#include <QSqlQuery>

namespace korvane {

namespace {

//! How a document head names its stores.
enum class StoreJoin {
    None,    // no store on the head
    Store,   // StoreName of Storecode
    Transfer // StoreName of Storecode and StoreNameIn of StorecodeIn
};

//! One document provider: a head/line table pair and the head's filters.
struct DocumentDef
{
    const char *provider;
    const char *head;
    const char *body;
    const char *nested;      // the nested field the lines travel in, as the windows name it
    const char *partner;     // partner table joined for the partner's name; nullptr: none
    const char *partnerName; // the name column's spelling (an empty column without a partner)
    StoreJoin stores;
    bool byFlag;             // the kind Flag = :Flag is required
    QStringList filterPairs; // optional value/twin filters on head columns
    const char *description;
};

const QList<DocumentDef> &documents()
{
    // clang-format off
    static const QList<DocumentDef> defs{
        {"dspBuyInOut",  "xStockChh", "xStockChb", "qryBuyInOutD",  "xFatBn",   "Spname", StoreJoin::Store,    true,  {"StoreCode", "spCode", "DeptCode"}, "采购出入库"},
        {"dspSaleInOut", "xStockChh", "xStockChb", "qrySaleInOutD", "xCustome", "Spname", StoreJoin::Store,    true,  {"StoreCode", "spCode", "DeptCode"}, "销售出入库"},
        {"dspStockch",   "xStockChh", "xStockChb", "qryStockChD",   nullptr,    "Spname", StoreJoin::Transfer, true,  {"StoreCode", "spCode", "DeptCode"}, "库存异动"},
        {"dspIncome",    "XIncomeh",  "XInComeb",  "qryInComeD",    "xCustome", "Spname", StoreJoin::None,     false, {"spCode", "DeptCode"},              "收款单"},
        {"dspOutCome",   "XOutcomeh", "XoUTComeb", "qryOutComeD",   "xFatBn",   "Spname", StoreJoin::None,     false, {"spCode", "DeptCode"},              "付款单"},
        {"dspBuy",       "XBuyh",     "XBuyb",     "qryBuyD",       "xFatBn",   "Spname", StoreJoin::Store,    false, {"StoreCode", "spCode", "DeptCode"}, "采购单"},
        {"dspSale",      "XSALEh",    "XSALEb",    "qrySaleD",      "xCustome", "Spname", StoreJoin::Store,    false, {"StoreCode", "spCode", "DeptCode"}, "销售单"},
        {"dspInvoice",   "xInvoiceh", "xInvoiceb", "qryInvoiceD",   "xCustome", "spName", StoreJoin::None,     true,  {"InOutFlag", "spCode", "DeptCode"}, "发票"},
    };
    // clang-format on
    return defs;
}

//! Heads dated within the range of two days ("yyyy-MM-dd"): the stored text compared as it
//! stands, so an index on hdate (or one that carries it) serves the filter; the end day's
//! latest time closes the range whatever the collation does with punctuation.
QString dateRange(const QString &alias, const QString &beginParam)
{
    return QStringLiteral("%1.hdate >= :%2 AND %1.hdate <= :EndDate || ' 23:59:59'")
        .arg(alias, beginParam);
}

//! A filter on a head column that the client switches off with an empty (or blank) twin.
QString filterPair(const QString &alias, const QString &param)
{
    return QStringLiteral("\n  AND (%1.%2 = :%2 OR trim(:tmp%2) = '')").arg(alias, param);
}

//! Heads of a document kind: every head column with the names of its store(s), partner,
//! department and handler, within the date range and the filters, in number order.
QString headStatement(const DocumentDef &d)
{
    QString names = QStringLiteral("h.*");
    QString joins;
    if (d.stores != StoreJoin::None) {
        names += QStringLiteral(", st.name AS StoreName");
        joins += QStringLiteral("\nLEFT JOIN XStore st ON st.code = h.Storecode");
    }
    if (d.stores == StoreJoin::Transfer) {
        names += QStringLiteral(", sti.name AS StoreNameIn");
        joins += QStringLiteral("\nLEFT JOIN XStore sti ON sti.code = h.StorecodeIn");
    }
    if (d.partner) {
        names += QStringLiteral(", sp.name AS %1").arg(QLatin1String(d.partnerName));
        joins += QStringLiteral("\nLEFT JOIN %1 sp ON sp.code = h.spcode").arg(d.partner);
    } else if (d.partnerName) {
        names +=
            QStringLiteral(", CAST('' AS VARCHAR(140)) AS %1").arg(QLatin1String(d.partnerName));
    }
    names += QStringLiteral(", dp.name AS DeptName, em.name AS MName");
    joins += QStringLiteral("\nLEFT JOIN XDept dp ON dp.code = h.deptcode"
                            "\nLEFT JOIN XPSEmp em ON em.code = h.mcode");

    QString where = dateRange(QStringLiteral("h"), QStringLiteral("BeginDate"));
    if (d.byFlag)
        where += QStringLiteral("\n  AND h.Flag = :Flag");
    for (const QString &pair : d.filterPairs)
        where += filterPair(QStringLiteral("h"), pair);

    return QStringLiteral("SELECT %1\nFROM %2 h%3\nWHERE %4\nORDER BY h.headno")
        .arg(names, QLatin1String(d.head), joins, where);
}

//! The lines of one head with their product and variant names.
QString lineStatement(const char *body)
{
    return QStringLiteral(R"(SELECT b.*, p.name AS PdtName, pb.SpecName AS specname
FROM %1 b
LEFT JOIN xprdth p ON p.pdtcode = b.pdtcode
LEFT JOIN xprdtb pb ON pb.pdtcode = b.pdtcode AND pb.bodyno = b.pdtno
WHERE b.headno = :headno
ORDER BY b.headno, b.bodyno)")
        .arg(QLatin1String(body));
}

//! Lines of checked orders of one partner, to be read into a receipt or delivery.
QString orderLinesStatement(const char *head, const char *body)
{
    return QStringLiteral(R"(SELECT h.hdate, b.*, p.name AS PdtName, pb.SpecName AS specname
FROM %1 h
JOIN %2 b ON b.headno = h.headno
LEFT JOIN xprdth p ON p.pdtcode = b.pdtcode
LEFT JOIN xprdtb pb ON pb.pdtcode = b.pdtcode AND pb.bodyno = b.pdtno
WHERE h.State = '2'
  AND %3
  AND h.spcode = :spCode
  AND (h.storecode = :StoreCode OR trim(:tmpStoreCode) = '')
ORDER BY h.hdate, b.headno, b.bodyno)")
        .arg(QLatin1String(head), QLatin1String(body),
             dateRange(QStringLiteral("h"), QStringLiteral("beginDate")));
}

//! Checked orders of one partner and currency with an amount still open: the order total
//! less what the settling lines have settled so far (entered or checked).
QString openAmountStatement(const char *head, const char *settleBody)
{
    return QStringLiteral(R"(SELECT h.*, st.name AS Storename, dp.name AS DeptName,
       coalesce(s.Payed, 0) AS Payed, coalesce(h.taxamt, 0) - coalesce(s.Payed, 0) AS NeedPay
FROM %1 h
LEFT JOIN XStore st ON st.code = h.storecode
LEFT JOIN XDept dp ON dp.code = h.deptcode
LEFT JOIN (SELECT LinkHeadno, sum(GetTaxamount) AS Payed FROM %2 GROUP BY LinkHeadno) s
  ON s.LinkHeadno = h.headno
WHERE h.State = '2'
  AND %3
  AND h.spcode = :spCode AND h.currency = :currency
  AND coalesce(h.taxamt, 0) - coalesce(s.Payed, 0) > 0
ORDER BY h.hdate, h.headno)")
        .arg(QLatin1String(head), QLatin1String(settleBody),
             dateRange(QStringLiteral("h"), QStringLiteral("BeginDate")));
}

const QString SaleToBuySql =
    QStringLiteral(R"(SELECT h.hdate, h.spcode, h.storecode, h.deptcode, h.mcode,
       c.name AS spName, st.name AS StoreName, dp.name AS DeptName, em.name AS MName,
       b.*, p.name AS PdtName, pb.SpecName AS specname,
       b.pqty - coalesce(b.getpqty, 0) AS Needpqty
FROM XSaleh h
JOIN XSaleb b ON b.headno = h.headno
JOIN xCustome c ON c.code = h.spcode
JOIN XStore st ON st.code = h.storecode
JOIN XDept dp ON dp.code = h.deptcode
JOIN XPSEmp em ON em.code = h.mcode
LEFT JOIN xprdth p ON p.pdtcode = b.pdtcode
LEFT JOIN xprdtb pb ON pb.pdtcode = b.pdtcode AND pb.bodyno = b.pdtno
WHERE %1
  AND (h.storecode = :StoreCode OR trim(:tmpStoreCode) = '')
  AND (h.spcode = :spCode OR trim(:tmpspCode) = '')
  AND (h.deptcode = :DeptCode OR trim(:tmpDeptCode) = '')
  AND b.pqty - coalesce(b.getpqty, 0) > 0
ORDER BY h.hdate, b.headno, b.bodyno)")
        .arg(dateRange(QStringLiteral("h"), QStringLiteral("beginDate")));

const QString StockToBuySql =
    QStringLiteral(R"(SELECT s.storecode, s.pdtcode, s.pdtno, s.pqty, s.stdpqty, s.lowpqty,
       coalesce(s.lowpqty, 0) - coalesce(s.pqty, 0) - coalesce(s.stdpqty, 0) AS Needpqty,
       pb.SpecName, pb.TInprice, st.name AS StoreName, p.name AS Pdtname
FROM XStock s
LEFT JOIN xprdtb pb ON pb.pdtcode = s.pdtcode AND pb.bodyno = s.pdtno
LEFT JOIN xprdth p ON p.pdtcode = s.pdtcode
LEFT JOIN XStore st ON st.code = s.storecode
WHERE s.storecode = :Storecode
  AND (s.pdtcode = :pdtcode OR trim(:tmppdtcode) = '')
  AND (s.pdtno = :pdtNo OR trim(:tmppdtNo) = '')
  AND coalesce(s.lowpqty, 0) - coalesce(s.pqty, 0) - coalesce(s.stdpqty, 0) > 0
ORDER BY s.pdtcode, s.pdtno)");

} // namespace

ProviderDefs TBillRDM::providerDefs()
{
    ProviderDefs defs;
    for (const DocumentDef &d : documents()) {
        defs << ProviderDef{.name = d.provider,
                            .sql = headStatement(d),
                            .detailField = d.nested,
                            .detailSql = lineStatement(d.body),
                            .description = d.description};
    }
    defs << ProviderDef{.name = "dspXSaleamt",
                        .sql = openAmountStatement("XSaleh", "XInComeb"),
                        .description = "应收",
                        .updateTable = "XSaleh"}
         << ProviderDef{.name = "dspXBuyamt",
                        .sql = openAmountStatement("XBuyh", "XoUTComeb"),
                        .description = "应付",
                        .updateTable = "XBuyh"}
         << ProviderDef{.name = "dspXSale",
                        .sql = orderLinesStatement("XSaleh", "XSaleb"),
                        .description = "读销售单",
                        .updateTable = "XSaleh"}
         << ProviderDef{.name = "dspXBuy",
                        .sql = orderLinesStatement("XBuyh", "XBuyb"),
                        .description = "读采购单",
                        .updateTable = "XBuyh"}
         << ProviderDef{.name = "dspSale2Buy",
                        .sql = SaleToBuySql,
                        .description = "销售转采购",
                        .updateTable = "XSaleh"}
         << ProviderDef{.name = "dspStock2Buy",
                        .sql = StockToBuySql,
                        .description = "库存不足转采购",
                        .updateTable = "XStock"}
         << ProviderDef{.name = "dspQry", .description = "自由查询"};
    return defs;
}

bool TBillRDM::keyExist(const QString &tableName, const QString &fieldName, const QString &value)
{
    // Only a table and a column the database has reach the statement; the value is bound.
    const QString table = catalog().tableName(tableName);
    const QString field = table.isEmpty() ? QString() : catalog().columnName(table, fieldName);
    if (field.isEmpty())
        return false;
    QSqlQuery q(database());
    q.prepare(
        QStringLiteral("SELECT count(*) AS KeyCount FROM %1 WHERE %2 = :value").arg(table, field));
    q.bindValue(QStringLiteral(":value"), value);
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}

TBillRDM::TBillRDM(QObject *parent)
    : ProviderModule(QStringLiteral("BillRDM"), providerDefs(), parent)
{
    // The check accepts every line and changes nothing: the call names neither the
    // document nor its kind, and it comes before the checked head is saved.
    addMethod(QStringLiteral("CheckBill"),
              [](const QVariantList &, QVariantList *) { return QVariant(true); });
    // A cancelled new document's number stays used.
    addMethod(QStringLiteral("CancelHeadno"),
              [](const QVariantList &, QVariantList *) { return QVariant(); });
    addMethod(QStringLiteral("keyExist"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(
            keyExist(args.at(0).toString(), args.at(1).toString(), args.at(2).toString()));
    });
    addMethod(QStringLiteral("GetHeadno"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(GetHeadno(database(), catalog(), args.at(0).toString()));
    });
}

} // namespace korvane
