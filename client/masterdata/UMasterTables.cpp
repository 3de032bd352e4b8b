#include "UMasterTables.h"

#include "LumoCLientDataSet.h"
#include "UCodeTableEntry.h"
#include "UFieldDecl.h"
#include "UMsgBox.h"

#include <QDateTime>

using namespace fielddecl;

namespace {

const QStringList DeptTitles = names({"部门代码", "名称", "公司代码", "所属公司"});

TCodeTableDecl companies()
{
    return tableDecl("公司资料", "dspCorp", "XCorp", "cdsXCorp",
                     {text("CODE", "公司代码", 10).req().upper(), text("NAME", "名称", 100).req(),
                      text("ENAME", "英文名称", 100), text("ADDRESS", "地址", 100),
                      text("ZIPCODE", "邮编", 6), text("Tel", "电话", 30), text("FAX", "传真", 30),
                      text("SERNO", "统一代码", 20), text("TAXNO", "税务登记号", 20),
                      text("MANAGER", "负责人", 10), date("OPENDATE", "设立日期"),
                      listed("PARENT", "所属公司代码", 10, "cdsXCorp"),
                      lookedUp("ParentName", "所属公司", "PARENT", "cdsXCorp"),
                      text("bank", "开户行", 100), text("bankid", "帐号", 20)});
}

TCodeTableDecl departments()
{
    return tableDecl("部门资料", "dspDept", "XDept", "",
                     {text("CODE", "代码", 10).req().upper(), text("NAME", "名称", 100).req(),
                      text("ENAME", "英文名称", 100), text("ADDRESS", "地址", 100),
                      text("ZIPCODE", "邮编", 6), text("Tel", "电话", 30), text("FAX", "传真", 30),
                      text("MANAGER", "负责人", 10), date("OPENDATE", "设立日期"),
                      listed("corpcode", "所属公司代码", 10, "cdsXCorp").req(),
                      lookedUp("CorpName", "所属公司", "corpcode", "cdsXCorp")});
}

TCodeTableDecl stores()
{
    return tableDecl(
        "仓库定义", "dspStore", "XStore", "",
        {text("code", "仓库代码", 10).req().upper(), text("name", "仓库名称", 100).req(),
         text("manager", "负责人", 10), text("serno", "统一编号", 10), text("address", "地址", 120),
         coded("parentc", "所属部门代码", 10, "dspDeptCN",
               names({"部门代码", "部门名称", "公司名称"}), {QStringLiteral("ParentName")})
             .req()
             .upper(),
         text("ParentName", "所属部门", 100).req().ro(), date("caldate", "核算日期"),
         memo("NOTe", "备注", 100)});
}

//! Suppliers and customers: the same fields; the edit area names the code and the class
//! after the window's partners.
TCodeTableDecl partners(const char *caption, const char *provider, const char *tableName,
                        const char *codeCaption, const char *classCaption)
{
    const char *basic = "基本资料";
    const char *business = "商务资料";
    TCodeTableDecl decl = tableDecl(
        caption, provider, tableName, "",
        {text("code", "厂商代码", 10).req().upper().on(basic).shownAs(codeCaption),
         text("name", "名称", 140).req().on(basic),
         text("sname", "简称", 60).on(basic),
         text("address", "地址", 255).on(basic),
         text("zip", "邮编", 6).on(basic),
         listed("LocalCode", "厂商类别", 10, "dspLocal").req().on(basic).shownAs(classCaption),
         text("LocalName", "厂商类别", 40).hidden(),
         text("Decription", "联系人说明", 20).on(basic).shownAs("说    明"),
         text("telephone", "电话", 30).on(basic),
         text("fax", "传真", 30).on(basic),
         text("connectname", "联系人", 20).on(basic),
         text("URL", "网址", 50).on(basic),
         text("MobileNO", "联系人手机", 30).on(basic).shownAs("手    机"),
         text("email", "电子邮件", 100).on(basic),
         coded("deptcode", "关系部门代码", 10, "dspDeptCN", DeptTitles,
               {QStringLiteral("DeptName")})
             .upper()
             .on(basic),
         text("DeptName", "关系部门", 100).ro().on(basic),
         number("capital", "资产").on(business),
         integer("staffnum", "人数").on(business),
         text("taxno", "税务登记号", 15).on(business),
         text("Bank", "开户银行", 50).on(business),
         text("BankID", "帐号", 20).on(business),
         listed("MoneyCode", "收款币别", 10, "dspMoney").on(business),
         text("MoneyName", "收款币别", 40).hidden(),
         listed("creditcode", "信用额度", 4, "cdsxCredit").on(business),
         text("CreditName", "信用额度", 20).hidden(),
         date("opendate", "建档日期").on(business),
         date("overdate", "结束日期").on(business),
         text("spec1", "专长一", 40).on(business),
         text("spec2", "专长二", 40).on(business),
         text("note", "备注", 100).on(business)});
    decl.gridColumns =
        names({"code", "name", "address", "telephone", "URL", "deptcode", "DeptName"});
    decl.pages = names({basic, business});
    return decl;
}

TCodeTableDecl employees()
{
    const char *basic = "基本资料";
    const char *other = "其它资料";
    TCodeTableDecl decl = tableDecl(
        "员工资料", "dspPsEmp", "XpsEmp", "cdsXpsEmp",
        {text("code", "代码", 10).req().on(basic), text("name", "姓名", 10).req().on(basic),
         listed("sexb", "性别", 1, "dspSexAttr").on(basic),
         lookedUp("Sex", "性别", "sexb", "dspSexAttr").hidden(),
         date("bdate", "出生日期").on(basic),
         listed("ifmar", "婚姻状况", 1, "dspMarryAttr").on(basic),
         listed("educode", "学历", 4, "dspEdu").on(basic),
         lookedUp("Edu", "学历", "educode", "dspEdu").hidden(),
         listed("polityCode", "政治面貌", 4, "dspPolity").on(basic),
         text("native", "籍贯", 100).on(basic), text("splace", "户籍", 100).on(basic),
         text("idno", "身份证", 18).on(basic), listed("upe", "血型", 1, "dspUPEAttr").on(basic),
         text("addr", "地址", 100).on(basic), text("zip", "邮编", 6).on(basic),
         text("tel1", "电话", 16).on(basic), text("tel2", "手机", 16).on(basic),
         text("email", "电子邮件", 100).on(basic), picture("pic", "照片").on(basic),
         // A picked department brings its company along.
         coded("deptcode", "部门代码", 10, "dspDeptCN",
               names({"代码", "部门名称", "所属公司代码", "所属公司名称"}),
               names({"DeptName", "corpcode", "CorpName"}))
             .req()
             .upper()
             .on(basic),
         text("DeptName", "部门", 100).ro().on(basic),
         text("corpcode", "公司代码", 10).req().ro().on(basic),
         text("CorpName", "公司", 100).ro().on(basic), text("telman", "联系人", 10).on(other),
         listed("emptype", "员工类别", 1, "dspEmpType").on(other),
         number("specdays", "年休天数").on(other), date("startday", "到职日").on(other),
         listed("saltype", "薪资类别", 1, "dspSalType").on(other),
         number("basesary", "基本工资").on(other), number("addsary", "职位工资").on(other),
         listed("overtype", "加班费计算", 1, "dspOverType").on(other),
         text("bankno", "工资帐号", 18).on(other), text("safeno", "社会保险号码", 20).on(other),
         text("skill1", "特长一", 100).on(other), text("skill2", "特长二", 100).on(other),
         listed("duticode", "职位", 4, "cdsXDuty").on(other), text("note", "备注", 48).on(other),
         text("PicDir", "照片目录", 100).hidden()});
    decl.gridColumns =
        names({"code", "name", "bdate", "Sex", "Edu", "deptcode", "DeptName", "CorpName"});
    decl.pages = names({basic, other});
    return decl;
}

TCodeTableDecl openingStock()
{
    TField line = coded("pdtno", "货品项次", 4, "dspSpecCN",
                        names({"项次", "规格", "包装数量", "计量单位", "含税进价", "不含税进价",
                               "含税售价", "不含税售价"}),
                        {QStringLiteral("specname")});
    line.codeName.preCodeField = QStringLiteral("pdtcode");
    const QStringList productTitles = names({"货品代码", "名称", "大类", "品牌"});
    TCodeTableDecl decl = tableDecl(
        "库存期初资料", "dspStock", "XStock", "",
        {text("storecode", "仓库代码", 10).req().hidden(), text("storename", "仓库", 100).hidden(),
         coded("pdtcode", "货品代码", 30, "dspPdtCN", productTitles, {QStringLiteral("PdtName")})
             .req()
             .upper(),
         text("PdtName", "货品名称", 60).ro(), line.req(), text("specname", "规格型号", 255).ro(),
         number("StartPrice", "启用成本价").req(), number("CalPrice", "平均单价"),
         date("StartDate", "启用日期").req(), date("CalDate", "最近核算日").req(),
         date("cntdate", "最近盘点日").req(), number("startnum", "启用正品量"),
         number("startbad", "启用次品量"), number("pqty", "正品量").ro(),
         number("badnum", "次品数量"), number("stdpqty", "采购中数量").ro(),
         number("lowpqty", "最低安全存量"), text("Note", "备注", 255)});
    decl.keyFields = QStringLiteral("storecode;pdtcode;pdtno");
    for (const TCodeFieldDecl &field : std::as_const(decl.fields)) {
        if (field.name != QLatin1String("storecode") && field.name != QLatin1String("storename") &&
            field.name != QLatin1String("CalDate"))
            decl.gridColumns << field.name;
    }
    TSearchFieldDecl store{QStringLiteral("cnStore"),
                           QStringLiteral("仓    库"),
                           {QStringLiteral("dspStoreCN"),
                            names({"仓库代码", "仓库名称", "所属公司", "所属部门"}),
                            {QStringLiteral("")}},
                           QStringLiteral("StoreCode"),
                           QString(),
                           QStringLiteral("请先选择仓库！")};
    TSearchFieldDecl product{QStringLiteral("cnPdt"),
                             QStringLiteral("货品代码"),
                             {QStringLiteral("dspPdtCN"), productTitles, {QStringLiteral("")}},
                             QStringLiteral("pdtCode"),
                             QStringLiteral("tmppdtCode"),
                             QString()};
    decl.search = {store, product};
    return decl;
}

TCodeTableDecl productClasses()
{
    static const char *const numbers[] = {"一", "二", "三", "四", "五", "六"};
    TCodeTableDecl decl =
        tableDecl("产品大类", "dsppdtClass", "XPrdtClass", "",
                  {text("code", "产品大类代码", 10).req().upper(),
                   text("name", "产品大类名称", 40).req(), text("name_e", "产品大类英文名称", 40)});
    for (int i = 1; i <= 6; ++i) {
        const QByteArray code = "hspecno" + QByteArray::number(i);
        const QByteArray name = "hSpecName" + QByteArray::number(i);
        const QByteArray codeLabel = QByteArray("规格") + numbers[i - 1];
        const QByteArray nameLabel = QByteArray("规格名称") + numbers[i - 1];
        TField head =
            coded(code.constData(), codeLabel.constData(), 10, "dspSpecCodeCN",
                  names({"规格代码", "规格名称", "规格英文名称"}), {QString::fromLatin1(name)});
        TField headName = text(name.constData(), nameLabel.constData(), 40).ro();
        if (i == 1) {
            head.req();
            headName.req();
        }
        decl.fields << head.upper() << headName;
    }
    return decl;
}

const QList<TCodeTableEntry> &entries()
{
    static const QList<TCodeTableEntry> list = {
        {QStringLiteral("TfrmXCorp"), companies(), windowFactory<TfrmXCorp>()},
        {QStringLiteral("TfrmXDept"), departments(), windowFactory<TfrmXDept>()},
        {QStringLiteral("TfrmXStore"), stores(), windowFactory<TfrmXStore>()},
        {QStringLiteral("TfrmXFatbn"),
         partners("厂商资料", "dspFatbn", "XFatBn", "厂商代码", "厂商类别"),
         windowFactory<TfrmXFatbn>()},
        {QStringLiteral("TfrmXCustome"),
         partners("客户资料", "dspCustome", "xCustome", "客户代码", "客户类别"),
         windowFactory<TfrmXCustome>()},
        {QStringLiteral("TfrmXpsEMP"), employees(), windowFactory<TfrmXpsEMP>()},
        {QStringLiteral("TfrmXStock"), openingStock(), windowFactory<TfrmXStock>()},
        {QStringLiteral("TfrmXPrdtClass"), productClasses(), windowFactory<TfrmXPrdtClass>()},
    };
    return list;
}

const TCodeTableDecl &declOf(const char *className)
{
    return *findDecl(entries(), QLatin1String(className));
}

} // namespace

