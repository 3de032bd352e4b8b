#include "UInvoice.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoComboBox.h"
#include "LumoLabel.h"
#include "LumoPanel.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "UDocEditors.h"
#include "UMoneyKinds.h"
#include "UMoneyRules.h"

#include <QHBoxLayout>

namespace {

const QString Blank = QStringLiteral(" ");

double number(const TLumoCLientDataSet &ds, const char *name)
{
    return ds.FieldByName(QLatin1String(name)).AsFloat();
}

} // namespace

TfrmInvoice::TfrmInvoice(QWidget *parent)
    : TfrmMasterDetailtbl(*findDocumentDecl(moneyDocumentKinds(), QStringLiteral("TfrmInvoice")),
                          parent)
{
    createTypeFilter();
    // The frame's presets could not ask this window for its kind yet.
    CDSXMaster->Params().setValue(QStringLiteral("Flag"), kindFlag());
    if (dmMain)
        CDSXMaster
            ->addLookupField(QStringLiteral("Taxname"), QStringLiteral("taxtype"),
                             dmMain->lookup(QStringLiteral("cdsXTaxAttr")), QStringLiteral("Code"),
                             QStringLiteral("Name"))
            .setDisplayLabel(QStringLiteral("税别"));
    moneyrules::bindCurrencyRate(*CDSXMaster);
    moneyrules::bindHomeTotal(*CDSXMaster, false);
    moneyrules::bindLineMoney(*cdsXDetail, true);
    CDSXMaster->FieldByName(QStringLiteral("taxrate")).OnChange = [this](TLumoField &) {
        taxRateChanged();
    };
    CDSXMaster->FieldByName(QStringLiteral("taxtype")).OnChange = [this](TLumoField &) {
        taxTypeChanged();
    };
    cdsXDetail->addAggregateField(QStringLiteral("sumofamount"), QStringLiteral("sum( amount)"));
    cdsXDetail->addAggregateField(QStringLiteral("sumoftax"), QStringLiteral("sum(tax)"));
    cdsXDetail->addAggregateField(QStringLiteral("sumoftaxamount"),
                                  QStringLiteral("sum(taxamount)"));
    cdsXDetail->AfterPost = [this](TLumoCLientDataSet &) { linesChanged(); };
    cdsXDetail->AfterDelete = [this](TLumoCLientDataSet &) { linesChanged(); };
}

void TfrmInvoice::createTypeFilter()
{
    auto *row = static_cast<QHBoxLayout *>(pnlQuery->layout());
    const int beforeQuery = row->indexOf(btnQry);
    cbInOurFlag = new TLumoComboBox(pnlQuery);
    cbInOurFlag->setObjectName(QStringLiteral("cbInOurFlag"));
    cbInOurFlag->setMinimumContentsLength(8);
    row->insertWidget(beforeQuery, new TLumoLabel(QStringLiteral("发票类型"), pnlQuery));
    row->insertWidget(beforeQuery + 1, cbInOurFlag);
    row->insertSpacing(beforeQuery + 2, 10);
}

void TfrmInvoice::SetFlag(int flag)
{
    if (flag != 1 && flag != 2)
        return;
    const bool firstKind = m_flag == 0;
    m_flag = flag;
    const QString colour = flag == 1 ? QStringLiteral("蓝") : QStringLiteral("红");
    btnReadBuy->setText(flag == 1 ? QStringLiteral("读销售单") : QStringLiteral("读退返单"));
    cbInOurFlag->clear();
    cbInOurFlag->addItems({QStringLiteral("全部"), colour + QStringLiteral("字普通发票"),
                           colour + QStringLiteral("字增值税发票")});
    cbInOurFlag->setCurrentIndex(0);
    doceditors::showKindOnly(QStringLiteral("cdsInvoiceAttr"), kindFlag(),
                             component(QStringLiteral("cbInOutFlag")));
    // Opened before it had a kind, the list showed nothing: now it shows today's of this kind.
    const bool idle =
        CDSXMaster->State() == TDataSetState::dsBrowse && CDSXMaster->ChangeCount() == 0;
    if (firstKind && LumoChild->Initialized() && idle)
        btnQryClick();
}

QString TfrmInvoice::kindFlag() const
{
    // Before the main window has set a kind the list shows no invoice at all.
    return m_flag ? QString::number(m_flag) : Blank;
}

void TfrmInvoice::queryParamsSet(TLumoParams &params)
{
    // "全部" switches the type filter off; the others are the types 0 and 1.
    const int index = cbInOurFlag->currentIndex();
    const QString type = index <= 0 ? Blank : QString::number(index - 1);
    params.setValue(QStringLiteral("InOutFlag"), type);
    params.setValue(QStringLiteral("tmpInOutFlag"), type);
}

void TfrmInvoice::beforeActivation()
{
    // The list of types may have been filtered since; this window shows its own kind's.
    if (m_flag)
        doceditors::showKindOnly(QStringLiteral("cdsInvoiceAttr"), kindFlag(),
                                 component(QStringLiteral("cbInOutFlag")));
}

void TfrmInvoice::taxTypeChanged()
{
    TLumoCLientDataSet *taxes = dmMain ? dmMain->lookup(QStringLiteral("cdsXTaxAttr")) : nullptr;
    const QString code = CDSXMaster->FieldByName(QStringLiteral("taxtype")).AsString();
    if (!taxes || !taxes->Active() || code.isEmpty())
        return;
    // The list box positions the list on the chosen row; a code set otherwise is found.
    if (taxes->FieldByName(QStringLiteral("Code")).AsString() != code &&
        !taxes->LocateValues(QStringLiteral("Code"), {code}, true))
        return;
    CDSXMaster->FieldByName(QStringLiteral("taxrate"))
        .setValue(taxes->FieldByName(QStringLiteral("TaxRate")).AsFloat());
}

void TfrmInvoice::taxRateChanged()
{
    if (!cdsXDetail->Active() || cdsXDetail->IsEmpty() || !cdsXDetail->CheckBrowseMode())
        return;
    const double rate = number(*CDSXMaster, "taxrate");
    const int current = cdsXDetail->RecNo();
    for (int line = 1; line <= cdsXDetail->RecordCount(); ++line) {
        if (!cdsXDetail->setRecNo(line) || !cdsXDetail->Edit())
            break;
        cdsXDetail->FieldByName(QStringLiteral("Tax"))
            .setValue(number(*cdsXDetail, "amount") * rate / 100);
        if (!cdsXDetail->Post())
            break; // the line stays in edit with its message
    }
    if (cdsXDetail->State() == TDataSetState::dsBrowse)
        cdsXDetail->setRecNo(current);
}

void TfrmInvoice::linesChanged()
{
    if (!moneyrules::headEditable(*CDSXMaster))
        return;
    const auto sum = [this](const char *name) { return number(*cdsXDetail, name); };
    CDSXMaster->FieldByName(QStringLiteral("amt")).setValue(sum("sumofamount"));
    CDSXMaster->FieldByName(QStringLiteral("Tax")).setValue(sum("sumoftax"));
    CDSXMaster->FieldByName(QStringLiteral("Taxamt")).setValue(sum("sumoftaxamount"));
}
