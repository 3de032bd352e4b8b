#include "UXSpecH.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoField.h"

namespace {

TDocFieldDecl field(const char *name, const char *label, int width, bool required = false)
{
    return docdecl::field(name, QString::fromUtf8(label), width, required);
}

TDocEditorDecl editor(const char *name, const char *label)
{
    return docdecl::text(name, QString::fromUtf8(label));
}

} // namespace

TDocumentDecl variantHeadsDecl()
{
    TDocumentDecl d =
        docdecl::masterData(QStringLiteral("规格定义"), QStringLiteral("产品规格列表"),
                            QStringLiteral("产品规格详细信息"), "dspSpec", "XSpech", "qrySpecD",
                            "XSpecb", "hcode", "hCode;bCode");
    d.headFields = {field("hcode", "规格代码", 10, true), field("name", "规格名称", 40, true),
                    field("name_e", "规格英文名称", 40)};
    TDocEditorDecl code = editor("hcode", "规格代码");
    code.upperCase = true;
    d.editors = {code, editor("name", "规格名称"), editor("name_e", "规格英文名称")};
    TDocFieldDecl head = field("hcode", "规格代码", 10, true);
    head.shown = false;
    TDocFieldDecl item = field("bcode", "项次", 10, true);
    item.gridReadOnly = true;
    d.lineFields = {head, item, field("name", "规格描述", 40, true),
                    field("name_e", "规格英文描述", 40)};
    d.listColumns = {QStringLiteral("hcode"), QStringLiteral("name"), QStringLiteral("name_e")};
    return d;
}

TfrmXSpecH::TfrmXSpecH(QWidget *parent) : TfrmMasterDetailtbl(variantHeadsDecl(), parent) {}

void TfrmXSpecH::lineInserted()
{
    // The numbers of the head's other items; gaps left by deleted ones are filled first.
    const TLumoField &number = cdsXDetail->FieldByName(QStringLiteral("bCode"));
    QStringList used;
    for (int row = 0; row < cdsXDetail->RecordCount(); ++row)
        used << number.valueAt(row).toString();
    cdsXDetail->FieldByName(QStringLiteral("bCode")).setValue(TLumoChild::NextBodyNo(used));
}
