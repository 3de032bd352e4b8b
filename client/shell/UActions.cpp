#include "UActions.h"

#include <QHash>
#include <QStandardPaths>

namespace korvane::actions {

namespace {

ActionDef command(const char *name, const char *caption, int tag, const char *shortcut = "")
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), Kind::Command, tag,
            QString::fromLatin1(shortcut)};
}

ActionDef window(const char *name, const char *caption, const char *cls, const char *title,
                 int invoiceFlag = 0)
{
    ActionDef def{QString::fromLatin1(name), QString::fromUtf8(caption), Kind::WorkWindow};
    def.windowClass = QString::fromLatin1(cls);
    def.windowCaption = QString::fromUtf8(title);
    def.invoiceFlag = invoiceFlag;
    return def;
}

ActionDef report(const char *name, const char *caption, const char *cls, const char *code)
{
    ActionDef def{QString::fromLatin1(name), QString::fromUtf8(caption), Kind::Report};
    def.windowClass = QString::fromLatin1(cls);
    def.reportCode = QString::fromLatin1(code);
    return def;
}

ActionDef modal(Kind kind, const char *name, const char *caption, const char *cls)
{
    ActionDef def{QString::fromLatin1(name), QString::fromUtf8(caption), kind};
    def.windowClass = QString::fromLatin1(cls);
    return def;
}

ActionDef tool(const char *name, const char *caption, QStringList programs)
{
    ActionDef def{QString::fromLatin1(name), QString::fromUtf8(caption), Kind::Tool};
    def.tools = std::move(programs);
    return def;
}

ActionDef plain(Kind kind, const char *name, const char *caption)
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), kind};
}

