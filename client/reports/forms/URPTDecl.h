#pragma once
//! The report forms as one table of declarations: per form its class name, the report codes
//! it prints, and the definition the report engine interprets (page, columns, grouping,
//! sums, closing line). No form has layout code of its own.

#include "ReportDefinition.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace korvane::reports {

struct FormDecl
{
    QString className; //!< "TfrmRPTBuy"
    QStringList codes; //!< the report codes printed with this form
    report::ReportDefinition definition;
};

//! Every report form, in the order of the main menu.
const QVector<FormDecl> &formDecls();

//! The form of a report code, compared without regard to case; null for an unknown code.
const FormDecl *formDeclFor(const QString &reportCode);

} // namespace korvane::reports
