#pragma once
//! A report condition window as data: the reports it serves, its conditions with the
//! parameters they fill and what must be filled, and the lines that describe the chosen
//! conditions on the report. TfrmRPTQry interprets it.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

//! One condition of the window, in the order of the window and of its checks.
struct TRPTCondDecl
{
    enum TKind {
        ckDates, // the two date boxes "edtBeginDate" and "edtEndDate" → BeginDate, EndDate
        ckCode,  // a code/name editor with the name box beside it
        ckCheck, // "包含未审核单据" → State "1" ticked, "2" not
    };
    TKind kind = ckCode;
    QString name;                 // component name: "cnPdtCode", "chkState"
    QString label;                // "货  品"; for the dates the label before the first box
    QString label2;               // dates: the label between the boxes
    QString provider;             // code/name lookup: "dspPdtCN"
    QStringList titles;           // column titles of its pick list; the first names the code
    QString param;                // "pdtCode"; its twin "tmppdtCode" unless alone
    bool alone = false;           // the parameter travels without a twin
    QString preCode;              // the condition whose code limits this lookup
    bool preCodeOptional = false; // without that code the lookup offers every code
    QString missing;              // the message when it must be filled and is empty
    QStringList onlyFor; // report codes that require it (empty: always, when missing is set)
};

//! One line of the report's condition box.
struct TRPTLineDecl
{
    QString condition;                            // the condition named on the line
    QString label;                                // "货    品:"; the picked name follows it
    QMap<QString, QString> labelFor;              // another label for some report codes
    QString all = QStringLiteral(" 【 全 部 】"); // follows the label when nothing is picked
    bool onlyPicked = false;                      // the line is left out when nothing is picked
};

//! A report the window serves and, when it has to be set, the report's title.
struct TRPTReportDecl
{
    QString code;  // "RPTBUY"
    QString title; // empty: the form keeps its own
};

struct TRPTQryDecl
{
    QString className;
    QString caption = QStringLiteral("报表条件选择");
    QList<TRPTReportDecl> reports;
    QList<TRPTCondDecl> conditions;
    QList<TRPTLineDecl> lines;

    const TRPTCondDecl *condition(const QString &name) const
    {
        for (const TRPTCondDecl &c : conditions) {
            if (c.name == name)
                return &c;
        }
        return nullptr;
    }
    const TRPTReportDecl *report(const QString &code) const
    {
        for (const TRPTReportDecl &r : reports) {
            if (r.code.compare(code, Qt::CaseInsensitive) == 0)
                return &r;
        }
        return nullptr;
    }
};
