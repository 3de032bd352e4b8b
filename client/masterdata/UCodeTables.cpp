#include "UCodeTables.h"

#include "LumoCLientDataSet.h"
#include "UCodeTableEntry.h"
#include "UMsgBox.h"

namespace {

constexpr auto Float = korvane::FieldType::Float;

TCodeFieldDecl code(const char *label, int width, bool upperCase = true)
{
    return {QStringLiteral("Code"),
            QString::fromUtf8(label),
            korvane::FieldType::String,
            width,
            true,
            upperCase};
}

TCodeFieldDecl text(const char *name, const char *label, int width, bool required = false)
{
    return {QLatin1String(name), QString::fromUtf8(label), korvane::FieldType::String, width,
            required};
}

TCodeFieldDecl number(const char *name, const char *label, bool required = false,
                      const char *suffix = "")
{
    return {QLatin1String(name),      QString::fromUtf8(label), Float, 0, required, false,
            TCodeFieldDecl::ekNumber, QString::fromUtf8(suffix)};
}

TCodeTableDecl readOnlyGrid(TCodeTableDecl decl)
{
    decl.gridReadOnly = true;
    return decl;
}

// The code tables in menu order: window class, caption, provider and table of the base
// module, the data module's shared list of the same table, and the fields.
const QList<TCodeTableEntry> &entries()
{
    static const QList<TCodeTableEntry> list = {
        {QStringLiteral("TfrmXCI"),
         readOnlyGrid(tableDecl("品牌设置", "dspCI", "XCI", "dspCI",
                                {code("品牌代码", 4), text("Name", "品牌名称", 20, true)})),
         windowFactory<TfrmXCI>()},
        {QStringLiteral("TfrmXDuty"),
         tableDecl("职位定义", "dspDuty", "XDuty", "cdsXDuty",
                   {code("职务代码", 4), text("Name", "名称", 20, true),
                    number("BaseSal", "基本工资"), number("Addsal", "职务津贴"),
                    text("Note", "备注", 60)}),
         windowFactory<TfrmXDuty>()},
        {QStringLiteral("TfrmXMoney"),
         tableDecl("币种设置", "dspMoney", "XMoney", "dspMoney",
                   {code("代码", 4), text("Name", "名称", 20, true), text("ename", "英文名称", 20),
                    number("rate", "汇率")}),
         windowFactory<TfrmXMoney>()},
        {QStringLiteral("TfrmXEdu"),
         tableDecl("学历定义", "dspEdu", "XEdu", "dspEdu",
                   {code("学历代码", 1), text("Name", "名称", 10, true), text("note", "备注", 24)}),
         windowFactory<TfrmXEdu>()},
        {QStringLiteral("TfrmXCredit"),
         tableDecl("信用额度", "dspcredit", "XCredit", "cdsxCredit",
                   {code("信用分类代码", 4), text("Name", "信用分类名称", 20, true),
                    number("CNum", "信用额", true)}),
         windowFactory<TfrmXCredit>()},
        {QStringLiteral("TfrmXLocal"),
         tableDecl("客户/厂商类别划分", "dspLocal", "XLocal", "dspLocal",
                   {code("客户/厂商类别代码", 4), text("Name", "名称", 20, true)}),
         windowFactory<TfrmXLocal>()},
        {QStringLiteral("TfrmXPayKind"),
         tableDecl("付款方式", "dsppayKind", "XPayKind", "dspPayKind",
                   {code("付款方式代码", 4), text("Name", "名称", 20, true)}),
         windowFactory<TfrmXPayKind>()},
        {QStringLiteral("TfrmXpolity"),
         tableDecl("政治面貌", "dspPolity", "xPolity", "dspPolity",
                   {code("代码", 1), text("Name", "政治面貌", 10, true)}),
         windowFactory<TfrmXpolity>()},
        {QStringLiteral("TfrmXMeasure"),
         tableDecl("计量单位", "dspMeasure", "XMeasure", "dspMeasure",
                   {code("代码", 4), text("Name", "名称", 20, true)}),
         windowFactory<TfrmXMeasure>()},
        // Tax codes are kept as typed; the rate is a percentage.
        {QStringLiteral("TfrmXTaxAttr"),
         tableDecl("税别税率", "dspTaxAttr", "XTaxAttr", "cdsXTaxAttr",
                   {code("代码", 4, false), text("Name", "税种", 30, true),
                    number("taxrate", "税率", true, "%")}),
         windowFactory<TfrmXTaxAttr>()},
    };
    return list;
}

const TCodeTableDecl &declOf(const char *className)
{
    return *findDecl(entries(), QLatin1String(className));
}

} // namespace

const TCodeTableDecl *codeTableDecl(const QString &className)
{
    return findDecl(entries(), className);
}

QStringList codeTableClasses()
{
    return classNames(entries());
}

TfrmSingletbl *createCodeTableWindow(const QString &className, QWidget *parent)
{
    return createWindow(entries(), className, parent);
}

TfrmXCI::TfrmXCI(QWidget *parent) : TfrmSingletbl(declOf("TfrmXCI"), parent) {}
TfrmXDuty::TfrmXDuty(QWidget *parent) : TfrmSingletbl(declOf("TfrmXDuty"), parent) {}
TfrmXEdu::TfrmXEdu(QWidget *parent) : TfrmSingletbl(declOf("TfrmXEdu"), parent) {}
TfrmXCredit::TfrmXCredit(QWidget *parent) : TfrmSingletbl(declOf("TfrmXCredit"), parent) {}
TfrmXLocal::TfrmXLocal(QWidget *parent) : TfrmSingletbl(declOf("TfrmXLocal"), parent) {}
TfrmXPayKind::TfrmXPayKind(QWidget *parent) : TfrmSingletbl(declOf("TfrmXPayKind"), parent) {}
TfrmXpolity::TfrmXpolity(QWidget *parent) : TfrmSingletbl(declOf("TfrmXpolity"), parent) {}
TfrmXMeasure::TfrmXMeasure(QWidget *parent) : TfrmSingletbl(declOf("TfrmXMeasure"), parent) {}
TfrmXTaxAttr::TfrmXTaxAttr(QWidget *parent) : TfrmSingletbl(declOf("TfrmXTaxAttr"), parent) {}

TfrmXMoney::TfrmXMoney(QWidget *parent) : TfrmSingletbl(declOf("TfrmXMoney"), parent) {}

bool TfrmXMoney::homeCurrencyUntouched() const
{
    // The rule looks at the code as it stood when the row was loaded as well: the home
    // currency's row cannot be renamed away from "01" either.
    const TLumoField &field = CDSXMaster->FieldByName(QStringLiteral("Code"));
    const QString home = QLatin1String(HomeCurrencyCode);
    if (field.AsString().trimmed() != home && field.OldValue().toString().trimmed() != home)
        return true;
    MsgBox(QStringLiteral("人民币为本币！不能修改或删除！"), mkHint);
    return false;
}

bool TfrmXMoney::beforeSaveRule()
{
    return homeCurrencyUntouched();
}

bool TfrmXMoney::beforeDeleteRule()
{
    return homeCurrencyUntouched();
}
