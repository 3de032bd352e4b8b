#pragma once
//! The components a document window is built of, made from their declarations: head
//! editors, query selectors, the line grid's columns and the pickers laid over its cells.

#include "LumoPanel.h"
#include "UDocumentDecl.h"

#include <QPair>

#include <functional>

class TLumoCLientDataSet;
class TLumoCodeName;
class TLumoDataSource;
class TLumoEdit;
class Tlumodbgrid;
class QValidator;

namespace doceditors {

//! A validator that turns typed letters into capitals as they are typed.
QValidator *upperCaseValidator(QObject *parent);

//! Today as a date editor takes it ("YYYY-MM-DD 00:00:00").
QString todayText();

//! Opens a data set; a refusal is told to the operator and the data set stays closed.
void openOrSay(TLumoCLientDataSet &dataSet);

//! Room for the given number of characters in a control's font.
int charWidth(const QWidget *widget, int chars);

TLumoPanel *makePanel(QWidget *parent, const char *name, const char *tagStr,
                      TLumoPanel::TPnlType type);

//! The format amounts are shown in ("0.00").
QString moneyFormat();

//! The declared fields on a data set: label, width, required mark, shown in a grid or not,
//! amounts in the money format, names looked up in the data module's lists (none without the
//! module).
void declareFields(TLumoCLientDataSet &dataSet, const QList<TDocFieldDecl> &fields);
//! Gives the declared amounts their money format again (after the frame has given every
//! float field its own): shown with two decimals, edited as stored.
void showMoney(TLumoCLientDataSet &dataSet, const QList<TDocFieldDecl> &fields);

//! One head editor bound to the head's source; every named component made is added to made.
QWidget *headEditor(QWidget *parent, TLumoDataSource *source, const TDocEditorDecl &decl,
                    QList<QWidget *> *made);

//! A selector of the query panel (not bound to data) and the box that shows the name picked.
QPair<TLumoCodeName *, TLumoEdit *> selector(QWidget *parent, const TDocSelectorDecl &decl);

//! The product and item pickers, hidden until the line grid lays them over a cell.
TLumoCodeName *productPicker(QWidget *parent, TLumoDataSource *lines);
TLumoCodeName *itemPicker(QWidget *parent, TLumoDataSource *lines, TLumoCodeName *product);

//! Shows only the rows of one kind (Flag) of a shared list of sub-kinds ("cdsXStockChAttr"),
//! read whole; the list box on it (may be null) reads it again.
void showKindOnly(const QString &listName, const QString &flag, QWidget *box);

//! The line grid's columns as declared: read-only ones green and not typed into there; the
//! button of an ellipsis cell closes its editor and then tells onEllipsis the field's name.
void showLineColumns(Tlumodbgrid &grid, const QList<TDocFieldDecl> &fields,
                     std::function<void(const QString &field)> onEllipsis = {});

} // namespace doceditors
