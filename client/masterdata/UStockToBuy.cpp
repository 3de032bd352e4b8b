#include "UStockToBuy.h"

#include "LumoCodeName.h"
#include "UToBuyDecl.h"
#include "UWorkWindows.h"

using namespace tobuy;

namespace {

constexpr auto F = korvane::FieldType::Float;

TCodeTableDecl stockToBuyDecl()
{
    TCodeTableDecl d;
    d.caption = QStringLiteral("库存不足转采购");
    d.provider = QStringLiteral("dspStock2Buy");
    d.tableName = QStringLiteral("XStock");
    d.gridReadOnly = true;
    d.keyFields = QStringLiteral("storecode;pdtcode;pdtno");
    d.fields = {column("storecode", "仓库代码"),  column("StoreName", "仓库"),
                column("pdtcode", "货品代码"),    column("Pdtname", "货品名称"),
                column("pdtno", "货品项次"),      column("SpecName", "规格型号"),
                column("pqty", "现存数量", F),    column("stdpqty", "采购中数量", F),
                column("lowpqty", "安全存量", F), column("Needpqty", "尚需采购数量", F),
                column("TInprice", "含税进价", F)};
    d.gridColumns = columnNames(d.fields);
    d.searchCaption = QStringLiteral("查询");
    TSearchFieldDecl store =
        selector("cnStoreCodeSel", "仓库", "dspStoreCN",
                 {QStringLiteral("仓库代码"), QStringLiteral("仓库名称")}, "Storecode", false);
    store.requiredText = QStringLiteral("请现选择查询仓库！");
    d.search = {store,
                selector("cnPdtcode", "货品", "dspPdtCN",
                         {QStringLiteral("货品代码"), QStringLiteral("货品名称")}, "Pdtcode"),
                selector("cnSpecCode", "规格", "dspSpecCN",
                         {QStringLiteral("项次"), QStringLiteral("规格")}, "PdtNO")};
    return d;
}

} // namespace

TfrmStockToBuy::TfrmStockToBuy(QWidget *parent)
    : TfrmToBuyList(stockToBuyDecl(),
                    {QStringLiteral("选中货品转采购单"),
                     QStringLiteral("无库存不足货品需要转采购单！"),
                     korvane::workwindows::ImportStockToBuyMethod},
                    parent)
{
    // The product variants offered are those of the chosen product.
    searchEditor(QStringLiteral("cnSpecCode"))
        ->setPreCodeName(searchEditor(QStringLiteral("cnPdtcode")));
}