QList<ActionDef> buildTable()
{
    return {
        // Record commands. ActRefresh comes before ActPrint, so F7 refreshes.
        command("ActFirst", "第一条", 1),
        command("ActPrior", "上一条", 2),
        command("ActNext", "下一条", 3),
        command("ActLast", "末一条", 4),
        command("ActAppend", "新增(F2)", 5, "F2"),
        command("ActEdit", "修改(F3)", 6, "F3"),
        command("ActDelete", "删除(F4)", 7, "F4"),
        command("ActSave", "保存(F5)", 8, "F5"),
        command("ActCancel", "取消(F6)", 9, "F6"),
        command("ActRefresh", "刷新", 10, "F7"),
        command("ActPrint", "审核(F7)", 11, "F7"),
        command("actReturn", "返回(F8)", 12, "F8"),

        // Work windows.
        window("actXCI", "品牌设置", "TfrmXCI", "品牌设置"),
        window("actXSpech", "产品规格", "TfrmXSpecH", "规格定义"),
        window("actXCorp", "公司定义", "TfrmXCorp", "公司资料"),
        window("actxDept", "部门定义", "TfrmXDept", "部门资料"),
        window("actXStore", "仓库定义", "TfrmXStore", "仓库定义"),
        window("actXDuty", "职务定义", "TfrmXDuty", "职位定义"),
        window("actXMoney", "币别定义", "TfrmXMoney", "币种设置"),
        window("actXPrdth", "产品资料", "TfrmXPrdth", "货品资料"),
        window("actXFatbn", "厂商资料", "TfrmXFatbn", "厂商资料"),
        window("actXEdu", "学历定义", "TfrmXEdu", "学历定义"),
        window("actXPrdtClass", "产品大类", "TfrmXPrdtClass", "产品大类"),
        window("actXCredit", "信用额度", "TfrmXCredit", "信用额度"),
        window("ActXCustom", "客户资料", "TfrmXCustome", "客户资料"),
        window("ActXLocal", "客户厂商组别", "TfrmXLocal", "客户/厂商类别划分"),
        window("actXPayKind", "付款方式", "TfrmXPayKind", "付款方式"),
        window("actXTaxAttr", "税种税率", "TfrmXTaxAttr", "税别税率"),
        window("actXPolity", "政治面貌", "TfrmXpolity", "政治面貌"),
        window("actXPSEmp", "员工资料", "TfrmXpsEMP", "员工资料"),
        window("actXMeasure", "计量单位", "TfrmXMeasure", "计量单位"),
        window("actXBuy", "采购单", "TfrmXBuyh", "采购单"),
        window("actImportIN", "采购收货", "TfrmBuyIn", "采购收货"),
        window("ActXPayFrm", "付款单", "TfrmOutCome", "付款单"),
        window("actImportReturn", "采购退货", "TfrmBuyOut", "采购退货"),
        window("actExport", "销售出货", "TfrmSaleOut", "销售出货"),
        window("actExportReturn", "销售退回", "TfrmSaleIn", "销售退货"),
        window("actXSale", "销售单", "TfrmXSale", "销售单"),
        window("ActSale2Buy", "销售单转采购", "TfrmSale2Buy", "销售转采购"),
        window("Actgathering", "收款单", "TfrmInCome", "收款单"),
        window("actBlueinvoice", "蓝字发票开列", "TfrmInvoice", "发票开据", 1),
        window("actRedinvoice", "红字发票开列", "TfrmInvoice", "发票开据", 2),
        window("actStockStart", "期初建档", "TfrmXStock", "库存期初资料"),
        window("ActStoreEmpToImport", "库存不足转采购", "TfrmStockToBuy", "库存不足转采购"),
        window("actStockCheck", "库存盘点", "TfrmStockCheck", "库存盘点"),
        window("actStockProcess", "生产", "TfrmStockprocess", "生产出入库"),
        window("actStockMove", "库存调拨", "TfrmStockMove", "库存调拨"),
        window("ActStockreject", "库存报废", "TfrmStockReject", "库存报废"),
        window("ActStockOther", "库存其它异动", "TfrmStockOther", "其他库存异动"),

        // Reports: the condition window and the report it serves.
        report("ActRPTprdt", "产品报表", "TfrmRPTPrdtQry", "RPTPRDT"),
        report("actRPTpsEmp", "员工资料报表", "TfrmRPTempQry", "RPTPSEMP"),
        report("actRPTCust", "客户资料报表", "TfrmRPTCustQry", "RPTCUST"),
        report("actRPTFatbn", "供应商资料报表", "TfrmRPTCustQry", "RPTFATBN"),
        report("actRPTBuy", "采购单汇总表", "TfrmRPTBuyQry", "RPTBUY"),
        report("actRPTBuyDetail", "采购单明细表", "TfrmRPTBuyQry", "RPTBUYDETAIL"),
        report("actRPTBuyStat", "采购在途量查询", "TfrmRPTBuyQry", "RPTBUYSTAT"),
        report("ActRPTBuyIn", "采购入库汇总", "TfrmRPTBuyQry", "RPTBUYIN"),
        report("ActRPTBuyInDetail", "采购入库明细", "TfrmRPTBuyQry", "RPTBUYINDETAIL"),
        report("ActRPTBuyPrice", "采购历史价格分析", "TfrmRPTBuyPriceQry", "RPTBUYPRICE"),
        report("actRPTSale", "销售汇总报表", "TfrmRPTSaleQry", "RPTSALE"),
        report("actRPTSaleDetail", "销售明细报表", "TfrmRPTSaleQry", "RPTSALEDETAIL"),
        report("ActRPTCustSale", "客户销售分析", "TfrmRPTSaleQry", "RPTCUSTSALE"),
        report("ActRPTSaleOut", "销售出库汇总", "TfrmRPTSaleQry", "RPTSALEOUT"),
        report("ActRPTSaleOutDetail", "销售出库明细", "TfrmRPTSaleQry", "RPTSALEOUTDETAIL"),
        report("ActRPTSaleAll", "货品销售综合查询", "TfrmRPTSaleQry", "RPTSALEALL"),
        report("ActRPTSalePrice", "销售历史价格分析", "TfrmRPTSalePriceQry", "RPTSALEPRICE"),
        report("actRPTGatherDetail", "已收帐款明细", "TfrmRPTGatherDetailQry", "RPTGATHERDETAIL"),
        report("actRPTGatherCust", "客户应收帐款", "TfrmRPTGatherCustQry", "RPTGATHERCUST"),
        report("ActRPTempGain", "销售员业绩统计", "TfrmRPTempGainQry", "RPTEMPGAIN"),
        report("actRPTStockDetail", "库存明细", "TfrmRPTStockDetailQry", "RPTSTOCKDETAIL"),

        // Charts.
        modal(Kind::Chart, "actChartClassSale", "同种货品销售比例", "TfrmChartClassSaleQry"),
        modal(Kind::Chart, "actChartSale", "货品销量分析", "TfrmChartClassSaleQry"),
        modal(Kind::Chart, "actChartPrdtSale", "货品销售排行", "TfrmChartSaleOrderQry"),

        // Dialogs created at start-up.
        modal(Kind::Dialog, "actSysPara", "系统参数", "TfrmSysPara"),
        modal(Kind::Dialog, "actpwd", "修改密码", "Tfrmpwd"),
        modal(Kind::Dialog, "actRight", "人员权限", "TfrmRight"),
        modal(Kind::Dialog, "actSrvPara", "服务器连接参数", "TfrmLogPara"),
        modal(Kind::Dialog, "actAbout", "关于", "TfrmSrvAbout"),

        // The platform's desktop tools, the first one installed of each kind.
        tool("actCalc", "计算器",
             {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}),
        tool("ActNotepad", "记事本",
             {"gedit", "gnome-text-editor", "kate", "kwrite", "mousepad", "xed", "pluma",
              "featherpad", "leafpad"}),
        tool("Actmspaint", "画图", {"kolourpaint", "pinta", "drawing", "mtpaint", "gimp"}),
        tool("ActExplorer", "资源管理器",
             {"nautilus", "dolphin", "thunar", "nemo", "caja", "pcmanfm", "pcmanfm-qt"}),
        plain(Kind::Web, "ActIE", "浏览器"),
        plain(Kind::Web, "ActMail", "电子邮件"),

        plain(Kind::Shell, "actReconnect", "重新连接"),
        plain(Kind::Shell, "ActClose", "退出系统"),
    };
}

