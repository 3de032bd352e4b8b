#include "UMoneyKinds.h"

using namespace docdecl;

namespace {

constexpr auto S = korvane::FieldType::String;
constexpr auto F = korvane::FieldType::Float;

TDocFieldDecl field(const char *name, const QString &label, korvane::FieldType type, int width,
                    bool required = false)
{
    return {QLatin1String(name), label, type, width, required};
}

//! The line of goods with the columns of a priced line before its remark.
QList<TDocFieldDecl> pricedLine(const TLineLabels &labels, const QList<TDocFieldDecl> &money)
{
    QList<TDocFieldDecl> fields = lineFields(labels);
    qsizetype at = fields.size();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name == QLatin1String("note"))
            at = i;
    }
    for (const TDocFieldDecl &f : money)
        fields.insert(at++, f);
    return fields;
}

void relabel(QList<TDocFieldDecl> &fields, const char *name, const QString &label)
{
    for (TDocFieldDecl &f : fields) {
        if (f.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            f.label = label;
    }
}

TDocEditorDecl currencyBox()
{
    return listBox("cbMoney", "currency", u("币别"), "dsMoney", "code", "name");
}

// ---- receipts and payments ------------------------------------------------------------------

//! What a payment changes of a receipt.
struct TSettlementKind
{
    const char *caption, *list, *document, *provider, *headTable, *nested, *lineTable;
    const char *partnerProvider, *partner;
    const char *headNo, *payKind, *dept, *settled, *total, *homeTotal, *orderNo, *packages;
    const char *readCaption, *picker, *source, *orderProvider, *remarkEnd;
};

TDocumentDecl settlement(const TSettlementKind &k)
{
    TDocumentDecl d;
    d.caption = u(k.caption);
    d.listCaption = u(k.list);
    d.documentCaption = u(k.document);
    d.provider = QLatin1String(k.provider);
    d.headTable = QLatin1String(k.headTable);
    d.nestedField = QLatin1String(k.nested);
    d.lineTable = QLatin1String(k.lineTable);
    d.datePrompt = u("请先选择收款单日期！");
    d.packageVerb = u("销售");
    TDocSelectorDecl dept = deptSelector();
    dept.caption = u(k.dept);
    d.selectors = {dept, partnerSelector(QLatin1String(k.partnerProvider), u(k.partner),
                                         u(k.partner) + u("名称"))};
    d.filterParams = {QStringLiteral("spCode"), QStringLiteral("DeptCode")};
    d.headFields = {
        field("headno", u(k.headNo), S, 15, true),
        field("hdate", u("日期"), S, 19, true),
        field("currency", u("币别"), S, 4, true),
        field("exchgrate", u("汇率"), F, 0, true),
        field("Taxamt", u("总额"), F, 0),
        field("PayKind", u(k.payKind), S, 4),
        field("spcode", u(k.partner), S, 10, true),
        field("deptcode", u("部门"), S, 10, true),
        field("mcode", u("经办人"), S, 10, true),
        field("inputer", u("制单"), S, 10, true),
        field("Assessorcode", u("审核人代码"), S, 10),
        field("AssessorDate", u("审核时间"), S, 19),
        field("State", u("状态"), S, 1),
        field("note", u("备注"), S, 100),
        field("Spname", u(k.partner), S, 140),
        field("DeptName", u("经办部门"), S, 100),
        field("MName", u("经办人"), S, 10),
        field("RMBTaxamt", u("本币总额"), F, 0),
    };
    TLineLabels line;
    line.headNo = u(k.headNo);
    line.linkHeadNo = u(k.orderNo);
    line.linkBodyNo = u(k.orderNo).left(3) + u("项次");
    line.packages = u(k.packages);
    TDocFieldDecl prepaid = field("Flag", u("是否预付"), S, 1);
    prepaid.shown = false;
    d.lineFields = pricedLine(
        line, {field("price", u("价格"), F, 0), field("amount", u("金额"), F, 0),
               field("Tax", u("税额"), F, 0), field("Taxamount", u("价税合计"), F, 0, true),
               field("GetTaxamount", u(k.settled), F, 0), prepaid});
    relabel(d.lineFields, "PdtName", u("货品"));
    relabel(d.lineFields, "specname", u("规格"));
    relabel(d.lineFields, "PackNum", u("每包装数"));
    for (TDocFieldDecl &f : d.lineFields) {
        if (f.name == QLatin1String("LinkBodyno"))
            f.shown = false;
    }
    d.editors = headEditors(
        u(k.headNo),
        {codeName("cnSpCode", "spcode", u(k.partner), k.partnerProvider, partnerTitles(), "Spname"),
         codeName("cnDeptCode", "deptcode", u("部门"), "dspDeptCN", deptTitles(), "DeptName"),
         codeName("cnMCode", "mcode", u("经办人"), "dspUserListCN", userTitles(), "MName"),
         currencyBox(), text("exchgrate", u("汇率")),
         listBox("cbRate", "PayKind", u(k.payKind), "dsPayKind", "Code", "Name")});
    d.listColumns = {QStringLiteral("headno"),    QStringLiteral("hdate"), QStringLiteral("Spname"),
                     QStringLiteral("DeptName"),  QStringLiteral("MName"), QStringLiteral("Taxamt"),
                     QStringLiteral("StateName"), QStringLiteral("note")};
    d.newHeadDefaults = {{QStringLiteral("currency"), QStringLiteral("01")},
                         {QStringLiteral("exchgrate"), 1.0}};
    d.headTotals = {{u(k.total), QStringLiteral("Taxamt")},
                    {u(k.homeTotal), QStringLiteral("RMBTaxamt")}};
    d.read = {u(k.readCaption), QLatin1String(k.picker), u(k.source),
              QLatin1String(k.orderProvider), u(k.remarkEnd)};
    d.read.copiesMoney = true;
    return d;
}

// ---- invoices -------------------------------------------------------------------------------

TDocumentDecl invoice()
{
    TDocumentDecl d;
    d.caption = u("发票开据");
    d.listCaption = u("发票列表");
    d.documentCaption = u("发票单据");
    d.provider = QStringLiteral("dspInvoice");
    d.headTable = QStringLiteral("xInvoiceh");
    d.nestedField = QStringLiteral("qryInvoiceD");
    d.lineTable = QStringLiteral("xInvoiceb");
    d.datePrompt = u("请先选择收货日期！");
    d.packageVerb = u("开票");
    d.selectors = {partnerSelector(QStringLiteral("dspCustomeCN"), u("客户"), u("客户名称")),
                   deptSelector()};
    d.filterParams = {QStringLiteral("InOutFlag"), QStringLiteral("spCode"),
                      QStringLiteral("DeptCode")};
    d.headFields = {
        field("headno", u("发票记录单号"), S, 15, true),
        field("hdate", u("日期"), S, 19, true),
        field("Deptcode", u("部门代码"), S, 10, true),
        field("DeptName", u("经办部门"), S, 100),
        field("mcode", u("经办人代码"), S, 10, true),
        field("MName", u("经办人"), S, 10),
        field("Assessorcode", u("审核人代码"), S, 10),
        field("AssessorDate", u("审核时间"), S, 19),
        field("State", u("单据状态"), S, 1),
        field("note", u("备注"), S, 100),
        field("Flag", QStringLiteral("Flag"), S, 1),
        field("InOutFlag", u("类型"), S, 1, true),
        field("inputer", u("制单"), S, 10),
        field("InVoiceNO", u("发票号码"), S, 20, true),
        field("spcode", u("客户代码"), S, 10, true),
        field("spName", u("客户"), S, 140),
        field("currency", u("币别"), S, 4, true),
        field("exchgrate", u("汇率"), F, 0, true),
        field("amt", u("金额"), F, 0),
        field("Tax", u("税额"), F, 0),
        field("Taxamt", u("总额"), F, 0),
        field("RMBTaxamt", u("本币总额"), F, 0),
        field("taxtype", u("税别"), S, 4),
        field("taxrate", u("税率"), F, 0),
    };
    TLineLabels line;
    line.headNo = u("发票记录单号");
    line.linkHeadNo = u("销售单单号");
    line.linkBodyNo = u("销售单项次");
    line.packages = u("包装数");
    d.lineFields =
        pricedLine(line, {field("price", u("单价"), F, 0), field("amount", u("金额"), F, 0),
                          field("Tax", u("税额"), F, 0), field("Taxamount", u("价税合计"), F, 0)});
    relabel(d.lineFields, "PdtName", u("货品"));
    relabel(d.lineFields, "specname", u("规格"));
    d.editors = headEditors(
        u("发票记录单号"),
        {listBox("cbInOutFlag", "InOutFlag", u("类型"), "dsInvoiceAttr", "InOutFlag", "Name"),
         codeName("cnDeptCode", "Deptcode", u("部门"), "dspDeptCN", deptTitles(), "DeptName"),
         codeName("cnMCode", "mcode", u("经办人"), "dspUserListCN", userTitles(), "MName"),
         codeName("cnSpCode", "spcode", u("客户"), "dspCustomeCN", partnerTitles(), "spName"),
         currencyBox(), text("exchgrate", u("汇率")), text("InVoiceNO", u("发票号码")),
         listBox("cbTaxType", "taxtype", u("税别"), "dsXTaxAttr", "Code", "Name"),
         text("taxrate", u("税率"))});
    d.listColumns = {QStringLiteral("headno"),    QStringLiteral("hdate"),
                     QStringLiteral("InVoiceNO"), QStringLiteral("spName"),
                     QStringLiteral("DeptName"),  QStringLiteral("Taxamt"),
                     QStringLiteral("StateName"), QStringLiteral("note")};
    d.newHeadDefaults = {{QStringLiteral("InOutFlag"), QStringLiteral("0")}};
    d.headTotals = {{u("无税金额"), QStringLiteral("amt")},
                    {u("税额"), QStringLiteral("Tax")},
                    {u("价税合计"), QStringLiteral("Taxamt")},
                    {u("本币价税合计"), QStringLiteral("RMBTaxamt")}};
    d.read = {u("读销售单"), QStringLiteral("TfrmReadSale"), u("销售单"),
              QStringLiteral("dspXSale"), u("开票")};
    d.read.copiesMoney = true;
    return d;
}

} // namespace

