#include "LumoChild.h"

#include "LumoDateEdit.h"
#include "LumoMessages.h"
#include "LumoPanel.h"
#include "LumoUpdateError.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMdiSubWindow>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

const QString KeyIndex = QStringLiteral("IDXKEY");
const QString LockedText = QStringLiteral("单据产生后不允许修改！");
const QString UnsavedQuestion = QStringLiteral("当前资料尚未保存，是否保存");

//! The frame the command entry serves, and the main window's registration.
QPointer<TLumoChild> latestFrame;
std::function<void(const TCommandEntry &)> registerCommandTarget;

//! The screen follows one frame's focus handler at a time, as the last to install it.
QMetaObject::Connection activeControlConnection;
const TLumoChild *activeControlOwner = nullptr;

QString upperClassName(const QObject *object)
{
    return QString::fromLatin1(object->metaObject()->className()).toUpper();
}

bool isGrid(const QObject *object)
{
    return upperClassName(object) == QStringLiteral("TLUMODBGRID");
}

//! "D1".."D9" by byte order, as the grid's code must be.
bool isDataSetCode(const QString &code)
{
    return code >= QStringLiteral("D1") && code <= QStringLiteral("D9");
}

QStringList keyFieldsOf(const TLumoCLientDataSet &dataSet)
{
    QStringList fields;
    for (const QString &name : dataSet.indexFields(KeyIndex).split(QLatin1Char(';'))) {
        if (!name.trimmed().isEmpty())
            fields << name.trimmed();
    }
    return fields;
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

//! A control the focus rule may pick inside a panel.
bool takesPanelFocus(const QWidget *widget)
{
    if (qobject_cast<const TLumoPanel *>(widget) || qobject_cast<const QAbstractItemView *>(widget))
        return false;
    const QString cls = upperClassName(widget);
    if (cls == QStringLiteral("TLUMOBTN") || cls.contains(QStringLiteral("GRID")))
        return false;
    return widget->isEnabled() && widget->isVisibleTo(widget->window()) &&
           (widget->focusPolicy() & Qt::TabFocus);
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

TLumoChild::TLumoChild(QObject *parent) : QObject(parent)
{
    installActiveControlHandler();
    latestFrame = this;
    reportUniqueness();
}

TLumoChild::~TLumoChild()
{
    removeActiveControlHandler();
    // The data sets may outlive the frame: give them back the form's own handlers.
    for (TCDSPak &pak : m_paks) {
        if (TLumoCLientDataSet *ds = pak.dataSet) {
            ds->BeforeEdit = pak.BeforeEdit;
            ds->BeforeInsert = pak.BeforeInsert;
            ds->AfterInsert = pak.AfterInsert;
            ds->BeforePost = pak.BeforePost;
            ds->AfterPost = pak.AfterPost;
            ds->BeforeScroll = pak.BeforeScroll;
            ds->OnReconcileError = pak.OnReconcileError;
        }
    }
}

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
    QList<TLumoCLientDataSet *> list;
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet)
            list << pak.dataSet;
    }
    return list;
}

// ---- focus and panels -------------------------------------------------------------------

void TLumoChild::installActiveControlHandler()
{
    if (!qApp)
        return;
    if (activeControlOwner)
        QObject::disconnect(activeControlConnection);
    activeControlConnection =
        connect(qApp, &QApplication::focusChanged, this,
                [this](QWidget *, QWidget *now) { activeControlChanged(now); });
    activeControlOwner = this;
}

void TLumoChild::removeActiveControlHandler()
{
    if (activeControlOwner != this)
        return;
    QObject::disconnect(activeControlConnection);
    activeControlOwner = nullptr;
}

void TLumoChild::activeControlChanged(QWidget *now)
{
    if (!now)
        return;
    TLumoPanel *panel = nullptr;
    for (QWidget *w = now; w && !panel; w = w->parentWidget()) {
        auto *candidate = qobject_cast<TLumoPanel *>(w);
        if (candidate && candidate->PnlType() == TLumoPanel::ptActivePnl)
            panel = candidate;
    }
    if (!panel || !m_panels.contains(panel) || panel->Active() ||
        panel->TagStr() == QStringLiteral("D0"))
        return;
    if (m_activePanel)
        m_activePanel->SetActive(false);
    panel->SetActive(true);
    m_activePanel = panel;
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet && pak.dataSet->TagStr() == panel->TagStr()) {
            m_current = pak.dataSet;
            break;
        }
    }
}