NavButton nav(const char *name, const char *caption, const QStringList &actions)
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), actions};
}

QList<NavGroup> buildTree()
{
    return {
        {QStringLiteral("btnBase"),
         QStringLiteral("基本资料"),
         {nav("btnCorp", "部门员工",
              {"actXCorp", "actxDept", "actXEdu", "actXStore", "actXDuty", "actXPolity",
               "actXPSEmp"}),
          nav("btnCustom", "客户厂商",
              {"actxDept", "ActXCustom", "actXCredit", "actXFatbn", "ActXLocal", "actXPayKind",
               "actXMoney"}),
          nav("btnPrdt", "产品资料",
              {"actXSpech", "actXCI", "actXPrdtClass", "actXPrdth", "actXMoney", "actXMeasure",
               "actXTaxAttr"}),
          nav("btnBaseRPTNav", "资料报表",
              {"actXPrdth", "actXPSEmp", "actXFatbn", "ActXCustom", "actRPTFatbn", "ActRPTprdt",
               "actRPTCust", "actRPTpsEmp"})}},
        {QStringLiteral("btnImport"),
         QStringLiteral("采购管理"),
         {nav("btnImportNav", "采购流程",
              {"ActStoreEmpToImport", "actXBuy", "ActXPayFrm", "actXPrdth", "ActSale2Buy",
               "ActXCustom", "actXFatbn", "actImportIN", "actImportReturn", "actXStore"}),
          nav("btnImportRPTNav", "采购报表",
              {"actRPTBuy", "actRPTBuyDetail", "actRPTBuyStat", "ActRPTBuyIn", "ActRPTBuyInDetail",
               "ActRPTBuyPrice"})}},
        {QStringLiteral("btnExport"),
         QStringLiteral("销售管理"),
         {nav("btnExportNav", "销售流程",
              {"ActSale2Buy", "actXSale", "Actgathering", "actExport", "actExportReturn",
               "actXPrdth", "ActXCustom", "actXFatbn", "actBlueinvoice", "actRedinvoice"}),
          nav("btnExportRPTNav", "销售报表",
              {"ActRPTSalePrice", "ActRPTSaleOut", "ActRPTSaleOutDetail", "actRPTSale",
               "actRPTSaleDetail", "actRPTGatherDetail", "actRPTGatherCust", "ActRPTCustSale",
               "ActRPTempGain"}),
          nav("btnExportRPTChart", "决策支持",
              {"actRPTSale", "actChartSale", "actChartClassSale", "actChartPrdtSale",
               "actRPTSaleDetail"})}},
        {QStringLiteral("btnStock"),
         QStringLiteral("库存管理"),
         {nav("btnStockNav", "库存作业",
              {"actStockStart", "actStockCheck", "actStockMove", "actStockProcess",
               "ActStockreject", "ActStoreEmpToImport", "actXStore", "actXPrdth", "actImportIN",
               "ActStockOther", "actExport", "actImportReturn", "actExportReturn"}),
          nav("btnStockRPTNav", "库存报表", {"actRPTStockDetail", "ActRPTprdt"})}},
        {QStringLiteral("btnSystem"),
         QStringLiteral("系统管理"),
         {nav("btnSysSet", "系统设置",
              {"actXPSEmp", "actRight", "actSrvPara", "actSysPara", "actpwd"})}},
    };
}

} // namespace

