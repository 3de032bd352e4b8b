#include "USingleTbl.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoFaceSet.h"
#include "LumoLabel.h"
#include "LumoPanel.h"
#include "LumoSocketConnection.h"
#include "LumobitBtn.h"
#include "UDMMain.h"
#include "UMsgBox.h"
#include "USingleTblEditors.h"
#include "UWait.h"

#include <QDate>
#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

TLumoPanel *makePanel(QWidget *parent, const char *name, const char *tagStr,
                      TLumoPanel::TPnlType type)
{
    auto *panel = new TLumoPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setTagStr(QLatin1String(tagStr));
    panel->setPnlType(type);
    return panel;
}

} // namespace

TfrmSingletbl::TfrmSingletbl(const TCodeTableDecl &decl, QWidget *parent)
    : QWidget(parent), m_decl(decl)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(decl.caption);
    createPanels();
    createDataSet();
    createSearchPanel();
    singletbl::buildEditArea(pnlMasterEdt, m_decl, dsXMaster);
    createGridTwins();
    singletbl::linkPredecessors(this, m_decl);
    FaceSet = new TLumoFaceSet(this);
    FaceSet->setObjectName(QStringLiteral("FaceSet"));
    LumoChild = new TLumoChild(this);
    LumoChild->setObjectName(QStringLiteral("LumoChild"));
    hookEvents();
    setSearchParams();
}

TfrmSingletbl::~TfrmSingletbl() = default;

void TfrmSingletbl::setRemoteServer(TLumoRemoteServer *server)
{
    CDSXMaster->setRemoteServer(server);
}

void TfrmSingletbl::setCodeNameServer(TLumoRemoteServer *server)
{
    for (TLumoCodeName *editor : findChildren<TLumoCodeName *>())
        editor->setRemoteServer(server);
}

void TfrmSingletbl::createPanels()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pnlQuery = makePanel(this, "pnlQuery", "D0", TLumoPanel::ptQuery);
    pnlQuery->setVisible(!m_decl.search.isEmpty());
    layout->addWidget(pnlQuery);
    pnlMaster = makePanel(this, "pnlMaster", "D1", TLumoPanel::ptActivePnl);
    layout->addWidget(pnlMaster, 1);

    auto *masterLayout = new QVBoxLayout(pnlMaster);
    masterLayout->setContentsMargins(4, 4, 4, 4);
    pnlMasterList = makePanel(pnlMaster, "pnlMasterList", "D0", TLumoPanel::ptNormal);
    masterLayout->addWidget(pnlMasterList, 1);
    pnlMasterEdt = makePanel(pnlMaster, "pnlMasterEdt", "D0", TLumoPanel::ptNormal);
    masterLayout->addWidget(pnlMasterEdt);

    auto *listLayout = new QVBoxLayout(pnlMasterList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    GridXMaster = new Tlumodbgrid(pnlMasterList);
    GridXMaster->setObjectName(QStringLiteral("GridXMaster"));
    GridXMaster->setTagStr(QStringLiteral("D1"));
    GridXMaster->setReadOnly(m_decl.gridReadOnly);
    listLayout->addWidget(GridXMaster);
}

void TfrmSingletbl::createDataSet()
{
    CDSXMaster = new TLumoCLientDataSet(this);
    CDSXMaster->setObjectName(QStringLiteral("CDSXMaster"));
    CDSXMaster->setTagStr(QStringLiteral("D1"));
    CDSXMaster->setProviderName(m_decl.provider);
    CDSXMaster->setTableName(m_decl.tableName);
    CDSXMaster->setPacketRecords(20);
    CDSXMaster->setFetchOnDemand(true);
    CDSXMaster->IndexDefs() = {{QStringLiteral("idxKey"), m_decl.keyFields}};
    for (const TCodeFieldDecl &field : std::as_const(m_decl.fields))
        addField(field);
    dsXMaster = new TLumoDataSource(this);
    dsXMaster->setObjectName(QStringLiteral("dsXMaster"));
    dsXMaster->setDataSet(CDSXMaster);
    GridXMaster->setDataSource(dsXMaster);
    GridXMaster->setColumns(m_decl.gridColumns);
}

