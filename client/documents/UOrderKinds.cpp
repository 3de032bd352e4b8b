#include "UOrderKinds.h"

using namespace docdecl;

namespace {

constexpr auto S = korvane::FieldType::String;
constexpr auto F = korvane::FieldType::Float;

TDocFieldDecl field(const char *name, const char *label, int width, bool required = false)
{
    return {QLatin1String(name), u(label), S, width, required};
}

TDocFieldDecl number(const char *name, const char *label, bool required = false)
{
    return {QLatin1String(name), u(label), F, 0, required};
}

TDocFieldDecl money(const char *name, const char *label, bool required = false)
{
    TDocFieldDecl decl = number(name, label, required);
    decl.money = true;
    return decl;
}

//! What the purchase and the sales order change of the shared shape.
struct TOrderKind
{
    const char *caption, *headNo, *store, *partner, *partnerName, *dept, *employee, *employeeName,
        *state, *packages, *getDay, *getAmtDay, *datePrompt, *verb;
    bool sale;
};

QList<TDocFieldDecl> orderHeadFields(const TOrderKind &k)
{
    TDocFieldDecl storeName = field("StoreName", k.sale ? k.store : "仓库名称", 100, k.sale);
    return {
        field("headno", k.headNo, 15, true),
        field("hdate", "日期", 19, true),
        field("storecode", k.store, 10, true),
        storeName,
        field("spcode", k.partner, 10, true),
        field("Spname", k.partnerName, 140),
        field("currency", "币别", 4, true),
        number("exchgrate", "汇率", true),
        money("amt", "总金额"),
        money("Tax", "税额"),
        money("taxamt", "价税合计"),
        money("RMBtaxamt", "本币金额"),
        field("Addr", "交货地点", 255),
        field("Deptcode", "部门代码", 10, true),
        field("DeptName", k.dept, 100),
        field("mcode", k.employee, 10, true),
        field("MName", k.employeeName, 10),
        field("Assessorcode", "审核人代码", 10),
        field("AssessorDate", "审核日期", 19),
        field("State", k.state, 1),
        field("note", "说明", 100),
        field("contman", "联系人", 20),
        field("inputer", "录入人代码", 10),
    };
}

QList<TDocFieldDecl> orderLineFields(const TOrderKind &k)
{
    TDocFieldDecl taxName = field("TaxName", "税别", 30);
    taxName.lookupList = QStringLiteral("cdsXTaxAttr");
    taxName.lookupKey = QStringLiteral("taxtype");
    QList<TDocFieldDecl> fields{
        hidden(field("headno", k.headNo, 15, true)),
        hidden(field("bodyno", "项次", 4, true)),
        field("pdtcode", "货品代码", 30, true),
        gridReadOnly(field("PdtName", "货品名称", 60)),
        field("pdtno", "货品项次", 4, true),
        gridReadOnly(field("specname", "规格型号", 255)),
        gridReadOnly(number("PackNum", "每包装数量")),
        {QStringLiteral("BigPackNum"), u(k.packages), korvane::FieldType::Integer},
        number("pqty", "数量", true),
    };
    if (k.sale)
        fields << gridReadOnly(money("oldPrice", "原价")) << number("disCount", "折扣率%");
    fields << money("price", "单价", true) << money("amount", "金额", true)
           << hidden(field("taxtype", "税别", 4)) << taxName << number("taxrate", "税率(%)")
           << money("Tax", "税额") << money("Taxamount", "价税合计", true);
    if (!k.sale)
        fields << gridReadOnly(field("SaleHeadno", "销售单号", 15))
               << hidden(field("Salebodyno", "销售单项次", 4));
    TDocFieldDecl received = gridReadOnly(number("getpqty", "已到货数"));
    received.shown = !k.sale;
    fields << received << field("getday", k.getDay, 19, k.sale)
           << field("getamtday", k.getAmtDay, 19, true) << hidden(field("ifinish", "完成", 1))
           << hidden(number("getamountpqty", "getamountpqty"))
           << hidden(money("getTaxamount", k.sale ? "已到款" : "已付款"))
           << field("note", "说明", 60);
    return fields;
}

TDocumentDecl orderDocument(const TOrderKind &k)
{
    TDocumentDecl d;
    d.caption = u(k.caption);
    d.listCaption = u(k.caption) + u("列表");
    d.documentCaption = u(k.caption) + u("单据");
    d.provider = k.sale ? QStringLiteral("dspSale") : QStringLiteral("dspBuy");
    d.headTable = k.sale ? QStringLiteral("XSaleh") : QStringLiteral("xbuyh");
    d.nestedField = k.sale ? QStringLiteral("qrySaleD") : QStringLiteral("qryBuyD");
    d.lineTable = k.sale ? QStringLiteral("XSaleb") : QStringLiteral("xbuyb");
    d.datePrompt = u(k.datePrompt);
    d.packageVerb = u(k.verb);
    const char *partners = k.sale ? "dspCustomeCN" : "dspFatbnCN";
    d.selectors = {
        storeSelector(),
        partnerSelector(QLatin1String(partners), u(k.partner), k.sale ? u("客户名称") : QString()),
        deptSelector()};
    d.filterParams = {QStringLiteral("StoreCode"), QStringLiteral("spCode"),
                      QStringLiteral("DeptCode")};
    d.headFields = orderHeadFields(k);
    d.lineFields = orderLineFields(k);
    d.editors = headEditors(
        u(k.headNo),
        {codeName("cnStoreCode", "storecode", u(k.store), "dspStoreCN", storeTitles(), "StoreName"),
         codeName("cnSpCode", "spcode", u(k.partner), partners, partnerTitles(), "Spname"),
         listBox("cbCurrency", "currency", u("币别"), "dsMoney", "Code", "Name"),
         text("exchgrate", u("汇率")),
         codeName("cnDeptCode", "deptCode", u(k.dept), "dspDeptCN", deptTitles(), "DeptName"),
         codeName("cnMCode", "mcode", u(k.employeeName), "dspUserListCN", userTitles(), "MName"),
         text("Addr", u("交货地点"))});
    d.listColumns = {
        QStringLiteral("headno"), QStringLiteral("hdate"),     QStringLiteral("StoreName"),
        QStringLiteral("Spname"), QStringLiteral("DeptName"),  QStringLiteral("MName"),
        QStringLiteral("taxamt"), QStringLiteral("StateName"), QStringLiteral("note")};
    d.newHeadDefaults = {{QStringLiteral("currency"), QStringLiteral("01")},
                         {QStringLiteral("exchgrate"), 1.0}};
    d.lineSums = {{QStringLiteral("SumOfAmount"), QStringLiteral("Sum ( Amount )")},
                  {QStringLiteral("SumOfTax"), QStringLiteral("Sum( Tax )")},
                  {QStringLiteral("SumOfTaxAmount"), QStringLiteral("Sum( TaxAmount )")}};
    d.headTotals = {{u("金额"), QStringLiteral("amt")},
                    {u("税额"), QStringLiteral("Tax")},
                    {u("价税合计"), QStringLiteral("taxamt")},
                    {u("本币价税合计"), QStringLiteral("RMBtaxamt")}};
    if (k.sale)
        d.checkLinks = {QString(), QString()}; // a sales order is read from nothing
    else
        d.checkLinks = {QStringLiteral("SaleHeadno"), QStringLiteral("Salebodyno")};
    d.opensOnDocument = k.sale;
    return d;
}

struct TOrderEntry
{
    QString className;
    TDocumentDecl decl;
};

const QList<TOrderEntry> &entries()
{
    // clang-format off
    static const QList<TOrderEntry> list{
        {QStringLiteral("TfrmXBuyh"), orderDocument({"采购单", "采购单号", "仓库", "厂商", "厂商名称",
            "采购部门", "采购员代码", "采购员", "采购单状态", "采购包装数", "预定收货日期",
            "预定付款日期", "请先选择采购单日期！", "采购", false})},
        {QStringLiteral("TfrmXSale"), orderDocument({"销售单", "销售单号", "销货仓库", "客户", "客户名称",
            "部门", "销售员代码", "销售员", "销售单状态", "销售包装数", "预定交货日",
            "预定交款日", "请先选择销售单日期！", "销售", true})},
    };
    // clang-format on
    return list;
}

} // namespace

const TDocumentDecl *orderDocumentDecl(const QString &className)
{
    for (const TOrderEntry &entry : entries()) {
        if (entry.className == className)
            return &entry.decl;
    }
    return nullptr;
}

QStringList orderDocumentClasses()
{
    QStringList names;
    for (const TOrderEntry &entry : entries())
        names << entry.className;
    return names;
}
