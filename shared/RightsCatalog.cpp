#include "RightsCatalog.h"

#include <algorithm>

namespace korvane::rights {

namespace {

QList<Entry> entries(std::initializer_list<std::pair<int, const char *>> items)
{
    QList<Entry> list;
    for (const auto &[number, name] : items)
        list.append({number, QString::fromUtf8(name)});
    return list;
}

const QList<Entry> &systemEntries()
{
    static const QList<Entry> list =
        entries({{1, "人员权限"}, {2, "系统参数"}, {3, "数据备份"}, {4, "数据恢复"}});
    return list;
}

const QList<Entry> &functionEntries()
{
    // Number 12 is not used.
    static const QList<Entry> list = entries({
        {1, "政治面貌定义"},    {2, "学历定义"},      {3, "职务定义"},      {4, "公司资料"},
        {5, "部门资料"},        {6, "员工资料"},      {7, "仓库资料"},      {8, "信用额度定义"},
        {9, "厂商客户组别"},    {10, "付款方式定义"}, {11, "币别定义"},     {13, "厂商资料"},
        {14, "客户资料"},       {15, "计量定义"},     {16, "税种定义"},     {17, "品牌定义"},
        {18, "产品大类定义"},   {19, "产品规格定义"}, {20, "产品资料"},     {21, "销售转采购"},
        {22, "库存不足转采购"}, {23, "采购单"},       {24, "采购收货"},     {25, "采购退货"},
        {26, "付款单"},         {27, "销售单"},       {28, "销售出货"},     {29, "销售退货"},
        {30, "收款单"},         {31, "库存期初建档"}, {32, "库存盘点"},     {33, "库存调拨"},
        {34, "生产出入库"},     {35, "库存报废"},     {36, "库存其它异动"},
    });
    return list;
}

const QList<Entry> &reportEntries()
{
    // Two entries carry the number 15.
    static const QList<Entry> list = entries({
        {1, "员工报表"},          {2, "产品报表"},          {3, "厂商报表"},
        {4, "客户报表"},          {5, "采购汇总报表"},      {6, "采购明细报表"},
        {7, "采购在途报表"},      {8, "采购入库汇总报表"},  {9, "采购入库明细报表"},
        {10, "采购历史价格分析"}, {11, "应付帐款报表"},     {12, "应付货品报表"},
        {13, "厂商应付报表"},     {14, "销售汇总报表"},     {15, "销售明细报表"},
        {15, "客户销售分析报表"}, {16, "销售出货汇总报表"}, {17, "销售出货明细报表"},
        {18, "销售历史价格分析"}, {19, "应收帐款报表"},     {20, "应收货品报表"},
        {21, "客户应收报表"},     {22, "销售日报表"},       {23, "销售月报表"},
        {24, "销售年报表"},       {25, "销售毛利统计"},     {26, "销售毛利明细"},
        {27, "销售单毛利"},       {28, "销售员业绩统计"},   {29, "销售退回统计"},
        {30, "滞销品统计"},       {31, "每日客户发货"},     {32, "货品销量分析"},
        {33, "货品销售比例"},     {34, "货品销售排行"},     {35, "客户销售排行"},
        {36, "货品销量同期比较"}, {37, "销售综合查询"},     {38, "库存明细"},
        {39, "库存报警"},         {40, "盘点单"},
    });
    return list;
}

FunctionCover cover(const char *right, const char *provider, const char *flag, QStringList windows)
{
    return {QString::fromUtf8(right), QString::fromLatin1(provider), QString::fromLatin1(flag),
            std::move(windows)};
}

ReportCover report(const char *right, const char *code, const char *action = "")
{
    return {QString::fromUtf8(right), QString::fromLatin1(code), QString::fromLatin1(action)};
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

const QList<Entry> &catalogue(List list)
{
    switch (list) {
    case List::System:
        return systemEntries();
    case List::Function:
        return functionEntries();
    case List::Report:
        break;
    }
    return reportEntries();
}

int operationCount(List list)
{
    return list == List::Function ? 4 : 1;
}

QString operationName(Op op)
{
    static const QStringList names{QStringLiteral("新增"), QStringLiteral("修改"),
                                   QStringLiteral("删除"), QStringLiteral("审核")};
    return names.value(int(op));
}

int rowOf(List list, const QString &name)
{
    const QList<Entry> &rows = catalogue(list);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).name == name)
            return int(i) + 1;
    }
    return 0;
}

Right systemRight(SystemRight right)
{
    return {List::System, int(right), 0};
}

Right functionRight(int row, Op op)
{
    return {List::Function, row, int(op)};
}

Right reportRight(int row)
{
    return {List::Report, row, 0};
}

bool isValid(const Right &right)
{
    return right.row >= 1 && right.row <= catalogue(right.list).size() && right.op >= 0 &&
           right.op < operationCount(right.list);
}