void TfrmSingletbl::addField(const TCodeFieldDecl &field)
{
    if (!field.lookupKey.isEmpty()) {
        // A name looked up in a shared list; without the data module there is none to show.
        TLumoCLientDataSet *list = dmMain ? dmMain->lookup(field.list) : nullptr;
        if (list) {
            CDSXMaster
                ->addLookupField(field.name, field.lookupKey, list, QStringLiteral("Code"),
                                 QStringLiteral("Name"))
                .setDisplayLabel(field.label);
        }
        return;
    }
    CDSXMaster->addDataField(field.name, field.type, field.width)
        .setDisplayLabel(field.label)
        .setRequired(field.required);
}

void TfrmSingletbl::createSearchPanel()
{
    if (m_decl.search.isEmpty())
        return;
    auto *line = new QHBoxLayout(pnlQuery);
    line->setContentsMargins(12, 6, 12, 6);
    line->addWidget(new TLumoLabel(QStringLiteral("搜索条件："), pnlQuery));
    if (!m_decl.datePrompt.isEmpty())
        createDateRange(line);
    for (const TSearchFieldDecl &field : std::as_const(m_decl.search)) {
        line->addWidget(new TLumoLabel(field.label + QStringLiteral("："), pnlQuery));
        TLumoCodeName *editor =
            singletbl::createCodeName(field.codeName, field.name, true, nullptr, pnlQuery);
        editor->setObjectName(field.name);
        editor->setFixedWidth(editor->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 10);
        line->addWidget(editor);
    }
    auto *button = new TLumobitBtn(pnlQuery);
    button->setObjectName(QStringLiteral("btnSearch"));
    button->setText(m_decl.searchCaption);
    connect(button, &QPushButton::clicked, this, &TfrmSingletbl::Search);
    line->addWidget(button);
    line->addStretch(1);
}

void TfrmSingletbl::createDateRange(QHBoxLayout *line)
{
    const QString today =
        QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    for (auto [editor, name, caption] :
         {std::tuple{&deBegin, "deBegin", "日期从"}, std::tuple{&deEnd, "deEnd", "到"}}) {
        *editor = new TLumoDateEdit(pnlQuery);
        (*editor)->setObjectName(QLatin1String(name));
        (*editor)->SetDateTimeText(today);
        line->addWidget(new TLumoLabel(QString::fromUtf8(caption), pnlQuery));
        line->addWidget(*editor);
    }
    line->addSpacing(10);
}

void TfrmSingletbl::createGridTwins()
{
    // The grid places a code/name editor of its own panel over a cell of the same field.
    for (const TCodeFieldDecl &field : std::as_const(m_decl.fields)) {
        if (field.editor != TCodeFieldDecl::ekCodeName || !field.codeName.inGrid)
            continue;
        TLumoCodeName *twin = singletbl::createCodeName(field.codeName, field.name, field.upperCase,
                                                        dsXMaster, pnlMasterList);
        twin->setBorderStyle(TLumoCodeName::bsNone);
        twin->hide();
    }
}

void TfrmSingletbl::hookEvents()
{
    // Assigned before the frame binds the data set, so that the frame calls them first.
    CDSXMaster->BeforePost = [this](TLumoCLientDataSet &) { beforePost(); };
    CDSXMaster->BeforeDelete = [this](TLumoCLientDataSet &) {
        if (!beforeDeleteRule())
            Abort();
        changeOnItsWay();
    };
    // The rule before a new row runs before the list is even asked: the opening stock
    // refuses an insert while its list is still closed.
    LumoChild->BeforeExecParentCommand = [this](int command, bool &) {
        if (command == TLumoChild::cmNew && !beforeInsertRule())
            Abort();
    };
    CDSXMaster->OnNewRecord = [this](TLumoCLientDataSet &) { newRowDefaults(); };
}

