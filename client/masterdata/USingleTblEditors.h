#pragma once
//! The editors of a code-maintenance window, built from its field declarations: text,
//! number, memo, date, shared-list, code/name and picture editors on one or more pages.

#include "USingleTblDecl.h"

class QWidget;
class TLumoCodeName;
class TLumoDataSource;
class TLumoPanel;

namespace singletbl {

//! The edit area of a window: its fields' labels and editors, on pages when it has them.
void buildEditArea(TLumoPanel *area, const TCodeTableDecl &decl, TLumoDataSource *source);
//! A code/name editor for a field; bound to source, or to nothing (NODB) when it is null.
TLumoCodeName *createCodeName(const TCodeNameDecl &decl, const QString &field, bool upperCase,
                              TLumoDataSource *source, QWidget *parent);
//! Ties each code/name editor that names a predecessor field to that field's editor.
void linkPredecessors(QWidget *form, const TCodeTableDecl &decl);
//! A data source on a shared list of the data module, owned by owner; null when unknown.
TLumoDataSource *sharedListSource(const QString &list, QObject *owner);

} // namespace singletbl