QString describe(const Right &right)
{
    if (!isValid(right))
        return QString();
    const QString name = catalogue(right.list).at(right.row - 1).name;
    if (right.list != List::Function)
        return name;
    return name + QStringLiteral("—") + operationName(Op(right.op));
}

QString refusal(const Right &right)
{
    switch (right.list) {
    case List::System:
        return QStringLiteral("您没有“%1”的系统权限，操作未执行！").arg(describe(right));
    case List::Report:
        return QStringLiteral("您没有“%1”的报表权限！").arg(describe(right));
    case List::Function:
        break;
    }
    return QStringLiteral("您没有“%1”的权限，操作未执行！").arg(describe(right));
}

quint32 Grants::key(const Right &right)
{
    return (quint32(right.list) << 16) | (quint32(right.row) << 4) | quint32(right.op);
}

bool Grants::holdsAnyOf(int functionRow) const
{
    for (int op = 0; op < operationCount(List::Function); ++op) {
        if (holds(functionRight(functionRow, Op(op))))
            return true;
    }
    return false;
}

void Grants::grant(const Right &right)
{
    if (isValid(right))
        m_keys.insert(key(right));
}

void Grants::revoke(const Right &right)
{
    m_keys.remove(key(right));
}

QList<Right> Grants::all() const
{
    QList<Right> list;
    for (List l : {List::System, List::Function, List::Report}) {
        for (int row = 1; row <= catalogue(l).size(); ++row) {
            for (int op = 0; op < operationCount(l); ++op) {
                const Right r{l, row, op};
                if (holds(r))
                    list.append(r);
            }
        }
    }
    return list;
}

Grants Grants::everything()
{
    Grants grants;
    for (List l : {List::System, List::Function, List::Report}) {
        for (int row = 1; row <= catalogue(l).size(); ++row) {
            for (int op = 0; op < operationCount(l); ++op)
                grants.grant({l, row, op});
        }
    }
    return grants;
}

QString Grants::toText() const
{
    QStringList items;
    for (const Right &r : all())
        items << QStringLiteral("%1:%2:%3").arg(listKey(r.list)).arg(r.row).arg(r.op);
    return items.join(QLatin1Char(','));
}

std::optional<Grants> Grants::fromText(const QString &text)
{
    Grants grants;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = item.trimmed().split(QLatin1Char(':'));
        if (parts.size() != 3)
            return std::nullopt;
        const std::optional<List> list = listFromKey(parts.at(0));
        bool rowOk = false;
        bool opOk = false;
        const Right r{list.value_or(List::System), parts.at(1).toInt(&rowOk),
                      parts.at(2).toInt(&opOk)};
        if (!list || !rowOk || !opOk || !isValid(r))
            return std::nullopt;
        grants.grant(r);
    }
    return grants;
}

QString listKey(List list)
{
    switch (list) {
    case List::System:
        return QStringLiteral("SYS");
    case List::Function:
        return QStringLiteral("FUNC");
    case List::Report:
        break;
    }
    return QStringLiteral("RPT");
}

std::optional<List> listFromKey(const QString &key)
{
    for (List l : {List::System, List::Function, List::Report}) {
        if (same(listKey(l), key.trimmed()))
            return l;
    }
    return std::nullopt;
}

const QList<FunctionCover> &functionCovers()
{
    // Invoices have no row of their own: issuing them belongs to the sales side, so the
    // sales order right (销售单) covers them. The two transfer windows write purchase orders,
    // which the purchase order right covers on the server.
    // clang-format off
    static const QList<FunctionCover> list{
        cover("政治面貌定义", "dspPolity", "", {"TfrmXpolity"}),
        cover("学历定义", "dspEdu", "", {"TfrmXEdu"}),
        cover("职务定义", "dspDuty", "", {"TfrmXDuty"}),
        cover("公司资料", "dspCorp", "", {"TfrmXCorp"}),
        cover("部门资料", "dspDept", "", {"TfrmXDept"}),
        cover("员工资料", "dspPsEmp", "", {"TfrmXpsEMP"}),
        cover("仓库资料", "dspStore", "", {"TfrmXStore"}),
        cover("信用额度定义", "dspcredit", "", {"TfrmXCredit"}),
        cover("厂商客户组别", "dspLocal", "", {"TfrmXLocal"}),
        cover("付款方式定义", "dsppayKind", "", {"TfrmXPayKind"}),
        cover("币别定义", "dspMoney", "", {"TfrmXMoney"}),
        cover("厂商资料", "dspFatbn", "", {"TfrmXFatbn"}),
        cover("客户资料", "dspCustome", "", {"TfrmXCustome"}),
        cover("计量定义", "dspMeasure", "", {"TfrmXMeasure"}),
        cover("税种定义", "dspTaxAttr", "", {"TfrmXTaxAttr"}),
        cover("品牌定义", "dspCI", "", {"TfrmXCI"}),
        cover("产品大类定义", "dsppdtClass", "", {"TfrmXPrdtClass"}),
        cover("产品规格定义", "dspSpec", "", {"TfrmXSpecH"}),
        cover("产品资料", "dspPrdt", "", {"TfrmXPrdth"}),
        cover("销售转采购", "", "", {"TfrmSale2Buy"}),
        cover("库存不足转采购", "", "", {"TfrmStockToBuy"}),
        cover("采购单", "dspBuy", "", {"TfrmXBuyh"}),
        cover("采购收货", "dspBuyInOut", "1", {"TfrmBuyIn"}),
        cover("采购退货", "dspBuyInOut", "2", {"TfrmBuyOut"}),
        cover("付款单", "dspOutCome", "", {"TfrmOutCome"}),
        cover("销售单", "dspSale", "", {"TfrmXSale"}),
        cover("销售单", "dspInvoice", "1", {"TfrmInvoice"}),
        cover("销售单", "dspInvoice", "2", {}),
        cover("销售出货", "dspSaleInOut", "3", {"TfrmSaleOut"}),
        cover("销售退货", "dspSaleInOut", "4", {"TfrmSaleIn"}),
        cover("收款单", "dspIncome", "", {"TfrmInCome"}),
        cover("库存期初建档", "dspStock", "", {"TfrmXStock"}),
        cover("库存盘点", "dspStockch", "5", {"TfrmStockCheck"}),
        cover("库存调拨", "dspStockch", "6", {"TfrmStockMove"}),
        cover("生产出入库", "dspStockch", "8", {"TfrmStockprocess"}),
        cover("库存报废", "dspStockch", "7", {"TfrmStockReject"}),
        cover("库存其它异动", "dspStockch", "9", {"TfrmStockOther"}),
    };
    // clang-format on
    return list;
}

