#include "UMasterData.h"

#include "LumoCLientDataSet.h"
#include "LumoDBImage.h"
#include "LumoField.h"
#include "LumoSocketConnection.h"
#include "UCodeTables.h"
#include "UDMMain.h"
#include "ULoadImage.h"
#include "UMasterTables.h"
#include "USale2Buy.h"
#include "UStockToBuy.h"
#include "UWorkWindows.h"
#include "UXPrdth.h"
#include "UXSpecH.h"

namespace {

//! Rereads a shared list that is open, so that every window using it next sees the change.
void refreshLookup(const QString &lookupName)
{
    if (!dmMain)
        return;
    TLumoCLientDataSet *list = dmMain->lookup(lookupName);
    if (!list || !list->Active())
        return;
    try {
        list->Close();
        list->Open();
    } catch (const TLumoDataSetError &) {
        // The list is read again when it is next opened; the saved row is already stored.
    }
}

QWidget *openCodeTable(const QString &className, QWidget *parent)
{
    TfrmSingletbl *window = createCodeTableWindow(className, parent);
    if (!window)
        window = createMasterTableWindow(className, parent);
    if (!window)
        return nullptr;
    if (dmMain) {
        window->setRemoteServer(dmMain->SCBase);
        window->setCodeNameServer(dmMain->scCodeName);
    }
    window->OnCodeTableChanged = refreshLookup;
    return window;
}

//! The demand lists read the document module.
template <class Window> QWidget *openDemandList(QWidget *parent)
{
    auto *window = new Window(parent);
    if (dmMain) {
        window->setRemoteServer(dmMain->scBill);
        window->setCodeNameServer(dmMain->scCodeName);
    }
    return window;
}

} // namespace

void registerMasterDataWindows()
{
    TLumoDBImage::setPictureDialog(&TfrmLoadImage::edit);
    for (const QString &className : codeTableClasses() + masterTableClasses()) {
        korvane::workwindows::registerWindow(
            className, [className](QWidget *parent) { return openCodeTable(className, parent); });
    }
    korvane::workwindows::registerWindow(QStringLiteral("TfrmSale2Buy"),
                                         &openDemandList<TfrmSale2Buy>);
    korvane::workwindows::registerWindow(QStringLiteral("TfrmStockToBuy"),
                                         &openDemandList<TfrmStockToBuy>);
    // The variants and products: heads with their lines, on the master-detail frame.
    korvane::workwindows::registerWindow(QStringLiteral("TfrmXSpecH"),
                                         [](QWidget *parent) { return new TfrmXSpecH(parent); });
    korvane::workwindows::registerWindow(QStringLiteral("TfrmXPrdth"),
                                         [](QWidget *parent) { return new TfrmXPrdth(parent); });
}