const TCodeTableDecl *masterTableDecl(const QString &className)
{
    return findDecl(entries(), className);
}

QStringList masterTableClasses()
{
    return classNames(entries());
}

TfrmSingletbl *createMasterTableWindow(const QString &className, QWidget *parent)
{
    return createWindow(entries(), className, parent);
}

TfrmXCorp::TfrmXCorp(QWidget *parent) : TfrmSingletbl(declOf("TfrmXCorp"), parent) {}

bool TfrmXCorp::beforeSaveRule()
{
    // Only the direct self-reference is refused; longer circles are the operator's.
    const QString code = CDSXMaster->FieldByName(QStringLiteral("Code")).AsString().trimmed();
    const QString parent = CDSXMaster->FieldByName(QStringLiteral("Parent")).AsString().trimmed();
    if (code.isEmpty() || code.compare(parent, Qt::CaseInsensitive) != 0)
        return true;
    MsgBox(QStringLiteral("公司不能作为其本身的子公司！"), mkHint);
    return false;
}

TfrmXDept::TfrmXDept(QWidget *parent) : TfrmSingletbl(declOf("TfrmXDept"), parent) {}
TfrmXStore::TfrmXStore(QWidget *parent) : TfrmSingletbl(declOf("TfrmXStore"), parent) {}
TfrmXFatbn::TfrmXFatbn(QWidget *parent) : TfrmSingletbl(declOf("TfrmXFatbn"), parent) {}
TfrmXCustome::TfrmXCustome(QWidget *parent) : TfrmSingletbl(declOf("TfrmXCustome"), parent) {}
TfrmXpsEMP::TfrmXpsEMP(QWidget *parent) : TfrmSingletbl(declOf("TfrmXpsEMP"), parent) {}
TfrmXPrdtClass::TfrmXPrdtClass(QWidget *parent) : TfrmSingletbl(declOf("TfrmXPrdtClass"), parent) {}

