#include "UMasterData.h"

#include "LumoCLientDataSet.h"
#include "LumoField.h"
#include "LumoSocketConnection.h"
#include "UCodeTables.h"
#include "UDMMain.h"
#include "UWorkWindows.h"

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
        return nullptr;
    if (dmMain)
        window->setRemoteServer(dmMain->SCBase);
    window->OnCodeTableChanged = refreshLookup;
    return window;
}

} // namespace

void registerMasterDataWindows()
{
    for (const QString &className : codeTableClasses()) {
        korvane::workwindows::registerWindow(
            className, [className](QWidget *parent) { return openCodeTable(className, parent); });
    }
}
