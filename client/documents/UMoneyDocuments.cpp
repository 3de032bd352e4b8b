#include "UMoneyDocuments.h"

#include "LumoCLientDataSet.h"
#include "UMoneyKinds.h"
#include "UMoneyRules.h"

TfrmSettlement::TfrmSettlement(const char *className, QWidget *parent)
    : TfrmMasterDetailtbl(*findDocumentDecl(moneyDocumentKinds(), QLatin1String(className)), parent)
{
    moneyrules::bindCurrencyRate(*CDSXMaster);
    moneyrules::bindHomeTotal(*CDSXMaster, true);
    // The quantity drives the amount here, not the number of packages.
    moneyrules::bindLineMoney(*cdsXDetail, false);
    cdsXDetail->addAggregateField(QStringLiteral("sumofGetTaxamount"),
                                  QStringLiteral("Sum( GetTaxamount )"));
    cdsXDetail->AfterPost = [this](TLumoCLientDataSet &) { linesChanged(); };
    cdsXDetail->AfterDelete = [this](TLumoCLientDataSet &) { linesChanged(); };
}

void TfrmSettlement::linesChanged()
{
    if (!moneyrules::headEditable(*CDSXMaster))
        return;
    CDSXMaster->FieldByName(QStringLiteral("Taxamt"))
        .setValue(cdsXDetail->FieldByName(QStringLiteral("sumofGetTaxamount")).AsFloat());
}

TfrmInCome::TfrmInCome(QWidget *parent) : TfrmSettlement("TfrmInCome", parent) {}

TfrmOutCome::TfrmOutCome(QWidget *parent) : TfrmSettlement("TfrmOutCome", parent) {}