const QList<ActionDef> &actionTable()
{
    static const QList<ActionDef> table = buildTable();
    return table;
}

const ActionDef *findAction(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> byName;
        for (qsizetype i = 0; i < actionTable().size(); ++i)
            byName.insert(actionTable().at(i).name, i);
        return byName;
    }();
    const auto it = index.constFind(name);
    return it == index.cend() ? nullptr : &actionTable().at(*it);
}

const QList<NavGroup> &navigationTree()
{
    static const QList<NavGroup> tree = buildTree();
    return tree;
}

const NavButton *findNavPage(const QString &page)
{
    for (const NavGroup &group : navigationTree()) {
        for (const NavButton &button : group.buttons) {
            if (button.page().compare(page, Qt::CaseInsensitive) == 0)
                return &button;
        }
    }
    return nullptr;
}

const QList<MenuDef> &toolbarMenus()
{
    static const QList<MenuDef> menus = {
        {QStringLiteral("mnuSystem"),
         QStringLiteral("系统"),
         {"actSrvPara", "actReconnect", "actpwd", "-", "ActClose"}},
        {QStringLiteral("mnuOperate"),
         QStringLiteral("操作"),
         {"ActFirst", "ActPrior", "ActNext", "ActLast", "-", "ActAppend", "ActEdit", "ActDelete",
          "-", "ActSave", "ActCancel", "-", "ActPrint"}},
        {QStringLiteral("mnuTools"),
         QStringLiteral("辅助工具"),
         {"actCalc", "ActNotepad", "Actmspaint", "-", "ActExplorer", "-", "ActMail", "ActIE"}},
        {QStringLiteral("mnuHelp"), QStringLiteral("帮助"), {"actAbout"}},
    };
    return menus;
}

QStringList commandButtons()
{
    return {"ActFirst",  "ActPrior", "ActNext",   "ActLast",  "ActAppend", "ActEdit",
            "ActDelete", "ActSave",  "ActCancel", "ActPrint", "actReturn"};
}

QString installedTool(const ActionDef &action)
{
    for (const QString &program : action.tools) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

QString vendorWebPage()
{
    return QStringLiteral("https://korvane.example");
}

QString vendorMailAddress()
{
    return QStringLiteral("sales@korvane.example");
}

} // namespace korvane::actions
