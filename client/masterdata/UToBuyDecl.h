#pragma once
//! Small pieces the two demand lists are declared with.

#include "USingleTblDecl.h"

namespace tobuy {

//! A column of the list (carried, never edited).
TCodeFieldDecl column(const char *name, const char *label,
                      korvane::FieldType type = korvane::FieldType::String);
//! A selector of the search panel on a code/name provider; its twin is "tmp" + param
//! unless the parameter has none.
TSearchFieldDecl selector(const char *name, const char *label, const char *provider,
                          QStringList titles, const char *param, bool twin = true);

//! The names of the columns, in their order: what the list shows.
QStringList columnNames(const QList<TCodeFieldDecl> &columns);

} // namespace tobuy
