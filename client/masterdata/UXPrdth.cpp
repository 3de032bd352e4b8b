#include "UXPrdth.h"

#include "LumoCLientDataSet.h"
#include "LumoCheckBox.h"
#include "LumoChild.h"
#include "LumoEdit.h"
#include "LumoPanel.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "UDocEditors.h"
#include "UFieldDecl.h"
#include "USingleTblEditors.h"
#include "USpecedt.h"

#include <QVBoxLayout>

using namespace fielddecl;

namespace {

const QString SpecName = QStringLiteral("SpecName");

TDocFieldDecl headField(const char *name, const char *label, int width, bool required = false)
{
    return docdecl::field(name, QString::fromUtf8(label), width, required);
}

TDocEditorDecl headText(const char *name, const char *label)
{
    return docdecl::text(name, QString::fromUtf8(label));
}

TDocEditorDecl headCode(const char *name, const char *field, const char *label,
                        const char *provider, const QStringList &titles, const char *nameField)
{
    TDocEditorDecl e =
        docdecl::codeName(name, field, QString::fromUtf8(label), provider, titles, nameField);
    e.upperCase = true;
    return e;
}

//! The data set's view of a line field declared for the edit area.
TDocFieldDecl lineField(const TCodeFieldDecl &f, const QStringList &gridColumns)
{
    TDocFieldDecl d{f.name, f.label, f.type, f.width, f.required};
    d.shown = gridColumns.contains(f.name);
    d.gridReadOnly = f.readOnly || f.name == QLatin1String("bodyno");
    d.lookupKey = f.lookupKey;
    d.lookupList = f.list;
    d.ellipsis = f.name == SpecName;
    return d;
}

QStringList lineGridColumns()
{
    return names({"bodyno", "SpecName", "measurename", "Inprice", "SalePrice"});
}

} // namespace

TCodeTableDecl productLineArea()
{
    TCodeTableDecl d;
    d.editColumns = 3;
    d.fields = {
        text("pdtcode", "货品代码", 30).req().hidden(),
        text("bodyno", "项次", 4).req().hidden(),
        text("SpecName", "规格型号", 255).req().withButton("货品规格详细信息"),
        text("barcode", "条形码", 30),
        listed("measure", "计量单位", 4, "dspMeasure").req(),
        lookedUp("measurename", "计量单位", "measure", "dspMeasure").hidden(),
        listed("BigPack", "包装单位", 4, "dspMeasure"),
        lookedUp("BigPakName", "包装单位", "BigPack", "dspMeasure").hidden(),
        number("PackNum", "包装数量"),
        coded("spcode", "供应商代码", 10, "dspFatbnCN", names({"代码", "厂商名称"}),
              {QStringLiteral("SpName")}, false)
            .upper(),
        text("SpName", "供应商", 140).ro(),
        number("Inprice", "进价"),
        listed("Intaxtype", "进货税别", 4, "cdsXTaxAttr"),
        number("Intaxrate", "进货税率").after("%"),
        number("TInprice", "进价价税合计"),
        number("SalePrice", "售价"),
        listed("SaleTaxtype", "销售税别", 4, "cdsXTaxAttr"),
        number("SaleTaxrate", "销售税率").after("%"),
        number("TSalePrice", "售价价税合计"),
        text("cuft", "尺寸", 30),
        number("nweight", "净重").shownAs("净重(kg)"),
        number("gweight", "毛重").shownAs("毛重(kg)"),
        picture("Pic", "照片"),
        text("PicDir", "照片目录", 100).hidden(),
        text("Note", "备注", 255),
    };
    return d;
}

