#pragma once
//! The report condition window: the operator fills in the conditions of a family of
//! reports and presses "√ 产生报表"; the window checks what must be filled, sends the
//! conditions with the report code to the report module, writes the date line and the
//! condition lines into the report's form and previews it. One frame interprets the
//! declaration of every condition window; a window class only names its declaration.

#include "URPTQryDecl.h"

#include <QDialog>
#include <QMap>
#include <QPointer>

#include <functional>

class QGridLayout;
class QLabel;
class QLineEdit;
class TfrmRPT;
class TLumoCLientDataSet;
class TLumoCheckBox;
class TLumoCodeName;
class TLumoDateEdit;
class TLumoEdit;
class TLumoFaceSet;
class TLumoLabel;
class TLumoModalForm;
class TLumoPanel;
class TLumobitBtn;

namespace korvane::reports {

//! Finds the form of a report code; the condition windows ask it whenever their code changes.
using FormLookup = std::function<TfrmRPT *(const QString &reportCode)>;
//! Replaces the lookup (tests put their own forms in); an empty one restores reportForm.
//! Returns the lookup it replaced.
FormLookup setFormLookup(FormLookup lookup);
//! The form of a report code through the current lookup.
TfrmRPT *lookUpForm(const QString &reportCode);

} // namespace korvane::reports

class TfrmRPTQry : public QDialog
{
    Q_OBJECT
    //! Handed over by the main window before each showing.
    Q_PROPERTY(QString RPTCode READ RPTCode WRITE setRPTCode)

public:
    explicit TfrmRPTQry(const TRPTQryDecl &decl, QWidget *parent = nullptr);
    ~TfrmRPTQry() override;

    const TRPTQryDecl &decl() const { return m_decl; }

    QString RPTCode() const { return m_code; }
    //! A different code chooses its report form (and sets its title where the window names
    //! one); the same code keeps the choice.
    void setRPTCode(const QString &code);
    //! The form chosen for the current code; null when there is none.
    TfrmRPT *reportForm() const { return m_form; }

    TLumoPanel *pnlSel = nullptr;
    TLumoLabel *lblEmpty = nullptr;
    TLumoPanel *pnlBtn = nullptr;
    TLumobitBtn *BitBtn1 = nullptr;
    TLumobitBtn *BitBtn2 = nullptr;
    TLumoFaceSet *LumoFaceSet1 = nullptr; // centred on the screen; Enter moves to the next field
    TLumoModalForm *LumoModalForm1 = nullptr;
    TLumoCLientDataSet *cdsXMaster = nullptr;
    TLumoDateEdit *edtBeginDate = nullptr; // null in windows without dates
    TLumoDateEdit *edtEndDate = nullptr;
    TLumoCheckBox *chkState = nullptr; // null in windows without "包含未审核单据"

    //! The code/name editor of a condition, the name box beside it, the label before it.
    TLumoCodeName *codeEditor(const QString &condition) const;
    TLumoEdit *nameBox(const QString &condition) const;
    QLabel *conditionLabel(const QString &condition) const;

    //! "√ 产生报表": checks, fetches and previews; true when the report was shown. The chart
    //! windows show their chart instead.
    virtual bool Generate();
    //! "清除所有条件": every date box, code/name editor and text box of pnlSel emptied.
    void ClearConditions();
    //! What the form receives before the preview.
    QString dateLine() const;
    QStringList conditionLines() const;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

    //! False for windows that show their rows in a window of their own (the charts): their
    //! report code chooses no report form.
    virtual bool showsReportForm() const { return true; }
    //! A condition of a window's own below the declared ones (a choice of period or measure).
    void addConditionRow(const QString &label, QWidget *editor);
    //! The steps of a run the chart windows share with the reports.
    bool checkConditions();
    void fillParams();
    bool fetch();
    QString dateText(TLumoDateEdit *edit) const;

private:
    void buildWindow();
    void addCondition(QGridLayout *grid, const TRPTCondDecl &cond);
    void addDates(QGridLayout *grid, int row, const TRPTCondDecl &cond);
    void addCodeName(QGridLayout *grid, int row, const TRPTCondDecl &cond);
    void linkPredecessors();
    void activated();
    void showRequiredLabels();
    bool requiredNow(const TRPTCondDecl &cond) const;
    bool checkDate(TLumoDateEdit *edit, const QString &missing);
    void showReport();

    TRPTQryDecl m_decl;
    QString m_code;
    TfrmRPT *m_form = nullptr; // lives with the report forms, until the client ends
    bool m_mayFillDates = true;
    QMap<QString, TLumoCodeName *> m_codes;
    QMap<QString, TLumoEdit *> m_names;
    QMap<QString, QLabel *> m_labels;
};
