#include "UStockDocuments.h"

#include "LumoCLientDataSet.h"
#include "LumoCodeName.h"
#include "UDocEditors.h"
#include "UDocumentKinds.h"
#include "UMsgBox.h"

namespace {

const TDocumentDecl &declOf(const char *className)
{
    return *documentDecl(QLatin1String(className));
}

} // namespace

TfrmStockDocument::TfrmStockDocument(const char *className, QWidget *parent)
    : TfrmMasterDetailtbl(declOf(className), parent)
{}

void TfrmStockDocument::beforeActivation()
{
    // Every stock window shares the one type list: each shows only its own kind's types.
    doceditors::showKindOnly(QStringLiteral("cdsXStockChAttr"), decl().flag,
                             component(QStringLiteral("cbInOutFlag")));
}

void TfrmStockCounted::inOutFlagChanged(const QString &inOutFlag)
{
    if (inOutFlag == QLatin1String("0"))
        setQuantityCaptions(QStringLiteral("盘亏数量"), QStringLiteral("盘亏总数"));
    else
        setQuantityCaptions(QStringLiteral("盘赢数量"), QStringLiteral("盘赢总数"));
}

TfrmStockCheck::TfrmStockCheck(QWidget *parent) : TfrmStockCounted("TfrmStockCheck", parent)
{
    setQuantityCaptions(QStringLiteral("盘亏数量"), QStringLiteral("盘亏总数"));
}

TfrmStockprocess::TfrmStockprocess(QWidget *parent) : TfrmStockDocument("TfrmStockprocess", parent)
{}

TfrmStockMove::TfrmStockMove(QWidget *parent) : TfrmStockDocument("TfrmStockMove", parent)
{
    // Leaving either store editor with the other's code is refused.
    for (const char *name : {"cnStoreCode", "cnStoreCodeIN"}) {
        auto *editor = selector(QLatin1String(name));
        editor->AfterSetData = [this](TLumoCodeName *sender, TLumoCLientDataSet *, bool) {
            storesDiffer(sender);
        };
    }
    // Nor is such a transfer saved.
    CDSXMaster->BeforePost = [this](TLumoCLientDataSet &) {
        if (!storesDiffer(nullptr))
            Abort();
    };
}

bool TfrmStockMove::storesDiffer(TLumoCodeName *edited)
{
    const QString out = CDSXMaster->FieldByName(QStringLiteral("storecode")).AsString();
    const QString in = CDSXMaster->FieldByName(QStringLiteral("StorecodeIn")).AsString();
    if (out.isEmpty() || out != in)
        return true;
    MsgBox(QStringLiteral("拨入仓库与拨出仓库不能为同一仓库！"), mkHint);
    if (edited)
        edited->setFocus();
    return false;
}

TfrmStockReject::TfrmStockReject(QWidget *parent) : TfrmStockDocument("TfrmStockReject", parent) {}

TfrmStockOther::TfrmStockOther(QWidget *parent) : TfrmStockCounted("TfrmStockOther", parent) {}
