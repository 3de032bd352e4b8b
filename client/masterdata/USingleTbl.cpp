#include "USingleTbl.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoDBGrid.h"
#include "LumoDataSource.h"
#include "LumoEdit.h"
#include "LumoFaceSet.h"
#include "LumoLabel.h"
#include "LumoPanel.h"
#include "UMsgBox.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QValidator>

namespace {

//! Turns typed letters into capitals as they are typed.
class TUpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

TLumoPanel *makePanel(QWidget *parent, const char *name, const char *tagStr,
                      TLumoPanel::TPnlType type)
{
    auto *panel = new TLumoPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setTagStr(QLatin1String(tagStr));
    panel->setPnlType(type);
    return panel;
}

//! The edit area repeats the display label; two-character labels are spaced out so that
//! they line up with the longer ones ("名    称").
QString editAreaLabel(const QString &label)
{
    const QString text =
        label.size() == 2 ? label.left(1) + QStringLiteral("    ") + label.mid(1) : label;
    return text + QStringLiteral("：");
}

} // namespace

TfrmSingletbl::TfrmSingletbl(const TCodeTableDecl &decl, QWidget *parent)
    : QWidget(parent), m_decl(decl)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(decl.caption);
    createPanels();
    createDataSet();
    createEditors();
    FaceSet = new TLumoFaceSet(this);
    FaceSet->setObjectName(QStringLiteral("FaceSet"));
    LumoChild = new TLumoChild(this);
    LumoChild->setObjectName(QStringLiteral("LumoChild"));
    hookEvents();
}

TfrmSingletbl::~TfrmSingletbl() = default;

void TfrmSingletbl::setRemoteServer(TLumoRemoteServer *server)
{
    CDSXMaster->setRemoteServer(server);
}

void TfrmSingletbl::createPanels()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pnlQuery = makePanel(this, "pnlQuery", "D0", TLumoPanel::ptQuery);
    pnlQuery->hide();
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
    CDSXMaster->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("Code")}};
    for (const TCodeFieldDecl &field : std::as_const(m_decl.fields)) {
        CDSXMaster->addDataField(field.name, field.type, field.width)
            .setDisplayLabel(field.label)
            .setRequired(field.required);
    }
    dsXMaster = new TLumoDataSource(this);
    dsXMaster->setObjectName(QStringLiteral("dsXMaster"));
    dsXMaster->setDataSet(CDSXMaster);
    GridXMaster->setDataSource(dsXMaster);
}

void TfrmSingletbl::createEditors()
{
    auto *grid = new QGridLayout(pnlMasterEdt);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(8);
    int row = 0;
    for (const TCodeFieldDecl &field : std::as_const(m_decl.fields))
        addEditorRow(grid, row++, field);
    grid->setColumnStretch(1, 1);
}

void TfrmSingletbl::addEditorRow(QGridLayout *grid, int row, const TCodeFieldDecl &field)
{
    auto *label = new TLumoLabel(editAreaLabel(field.label), pnlMasterEdt);
    label->setObjectName(QStringLiteral("lbl") + field.name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *editor = new TLumoDBEdit(pnlMasterEdt);
    editor->setObjectName(QStringLiteral("edt") + field.name);
    editor->setDataSource(dsXMaster);
    editor->setDataField(field.name);
    if (field.type == korvane::FieldType::String && field.width > 0)
        editor->setMaxLength(field.width);
    if (field.upperCase)
        editor->setValidator(new TUpperCaseValidator(editor));
    if (field.editor == TCodeFieldDecl::ekNumber)
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // As wide as the longest entry, within reason: short codes get short editors.
    const int chars = field.type == korvane::FieldType::String ? qBound(4, field.width, 40) : 12;
    editor->setFixedWidth(editor->fontMetrics().horizontalAdvance(QLatin1Char('W')) * chars + 12);
    auto *line = new QHBoxLayout;
    line->addWidget(editor);
    if (!field.suffix.isEmpty()) {
        auto *suffix = new TLumoLabel(field.suffix, pnlMasterEdt);
        suffix->setObjectName(QStringLiteral("lbl") + field.name + QStringLiteral("Suffix"));
        line->addWidget(suffix);
    }
    line->addStretch(1);
    grid->addWidget(label, row, 0);
    grid->addLayout(line, row, 1);
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

void TfrmSingletbl::activateWorkWindow()
{
    if (!LumoChild->Initialized()) {
        LumoChild->InitFrame(lumoSession());
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
