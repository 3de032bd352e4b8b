#include "URPTQryKinds.h"

#include "UWorkWindows.h"

namespace {

using Cond = TRPTCondDecl;
using Line = TRPTLineDecl;

// ---- conditions ---------------------------------------------------------------------------

Cond dates(const QString &label = QStringLiteral("时间从"))
{
    return {.kind = Cond::ckDates,
            .name = QStringLiteral("dtDates"),
            .label = label,
            .label2 = QStringLiteral("到"),
            .missing = QStringLiteral("请先选择报表查询的时间段。")};
}

Cond state()
{
    return {.kind = Cond::ckCheck,
            .name = QStringLiteral("chkState"),
            .label = QStringLiteral("包含未审核单据"),
            .param = QStringLiteral("State")};
}

Cond code(const char *name, const char *label, const char *provider, QStringList titles,
          const char *param)
{
    return {.kind = Cond::ckCode,
            .name = QString::fromLatin1(name),
            .label = QString::fromUtf8(label),
            .provider = QString::fromLatin1(provider),
            .titles = std::move(titles),
            .param = QString::fromLatin1(param)};
}

Cond required(Cond cond, const char *missing, QStringList onlyFor = {})
{
    cond.missing = QString::fromUtf8(missing);
    cond.onlyFor = std::move(onlyFor);
    return cond;
}

Cond after(Cond cond, const char *preCode)
{
    cond.preCode = QString::fromLatin1(preCode);
    return cond;
}

const QStringList ProductTitles{"货品代码", "货品名称", "货品类别", "品牌"};
const QStringList SupplierTitles{"厂商代码", "厂商名称", "类别", "部门"};
const QStringList CustomerTitles{"客户代码", "客户名称", "类别", "部门"};
const QStringList DepartmentTitles{"部门代码", "部门名称", "公司代码", "公司名称"};

Cond product(const char *label = "货  品", const char *param = "pdtCode")
{
    return code("cnPdtCode", label, "dspPdtCN", ProductTitles, param);
}

//! The variant lines of the picked product.
Cond variant(const char *label = "规　格", const char *param = "pdtno")
{
    return after(code("cnPdtNo", label, "dspSpecCN",
                      {"项次", "规格", "每包装中数量", "基本计量单位", "含税进价", "不含税进价",
                       "含税售价", "不含税售价"},
                      param),
                 "cnPdtCode");
}

Cond supplier(const char *label = "厂  商")
{
    return code("cnSpCode", label, "dspFatbnCN", SupplierTitles, "spCode");
}

Cond customer(const char *label = "客  户")
{
    return code("cnSpCode", label, "dspCustomeCN", CustomerTitles, "spCode");
}

Cond department(const char *label = "部  门")
{
    return code("cnDeptCode", label, "dspDeptCN", DepartmentTitles, "DeptCode");
}

//! The products of the picked class, or of every class.
Cond classProduct()
{
    Cond cond = after(code("cnPdtCode", "货    品", "dspClassPdtCN", ProductTitles, "pdtCode"),
                      "cnClassCode");
    cond.preCodeOptional = true;
    return cond;
}

Cond neededProduct()
{
    return required(product(), "请先选择要查询的货品。");
}

// ---- condition lines ----------------------------------------------------------------------

Line line(const char *condition, const char *label)
{
    return {.condition = QString::fromLatin1(condition), .label = QString::fromUtf8(label)};
}

Line productLine()
{
    return line("cnPdtCode", "货    品:");
}

Line variantLine()
{
    Line l = line("cnPdtNo", "规格型号:");
    l.onlyPicked = true;
    return l;
}

Line supplierLine()
{
    return line("cnSpCode", "供 应 商:");
}

Line customerLine()
{
    return line("cnSpCode", "客    户:");
}

//! The department line; some reports name their department differently.
Line departmentLine(const char *label, const QStringList &codes = {}, const char *other = "")
{
    Line l = line("cnDeptCode", label);
    for (const QString &c : codes)
        l.labelFor.insert(c, QString::fromUtf8(other));
    return l;
}

Line purchaseDepartment()
{
    return departmentLine("采购部门:", {"RPTBUYIN", "RPTBUYINDETAIL"}, "验收部门:");
}

Line salesDepartment()
{
    return departmentLine("销售部门:", {"RPTSALEOUT", "RPTSALEOUTDETAIL"}, "出货部门:");
}

QList<TRPTReportDecl> reports(const QStringList &codes)
{
    QList<TRPTReportDecl> list;
    for (const QString &c : codes)
        list << TRPTReportDecl{.code = c};
    return list;
}

// ---- the windows --------------------------------------------------------------------------

QList<TRPTQryDecl> buildDecls()
{
    QList<TRPTQryDecl> decls;
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTBuyQry"),
        .reports = reports({"RPTBUY", "RPTBUYDETAIL", "RPTBUYSTAT", "RPTBUYIN", "RPTBUYINDETAIL"}),
        .conditions = {dates(), product(), supplier(), department(), state()},
        .lines = {productLine(), supplierLine(), purchaseDepartment()}};
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTBuyPriceQry"),
        .reports = reports({"RPTBUYPRICE"}),
        .conditions = {dates(), neededProduct(), variant(), supplier(), department(), state()},
        .lines = {productLine(), variantLine(), supplierLine(), purchaseDepartment()}};
    decls << TRPTQryDecl{.className = QStringLiteral("TfrmRPTSaleQry"),
                         .reports = reports({"RPTSALE", "RPTSALEDETAIL", "RPTCUSTSALE",
                                             "RPTSALEOUT", "RPTSALEOUTDETAIL", "RPTSALEALL"}),
                         .conditions = {dates(), product(),
                                        required(customer(), "请先选择客户！", {"RPTSALEALL"}),
                                        department(), state()},
                         .lines = {productLine(), customerLine(), salesDepartment()}};
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTSalePriceQry"),
        .reports = reports({"RPTSALEPRICE"}),
        .conditions = {dates(), neededProduct(), variant(), customer(), department(), state()},
        .lines = {productLine(), variantLine(), customerLine(), salesDepartment()}};
    decls << TRPTQryDecl{.className = QStringLiteral("TfrmRPTempGainQry"),
                         .reports = reports({"RPTEMPGAIN"}),
                         .conditions = {dates(), department(), state()},
                         .lines = {salesDepartment()}};
    decls << TRPTQryDecl{.className = QStringLiteral("TfrmRPTGatherDetailQry"),
                         .reports = reports({"RPTGATHERDETAIL"}),
                         .conditions = {dates(QStringLiteral("收款时间从")), customer("客      户"),
                                        department("收款  部门"), state()},
                         .lines = {customerLine(), departmentLine("收款部门:")}};
    decls << TRPTQryDecl{.className = QStringLiteral("TfrmRPTGatherCustQry"),
                         .reports = reports({"RPTGATHERCUST"}),
                         .conditions = {customer(), department("销售  部门"), state()},
                         .lines = {customerLine(), salesDepartment()}};
    Line storeItem = line("cnPdtNo", "货品项次：");
    storeItem.all = QStringLiteral("【 全 部 】");
    decls << TRPTQryDecl{.className = QStringLiteral("TfrmRPTStockDetailQry"),
                         .reports = reports({"RPTSTOCKDETAIL"}),
                         .conditions = {code("cnStoreCode", "仓库代码", "dspStoreCN",
                                             {"仓库代码", "仓库名称", "公司", "部门"}, "StoreCode"),
                                        product("货品代码", "PdtCode"),
                                        variant("货品项次", "PdtNo")},
                         .lines = {line("cnStoreCode", "仓库名称:"), productLine(), storeItem}};
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTPrdtQry"),
        .caption = QStringLiteral("产品资料报表条件选择"),
        .reports = reports({"RPTPRDT"}),
        .conditions = {code("cnClassCode", "货品类别", "dspClassCN", {"货品类别", "类别名称"},
                            "ClassCode"),
                       classProduct(), supplier("供 应 商")},
        .lines = {line("cnClassCode", "货品类别:"), productLine(), supplierLine()}};
    Cond company =
        required(code("cnCorpCode", "所属公司", "dspCorpCN", {"所属公司", "公司名称"}, "CorpCode"),
                 "请先选择所属公司。");
    company.alone = true;
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTempQry"),
        .caption = QStringLiteral("员工报表条件选择"),
        .reports = reports({"RPTPSEMP"}),
        .conditions = {company, after(code("cnDeptCode", "部    门", "dspCorpDeptCN",
                                           DepartmentTitles, "DeptCode"),
                                      "cnCorpCode")},
        .lines = {line("cnCorpCode", "公    司:")}};
    decls << TRPTQryDecl{
        .className = QStringLiteral("TfrmRPTCustQry"),
        .reports = {{.code = QStringLiteral("RPTCUST"), .title = QStringLiteral("客户资料报表")},
                    {.code = QStringLiteral("RPTFATBN"), .title = QStringLiteral("厂商资料报表")}},
        .conditions = {code("cnLocalCode", "客户/厂商类别", "dspLocalCN", {"类别代码", "类别名称"},
                            "LocalCode"),
                       department("关系部门")},
        .lines = {line("cnLocalCode", "类别:"), line("cnDeptCode", "关系部门:")}};
    return decls;
}