const QList<TDocumentKind> &moneyDocumentKinds()
{
    // clang-format off
    static const QList<TDocumentKind> list{
        {QStringLiteral("TfrmInCome"), settlement({"收款单", "收款单列表", "收款单单据", "dspIncome", "xInComeh", "qryInComeD", "XInComeb",
            "dspCustomeCN", "客户", "收款单号", "收款方式", "收款部门", "本期收款", "收款总额", "本币收款总额", "销售单号", "销售包装数",
            "读销售单", "TfrmReadSale", "销售单", "dspXSale", "收款"})},
        {QStringLiteral("TfrmOutCome"), settlement({"付款单", "付款单列表", "付款单单据", "dspOutCome", "xOutComeh", "qryOutComeD", "xOutComeb",
            "dspFatbnCN", "厂商", "付款单号", "付款方式", "付款部门", "本期付款", "付款总额", "本币付款总额", "采购单号", "采购包装数",
            "读采购单", "TfrmReadBuy", "采购单", "dspXBuy", "付款"})},
        {QStringLiteral("TfrmInvoice"), invoice()},
    };
    // clang-format on
    return list;
}

QStringList moneyDocumentClasses()
{
    QStringList names;
    for (const TDocumentKind &kind : moneyDocumentKinds())
        names << kind.className;
    return names;
}
