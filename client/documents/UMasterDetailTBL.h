#pragma once
//! TfrmMasterDetailtbl: the document window. A list of heads with its query panel on one
//! tab, one document (head editors, line grid, line totals) on the other, the heads and
//! their nested lines in two client data sets and the frame that answers the main
//! window's record commands. A document kind is declared as data (TDocumentDecl); a window
//! class adds only its own rules. Master data kept as heads with lines (variants,
//! products) uses the same frame, declared without what only documents have.

#include "UDocumentDecl.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class TLumoCLientDataSet;
class TLumoChild;
class TLumoCodeName;
class TLumoDataSource;
class TLumoDateEdit;
class TLumoFaceSet;
class TLumoPageControl;
class TLumoPanel;
class TLumoParams;
class TLumoRemoteServer;
class TLumobitBtn;
class Tlumodbgrid;

class TfrmMasterDetailtbl : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMasterDetailtbl(const TDocumentDecl &decl, QWidget *parent = nullptr);
    ~TfrmMasterDetailtbl() override;

    const TDocumentDecl &decl() const { return m_decl; }
    //! The document module connection the heads read from, apply to and number with
    //! (the data module's by default).
    void setBillServer(TLumoRemoteServer *server);
    //! The first activation initialises the frame and opens heads and lines; every
    //! activation makes this window the target of the main window's commands.
    void activateWorkWindow();

    //! The query button: today's or the chosen range of this kind, with the filters set.
    void btnQryClick();
    //! The read button: lines from the source document through its picker.
    void btnReadBuyClick();
    //! The check command: the selected documents, or the current one (silent: no message
    //! at the end, as after a save).
    bool checkDocuments(bool silent);

    //! A component of the head or query panel by name (editors, selectors, boxes).
    QWidget *component(const QString &name) const { return m_components.value(name); }
    TLumoCodeName *selector(const QString &name) const;
    //! The quantity column's title and the caption of the quantity total.
    void setQuantityCaptions(const QString &column, const QString &total);

    TLumoPageControl *pcMain = nullptr;
    QWidget *tsXMasterList = nullptr;
    TLumoPanel *pnlQuery = nullptr;
    TLumoDateEdit *deBegin = nullptr;
    TLumoDateEdit *deEnd = nullptr;
    TLumobitBtn *btnQry = nullptr;
    TLumoPanel *pnlMaster = nullptr;
    TLumoPanel *pnlMasterList = nullptr;
    Tlumodbgrid *GridXMaster = nullptr;
    QWidget *tsXMasterDetail = nullptr;
    TLumoPanel *pnlMasterEdt = nullptr;
    TLumobitBtn *btnReadBuy = nullptr;
    TLumoPanel *pnlDetail = nullptr;
    TLumoPanel *pnlDetailList = nullptr;
    Tlumodbgrid *GridXDetail = nullptr;
    TLumoCodeName *cnPdtCode = nullptr;
    TLumoCodeName *cnSpecName = nullptr;
    TLumoPanel *pnlDetailEdt = nullptr;
    QLabel *lblTotalBigPackNum = nullptr;
    QLabel *lblSumOfBigPackNum = nullptr;
    QLabel *lblTotalpqty = nullptr;
    QLabel *lblSumOfPqty = nullptr;
    TLumoCLientDataSet *CDSXMaster = nullptr;
    TLumoDataSource *dsXMaster = nullptr;
    TLumoCLientDataSet *cdsXDetail = nullptr;
    TLumoDataSource *dsXDetail = nullptr;
    TLumoFaceSet *FaceSet = nullptr;
    TLumoChild *LumoChild = nullptr;

protected:
    //! Before the frame's own activation, every time the window becomes active.
    virtual void beforeActivation() {}
    //! InOutFlag was set (also by the default of a new head).
    virtual void inOutFlagChanged(const QString &) {}
    //! The kind the list is queried for and new heads are given ("" for a document
    //! without one).
    virtual QString kindFlag() const { return m_decl.flag; }
    //! The query has set its range, kind and selectors; a window sets its own filters.
    virtual void queryParamsSet(TLumoParams &) {}
    //! Before a line is inserted, the line current then already posted.
    virtual void lineAboutToBeInserted() {}
    //! A new line, already given its head's key.
    virtual void lineInserted() {}
    //! The button of a line grid's ellipsis cell was pressed.
    virtual void lineEllipsisClicked(const QString &) {}

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createPages();
    void createQueryPanel();
    //! An edit area holding a plain panel holding a grid, on a tab sheet.
    Tlumodbgrid *gridPanel(QWidget *sheet, TLumoPanel **outer, TLumoPanel **inner,
                           const char *names[3], const char *tagStr);
    void createListPanel();
    void createHeadPanel();
    void createLinePanel();
    void createTotalsPanel();
    //! A head total shown read-only after the line totals.
    void addHeadTotal(QHBoxLayout *row, const QString &caption, const QString &field);
    void createDataSets();
    void declareHeadFields();
    void declareLineFields();
    void createLinePickers();
    void addHeadEditor(QGridLayout *grid, int row, int column, const TDocEditorDecl &decl);
    void hookEvents();
    void presetQuery();
    void setRangeAndKind();
    void setQueryParams();
    void masterAfterInsert();
    void documentHeadDefaults();
    void capitaliseTypedCodes();
    void beforeLineInsert();
    void lineAfterInsert();
    void beforeCommand(int command, bool &RLT);
    void afterCommand(int command, bool &RLT);
    void refreshTotals();
    void openData();
    void remember(QWidget *widget);

    TDocumentDecl m_decl;
    QHash<QString, QPointer<QWidget>> m_components;
    bool m_checkAfterSave = false; // the check runs as the last step of a save
};
