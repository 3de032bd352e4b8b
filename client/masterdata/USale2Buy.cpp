#include "USale2Buy.h"

#include "UToBuyDecl.h"
#include "UWorkWindows.h"

using namespace tobuy;

namespace {

constexpr auto F = korvane::FieldType::Float;

QStringList codeAndName(const char *name)
{
    return {QStringLiteral("代码"), QString::fromUtf8(name)};
}

TCodeTableDecl sale2BuyDecl()
{
    TCodeTableDecl d;
    d.caption = QStringLiteral("销售转采购");
    d.provider = QStringLiteral("dspSale2Buy");
    d.tableName = QStringLiteral("XSaleb");
    d.gridReadOnly = true;
    d.keyFields = QStringLiteral("headno;bodyno");
    d.fields = {column("hdate", "日期"),          column("headno", "销售单号"),
                column("bodyno", "项次"),         column("spName", "客户"),
                column("StoreName", "仓库"),      column("DeptName", "部门"),
                column("MName", "销售员"),        column("pdtcode", "货品代码"),
                column("PdtName", "货品名称"),    column("pdtno", "货品项次"),
                column("specname", "规格型号"),   column("pqty", "数量", F),
                column("getpqty", "已到货数", F), column("Needpqty", "尚缺", F),
                column("getday", "预定交货日")};
    d.datePrompt = QStringLiteral("请先选择销售单日期！");
    d.gridColumns = columnNames(d.fields);
    d.searchCaption = QStringLiteral("查询");
    d.search = {
        selector("cnStoreCodeSel", "仓库", "dspStoreCN", codeAndName("仓库名称"), "StoreCode"),
        selector("cnDeptCodeSel", "部门", "dspDeptCN", codeAndName("部门名称"), "DeptCode"),
        selector("cnSpCodeSel", "客户", "dspCustomeCN", codeAndName("名称"), "spCode")};
    return d;
}

} // namespace

TfrmSale2Buy::TfrmSale2Buy(QWidget *parent)
    : TfrmToBuyList(sale2BuyDecl(),
                    {QStringLiteral("选中销售货品转采购单"),
                     QStringLiteral("无销售单货品需要转采购单！"),
                     korvane::workwindows::ImportSale2BuyMethod},
                    parent)
{}
