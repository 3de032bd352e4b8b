#pragma once
//! The report forms: one printable layout per report code, made once after login and reused
//! for every run. A condition window fetches the rows, writes the date line and condition
//! lines into the form of its report code and previews it.

#include <QString>
#include <QStringList>

class QWidget;
class TLumoCLientDataSet;

class TfrmRPT
{
public:
    virtual ~TfrmRPT() = default;

    //! The title in the title block (the customer/supplier form takes it from its code).
    virtual void setTitle(const QString &title) = 0;
    //! "日期：2003-01-01~2003-01-31"; empty for reports without dates.
    virtual void setDateLine(const QString &line) = 0;
    //! The condition box, one line per condition.
    virtual void setConditionLines(const QStringList &lines) = 0;
    //! Shows the rows of the data set in the print preview, modally and maximised, with
    //! print, PDF, spreadsheet and document export.
    virtual void preview(TLumoCLientDataSet &rows, QWidget *parent) = 0;
};

namespace korvane::reports {

//! The form of a report code ("RPTBUY" → the purchase summary); null for an unknown code.
//! Forms are made on first use and live until the client ends.
TfrmRPT *reportForm(const QString &reportCode);

} // namespace korvane::reports
