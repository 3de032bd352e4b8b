#include "URPT.h"

#include "UParentInfo.h"
#include "URPTForm.h"

#include <map>

namespace korvane::reports {

TfrmRPTForm::TfrmRPTForm(const FormDecl &decl)
    : className_(decl.className), definition_(decl.definition)
{}

report::ReportContext TfrmRPTForm::context() const
{
    // Read at each run, so that the names are those of whoever is logged in now.
    report::ReportContext c;
    c.companyName = ParentInfo.Log.ReportCorpName;
    c.deptName = ParentInfo.Log.DeptName;
    c.userName = ParentInfo.Log.UserName;
    c.dateLine = dateLine_;
    c.conditionLines = conditionLines_;
    c.printTime = QDateTime::currentDateTime();
    return c;
}

FormPreview TfrmRPTForm::makePreview(TLumoCLientDataSet &rows, QWidget *parent) const
{
    FormPreview p;
    p.cursor = std::make_unique<DataSetCursor>(rows);
    p.window = std::make_unique<report::ReportPreview>(definition_, *p.cursor, context(), parent);
    return p;
}

void TfrmRPTForm::preview(TLumoCLientDataSet &rows, QWidget *parent)
{
    const FormPreview p = makePreview(rows, parent);
    p.window->exec();
}

TfrmRPT *reportForm(const QString &reportCode)
{
    // One form per declaration, made on first use; the codes of one declaration share it.
    static std::map<const FormDecl *, std::unique_ptr<TfrmRPTForm>> forms;
    const FormDecl *decl = formDeclFor(reportCode);
    if (!decl)
        return nullptr;
    std::unique_ptr<TfrmRPTForm> &form = forms[decl];
    if (!form)
        form = std::make_unique<TfrmRPTForm>(*decl);
    return form.get();
}

} // namespace korvane::reports