void TLumoChild::focusPanel(TLumoPanel *panel)
{
    if (!panel)
        return;
    QList<TLumoPanel *> tries{panel};
    for (TLumoPanel *other : std::as_const(m_panels)) {
        if (other && other != panel && other->TagStr() == panel->TagStr())
            tries << other;
    }
    for (TLumoPanel *candidate : std::as_const(tries)) {
        // A panel lying directly on a tab sheet brings that sheet to the front first.
        QWidget *sheet = candidate->parentWidget();
        QWidget *stack = sheet ? sheet->parentWidget() : nullptr;
        auto *pages = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr);
        if (pages && qobject_cast<QStackedWidget *>(stack) && pages->indexOf(sheet) >= 0)
            pages->setCurrentWidget(sheet);
        int guard = 10000;
        for (QWidget *w = candidate->nextInFocusChain(); w && w != candidate && guard-- > 0;
             w = w->nextInFocusChain()) {
            if (candidate->isAncestorOf(w) && takesPanelFocus(w)) {
                w->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
}

void TLumoChild::ActivateCommandTarget()
{
    installActiveControlHandler();
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
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet && pak.dataSet->TagStr() == QStringLiteral("D1")) {
            m_master = pak.dataSet;
            break;
        }
    }
    m_current = m_master;
    if (!m_master)
        report(QStringLiteral("没有设定主表！请重新设定！"));
    matchPanels();
    for (TLumoPanel *panel : std::as_const(m_panels)) {
        if (panel && panel->PnlType() == TLumoPanel::ptQuery) {
            focusPanel(panel);
            break;
        }
    }
    m_initialized = true;
}