const QList<TRPTQryDecl> &decls()
{
    static const QList<TRPTQryDecl> all = buildDecls();
    return all;
}

const TRPTQryDecl &declOf(const char *className)
{
    return *reportQueryDecl(QString::fromLatin1(className));
}

} // namespace

const TRPTQryDecl *reportQueryDecl(const QString &className)
{
    for (const TRPTQryDecl &decl : decls()) {
        if (decl.className == className)
            return &decl;
    }
    return nullptr;
}

QStringList reportQueryClasses()
{
    QStringList names;
    for (const TRPTQryDecl &decl : decls())
        names << decl.className;
    return names;
}

#define KORVANE_REPORT_QUERY(cls)                                                                  \
    cls::cls(QWidget *parent) : TfrmRPTQry(declOf(#cls), parent) {}

KORVANE_REPORT_QUERY(TfrmRPTBuyQry)
KORVANE_REPORT_QUERY(TfrmRPTBuyPriceQry)
KORVANE_REPORT_QUERY(TfrmRPTSaleQry)
KORVANE_REPORT_QUERY(TfrmRPTSalePriceQry)
KORVANE_REPORT_QUERY(TfrmRPTempGainQry)
KORVANE_REPORT_QUERY(TfrmRPTGatherDetailQry)
KORVANE_REPORT_QUERY(TfrmRPTGatherCustQry)
KORVANE_REPORT_QUERY(TfrmRPTStockDetailQry)
KORVANE_REPORT_QUERY(TfrmRPTPrdtQry)
KORVANE_REPORT_QUERY(TfrmRPTempQry)
KORVANE_REPORT_QUERY(TfrmRPTCustQry)

namespace {

template <class Window> TfrmRPTQry *make(QWidget *parent)
{
    return new Window(parent);
}

} // namespace

TfrmRPTQry *createReportQueryWindow(const QString &className, QWidget *parent)
{
    using Factory = TfrmRPTQry *(*)(QWidget *);
    static const QMap<QString, Factory> factories{
        {QStringLiteral("TfrmRPTBuyQry"), &make<TfrmRPTBuyQry>},
        {QStringLiteral("TfrmRPTBuyPriceQry"), &make<TfrmRPTBuyPriceQry>},
        {QStringLiteral("TfrmRPTSaleQry"), &make<TfrmRPTSaleQry>},
        {QStringLiteral("TfrmRPTSalePriceQry"), &make<TfrmRPTSalePriceQry>},
        {QStringLiteral("TfrmRPTempGainQry"), &make<TfrmRPTempGainQry>},
        {QStringLiteral("TfrmRPTGatherDetailQry"), &make<TfrmRPTGatherDetailQry>},
        {QStringLiteral("TfrmRPTGatherCustQry"), &make<TfrmRPTGatherCustQry>},
        {QStringLiteral("TfrmRPTStockDetailQry"), &make<TfrmRPTStockDetailQry>},
        {QStringLiteral("TfrmRPTPrdtQry"), &make<TfrmRPTPrdtQry>},
        {QStringLiteral("TfrmRPTempQry"), &make<TfrmRPTempQry>},
        {QStringLiteral("TfrmRPTCustQry"), &make<TfrmRPTCustQry>},
    };
    const Factory factory = factories.value(className);
    return factory ? factory(parent) : nullptr;
}

void registerReportWindows()
{
    for (const QString &className : reportQueryClasses()) {
        korvane::workwindows::registerWindow(className, [className](QWidget *parent) {
            return createReportQueryWindow(className, parent);
        });
    }
}
