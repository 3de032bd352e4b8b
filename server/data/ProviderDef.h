#pragma once
//! A provider as data: what a module publishes under one name.

#include <QList>
#include <QString>

namespace korvane {

enum class ProviderOptions {
    A, // include field properties, auto refresh, propagate changes, allow command text
    B, // include field properties, allow command text
};

struct ProviderDef
{
    QString name; // "dspCI"; matched without regard to case
    QString sql;  // master statement, parameters as :Name
    ProviderOptions options = ProviderOptions::A;
    QString detailField; // nested field name (the detail table, e.g. "xprdtb"); empty: no detail
    QString detailSql; // detail statement; its parameters are named like master columns (:pdtcode)
    QString description; // human-readable title ("品牌")
    QString updateTable; // empty: the first table after FROM in sql
};

using ProviderDefs = QList<ProviderDef>;

} // namespace korvane
