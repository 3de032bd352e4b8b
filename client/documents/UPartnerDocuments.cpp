#include "UPartnerDocuments.h"

#include "UDocumentKinds.h"

namespace {

const TDocumentDecl &declOf(const char *className)
{
    return *documentDecl(QLatin1String(className));
}

} // namespace

TfrmBuyIn::TfrmBuyIn(QWidget *parent) : TfrmMasterDetailtbl(declOf("TfrmBuyIn"), parent) {}
TfrmBuyOut::TfrmBuyOut(QWidget *parent) : TfrmMasterDetailtbl(declOf("TfrmBuyOut"), parent) {}
TfrmSaleOut::TfrmSaleOut(QWidget *parent) : TfrmMasterDetailtbl(declOf("TfrmSaleOut"), parent) {}
TfrmSaleIn::TfrmSaleIn(QWidget *parent) : TfrmMasterDetailtbl(declOf("TfrmSaleIn"), parent) {}
