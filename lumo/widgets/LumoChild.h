#pragma once
//! TLumoChild: the frame every work window carries. It binds the window's data sets, panels
//! and grids together by their TagStr codes, carries out the main window's record commands,
//! guards unsaved changes, numbers new documents and their lines, checks required fields and
//! duplicate keys before posting and turns the server's refusals into messages.

#include "LumoCLientDataSet.h"

#include <QFlags>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "LumoPanel.h"
class QWidget;
class TLumoPanelFocus;
class TLumoRecordRules;

//! The main window's way into the active work window: runs one command, answers its result.
using TCommandEntry = std::function<bool(int Command)>;

//! What a work window's frame takes from the login session. The client shell fills the
//! process-wide record (lumoSession()) once after login; the frame keeps a copy.
struct TLumoSession
{
    QString DateFormat;         // the operator's date display pattern
    bool CheckOnSave = true;    // a saved document is checked at once (read by documents)
    bool HeadNoReadOnly = true; // editors bound to "HeadNO" become read-only
    QString SessionId;          // handed to CancelHeadno
    QString UserCode;
    QString UserName;
    //! Registers the active work window's command entry with the main window.
    std::function<void(const TCommandEntry &entry)> SetCommandTarget;
};

//! The session record of this process, shared by every work window.
TLumoSession &lumoSession();

using TExecParentCommandEvent = std::function<void(int Command, bool &RLT)>;

class TLumoChild : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(bool LockAfterPost READ LockAfterPost WRITE setLockAfterPost)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(bool AutoNO READ AutoNO WRITE setAutoNO)

public:
    enum TOption {
        AutoNav = 0x001,
        AutoInsert = 0x002,
        AutoEdit = 0x004,
        AutoDelete = 0x008,
        AutoSave = 0x010,
        AutoCancel = 0x020,
        AutoRefresh = 0x040,
        AutoCheck = 0x080,
        AutoReturn = 0x100,
    };
    Q_DECLARE_FLAGS(TOptions, TOption)
    Q_FLAG(TOptions)

    //! Command numbers of the main window's actions.
    enum Command {
        cmFirst = 1,
        cmPrior = 2,
        cmNext = 3,
        cmLast = 4,
        cmNew = 5,
        cmEdit = 6,
        cmDelete = 7,
        cmSave = 8,
        cmCancel = 9,
        cmRefresh = 10,
        cmCheck = 11,
        cmReturn = 12,
        cmMayLeave = 14,
    };

    //! Every automatic command but the check.
    static TOptions defaultOptions();

    //! parent: the work window that owns the frame.
    explicit TLumoChild(QObject *parent = nullptr);
    ~TLumoChild() override;

    TOptions Options() const { return m_options; }
    void setOptions(TOptions options) { m_options = options; }
    bool LockAfterPost() const { return m_lockAfterPost; }
    void setLockAfterPost(bool lock) { m_lockAfterPost = lock; }
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    bool AutoNO() const { return m_autoNO; }
    void setAutoNO(bool on) { m_autoNO = on; }

    //! Called before and after every command; RLT starts true and becomes the result.
    TExecParentCommandEvent BeforeExecParentCommand;
    TExecParentCommandEvent AfterExecParentCommand;

    //! Binds the window's components once; configuration faults are reported, never fatal.
    void InitFrame(const TLumoSession &ParentInfo);
    bool Initialized() const { return m_initialized; }
    //! Performs one command; false when it did not happen or was refused.
    bool ExecCommand(int Command);
    //! The entry the main window calls: runs the command on the most recently created frame.
    static bool CommandEntry(int Command);
    //! The work window became the active child: follow the focus again and register the
    //! command entry with the main window.
    void ActivateCommandTarget();

    TLumoCLientDataSet *MasterDataSet() const { return m_master; }
    TLumoCLientDataSet *CurrentDataSet() const { return m_current; }
    TLumoPanel *ActivePanel() const;
    QList<TLumoCLientDataSet *> ManagedDataSets() const;
    const TLumoSession &ParentInfo() const { return m_parentInfo; }
    //! The command being carried out (0 when none).
    int RunningCommand() const { return m_command; }

    //! The line number a new line takes: the lowest "0001", "0002", ... not among used
    //! (at most used.size() + 5 candidates are tried; "" when all are taken).
    static QString NextBodyNo(const QStringList &used);
    //! The reconcile action a "LUMO" + digit server message asks for (digits 1-6), with the
    //! text to show; false when the message is not of that form.
    static bool LumoMessageAction(const QString &message, TReconcileAction *action, QString *text);
    //! Reports every code/name editor of a form whose CodeDataField is empty.
    static void ReportCodeNamesWithoutField(QObject *form);

private:
    friend class TLumoRecordRules; // the rules follow the running command and the master

    QWidget *ownerWidget() const;
    void reportUniqueness();

    // Initialisation.
    void bindComponent(QObject *component);
    void bindGrid(QObject *grid);
    void manage(TLumoCLientDataSet *dataSet);
    void checkKeyIndex(const TLumoCLientDataSet &dataSet) const;
    void matchPanels();
    void focusActivePanel(); // a new or edited record brings its panel to the operator

    // Commands.
    bool commandAllowed(int command) const;
    bool ownAction(int command);
    bool navigate(int command);
    bool deleteRecord();
    bool save();
    bool cancel();
    bool returnToMain();
    bool askToSave(); // the save question; false when the operator cancelled or it failed
    void applyMaster();

    bool isDetail(const TLumoCLientDataSet &dataSet) const;
    bool masterEditing() const;
    bool masterUnsaved() const;

    TOptions m_options = defaultOptions();
    bool m_lockAfterPost = false;
    QString m_tagStr;
    bool m_autoNO = false;

    bool m_initialized = false;
    TLumoSession m_parentInfo;
    std::unique_ptr<TLumoRecordRules> m_rules; // on the managed data sets
    std::unique_ptr<TLumoPanelFocus> m_focus;  // the panels and the active one
    QPointer<TLumoCLientDataSet> m_master;
    QPointer<TLumoCLientDataSet> m_current;
    int m_command = 0;
    bool m_editAfterApply = false; // a refused key change puts the master back into edit
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TLumoChild::TOptions)