void TLumoChild::bindComponent(QObject *component)
{
    if (auto *panel = qobject_cast<TLumoPanel *>(component)) {
        m_panels << panel;
        panel->SetActive(false);
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
    m_paks.push_back(TCDSPak{});
    TCDSPak &pak = m_paks.back();
    pak.dataSet = dataSet;
    install(pak);
    if (dataSet->TableName().isEmpty())
        report(QStringLiteral("请指定") + dataSet->objectName() + QStringLiteral("所连接的表！"));
    checkKeyIndex(*dataSet);
}

void TLumoChild::checkKeyIndex(const TLumoCLientDataSet &dataSet) const
{
    TLumoCLientDataSet &ds = const_cast<TLumoCLientDataSet &>(dataSet);
    if (ds.IndexDefs().isEmpty() || !ds.hasIndex(KeyIndex)) {
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
    for (const TCDSPak &pak : m_paks) {
        if (!pak.dataSet)
            continue;
        const QString code = pak.dataSet->TagStr();
        TLumoPanel *found = nullptr;
        for (TLumoPanel *panel : std::as_const(m_panels)) {
            if (panel && panel->TagStr() == code) {
                found = panel;
                break;
            }
        }
        if (!found) {
            report(pak.dataSet->objectName() + QStringLiteral("没有对应的编辑区域！请重新设定！"));
            return;
        }
        if (code == QStringLiteral("D1") && !m_activePanel) {
            found->SetActive(true);
            m_activePanel = found;
        }
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
    bool result = false;
    try {
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
    } catch (const TLumoAbort &) {
        // Refused silently: whoever refused has said why.
        result = false;
    } catch (const TLumoDataSetError &e) {
        lumoMessage(e.text(), LumoMsg::Hint);
        result = false;
    } catch (const TLumoRemoteError &e) {
        lumoMessage(e.text(), LumoMsg::Hint);
        result = false;
    }
    m_command = outer;
    return result;
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
        lumoMessage(LockedText, LumoMsg::Hint);
        return false;
    }
    if (ds->IsEmpty())
        return false;
    if (lumoMessage(QStringLiteral("确实要删除此笔资料吗？"), LumoMsg::YesNo) != LumoMsg::Yes)
        return false;
    if (ds == m_master) {
        // The lines go first, one by one, then the head.
        for (const TCDSPak &pak : m_paks) {
            TLumoCLientDataSet *detail = pak.dataSet;
            if (!detail || detail == m_master || !detail->Active())
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
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet && pak.dataSet != m_master && editing(pak.dataSet) && !pak.dataSet->Post())
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
    if (m_autoNO && m_master->RemoteServer())
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
    removeActiveControlHandler();
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

// ---- handlers installed on the managed data sets ----------------------------------------

void TLumoChild::install(TCDSPak &pak)
{
    TLumoCLientDataSet &ds = *pak.dataSet;
    pak.BeforeEdit = ds.BeforeEdit;
    pak.BeforeInsert = ds.BeforeInsert;
    pak.AfterInsert = ds.AfterInsert;
    pak.BeforePost = ds.BeforePost;
    pak.AfterPost = ds.AfterPost;
    pak.BeforeScroll = ds.BeforeScroll;
    pak.OnReconcileError = ds.OnReconcileError;
    // Each handler calls the form's own first; a refusal there stops the operation.
    const auto chain = [this](TDataSetNotifyEvent TCDSPak::*own,
                              void (TLumoChild::*frame)(TLumoCLientDataSet &)) {
        return [this, own, frame](TLumoCLientDataSet &dataSet) {
            if (TCDSPak *p = pakOf(dataSet); p && p->*own)
                (p->*own)(dataSet);
            if (frame)
                (this->*frame)(dataSet);
        };
    };
    ds.BeforeEdit = chain(&TCDSPak::BeforeEdit, &TLumoChild::beforeEdit);
    ds.BeforeInsert = chain(&TCDSPak::BeforeInsert, &TLumoChild::beforeInsert);
    ds.AfterInsert = chain(&TCDSPak::AfterInsert, &TLumoChild::afterInsert);
    ds.BeforePost = chain(&TCDSPak::BeforePost, &TLumoChild::beforePost);
    ds.AfterPost = chain(&TCDSPak::AfterPost, nullptr);
    ds.BeforeScroll = chain(&TCDSPak::BeforeScroll, &TLumoChild::beforeScroll);
    ds.OnReconcileError = [this](TLumoCLientDataSet &dataSet, const TLumoReconcileError &E,
                                 TUpdateKind kind) { return reconcileError(dataSet, E, kind); };
}

TLumoChild::TCDSPak *TLumoChild::pakOf(const TLumoCLientDataSet &dataSet)
{
    for (TCDSPak &pak : m_paks) {
        if (pak.dataSet == &dataSet)
            return &pak;
    }
    return nullptr;
}

void TLumoChild::refuseWhenLocked() const
{
    if (m_lockAfterPost && !masterEditing()) {
        lumoMessage(LockedText, LumoMsg::Hint);
        Abort();
    }
}

void TLumoChild::requireMasterKey() const
{
    if (!m_master)
        return;
    for (const QString &name : keyFieldsOf(*m_master)) {
        const TLumoField *field = m_master->FindField(name);
        if (field && field->AsString().isEmpty()) {
            lumoMessage(field->DisplayLabel() + QStringLiteral("不能为空！"), LumoMsg::Hint);
            Abort();
        }
    }
}

void TLumoChild::beforeEdit(TLumoCLientDataSet &dataSet)
{
    if (!m_options.testFlag(AutoEdit))
        return;
    // Deleting a whole document takes its lines away first; that is no change to a
    // locked document but its end.
    const bool deletingDocument = m_command == cmDelete && m_current == m_master;
    if (!deletingDocument)
        refuseWhenLocked();
    if (isDetail(dataSet))
        requireMasterKey();
    if (m_command == cmEdit)
        focusPanel(m_activePanel);
}

void TLumoChild::beforeInsert(TLumoCLientDataSet &dataSet)
{
    if (isDetail(dataSet)) {
        if (TCDSPak *pak = pakOf(dataSet)) {
            pak->bodyNos.clear();
            if (const TLumoField *bodyNo = dataSet.FindField(QStringLiteral("BodyNO"))) {
                for (int row = 0; row < dataSet.RecordCount(); ++row)
                    pak->bodyNos << bodyNo->valueAt(row).toString();
            }
        }
    }
    if (m_options.testFlag(AutoInsert) && isDetail(dataSet)) {
        refuseWhenLocked();
        requireMasterKey();
    }
    if (m_command == cmNew)
        focusPanel(m_activePanel);
}

QString TLumoChild::NextBodyNo(const QStringList &used)
{
    const int tries = int(used.size()) + 5;
    for (int n = 1; n <= tries; ++n) {
        const QString candidate = QString::asprintf("%.4d", n);
        if (!used.contains(candidate))
            return candidate;
    }
    return QString();
}

void TLumoChild::afterInsert(TLumoCLientDataSet &dataSet)
{
    if (!m_options.testFlag(AutoInsert) || !m_autoNO)
        return;
    if (&dataSet == m_master) {
        TLumoField *headNo = dataSet.FindField(QStringLiteral("HeadNO"));
        if (!headNo || !dataSet.RemoteServer())
            return;
        try {
            headNo->setValue(
                dataSet.RemoteServer()->call(QStringLiteral("GetHeadno"), {dataSet.TableName()}));
        } catch (const TLumoRemoteError &e) {
            // The head stays without a number; its required check stops the post.
            lumoMessage(e.text(), LumoMsg::Hint);
        }
    } else if (isDetail(dataSet)) {
        TLumoField *bodyNo = dataSet.FindField(QStringLiteral("BodyNO"));
        const TCDSPak *pak = pakOf(dataSet);
        if (bodyNo && pak)
            bodyNo->setValue(NextBodyNo(pak->bodyNos));
    }
}

bool TLumoChild::keyIsFree(TLumoCLientDataSet &dataSet) const
{
    const QStringList names = keyFieldsOf(dataSet);
    if (names.isEmpty())
        return false;
    QStringList values, described;
    bool unchanged = dataSet.State() == TDataSetState::dsEdit;
    for (const QString &name : names) {
        const TLumoField &field = dataSet.FieldByName(name);
        values << field.AsString();
        described << field.DisplayLabel() + QStringLiteral("为'") + field.AsString() +
                         QStringLiteral("'");
        unchanged = unchanged && field.OldValue().toString() == field.Value().toString();
    }
    if (!dataSet.RemoteServer())
        return true;
    bool exists = false;
    try {
        exists = dataSet.RemoteServer()
                     ->call(QStringLiteral("keyExist"),
                            {dataSet.TableName(), names.join(QLatin1Char(',')),
                             values.join(QLatin1Char(','))})
                     .toBool();
    } catch (const TLumoRemoteError &e) {
        lumoMessage(e.text(), LumoMsg::Hint);
        return false;
    }
    // The row found is this very record when its key was not touched.
    if (!exists || unchanged)
        return true;
    lumoMessage(described.join(QLatin1Char(',')) + QStringLiteral("的资料已经存在。请检查！"),
                LumoMsg::Hint);
    return false;
}

void TLumoChild::clearBlankFields(TLumoCLientDataSet &dataSet)
{
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TLumoField &field = dataSet.Fields(i);
        if (field.FieldKind() != TFieldKind::Data || field.ReadOnly() || field.column() < 0 ||
            field.DataType() == korvane::FieldType::Nested || !field.AsString().isEmpty())
            continue;
        switch (field.DataType()) {
        case korvane::FieldType::Integer:
        case korvane::FieldType::Float:
        case korvane::FieldType::Boolean:
            field.setValue(0);
            break;
        default:
            if (!field.IsNull())
                field.Clear();
            break;
        }
    }
}

void TLumoChild::beforePost(TLumoCLientDataSet &dataSet)
{
    if (!m_options.testFlag(AutoSave))
        return;
    if (!dataSet.CheckRequired())
        Abort();
    if (&dataSet == m_master && !keyIsFree(dataSet))
        Abort();
    clearBlankFields(dataSet);
}

void TLumoChild::beforeScroll(TLumoCLientDataSet &dataSet)
{
    if (!m_options.testFlag(AutoSave) || &dataSet != m_master || m_command == cmDelete ||
        m_command == cmSave || m_command == cmCancel)
        return;
    if (masterUnsaved() && !askToSave())
        Abort();
}

// ---- refused changes --------------------------------------------------------------------

bool TLumoChild::LumoMessageAction(const QString &message, TReconcileAction *action, QString *text)
{
    if (!message.startsWith(QStringLiteral("LUMO")))
        return false;
    static const TReconcileAction byDigit[] = {
        TReconcileAction::raSkip,    TReconcileAction::raAbort,  TReconcileAction::raMerge,
        TReconcileAction::raCorrect, TReconcileAction::raCancel, TReconcileAction::raRefresh,
    };
    const int digit = message.size() > 4 ? message.at(4).digitValue() : -1;
    *action = digit >= 1 && digit <= 6 ? byDigit[digit - 1] : TReconcileAction::raCorrect;
    *text = message.mid(5);
    return true;
}

TReconcileAction TLumoChild::reconcileError(TLumoCLientDataSet &dataSet,
                                            const TLumoReconcileError &E, TUpdateKind kind)
{
    TReconcileAction action = TReconcileAction::raCorrect;
    QString text;
    if (LumoMessageAction(E.Message, &action, &text)) {
        lumoMessage(text, LumoMsg::Hint);
        return action;
    }
    if (E.ErrorCode != korvane::ForeignKeyRefused)
        return TLumoUpdateError::HandleReconcileError(dataSet, E, kind);
    if (kind == TUpdateKind::ukModify) {
        QStringList labels;
        for (const QString &name : m_master ? keyFieldsOf(*m_master) : QStringList()) {
            const TLumoField *field = m_master->FindField(name);
            labels << QStringLiteral("'") + (field ? field->DisplayLabel() : name) +
                          QStringLiteral("'");
        }
        lumoMessage(QStringLiteral("此记录已被引用，关键字") + labels.join(QLatin1Char(',')) +
                        QStringLiteral("不能修改!"),
                    LumoMsg::Hint);
        action = TReconcileAction::raCorrect;
        m_editAfterApply = true;
    } else {
        lumoMessage(QStringLiteral("此记录已被引用，不能删除！!"), LumoMsg::Hint);
        action = TReconcileAction::raCancel;
    }
    // The operator sees the refused record; the action stays as decided above.
    TLumoUpdateError::HandleReconcileError(dataSet, E, kind);
    return action;
}
