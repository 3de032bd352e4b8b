#include "URPTDecl.h"

#include "ReportCursor.h"

#include <algorithm>
#include <cmath>

namespace korvane::reports {

using report::ColumnFunction;
using report::HeaderCell;
using report::ReportColumn;
using report::ReportDefinition;
using report::ReportRow;

namespace {

// Column kinds. Every number prints with two decimals, as the work windows show them.

ReportColumn text(const char *title, const char *field, double widthMm)
{
    ReportColumn c;
    c.title = QString::fromUtf8(title);
    c.field = QString::fromUtf8(field);
    c.widthMm = widthMm;
    return c;
}

ReportColumn unit(const char *title, const char *field, double widthMm)
{
    ReportColumn c = text(title, field, widthMm);
    c.align = Qt::AlignHCenter;
    return c;
}

ReportColumn number(const char *title, const char *field, double widthMm)
{
    ReportColumn c = text(title, field, widthMm);
    c.align = Qt::AlignRight;
    c.format = QStringLiteral("0.00");
    return c;
}

ReportColumn summed(const char *title, const char *field, double widthMm)
{
    ReportColumn c = number(title, field, widthMm);
    c.summed = true;
    return c;
}

//! A summed column the row does not hold, computed from its fields.
ReportColumn computed(const char *title, double widthMm, ColumnFunction compute)
{
    ReportColumn c = summed(title, "", widthMm);
    c.compute = std::move(compute);
    return c;
}

qint64 cents(double amount)
{
    return std::llround(amount * 100);
}

//! Money owed: the amounts as they print, to the cent, one less the other, so that an
//! order paid in full owes 0.00 and the line reads as its two neighbours subtract.
ColumnFunction difference(const QString &minuend, const QString &subtrahend)
{
    return [=](const ReportRow &row) {
        return QVariant(double(cents(row.number(minuend)) - cents(row.number(subtrahend))) / 100);
    };
}

ColumnFunction addition(const QString &first, const QString &second)
{
    return [=](const ReportRow &row) { return QVariant(row.number(first) + row.number(second)); };
}

struct Grouping
{
    QString key;
    QStringList shownOnce;
    QStringList outerKeys = {};
};

const Grouping Plain{};

FormDecl form(const char *className, QStringList codes, const char *title,
              QPageLayout::Orientation orientation, QVector<ReportColumn> columns,
              const Grouping &grouping = Plain)
{
    ReportDefinition d;
    d.title = QString::fromUtf8(title);
    d.orientation = orientation;
    d.groupKey = grouping.key;
    d.outerGroupKeys = grouping.outerKeys;
    for (ReportColumn &c : columns)
        c.shownOnce =
            !c.field.isEmpty() && grouping.shownOnce.contains(c.field, Qt::CaseInsensitive);
    d.columns = std::move(columns);
    return {QString::fromUtf8(className), std::move(codes), std::move(d)};
}

constexpr auto Portrait = QPageLayout::Portrait;
constexpr auto Landscape = QPageLayout::Landscape;

// The shared shapes of the families.

//! Product-line totals: code, name, variant, unit, quantity and, for orders, the amount.
QVector<ReportColumn> productTotals(const char *quantity, bool amount)
{
    if (!amount)
        return {text("货品编码", "pdtcode", 30), text("货品名称", "PdtName", 60),
                text("规格型号", "PdtSpecName", 50), unit("单位", "MeasureName", 20),
                summed(quantity, "TotalPqty", 30)};
    return {text("货品编码", "pdtcode", 28),     text("货品名称", "PdtName", 45),
            text("规格型号", "PdtSpecName", 37), unit("单位", "MeasureName", 15),
            summed(quantity, "TotalPqty", 30),   summed("金额", "TotalAmount", 35)};
}

const Grouping ByProduct{QStringLiteral("pdtcode"), {"pdtcode", "PdtName"}};
const Grouping ByDocument{QStringLiteral("Headno"), {"Headno", "hdate", "deptName", "spName"}};

//! The document's number, date, department and partner, then the product line.
QVector<ReportColumn> documentLines(const char *documentNo, const char *date, const char *dept,
                                    const char *partner, double partnerMm)
{
    return {text(documentNo, "Headno", 30),      text(date, "hdate", 22),
            text(dept, "deptName", 28),          text(partner, "spName", partnerMm),
            text("货品编码", "pdtcode", 25),     text("货品名称", "PdtName", 40),
            text("规格型号", "PdtSpecName", 30), unit("单位", "MeasureName", 14)};
}

//! Order lines per document: quantity and amount.
QVector<ReportColumn> orderDetail(const char *documentNo, const char *date, const char *dept,
                                  const char *partner, const char *quantity)
{
    return documentLines(documentNo, date, dept, partner, 40)
           << summed(quantity, "TotalPqty", 22) << summed("金额", "TotalAmount", 26);
}

//! Stock-document lines per document: quantity and the order they fulfil.
QVector<ReportColumn> stockDetail(const char *documentNo, const char *date, const char *partner,
                                  const char *quantity, const char *order)
{
    QVector<ReportColumn> columns = documentLines(documentNo, date, "验收部门", partner, 36);
    columns[0].widthMm = 28;
    columns[1].widthMm = 22;
    columns[2].widthMm = 26;
    columns[5].widthMm = 36;
    columns[6].widthMm = 28;
    columns[7].widthMm = 13;
    return columns << summed(quantity, "TotalPqty", 22) << text(order, "LinkHeadno", 28);
}

//! The prices agreed per document line, closed by the highest, lowest and average price.
FormDecl priceForm(const char *className, const char *code, const char *title,
                   const char *documentNo, const char *date, const char *dept, const char *partner,
                   const char *quantity)
{
    FormDecl f = form(className, {code}, title, Portrait,
                      {text(documentNo, "Headno", 28), text(date, "hdate", 22),
                       text(dept, "deptName", 24), text(partner, "spName", 36),
                       text("规格型号", "PdtSpecName", 26), unit("单位", "MeasureName", 14),
                       number(quantity, "TotalPqty", 20), number("单价", "price", 20)});
    f.definition.closing = true;
    f.definition.closingLine.field = QStringLiteral("Price");
    return f;
}

//! The sales enquiry: the sales line under "货品销售情况", then what was invoiced, what was
//! received and what is still owed, each under its heading; "备注" is left for writing.
FormDecl salesEnquiry()
{
    FormDecl f = form("TfrmRPTSaleAll", {"RPTSALEALL"}, "销售综合查询", Landscape,
                      {text("销售单号", "Headno", 22), text("销售时间", "hdate", 17),
                       text("销售部门", "deptName", 16), text("货品编码", "pdtcode", 16),
                       text("货品名称", "PdtName", 22), text("规格型号", "PdtSpecName", 16),
                       unit("单位", "MeasureName", 10), summed("销售数量", "TotalPqty", 16),
                       summed("金额", "TotalAmount", 17), text("发票日期", "InvoiceDate", 17),
                       text("发票号码", "InvoiceNO", 18), summed("数量", "InvoicePqty", 12),
                       summed("金额", "InvoiceAmount", 17), text("收款日", "GatherDate", 17),
                       summed("金额", "GatherAmount", 17),
                       summed("应收(尚欠)", "NotGatherAmount", 18), text("备注", "", 9)},
                      ByDocument);
    QVector<HeaderCell> &h = f.definition.header;
    const auto whole = [&](int column) {
        h << HeaderCell{f.definition.columns.at(column).title, 0, column, 1, 2};
    };
    const auto under = [&](const char *heading, int first, int count) {
        h << HeaderCell{QString::fromUtf8(heading), 0, first, count, 1};
        for (int c = first; c < first + count; ++c)
            h << HeaderCell{f.definition.columns.at(c).title, 1, c, 1, 1};
    };
    for (int c = 0; c < 4; ++c)
        whole(c);
    under("货品销售情况", 4, 5);
    under("发票情况", 9, 4);
    under("已收", 13, 2);
    under("应收", 15, 1);
    whole(16);
    return f;
}

QVector<FormDecl> buildForms()
{
    const QString owed = QStringLiteral("SaleRMTTaxAmt");
    const QString received = QStringLiteral("RMBTaxamt");
    QVector<FormDecl> forms{
        form("TfrmRPTBuy", {"RPTBUY"}, "采购汇总表", Portrait, productTotals("采购数量", true),
             ByProduct),
        form("TfrmRPTBuyDetail", {"RPTBUYDETAIL"}, "采购明细表", Landscape,
             orderDetail("采购单号", "采购时间", "采购部门", "厂商", "采购数量"), ByDocument),
        form("TfrmRPTBuyStat", {"RPTBUYSTAT"}, "采购在途量查询", Portrait,
             {text("采购单号", "Headno", 28), text("采购时间", "hdate", 20),
              text("货品编码", "pdtcode", 22), text("货品名称", "PdtName", 30),
              text("规格型号", "PdtSpecName", 22), unit("单位", "MeasureName", 12),
              summed("采购数量", "TotalPqty", 18), summed("已到货数", "TotalGetPqty", 19),
              summed("未到货数", "TotalNotArrive", 19)},
             {QStringLiteral("Headno"), {"Headno", "hdate"}}),
        form("TfrmRPTBuyIn", {"RPTBUYIN"}, "采购入库汇总表", Portrait,
             productTotals("入库数量", false), ByProduct),
        form("TfrmRPTBuyInDetail", {"RPTBUYINDETAIL"}, "采购入库明细表", Landscape,
             stockDetail("入库单号", "入库时间", "厂商", "入库数量", "采购单号"), ByDocument),
        priceForm("TfrmRPTBuyPrice", "RPTBUYPRICE", "采购历史价格分析", "采购单号", "采购时间",
                  "采购部门", "厂商", "采购数量"),
        form("TfrmRPTSale", {"RPTSALE"}, "销售汇总表", Portrait, productTotals("销售数量", true),
             ByProduct),
        form("TfrmRPTSaleDetail", {"RPTSALEDETAIL"}, "销售明细表", Landscape,
             orderDetail("销售单号", "销售时间", "销售部门", "客户", "销售数量"), ByDocument),
        form("TfrmRPTSaleOut", {"RPTSALEOUT"}, "销售出库汇总表", Portrait,
             productTotals("出库数量", false), ByProduct),
        form("TfrmRPTSaleOutDetail", {"RPTSALEOUTDETAIL"}, "销售出库明细表", Landscape,
             stockDetail("出库单号", "出库时间", "客户", "出库数量", "销售单号"), ByDocument),
        salesEnquiry(),
        form("TfrmRPTCustSale", {"RPTCUSTSALE"}, "客户销售分析表", Portrait,
             {text("货品编码", "pdtcode", 24), text("货品名称", "PdtName", 34),
              text("规格型号", "PdtSpecName", 28), text("客户", "SpName", 40),
              unit("单位", "MeasureName", 12), summed("销售数量", "TotalPqty", 24),
              summed("金额", "TotalAmount", 28)},
             ByProduct),
        // The partner of a sales line is its customer, and is headed so.
        priceForm("TfrmRPTSalePrice", "RPTSALEPRICE", "销售历史价格分析", "销售单号", "销售时间",
                  "销售部门", "客户", "销售数量"),
        form("TfrmRPTempGain", {"RPTEMPGAIN"}, "销售人员业绩报表", Portrait,
             {text("部门名称", "Deptname", 45), text("销售员", "empName", 40),
              text("客户名称", "spname", 65), summed("销售额", "TotalRMBtaxAmt", 40)},
             {QStringLiteral("empName"), {"Deptname"}}),
        form("TfrmRPTGatherDetail", {"RPTGATHERDETAIL"}, "已收帐款明细表", Portrait,
             {text("客户", "spName", 50), text("收款日期", "hDate", 35),
              text("销售单号", "SaleHeadno", 35), text("销售部门", "Deptname", 35),
              summed("收款额", "RMBTaxamt", 35)},
             {QStringLiteral("spname"), {"spName"}}),
        form("TfrmRPTGatherCust", {"RPTGATHERCUST"}, "客户应收汇总", Portrait,
             {text("客户", "spName", 34), text("销售单号", "SaleHeadno", 28),
              text("销售部门", "Deptname", 24), text("销售日期", "hDate", 32),
              summed("销售金额", "SaleRMTTaxAmt", 24), summed("已收金额", "RMBTaxamt", 24),
              computed("应收（尚欠）", 24, difference(owed, received))},
             {QStringLiteral("spName"), {"spName"}}),
        // A product's stock in the next store is a group of its own, so that the store's
        // name prints.
        form("TfrmRPTStockDetail", {"RPTSTOCKDETAIL"}, "库存明细表", Portrait,
             {text("仓库名称", "StoreName", 30), text("货品代码", "pdtcode", 25),
              text("货品名称", "pdtname", 40), text("货品项次", "specname", 30),
              summed("帐面正品", "TotalPqty", 22), summed("帐面次品", "TotalBadNum", 22),
              computed("合计", 21,
                       addition(QStringLiteral("TotalPqty"), QStringLiteral("TotalBadNum")))},
             {QStringLiteral("pdtcode"), {"StoreName", "pdtcode"}, {"StoreName"}}),
        form("TfrmRPTPrdt", {"RPTPRDT"}, "产品资料表", Portrait,
             {text("大类名称", "ClassName", 22), text("货品代码", "PdtCode", 22),
              text("货品名称", "PdtName", 30), text("规格", "SpecName", 24),
              text("品牌", "ciName", 20), text("供应商", "SpName", 32),
              number("含税进价", "TInprice", 20), number("含税售价", "TSalePrice", 20)},
             {QStringLiteral("pdtcode"), {"ClassName", "PdtCode", "PdtName"}}),
        form("TfrmRPTemp", {"RPTPSEMP"}, "员工资料表", Portrait,
             {text("部门", "DeptName", 28), text("员工编号", "Code", 20),
              text("员工姓名", "EmpName", 24), unit("性别", "sexb", 12),
              text("职务", "DutyName", 24), text("电话", "Tel1", 30), text("籍贯", "Native", 28),
              text("学历", "EduName", 24)},
             {QStringLiteral("DeptName"), {"DeptName"}}),
        // Customers and suppliers share the form; the condition window sets the title.
        form("TfrmRPTCust", {"RPTCUST", "RPTFATBN"}, "客户资料报表", Portrait,
             {text("编号", "code", 20), text("名称", "name", 45), text("联系人", "connectname", 20),
              text("电话", "telephone", 25), text("传真", "fax", 25), text("开户银行", "bank", 30),
              text(" 纳税号", "taxno", 25)}),
    };
    return forms;
}

} // namespace

const QVector<FormDecl> &formDecls()
{
    static const QVector<FormDecl> forms = buildForms();
    return forms;
}

const FormDecl *formDeclFor(const QString &reportCode)
{
    const QString code = reportCode.trimmed();
    const QVector<FormDecl> &forms = formDecls();
    const auto found = std::find_if(forms.begin(), forms.end(), [&](const FormDecl &f) {
        return f.codes.contains(code, Qt::CaseInsensitive);
    });
    return found == forms.end() ? nullptr : &*found;
}

} // namespace korvane::reports
