#include "LumoChild.h"

#include "LumoDateEdit.h"
#include "LumoErrorBoundary.h"
#include "LumoMessages.h"
#include "LumoPanel.h"
#include "LumoPanelFocus.h"
#include "LumoRecordRules.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMdiSubWindow>

namespace {

using lumo::isDataSetCode;
using lumo::keyFieldsOf;

const QString UnsavedQuestion = QStringLiteral("当前资料尚未保存，是否保存");

//! The frame the command entry serves, and the main window's registration.
QPointer<TLumoChild> latestFrame;
std::function<void(const TCommandEntry &)> registerCommandTarget;

QString upperClassName(const QObject *object)
{
    return QString::fromLatin1(object->metaObject()->className()).toUpper();
}

bool isGrid(const QObject *object)
{
    return upperClassName(object) == QStringLiteral("TLUMODBGRID");
}

bool editing(const TLumoCLientDataSet *dataSet)
{
    return dataSet && (dataSet->State() == TDataSetState::dsEdit ||
                       dataSet->State() == TDataSetState::dsInsert);
}

void report(const QString &text)
{
    lumoMessage(text, LumoMsg::Debug);
}

//! Routes a double click on a grid (or its viewport) to the edit command.
class GridDoubleClick : public QObject
{
public:
    GridDoubleClick(TLumoChild *frame, QObject *parent) : QObject(parent), m_frame(frame) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick && m_frame)
            m_frame->ExecCommand(TLumoChild::cmEdit);
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<TLumoChild> m_frame;
};

} // namespace

TLumoSession &lumoSession()
{
    static TLumoSession session;
    return session;
}

TLumoChild::TOptions TLumoChild::defaultOptions()
{
    return TOptions(AutoNav | AutoInsert | AutoEdit | AutoDelete | AutoSave | AutoCancel |
                    AutoRefresh | AutoReturn);
}

TLumoChild::TLumoChild(QObject *parent)
    : QObject(parent), m_rules(std::make_unique<TLumoRecordRules>(*this)),
      m_focus(std::make_unique<TLumoPanelFocus>(this))
{
    // The focus moving into a panel makes its data set the one the commands act on.
    m_focus->panelActivated = [this](TLumoPanel *panel) {
        if (TLumoCLientDataSet *ds = m_rules->dataSetOf(panel->TagStr()))
            m_current = ds;
    };
    m_focus->follow();
    latestFrame = this;
    reportUniqueness();
}

TLumoChild::~TLumoChild() = default;

QWidget *TLumoChild::ownerWidget() const
{
    return qobject_cast<QWidget *>(parent());
}

void TLumoChild::reportUniqueness()
{
    if (!parent())
        return;
    for (const QObject *sibling : parent()->children()) {
        if (sibling != this && upperClassName(sibling) == QStringLiteral("TLUMOCHILD")) {
            report(QStringLiteral("只能放一个LumoChild! :)"));
            return;
        }
    }
}

QList<TLumoCLientDataSet *> TLumoChild::ManagedDataSets() const
{
    return m_rules->dataSets();
}

TLumoPanel *TLumoChild::ActivePanel() const
{
    return m_focus->activePanel();
}

void TLumoChild::focusActivePanel()
{
    m_focus->focusPanel(m_focus->activePanel());
}

void TLumoChild::ActivateCommandTarget()
{
    m_focus->follow();
    if (registerCommandTarget)
        registerCommandTarget(&TLumoChild::CommandEntry);
}

// ---- initialisation ---------------------------------------------------------------------

void TLumoChild::ReportCodeNamesWithoutField(QObject *form)
{
    if (!form)
        return;
    for (const QObject *component : form->findChildren<QObject *>()) {
        if (upperClassName(component) == QStringLiteral("TLUMOCODENAME") &&
            component->property("CodeDataField").toString().isEmpty())
            report(component->objectName() + QStringLiteral("的CodeDataField不能为空"));
    }
}

void TLumoChild::InitFrame(const TLumoSession &ParentInfo)
{
    if (m_initialized)
        return;
    m_parentInfo = ParentInfo;
    registerCommandTarget = ParentInfo.SetCommandTarget;
    QObject *form = parent();
    if (form) {
        lumo::applyDateTimeFmt(ownerWidget(), lumo::dateTimeFmtOf(ParentInfo.DateFormat));
        ReportCodeNamesWithoutField(form);
        for (QObject *component : form->findChildren<QObject *>()) {
            if (upperClassName(component).startsWith(QStringLiteral("TLUMO")))
                bindComponent(component);
        }
    }
    m_master = m_rules->dataSetOf(QStringLiteral("D1"));
    m_current = m_master;
    if (!m_master)
        report(QStringLiteral("没有设定主表！请重新设定！"));
    matchPanels();
    for (TLumoPanel *panel : m_focus->panels()) {
        if (panel && panel->PnlType() == TLumoPanel::ptQuery) {
            m_focus->focusPanel(panel);
            break;
        }
    }
    m_initialized = true;
}