void TfrmSingletbl::beforePost()
{
    for (const TCodeFieldDecl &field : std::as_const(m_decl.fields)) {
        if (!field.upperCase)
            continue;
        TLumoField &f = CDSXMaster->FieldByName(field.name);
        const QString text = f.AsString();
        if (text != text.toUpper())
            f.setValue(text.toUpper());
    }
    if (!beforeSaveRule())
        Abort();
    changeOnItsWay();
}

void TfrmSingletbl::changeOnItsWay()
{
    // Looked at once the command has finished: only then is it known whether the server
    // took the change.
    if (!m_changeSent)
        QMetaObject::invokeMethod(this, &TfrmSingletbl::reportAppliedChange, Qt::QueuedConnection);
    m_changeSent = true;
}

void TfrmSingletbl::reportAppliedChange()
{
    m_changeSent = false;
    const bool applied =
        CDSXMaster->ChangeCount() == 0 && CDSXMaster->State() == TDataSetState::dsBrowse;
    if (applied && OnCodeTableChanged && !m_decl.lookupName.isEmpty())
        OnCodeTableChanged(m_decl.lookupName);
}

TLumoCodeName *TfrmSingletbl::searchEditor(const QString &name) const
{
    return pnlQuery->findChild<TLumoCodeName *>(name);
}

QString TfrmSingletbl::searchCode(const QString &name) const
{
    const TLumoCodeName *editor = searchEditor(name);
    return editor ? editor->Text().trimmed() : QString();
}

void TfrmSingletbl::askForSearchPick(const TSearchFieldDecl &field)
{
    MsgBox(field.requiredText, mkHint);
    if (TLumoCodeName *editor = searchEditor(field.name))
        editor->activeEdit()->setFocus();
}

void TfrmSingletbl::setSearchParams()
{
    if (deBegin && deEnd) {
        CDSXMaster->Params().setValue(QStringLiteral("BeginDate"),
                                      deBegin->GetDateTimeText().left(10));
        CDSXMaster->Params().setValue(QStringLiteral("EndDate"), deEnd->GetDateTimeText().left(10));
    }
    // A twin holding a single blank switches its filter off.
    for (const TSearchFieldDecl &field : std::as_const(m_decl.search)) {
        const QString code = searchCode(field.name);
        const QString value = code.isEmpty() ? QStringLiteral(" ") : code;
        CDSXMaster->Params().setValue(field.param, value);
        if (!field.twin.isEmpty())
            CDSXMaster->Params().setValue(field.twin, value);
    }
}

void TfrmSingletbl::Search()
{
    if (deBegin && (deBegin->GetDateTimeText().isEmpty() || deEnd->GetDateTimeText().isEmpty())) {
        MsgBox(m_decl.datePrompt, mkHint);
        deBegin->setFocus();
        return;
    }
    for (const TSearchFieldDecl &field : std::as_const(m_decl.search)) {
        if (!field.requiredText.isEmpty() && searchCode(field.name).isEmpty()) {
            askForSearchPick(field);
            return;
        }
    }
    CDSXMaster->Close();
    TWaitGuard wait(QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"));
    setSearchParams();
    openMaster();
}

void TfrmSingletbl::activateWorkWindow()
{
    if (!LumoChild->Initialized()) {
        LumoChild->InitFrame(lumoSession());
        // A window with a search panel lists nothing until the first search.
        if (m_decl.search.isEmpty())
            openMaster();
    }
    LumoChild->ActivateCommandTarget();
}

void TfrmSingletbl::openMaster()
{
    try {
        CDSXMaster->Open();
    } catch (const korvane::OperatorError &e) {
        MsgBox(e.text(), mkHint);
    }
}

bool TfrmSingletbl::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && isVisible())
        activateWorkWindow();
    return QWidget::event(event);
}

void TfrmSingletbl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!LumoChild->Initialized())
        activateWorkWindow();
}
