#include "UDocuments.h"

#include "UDocumentKinds.h"
#include "UInvoice.h"
#include "UMoneyDocuments.h"
#include "UMoneyKinds.h"
#include "UOrderDocuments.h"
#include "UOrderKinds.h"
#include "UPartnerDocuments.h"
#include "UStockDocuments.h"
#include "UWorkWindows.h"

#include <functional>

namespace {

using Factory = std::function<TfrmMasterDetailtbl *(QWidget *parent)>;

template <class Window> Factory factory()
{
    return [](QWidget *parent) { return new Window(parent); };
}

const QHash<QString, Factory> &factories()
{
    static const QHash<QString, Factory> table{
        {QStringLiteral("TfrmBuyIn"), factory<TfrmBuyIn>()},
        {QStringLiteral("TfrmBuyOut"), factory<TfrmBuyOut>()},
        {QStringLiteral("TfrmSaleOut"), factory<TfrmSaleOut>()},
        {QStringLiteral("TfrmSaleIn"), factory<TfrmSaleIn>()},
        {QStringLiteral("TfrmStockCheck"), factory<TfrmStockCheck>()},
        {QStringLiteral("TfrmStockprocess"), factory<TfrmStockprocess>()},
        {QStringLiteral("TfrmStockMove"), factory<TfrmStockMove>()},
        {QStringLiteral("TfrmStockReject"), factory<TfrmStockReject>()},
        {QStringLiteral("TfrmStockOther"), factory<TfrmStockOther>()},
        {QStringLiteral("TfrmInCome"), factory<TfrmInCome>()},
        {QStringLiteral("TfrmOutCome"), factory<TfrmOutCome>()},
        {QStringLiteral("TfrmInvoice"), factory<TfrmInvoice>()},
        {QStringLiteral("TfrmXBuyh"), factory<TfrmXBuyh>()},
        {QStringLiteral("TfrmXSale"), factory<TfrmXSale>()},
    };
    return table;
}

} // namespace

TfrmMasterDetailtbl *createDocumentWindow(const QString &className, QWidget *parent)
{
    const Factory create = factories().value(className);
    return create ? create(parent) : nullptr;
}

void registerDocumentWindows()
{
    for (const QString &className :
         documentClasses() + moneyDocumentClasses() + orderDocumentClasses()) {
        korvane::workwindows::registerWindow(className, [className](QWidget *parent) {
            return createDocumentWindow(className, parent);
        });
    }
}