void TLumoChild::bindComponent(QObject *component)
{
    if (auto *panel = qobject_cast<TLumoPanel *>(component)) {
        m_focus->addPanel(panel);
    } else if (auto *dataSet = qobject_cast<TLumoCLientDataSet *>(component)) {
        dataSet->setFloatFormat(QStringLiteral("0.00"));
        if (dataSet->TagStr() > QStringLiteral("D0"))
            manage(dataSet);
    } else if (isGrid(component)) {
        bindGrid(component);
    } else if (upperClassName(component) == QStringLiteral("TLUMODBEDIT") &&
               component->property("DataField").toString().toUpper() == QStringLiteral("HEADNO")) {
        if (m_parentInfo.HeadNoReadOnly)
            component->setProperty("TagStr", QStringLiteral("R"));
    }
}

void TLumoChild::bindGrid(QObject *grid)
{
    auto *filter = new GridDoubleClick(this, grid);
    // A view takes its clicks on the viewport; any other grid on itself.
    if (auto *view = qobject_cast<QAbstractItemView *>(grid))
        view->viewport()->installEventFilter(filter);
    else
        grid->installEventFilter(filter);
    if (!isDataSetCode(grid->property("TagStr").toString()))
        report(grid->objectName() + QStringLiteral("的TagStr错误！(D1~D9)"));
}

void TLumoChild::manage(TLumoCLientDataSet *dataSet)
{
    m_rules->manage(dataSet);
    if (dataSet->TableName().isEmpty())
        report(QStringLiteral("请指定") + dataSet->objectName() + QStringLiteral("所连接的表！"));
    checkKeyIndex(*dataSet);
}

void TLumoChild::checkKeyIndex(const TLumoCLientDataSet &dataSet) const
{
    TLumoCLientDataSet &ds = const_cast<TLumoCLientDataSet &>(dataSet);
    if (ds.IndexDefs().isEmpty() || !ds.hasIndex(lumo::keyIndexName())) {
        report(QStringLiteral("主索引未定义！"));
        return;
    }
    // Fields that only arrive with the provider's packet cannot be checked before opening.
    if (ds.FieldCount() == 0)
        return;
    for (const QString &field : keyFieldsOf(ds)) {
        if (!ds.FindField(field))
            report(QStringLiteral("主索定义错误！") + ds.objectName() +
                   QStringLiteral("中没有字段：'") + field + QStringLiteral("'"));
    }
}

void TLumoChild::matchPanels()
{
    for (const TLumoCLientDataSet *dataSet : m_rules->dataSets()) {
        const QString code = dataSet->TagStr();
        TLumoPanel *found = m_focus->panelOf(code);
        if (!found) {
            report(dataSet->objectName() + QStringLiteral("没有对应的编辑区域！请重新设定！"));
            return;
        }
        if (code == QStringLiteral("D1") && !m_focus->activePanel())
            m_focus->activate(found);
    }
}

// ---- commands ---------------------------------------------------------------------------

bool TLumoChild::CommandEntry(int Command)
{
    return latestFrame ? latestFrame->ExecCommand(Command) : false;
}

bool TLumoChild::commandAllowed(int command) const
{
    static const QHash<int, TOption> optionOf{
        {cmFirst, AutoNav},       {cmPrior, AutoNav},   {cmNext, AutoNav},
        {cmLast, AutoNav},        {cmNew, AutoInsert},  {cmEdit, AutoEdit},
        {cmDelete, AutoDelete},   {cmSave, AutoSave},   {cmCancel, AutoCancel},
        {cmRefresh, AutoRefresh}, {cmCheck, AutoCheck}, {cmReturn, AutoReturn},
    };
    const auto it = optionOf.find(command);
    return it != optionOf.end() && m_options.testFlag(it.value());
}

bool TLumoChild::ExecCommand(int Command)
{
    const int outer = m_command; // a save or cancel may run inside a return or a scroll
    m_command = 0;
    if (!m_initialized) {
        lumoMessage(QStringLiteral("LumoChild未初始化！"), LumoMsg::Hint);
        m_command = outer;
        return false;
    }
    if (Command == cmMayLeave) {
        m_command = outer;
        return !masterEditing();
    }
    // The command's errors end here: the operator's text is shown, a refusal stays silent.
    bool result = false;
    const bool done = lumoBoundary(
        "command",
        [&] {
            bool RLT = true;
            if (BeforeExecParentCommand)
                BeforeExecParentCommand(Command, RLT);
            result = RLT;
            if (commandAllowed(Command)) {
                m_command = Command;
                result = ownAction(Command);
                m_command = 0;
            }
            if (AfterExecParentCommand) {
                AfterExecParentCommand(Command, RLT);
                result = RLT;
            }
        },
        lumoShowError);
    m_command = outer;
    return done && result;
}