TfrmXStock::TfrmXStock(QWidget *parent) : TfrmSingletbl(declOf("TfrmXStock"), parent)
{
    // Stock on hand and on order are balances the server keeps: shown, never typed.
    for (const char *name : {"pqty", "stdpqty"})
        CDSXMaster->FieldByName(QLatin1String(name)).setReadOnly(true);
    CDSXMaster->FieldByName(QStringLiteral("startnum")).OnChange = [this](TLumoField &) {
        followOpeningQuantity();
    };
}

void TfrmXStock::followOpeningQuantity()
{
    // As the server stores it: what was on hand, moved by the change of the opening
    // quantity (a new row starts at its opening quantity).
    const TLumoField &start = CDSXMaster->FieldByName(QStringLiteral("startnum"));
    TLumoField &onHand = CDSXMaster->FieldByName(QStringLiteral("pqty"));
    const double pqty =
        onHand.OldValue().toDouble() + start.AsFloat() - start.OldValue().toDouble();
    onHand.setReadOnly(false);
    onHand.setValue(pqty);
    onHand.setReadOnly(true);
}

bool TfrmXStock::beforeInsertRule()
{
    const TSearchFieldDecl &store = decl().search.constFirst();
    if (searchCode(store.name).isEmpty()) {
        askForSearchPick(store);
        return false;
    }
    // A store picked but not yet searched: its list comes first, the new row into it.
    if (!CDSXMaster->Active())
        Search();
    return CDSXMaster->Active();
}

void TfrmXStock::newRowDefaults()
{
    // New rows go into the store picked now, whichever store the listed rows came from.
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    CDSXMaster->FieldByName(QStringLiteral("storecode"))
        .setValue(searchCode(decl().search.constFirst().name));
    for (const char *name : {"StartDate", "CalDate", "cntdate"})
        CDSXMaster->FieldByName(QLatin1String(name)).setValue(now);
}
