#pragma once
//! TfrmSingletbl: the code-maintenance window. A list grid above an edit area, one master
//! data set on a provider of the base module and the frame that answers the main window's
//! record commands. A code table is declared as data (TCodeTableDecl); the window turns its
//! fields into grid columns, edit-area editors and the search panel.

#include "USingleTblDecl.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class TLumoCLientDataSet;
class TLumoChild;
class TLumoDataSource;
class TLumoFaceSet;
class TLumoPanel;
class TLumoRemoteServer;
class Tlumodbgrid;
class TLumoCodeName;
class TLumoDateEdit;

class TfrmSingletbl : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmSingletbl(const TCodeTableDecl &decl, QWidget *parent = nullptr);
    ~TfrmSingletbl() override;

    //! The base module connection the master data set reads from and applies to.
    void setRemoteServer(TLumoRemoteServer *server);
    //! The code/name module connection of every code/name editor of the window.
    void setCodeNameServer(TLumoRemoteServer *server);
    //! Told the shared list's name once a save or delete has reached the server (after the
    //! command, from the event loop).
    std::function<void(const QString &lookupName)> OnCodeTableChanged;

    const TCodeTableDecl &decl() const { return m_decl; }
    //! The window's first activation: initialises the frame and opens the master data set;
    //! every activation makes this window the target of the main window's commands.
    void activateWorkWindow();
    //! The search button: the list of the picks in the search panel.
    void Search();
    //! An editor of the search panel by its objectName; null when there is none.
    TLumoCodeName *searchEditor(const QString &name) const;

    TLumoPanel *pnlQuery = nullptr;
    TLumoDateEdit *deBegin = nullptr; // with the declaration's date range only
    TLumoDateEdit *deEnd = nullptr;
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
    //! The window's own rule before a new row; false abandons the insert after its message.
    virtual bool beforeInsertRule() { return true; }
    //! The window's own defaults of a new row.
    virtual void newRowDefaults() {}
    //! The code picked in the search panel's editor of that name ("" for none).
    QString searchCode(const QString &name) const;
    //! Reports a missing pick of the search panel and gives its editor the focus.
    void askForSearchPick(const TSearchFieldDecl &field);

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createPanels();
    void createDataSet();
    void createSearchPanel();
    void createDateRange(QHBoxLayout *line);
    void createGridTwins();
    void addField(const TCodeFieldDecl &field);
    void setSearchParams();
    void hookEvents();
    void beforePost();
    void changeOnItsWay();
    void reportAppliedChange();
    void openMaster();

    TCodeTableDecl m_decl;
    bool m_changeSent = false; // a save or delete is on its way; looked at after the command
};