const QList<ReportCover> &reportCovers()
{
    // clang-format off
    static const QList<ReportCover> list{
        report("员工报表", "RPTPSEMP"),
        report("产品报表", "RPTPRDT"),
        report("厂商报表", "RPTFATBN"),
        report("客户报表", "RPTCUST"),
        report("采购汇总报表", "RPTBUY"),
        report("采购明细报表", "RPTBUYDETAIL"),
        report("采购在途报表", "RPTBUYSTAT"),
        report("采购入库汇总报表", "RPTBUYIN"),
        report("采购入库明细报表", "RPTBUYINDETAIL"),
        report("采购历史价格分析", "RPTBUYPRICE"),
        report("销售汇总报表", "RPTSALE"),
        report("销售明细报表", "RPTSALEDETAIL"),
        report("客户销售分析报表", "RPTCUSTSALE"),
        report("销售出货汇总报表", "RPTSALEOUT"),
        report("销售出货明细报表", "RPTSALEOUTDETAIL"),
        report("销售历史价格分析", "RPTSALEPRICE"),
        report("应收帐款报表", "RPTGATHERDETAIL"),
        report("客户应收报表", "RPTGATHERCUST"),
        report("销售日报表", "RPTSALEDAY"),
        report("销售月报表", "RPTSALEMon"),
        report("销售员业绩统计", "RPTEMPGAIN"),
        report("货品销量分析", "ChartClassSale", "actChartSale"),
        report("货品销售比例", "ChartClassSale", "actChartClassSale"),
        report("货品销售排行", "ChartSaleOrder", "actChartPrdtSale"),
        report("销售综合查询", "RPTSALEALL"),
        report("库存明细", "RPTSTOCKDETAIL"),
    };
    // clang-format on
    return list;
}

bool coveredByFlag(const QString &provider)
{
    const QList<FunctionCover> &covers = functionCovers();
    return std::any_of(covers.begin(), covers.end(), [&](const FunctionCover &c) {
        return same(c.provider, provider) && !c.flag.isEmpty();
    });
}

std::optional<int> functionRowFor(const QString &provider, const QString &flag)
{
    if (provider.isEmpty())
        return std::nullopt;
    for (const FunctionCover &c : functionCovers()) {
        if (same(c.provider, provider) && c.flag == flag.trimmed())
            return rowOf(List::Function, c.right);
    }
    return std::nullopt;
}

std::optional<int> functionRowForWindow(const QString &windowClass)
{
    for (const FunctionCover &c : functionCovers()) {
        if (c.windowClasses.contains(windowClass, Qt::CaseInsensitive))
            return rowOf(List::Function, c.right);
    }
    return std::nullopt;
}

QList<int> reportRowsFor(const QString &code)
{
    QList<int> rows;
    for (const ReportCover &c : reportCovers()) {
        if (same(c.code, code))
            rows.append(rowOf(List::Report, c.right));
    }
    return rows;
}

QList<int> reportRowsForAction(const QString &action)
{
    QList<int> rows;
    for (const ReportCover &c : reportCovers()) {
        if (!c.action.isEmpty() && same(c.action, action))
            rows.append(rowOf(List::Report, c.right));
    }
    return rows;
}

} // namespace korvane::rights
