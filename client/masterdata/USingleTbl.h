#pragma once
//! TfrmSingletbl: the code-maintenance window. A list grid above an edit area, one master
//! data set on a provider of the base module and the frame that answers the main window's
//! record commands. A code table is declared as data (TCodeTableDecl); the window turns its
//! fields into grid columns and edit-area editors.

#include "Packet.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class TLumoCLientDataSet;
class TLumoChild;
class TLumoDataSource;
class TLumoFaceSet;
class TLumoPanel;
class TLumoRemoteServer;
class Tlumodbgrid;
class QGridLayout;

//! One persistent field of a code table: how it is stored, labelled, entered and checked.
struct TCodeFieldDecl
{
    enum TEditorKind { ekText, ekNumber };

    QString name;
    QString label; // grid title and the name used in every message about the field
    korvane::FieldType type = korvane::FieldType::String;
    int width = 0; // most characters the editor accepts (text fields)
    bool required = false;
    bool upperCase = false; // typed letters become capitals
    TEditorKind editor = ekText;
    QString suffix; // shown after the editor, as "%"
};

//! One code table: its window's caption, provider, table and fields.
struct TCodeTableDecl
{
    QString caption;
    QString provider;
    QString tableName;
    QString lookupName; // the data module's shared list of the same table ("" for none)
    QList<TCodeFieldDecl> fields;
    bool gridReadOnly = false;
};

class TfrmSingletbl : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmSingletbl(const TCodeTableDecl &decl, QWidget *parent = nullptr);
    ~TfrmSingletbl() override;

    //! The base module connection the master data set reads from and applies to.
    void setRemoteServer(TLumoRemoteServer *server);
    //! Told the shared list's name once a save or delete has reached the server (after the
    //! command, from the event loop).
    std::function<void(const QString &lookupName)> OnCodeTableChanged;

    const TCodeTableDecl &decl() const { return m_decl; }
    //! The window's first activation: initialises the frame and opens the master data set;
    //! every activation makes this window the target of the main window's commands.
    void activateWorkWindow();

    TLumoPanel *pnlQuery = nullptr;
    TLumoPanel *pnlMaster = nullptr;
    TLumoPanel *pnlMasterList = nullptr;
    Tlumodbgrid *GridXMaster = nullptr;
    TLumoPanel *pnlMasterEdt = nullptr;
    TLumoCLientDataSet *CDSXMaster = nullptr;
    TLumoDataSource *dsXMaster = nullptr;
    TLumoFaceSet *FaceSet = nullptr;
    TLumoChild *LumoChild = nullptr;

protected:
    //! The window's own rule before a save; false abandons the save after its message.
    virtual bool beforeSaveRule() { return true; }
    //! The window's own rule before a delete; false abandons the delete after its message.
    virtual bool beforeDeleteRule() { return true; }

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createPanels();
    void createDataSet();
    void createEditors();
    void addEditorRow(QGridLayout *grid, int row, const TCodeFieldDecl &field);
    void hookEvents();
    void beforePost();
    void changeOnItsWay();
    void reportAppliedChange();
    void openMaster();

    TCodeTableDecl m_decl;
    bool m_changeSent = false; // a save or delete is on its way; looked at after the command
};
