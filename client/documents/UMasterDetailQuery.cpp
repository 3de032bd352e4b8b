// The query panel of TfrmMasterDetailtbl: the date range and selectors, and the query.

#include "UMasterDetailTBL.h"

#include "LumoCLientDataSet.h"
#include "LumoCodeName.h"
#include "LumoDateEdit.h"
#include "LumoLabel.h"
#include "LumoPanel.h"
#include "LumobitBtn.h"
#include "UDocEditors.h"
#include "UMsgBox.h"
#include "UWait.h"

#include <QHBoxLayout>

using doceditors::makePanel;

namespace {

const QString Blank = QStringLiteral(" ");

} // namespace

void TfrmMasterDetailtbl::createQueryPanel()
{
    pnlQuery = makePanel(tsXMasterList, "pnlQuery", "D0", TLumoPanel::ptQuery);
    tsXMasterList->layout()->addWidget(pnlQuery);
    // Master data without filters lists everything: no query panel at all.
    pnlQuery->setVisible(m_decl.dateRange || !m_decl.selectors.isEmpty());
    auto *row = new QHBoxLayout(pnlQuery);
    row->setContentsMargins(8, 6, 8, 6);
    const auto label = [this](const QString &text) { return new TLumoLabel(text, pnlQuery); };
    if (!m_decl.queryHeading.isEmpty())
        row->addWidget(label(m_decl.queryHeading));
    deBegin = new TLumoDateEdit(pnlQuery);
    deBegin->setObjectName(QStringLiteral("deBegin"));
    deEnd = new TLumoDateEdit(pnlQuery);
    deEnd->setObjectName(QStringLiteral("deEnd"));
    if (m_decl.dateRange) {
        row->addWidget(label(QStringLiteral("日期从")));
        row->addWidget(deBegin);
        row->addWidget(label(QStringLiteral("到")));
        row->addWidget(deEnd);
    } else {
        deBegin->hide();
        deEnd->hide();
    }
    for (const TDocSelectorDecl &s : std::as_const(m_decl.selectors)) {
        const auto [code, name] = doceditors::selector(pnlQuery, s);
        row->addSpacing(10);
        row->addWidget(label(s.caption));
        row->addWidget(code);
        if (!s.nameCaption.isEmpty())
            row->addWidget(label(s.nameCaption));
        row->addWidget(name);
        remember(code);
        remember(name);
    }
    row->addSpacing(10);
    btnQry = new TLumobitBtn(m_decl.queryButton, pnlQuery);
    btnQry->setObjectName(QStringLiteral("btnQry"));
    row->addWidget(btnQry);
    row->addStretch(1);
}

void TfrmMasterDetailtbl::presetQuery()
{
    if (m_decl.dateRange) {
        deBegin->SetDateTimeText(doceditors::todayText());
        deEnd->SetDateTimeText(doceditors::todayText());
    }
    // Every optional filter starts switched off.
    for (const QString &param : std::as_const(m_decl.filterParams)) {
        CDSXMaster->Params().setValue(param, Blank);
        CDSXMaster->Params().setValue(QStringLiteral("tmp") + param, Blank);
    }
    setRangeAndKind();
}

void TfrmMasterDetailtbl::setRangeAndKind()
{
    TLumoParams &params = CDSXMaster->Params();
    if (m_decl.dateRange) {
        params.setValue(QStringLiteral("BeginDate"), deBegin->GetDateTimeText().left(10));
        params.setValue(QStringLiteral("EndDate"), deEnd->GetDateTimeText().left(10));
    }
    if (const QString kind = kindFlag(); !kind.isEmpty())
        params.setValue(QStringLiteral("Flag"), kind);
}

void TfrmMasterDetailtbl::setQueryParams()
{
    setRangeAndKind();
    TLumoParams &params = CDSXMaster->Params();
    for (const TDocSelectorDecl &s : std::as_const(m_decl.selectors)) {
        const QString code = selector(s.name)->Text();
        // Only whether the twin is blank matters to the server: blank switches it off.
        params.setValue(s.param, code.isEmpty() ? Blank : code);
        params.setValue(QStringLiteral("tmp") + s.param, params.value(s.param));
    }
    queryParamsSet(params);
}

void TfrmMasterDetailtbl::btnQryClick()
{
    const bool editing = CDSXMaster->State() == TDataSetState::dsEdit ||
                         CDSXMaster->State() == TDataSetState::dsInsert;
    if (editing || CDSXMaster->ChangeCount() > 0) {
        MsgBox(QStringLiteral("请先保存当前数据！"), mkHint);
        return;
    }
    if (m_decl.dateRange &&
        (deBegin->GetDateTimeText().isEmpty() || deEnd->GetDateTimeText().isEmpty())) {
        MsgBox(m_decl.datePrompt, mkHint);
        deBegin->setFocus();
        return;
    }
    setQueryParams();
    CDSXMaster->Close();
    const TWaitGuard wait(QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"));
    openData();
}
