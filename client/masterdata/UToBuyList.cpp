#include "UToBuyList.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoDBGrid.h"
#include "LumoPanel.h"
#include "LumobitBtn.h"
#include "UMain.h"
#include "UMsgBox.h"
#include "UWorkWindows.h"

#include <QApplication>
#include <QBoxLayout>
#include <QItemSelectionModel>

#include <algorithm>

namespace {

TfrmToBuyList::THandOver &handOverHook()
{
    static TfrmToBuyList::THandOver hook;
    return hook;
}

//! The main window the list is shown in, or the application's one.
TfrmMain *mainWindowOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *main = qobject_cast<TfrmMain *>(w))
            return main;
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *main = qobject_cast<TfrmMain *>(w))
            return main;
    }
    return nullptr;
}

} // namespace

TfrmToBuyList::TfrmToBuyList(const TCodeTableDecl &decl, const THandOverDecl &handOver,
                             QWidget *parent)
    : TfrmSingletbl(decl, parent), m_handOver(handOver)
{
    LumoChild->setOptions(TLumoChild::TOptions(TLumoChild::AutoNav | TLumoChild::AutoReturn));
    GridXMaster->setRowSelect(true);
    GridXMaster->setMultiSelect(true);
    GridXMaster->setToolTip(QStringLiteral("可多选"));
    pnlMasterEdt->hide();
    CDS = new TLumoCLientDataSet(this);
    CDS->setObjectName(QStringLiteral("CDS"));
    LumoBtn1 = new TLumobitBtn(handOver.buttonCaption, pnlQuery);
    LumoBtn1->setObjectName(QStringLiteral("LumoBtn1"));
    if (auto *line = qobject_cast<QBoxLayout *>(pnlQuery->layout()))
        line->insertWidget(line->count() - 1, LumoBtn1); // before the closing stretch
    connect(LumoBtn1, &QPushButton::clicked, this, &TfrmToBuyList::LumoBtn1Click);
}

void TfrmToBuyList::setHandOver(THandOver handOver)
{
    handOverHook() = std::move(handOver);
}

QList<int> TfrmToBuyList::chosenRows() const
{
    QList<int> rows;
    if (QItemSelectionModel *selection = GridXMaster->selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows())
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty())
        rows << CDSXMaster->RecNo() - 1;
    return rows;
}

void TfrmToBuyList::prepareCollecting()
{
    // The same fields as the list, declared once the list has brought them.
    if (CDS->Active()) {
        CDS->Close();
        CDS->CreateDataSet(); // an empty set for the next conversion
        return;
    }
    for (int i = 0; i < CDSXMaster->FieldCount(); ++i) {
        const TLumoField &field = CDSXMaster->Fields(i);
        if (field.FieldKind() == TFieldKind::Data)
            CDS->addDataField(field.FieldName(), field.DataType(), field.Size());
    }
    CDS->CreateDataSet();
}

void TfrmToBuyList::collect(const QList<int> &rows)
{
    for (int row : rows) {
        if (!CDSXMaster->setRecNo(row + 1) || !CDS->Append())
            continue;
        for (int i = 0; i < CDS->FieldCount(); ++i) {
            TLumoField &target = CDS->Fields(i);
            target.setValue(CDSXMaster->FieldByName(target.FieldName()).Value());
        }
        CDS->Post();
    }
}

void TfrmToBuyList::LumoBtn1Click()
{
    if (!CDSXMaster->Active() || CDSXMaster->IsEmpty()) {
        MsgBox(m_handOver.emptyMessage, mkHint);
        return;
    }
    prepareCollecting();
    collect(chosenRows());
    const QVariant rows = QVariant::fromValue(CDS->Data());
    // Converted rows leave the collecting set at once: the next conversion starts empty.
    CDS->Close();
    CDS->CreateDataSet();
    handOver(rows);
}

bool TfrmToBuyList::handOver(const QVariant &rows)
{
    if (handOverHook())
        return handOverHook()(m_handOver.importMethod, rows);
    TfrmMain *main = mainWindowOf(this);
    if (!main)
        return false;
    if (qstrcmp(m_handOver.importMethod, korvane::workwindows::ImportStockToBuyMethod) == 0)
        return main->ImportStockToBuy(rows);
    return main->ImportSale2Buy(rows);
}