bool TLumoChild::ownAction(int command)
{
    switch (command) {
    case cmFirst:
    case cmPrior:
    case cmNext:
    case cmLast:
        return navigate(command);
    case cmNew:
        return m_current && m_current->Append();
    case cmEdit:
        return m_current && m_current->Edit();
    case cmDelete:
        return deleteRecord();
    case cmSave:
        return save();
    case cmCancel:
        return cancel();
    case cmReturn:
        return returnToMain();
    default:
        return true; // refresh and check: the forms do the work in their events
    }
}

bool TLumoChild::navigate(int command)
{
    TLumoCLientDataSet *ds = m_current;
    if (!ds || !ds->Active())
        return false;
    // At the beginning or the end nothing moves (the flags alone may be stale after an insert).
    const bool atFirst = ds->Bof() && ds->RecNo() <= 1;
    const bool atLast = ds->Eof() && ds->RecNo() >= ds->RecordCount() && !ds->canFetchMore();
    switch (command) {
    case cmFirst:
        return atFirst || ds->First();
    case cmPrior:
        return ds->Prior();
    case cmNext:
        return ds->Next();
    default:
        return atLast || ds->Last();
    }
}

bool TLumoChild::deleteRecord()
{
    TLumoCLientDataSet *ds = m_current;
    if (!ds || !ds->Active())
        return false;
    if (m_lockAfterPost && isDetail(*ds) && !masterEditing()) {
        lumoMessage(lumo::lockedText(), LumoMsg::Hint);
        return false;
    }
    if (ds->IsEmpty())
        return false;
    if (lumoMessage(QStringLiteral("确实要删除此笔资料吗？"), LumoMsg::YesNo) != LumoMsg::Yes)
        return false;
    if (ds == m_master) {
        // The lines go first, one by one, then the head.
        for (TLumoCLientDataSet *detail : m_rules->dataSets()) {
            if (detail == m_master || !detail->Active())
                continue;
            detail->Cancel();
            while (!detail->IsEmpty()) {
                if (!detail->Delete())
                    return false;
            }
        }
    }
    if (!ds->Delete())
        return false;
    if (m_master && m_master->ChangeCount() > 0)
        applyMaster();
    return true;
}

bool TLumoChild::save()
{
    for (TLumoCLientDataSet *ds : m_rules->dataSets()) {
        if (ds != m_master && editing(ds) && !ds->Post())
            Abort();
    }
    if (editing(m_master) && !m_master->Post())
        Abort();
    if (m_master && m_master->ChangeCount() > 0)
        applyMaster();
    return true;
}

void TLumoChild::applyMaster()
{
    m_editAfterApply = false;
    const int refused = m_master->ApplyUpdates(0);
    if (m_editAfterApply) {
        // A key the database still refers to cannot change: back to editing it.
        m_editAfterApply = false;
        m_master->Edit();
    }
    // Refused rows stay in the change log, and the command did not succeed: leaving the
    // window or the record must not drop them.
    if (refused > 0)
        Abort();
}

bool TLumoChild::cancel()
{
    TLumoCLientDataSet *ds = m_current;
    if (!ds)
        return true;
    if (isDetail(*ds)) {
        ds->Cancel();
        return true;
    }
    if (ds != m_master)
        return true;
    m_master->CancelUpdates();
    // Only heads that take a number have one to give back.
    if (m_autoNO && m_master->RemoteServer() && m_master->FindField(QStringLiteral("HeadNO")))
        m_master->RemoteServer()->call(QStringLiteral("CancelHeadno"), {m_parentInfo.SessionId});
    return true;
}

bool TLumoChild::askToSave()
{
    switch (lumoMessage(UnsavedQuestion, LumoMsg::YesNoCancel)) {
    case LumoMsg::Yes:
        return ExecCommand(cmSave);
    case LumoMsg::No:
        return ExecCommand(cmCancel);
    default:
        return false;
    }
}

bool TLumoChild::returnToMain()
{
    if (masterUnsaved() && !askToSave())
        return false;
    m_focus->stopFollowing();
    if (QWidget *window = ownerWidget()) {
        // A window shown inside the main window's work area closes with its frame there.
        auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget());
        if (frame)
            frame->close();
        else
            window->close();
    }
    return true;
}

// ---- state of the master ----------------------------------------------------------------

bool TLumoChild::isDetail(const TLumoCLientDataSet &dataSet) const
{
    return isDataSetCode(dataSet.TagStr()) && dataSet.TagStr() >= QStringLiteral("D2");
}

bool TLumoChild::masterEditing() const
{
    return editing(m_master);
}

bool TLumoChild::masterUnsaved() const
{
    return masterEditing() || (m_master && m_master->ChangeCount() > 0);
}
