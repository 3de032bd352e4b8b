#include "UDocumentKinds.h"

#include "UMoneyKinds.h"

using namespace docdecl;

namespace {

//! A document of the stock-movement tables: its captions and kind; the provider filters
//! by store, partner and department.
TDocumentDecl movement(const char *caption, const char *list, const char *document,
                       const char *flag)
{
    TDocumentDecl d;
    d.caption = u(caption);
    d.listCaption = u(list);
    d.documentCaption = u(document);
    d.flag = QLatin1String(flag);
    d.filterParams = {QStringLiteral("StoreCode"), QStringLiteral("spCode"),
                      QStringLiteral("DeptCode")};
    return d;
}

// ---- stock documents ------------------------------------------------------------------------

//! What a stock document changes of the shared shape.
struct TStockKind
{
    const char *caption, *list, *document, *flag, *headNo;
    const char *typeLabel;   // "" for a kind without a type list
    const char *typeCaption; // the type editor's caption
    const char *quantity, *packages;
    bool transfer;
};

TDocumentDecl stockDocument(const TStockKind &k)
{
    TDocumentDecl d = movement(k.caption, k.list, k.document, k.flag);
    d.provider = QStringLiteral("dspStockch");
    d.headTable = QStringLiteral("xstockchh");
    d.nestedField = QStringLiteral("qryStockChD");
    d.lineTable = QStringLiteral("xstockchb");
    d.datePrompt = u("请先选择收货日期！");
    d.packageVerb = u("采购");
    d.selectors = {storeSelector(), deptSelector()};
    const QString documentName = u(k.headNo);
    THeadLabels head;
    head.headNo = documentName;
    head.store = k.transfer ? u("拨出仓库") : u("仓库");
    head.deptName = u("经办部门");
    head.state = u(k.document).left(u(k.document).size() - 2) + u("状态");
    head.inOutFlag = *k.typeLabel ? u(k.typeLabel) : u("类型");
    head.storeIn = k.transfer ? u("拨入仓库") : QString();
    head.hasStoreInName = true;
    d.headFields = headFields(head);
    TLineLabels line;
    line.headNo = documentName;
    line.quantity = u(k.quantity);
    line.packages = u(k.packages);
    line.showLinks = false; // stock documents are never read from another document
    d.lineFields = lineFields(line);

    QList<TDocEditorDecl> middle;
    if (*k.typeLabel) {
        TDocEditorDecl types;
        types.kind = TDocEditorDecl::ekTypeCombo;
        types.name = QStringLiteral("cbInOutFlag");
        types.field = QStringLiteral("InOutFlag");
        types.caption = u(k.typeCaption);
        middle << types;
    }
    middle << codeName("cnStoreCode", "storecode", head.store, "dspStoreCN", storeTitles(),
                       "StoreName");
    if (k.transfer)
        middle << codeName("cnStoreCodeIN", "StorecodeIn", head.storeIn, "dspStoreCN",
                           storeTitles(), "StoreNameIn");
    middle << codeName("cnDeptCode", "deptCode", u("部门"), "dspDeptCN", deptTitles(), "DeptName")
           << codeName("cnMCode", "mcode", u("经办人"), "dspUserListCN", userTitles(), "MName");
    d.editors = headEditors(documentName, middle);
    d.listColumns = {QStringLiteral("headno"), QStringLiteral("hdate"),
                     QStringLiteral("StoreName")};
    if (k.transfer)
        d.listColumns << QStringLiteral("StoreNameIn");
    d.listColumns << QStringLiteral("DeptName") << QStringLiteral("MName")
                  << QStringLiteral("StateName") << QStringLiteral("note");
    d.newHeadDefaults = {{QStringLiteral("InOutFlag"), QStringLiteral("0")}};
    return d;
}

// ---- documents with a business partner ------------------------------------------------------

//! What a receipt, return or delivery changes of the shared shape.
struct TPartnerKind
{
    const char *caption, *list, *document, *flag, *headNo, *headNoCaption;
    const char *deptName, *employee, *employeeName;
    const char *datePrompt, *verb, *remarkEnd;
    bool sale;
};

TDocumentDecl partnerDocument(const TPartnerKind &k)
{
    TDocumentDecl d = movement(k.caption, k.list, k.document, k.flag);
    d.provider = k.sale ? QStringLiteral("dspSaleInOut") : QStringLiteral("dspBuyInOut");
    d.headTable = QStringLiteral("xStockChh");
    d.nestedField = k.sale ? QStringLiteral("qrySaleInOutD") : QStringLiteral("qryBuyInOutD");
    d.lineTable = QStringLiteral("xStockChb");
    d.datePrompt = u(k.datePrompt);
    d.packageVerb = u(k.verb);
    const char *partners = k.sale ? "dspCustomeCN" : "dspFatbnCN";
    const QString partner = k.sale ? u("客户") : u("厂商");
    d.selectors = {
        deptSelector(),
        partnerSelector(QLatin1String(partners), partner, k.sale ? u("客户名称") : QString()),
        storeSelector()};
    THeadLabels head;
    head.headNo = u(k.headNo);
    head.partner = partner;
    head.deptName = u(k.deptName);
    head.employee = u(k.employee);
    head.employeeName = u(k.employeeName);
    head.state = k.sale ? u("销售单状态") : u("状态");
    d.headFields = headFields(head);
    const QString source = k.sale ? u("销售单") : u("采购单");
    TLineLabels line;
    line.headNo = k.sale ? u("销售单号") : u(k.headNo);
    line.linkHeadNo = source + u("单号");
    line.linkBodyNo = source + u("项次");
    line.packages = k.sale ? u("销售包装数") : u("采购包装数");
    d.lineFields = lineFields(line);
    d.editors = headEditors(
        u(k.headNoCaption),
        {codeName("cnDeptCode", "deptCode", k.sale ? u("销售部门") : u("部门"), "dspDeptCN",
                  deptTitles(), "DeptName"),
         codeName("cnMCode", "mcode", k.sale ? u("经 办 人") : u(k.employeeName), "dspUserListCN",
                  userTitles(), "MName"),
         codeName("cnStoreCode", "storecode", u("仓库"), "dspStoreCN", storeTitles(), "StoreName"),
         codeName("cnSpCode", "spcode", k.sale ? u("客户代码") : partner, partners, partnerTitles(),
                  "Spname")});
    d.listColumns = {QStringLiteral("headno"),    QStringLiteral("hdate"),
                     QStringLiteral("StoreName"), QStringLiteral("Spname"),
                     QStringLiteral("DeptName"),  QStringLiteral("MName"),
                     QStringLiteral("StateName"), QStringLiteral("note")};
    d.read = {k.sale ? u("读销售单") : u("读采购单"),
              k.sale ? QStringLiteral("TfrmReadSale") : QStringLiteral("TfrmReadBuy"), source,
              k.sale ? QStringLiteral("dspXSale") : QStringLiteral("dspXBuy"), u(k.remarkEnd)};
    d.opensOnDocument = k.sale;
    return d;
}

// The documents in menu order.
const QList<TDocumentKind> &entries()
{
    // clang-format off
    static const QList<TDocumentKind> list{
        {QStringLiteral("TfrmBuyIn"), partnerDocument({"采购收货", "采购收货单列表", "采购收货单单据", "1", "收货单号", "收货  单号",
            "验收部门", "验收人代码", "验收人", "请先选择收货日期！", "收货", "入库！", false})},
        {QStringLiteral("TfrmBuyOut"), partnerDocument({"采购退货", "采购退货单列表", "采购退货单单据", "2", "退货单号", "退货  单号",
            "经办部门", "经办人代码", "经办人", "请先选择退货日期！", "退货", "退货！", false})},
        {QStringLiteral("TfrmSaleOut"), partnerDocument({"销售出货", "销售出货单列表", "销售出货单单据", "3", "出货单号", "出货单号",
            "经办部门", "经办人代码", "经办人", "请先选择出货日期！", "销售", "出货！", true})},
        {QStringLiteral("TfrmSaleIn"), partnerDocument({"销售退货", "销售退货单列表", "销售退货单单据", "4", "退货单号", "退货单号",
            "部门", "经办人代码", "经办人", "请先选择退货日期！", "销售", "退货！", true})},
        {QStringLiteral("TfrmStockCheck"), stockDocument({"库存盘点", "盘点单列表", "盘点单单据", "5", "盘点单单号",
            "盘点单类型", "盘点单类型", "盘亏数量", "盘点包装数", false})},
        {QStringLiteral("TfrmStockprocess"), stockDocument({"生产出入库", "生产出入库单列表", "生产出入库单单据", "8", "领退料单号",
            "生产出入库单类型", "生产  类型", "数量", "包装数", false})},
        {QStringLiteral("TfrmStockMove"), stockDocument({"库存调拨", "调拨单列表", "调拨单单据", "6", "调拨单单号",
            "", "", "数量", "包装数", true})},
        {QStringLiteral("TfrmStockReject"), stockDocument({"库存报废", "报废单列表", "报废单单据", "7", "报废单号",
            "", "", "数量", "包装数", false})},
        {QStringLiteral("TfrmStockOther"), stockDocument({"其他库存异动", "异动单列表", "异动单单据", "9", "库存异动单号",
            "异动单类型", "异动单类型", "数量", "包装数", false})},
    };
    // clang-format on
    return list;
}

} // namespace

const TDocumentDecl *documentDecl(const QString &className)
{
    const TDocumentDecl *decl = findDocumentDecl(entries(), className);
    return decl ? decl : findDocumentDecl(moneyDocumentKinds(), className);
}

QStringList documentClasses()
{
    QStringList names;
    for (const TDocumentKind &entry : entries())
        names << entry.className;
    return names;
}
