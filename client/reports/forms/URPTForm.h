#pragma once
//! The one report form class: a declaration of the table in URPTDecl, its title block filled
//! from the session record and the condition window, previewed by the report engine.

#include "URPT.h"
#include "URPTCursor.h"
#include "URPTDecl.h"

#include "ReportPreview.h"

#include <memory>

namespace korvane::reports {

//! A preview window with the cursor it reads; the window goes first.
struct FormPreview
{
    std::unique_ptr<DataSetCursor> cursor;
    std::unique_ptr<report::ReportPreview> window;
};

class TfrmRPTForm : public TfrmRPT
{
public:
    explicit TfrmRPTForm(const FormDecl &decl);

    void setTitle(const QString &title) override { definition_.title = title; }
    void setDateLine(const QString &line) override { dateLine_ = line; }
    void setConditionLines(const QStringList &lines) override { conditionLines_ = lines; }
    void preview(TLumoCLientDataSet &rows, QWidget *parent) override;

    //! "TfrmRPTBuy"
    QString formName() const { return className_; }
    const report::ReportDefinition &definition() const { return definition_; }
    //! The title block and footer of a run now: the session's company, department and
    //! operator, the date and condition lines, the print time.
    report::ReportContext context() const;
    //! The preview over the rows, not yet shown; it reads the rows while it lives.
    FormPreview makePreview(TLumoCLientDataSet &rows, QWidget *parent) const;

private:
    QString className_;
    report::ReportDefinition definition_;
    QString dateLine_;
    QStringList conditionLines_;
};

} // namespace korvane::reports