TDocumentDecl productsDecl()
{
    TDocumentDecl d = docdecl::masterData(QStringLiteral("货品资料"), QStringLiteral("资料列表"),
                                          QStringLiteral("详细信息"), "dspPrdt", "XPrdth",
                                          "qryPrdtD", "XPrdtb", "pdtCode", "pdtCode;bodyno");
    d.lineEditArea = true;
    d.opensOnDocument = true;
    d.queryHeading = QStringLiteral("搜索条件：");
    d.queryButton = QStringLiteral("搜索");
    d.selectors = {
        {QStringLiteral("cnCICodeSel"), QStringLiteral("CICode"), QStringLiteral("品牌代码"),
         QStringLiteral("品    牌"), QStringLiteral("dspCICN"), names({"品牌代码", "品牌名称"})},
        {QStringLiteral("cnClassCodeSel"), QStringLiteral("ClassCode"), QStringLiteral("大类代码"),
         QStringLiteral("大类名称"), QStringLiteral("dspClassCN"), names({"分类代码", "名称"})}};
    d.filterParams = {QStringLiteral("ClassCode"), QStringLiteral("CICode")};
    d.headFields = {headField("pdtcode", "货品代码", 30, true),
                    headField("name", "货品名称", 60, true),
                    headField("name_e", "英文名称", 60),
                    headField("classcode", "货品大类", 10, true),
                    headField("cicode", "品牌", 4),
                    headField("ClassName", "货品大类", 40),
                    headField("CIName", "品牌", 24)};
    TDocEditorDecl code = headText("pdtcode", "货品代码");
    code.upperCase = true;
    d.editors = {code, headText("name", "货品名称"), headText("name_e", "英文名称"),
                 headCode("cnclasscode", "classcode", "货品大类", "dspClassCN",
                          names({"分类代码", "名称"}), "ClassName"),
                 headCode("cncicode", "cicode", "品牌", "dspCICN", names({"品牌代码", "品牌名称"}),
                          "CIName")};
    const QStringList grid = lineGridColumns();
    for (const TCodeFieldDecl &f : productLineArea().fields)
        d.lineFields << lineField(f, grid);
    d.listColumns = names({"pdtcode", "name", "name_e", "ClassName", "CIName"});
    return d;
}

TfrmXPrdth::TfrmXPrdth(QWidget *parent) : TfrmMasterDetailtbl(productsDecl(), parent)
{
    createLineEditArea();
    prdtline::bindPriceRules(*cdsXDetail,
                             dmMain ? dmMain->lookup(QStringLiteral("cdsXTaxAttr")) : nullptr);
    // Whenever another line becomes current it is the one a new line may copy.
    connect(cdsXDetail, &TLumoCLientDataSet::recordMoved, this, &TfrmXPrdth::rememberCurrentLine);
}

void TfrmXPrdth::createLineEditArea()
{
    auto *layout = new QVBoxLayout(pnlDetailEdt);
    layout->setContentsMargins(0, 0, 0, 0);
    chkCopy = new TLumoCheckBox(QStringLiteral("以下资料新增时自动从前一条拷贝"), pnlDetailEdt);
    chkCopy->setObjectName(QStringLiteral("chkCopy"));
    chkCopy->setChecked(true);
    layout->addWidget(chkCopy);
    auto *fields =
        doceditors::makePanel(pnlDetailEdt, "pnlDetailFields", "D0", TLumoPanel::ptNormal);
    layout->addWidget(fields);
    singletbl::buildEditArea(fields, productLineArea(), dsXDetail);
    if (auto *button = fields->findChild<TLumobitBtn *>(QStringLiteral("btn") + SpecName))
        connect(button, &QPushButton::clicked, this, &TfrmXPrdth::chooseVariant);
}

void TfrmXPrdth::rememberCurrentLine()
{
    // A line being inserted is not yet a line to copy; a product without lines leaves
    // the record as it was.
    if (cdsXDetail->Active() && !cdsXDetail->IsEmpty() &&
        cdsXDetail->State() != TDataSetState::dsInsert)
        m_previous = prdtline::read(*cdsXDetail);
}

void TfrmXPrdth::lineAboutToBeInserted()
{
    // The line current now is already posted: what it holds now is what the next copies.
    rememberCurrentLine();
    m_hadLines = cdsXDetail->RecordCount() > 0;
}

void TfrmXPrdth::lineInserted()
{
    const bool copy = m_hadLines && chkCopy->isChecked();
    prdtline::assign(*cdsXDetail, copy ? m_previous : m_empty);
}

void TfrmXPrdth::lineEllipsisClicked(const QString &field)
{
    if (field.compare(SpecName, Qt::CaseInsensitive) == 0)
        chooseVariant();
}

void TfrmXPrdth::chooseVariant()
{
    if (auto *box = pnlDetailEdt->findChild<QWidget *>(QStringLiteral("edt") + SpecName))
        box->setFocus(Qt::OtherFocusReason);
    const auto editing = [this] {
        return cdsXDetail->State() == TDataSetState::dsEdit ||
               cdsXDetail->State() == TDataSetState::dsInsert;
    };
    if (!editing() && (!LumoChild->ExecCommand(TLumoChild::cmEdit) || !editing()))
        return;
    TLumoRemoteServer *base = CDSXMaster->RemoteServer();
    if (!base)
        return;
    QString spec = cdsXDetail->FieldByName(SpecName).AsString();
    const QString classCode = CDSXMaster->FieldByName(QStringLiteral("classcode")).AsString();
    if (frmSpecedt().Choose(*base, classCode, spec))
        cdsXDetail->FieldByName(SpecName).setValue(spec);
}
