#pragma once
//! A document window as data: what TfrmMasterDetailtbl needs to build one kind of document
//! (captions, provider and tables, the kind's Flag, the query panel's selectors, the head
//! editors, the line grid's columns and the source its lines may be read from).

#include "Packet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

//! A field of the head or line data set: how it is stored, labelled and shown.
struct TDocFieldDecl
{
    QString name;
    QString label;
    korvane::FieldType type = korvane::FieldType::String;
    int width = 0;
    bool required = false;
    bool shown = true;         // a column of the line grid
    bool gridReadOnly = false; // shown in the line grid but not typed into there
    //! An amount: stored as computed, never rounded, and shown with two decimals wherever
    //! it appears (grid, editors, totals).
    bool money = false;
    //! A name looked up by a code of the same record in a shared list of the data module
    //! (its Code and Name); picked from that list in the line grid. "" for a stored field.
    QString lookupList;
    QString lookupKey;
    bool ellipsis = false; // its grid cell has a button that asks the window for a value
};

//! An optional filter of the query panel: a code/name editor not bound to data, the
//! provider parameter it sets and its twin ("tmp" + parameter).
struct TDocSelectorDecl
{
    QString name;  // "cnStoreCodeSel"
    QString param; // "StoreCode"
    QString caption;
    QString nameCaption; // caption of the read-only name box beside it ("" for none)
    QString provider;
    QStringList titles;
};

//! One editor of the head.
struct TDocEditorDecl
{
    enum TKind {
        ekText,     // a data-aware edit
        ekReadOnly, // a read-only box
        ekHeadNo,   // the number (read-only while numbering is on)
        ekDate,     // the date part of hdate
        ekCodeName, // a code/name editor with its name box
        ekListBox,  // a list of the data module (listSource), its key written to the field
        ekTypeCombo // the kind's type list on InOutFlag
    };
    TKind kind = ekText;
    QString name; // component name ("cnStoreCode")
    QString field;
    QString caption;
    QString provider;       // code/name editors
    QStringList titles;     // code/name editors
    QString nameField;      // code/name editors: the joined name shown beside the code
    QString listSource;     // list boxes: the data module's source ("dsMoney")
    QString keyField;       // list boxes: the list's column written to the field
    QString listField;      // list boxes: the list's column shown
    bool wide = false;      // takes a whole row (the remark)
    bool upperCase = false; // typed letters become capitals (a typed code)
};

//! A total of the footer: its caption and the head field that holds it.
struct TDocTotalDecl
{
    QString caption;
    QString field;
};

//! Where the lines of a document may be read from: the order-line picker.
struct TDocReadDecl
{
    QString buttonCaption; // "读采购单"; empty: the document reads no lines
    QString pickerClass;   // "TfrmReadBuy"
    QString sourceKind;    // the picker's caption and the remark's start ("采购单")
    QString provider;      // "dspXBuy"
    QString remarkEnd;     // "入库！"
    // Price, amount, tax and total come with the order line.
    bool copiesMoney = false;
};

struct TDocumentDecl
{
    QString caption;
    QString listCaption;
    QString documentCaption;
    QString provider;
    QString headTable;
    QString nestedField;
    QString lineTable;
    QString flag; // the kind within a shared head table; "" for none
    QString datePrompt;
    QString packageVerb;
    QList<TDocSelectorDecl> selectors; // in the order the query reads them
    QStringList filterParams;          // every optional filter the provider has
    QList<TDocFieldDecl> headFields;
    QList<TDocEditorDecl> editors;
    QList<TDocFieldDecl> lineFields;
    QStringList listColumns;
    QList<QPair<QString, QVariant>> newHeadDefaults; // beyond date, kind, inputer and state
    QString quantityTotalCaption = QStringLiteral("总数");
    TDocReadDecl read;
    bool opensOnDocument = false;
    //! Line aggregates beyond the package and quantity totals: name, expression.
    QList<QPair<QString, QString>> lineSums;
    //! Footer totals held by the head, after the package and quantity totals.
    QList<TDocTotalDecl> headTotals;
    //! The line fields naming the source line, passed to the server's check.
    QStringList checkLinks{QStringLiteral("LinkHeadno"), QStringLiteral("LinkBodyno")};

    // What a document has and master data with lines (variants, products) has not.
    QString headKey = QStringLiteral("headno");        // the head's idxKey
    QString lineKey = QStringLiteral("headno;bodyno"); // the line's idxKey
    bool billModule = true; // heads live in the document module; else in the base module
    bool checked = true;    // heads carry date, inputer and state and take the check
    bool goodsLines = true; // lines of goods: product pickers, package rules, totals
    bool dateRange = true;  // the query panel starts with a date range
    QString queryHeading;   // shown before the selectors ("" for none)
    QString queryButton = QStringLiteral("查询");
    bool lineEditArea = false; // an edit area below the line grid, filled by the window
};

//! A document window class and its declaration.
struct TDocumentKind
{
    QString className;
    TDocumentDecl decl;
};

//! The declaration of a class among kinds; null when it is not one of them.
const TDocumentDecl *findDocumentDecl(const QList<TDocumentKind> &kinds, const QString &className);

//! The order-line picker as data.
struct TReadOrderDecl
{
    QString caption;
    QString provider;
    QString datePrompt;
    QString partnerCodeCaption, partnerCaption, storeCodeCaption, storeCaption;
    QList<QPair<QString, QString>> columns; // field, title
};

namespace docdecl {

//! The text of a UTF-8 literal (the declarations' captions).
inline QString u(const char *text)
{
    return QString::fromUtf8(text);
}

//! A field kept out of the line grid.
TDocFieldDecl hidden(TDocFieldDecl decl);
//! A field the line grid shows but does not let be typed into.
TDocFieldDecl gridReadOnly(TDocFieldDecl decl);

//! The fields every document head has, with the given labels for the number, store,
//! partner, department and employee (an empty label leaves the field out of the head).
struct THeadLabels
{
    QString headNo;
    QString store = QStringLiteral("仓库");
    QString partner;
    QString dept = QStringLiteral("部门代码");
    QString deptName = QStringLiteral("部门");
    QString employee = QStringLiteral("经办人代码");
    QString employeeName = QStringLiteral("经办人");
    QString state = QStringLiteral("状态");
    QString inOutFlag = QStringLiteral("类型");
    QString storeIn;             // the transfer's in-store; "" for a head without one
    bool hasStoreInName = false; // the provider joins StoreNameIn
};
QList<TDocFieldDecl> headFields(const THeadLabels &labels);

//! The fields of a line with goods, with the given labels.
struct TLineLabels
{
    QString headNo;
    QString linkHeadNo;
    QString linkBodyNo;
    QString packages;
    QString quantity = QStringLiteral("数量");
    bool showLinks = true;
};
QList<TDocFieldDecl> lineFields(const TLineLabels &labels);

//! A field of the given name, label and width; text unless it says otherwise.
TDocFieldDecl field(const char *name, const QString &label, int width, bool required = false);

//! Master data kept as heads with lines on the base module: no date range, no check, no
//! goods. Keys are ";"-joined field names.
TDocumentDecl masterData(const QString &caption, const QString &listCaption,
                         const QString &documentCaption, const char *provider,
                         const char *headTable, const char *nestedField, const char *lineTable,
                         const char *headKey, const char *lineKey);

TDocSelectorDecl storeSelector();
TDocSelectorDecl deptSelector();
TDocSelectorDecl partnerSelector(const QString &provider, const QString &caption,
                                 const QString &nameCaption);

TDocEditorDecl codeName(const char *name, const char *field, const QString &caption,
                        const char *provider, const QStringList &titles, const char *nameField);
TDocEditorDecl readOnly(const char *field, const QString &caption);
TDocEditorDecl text(const char *field, const QString &caption, bool wide = false);
//! A list box on a list of the data module: the chosen row's key column goes into the field.
TDocEditorDecl listBox(const char *name, const char *field, const QString &caption,
                       const char *listSource, const char *keyField, const char *listField);

//! The head editors of a document: number, date, the given middle part, remark and the
//! read-only boxes of checker, check time, state and inputer.
QList<TDocEditorDecl> headEditors(const QString &headNoCaption,
                                  const QList<TDocEditorDecl> &middle);

QStringList storeTitles();
QStringList deptTitles();
QStringList userTitles();
QStringList partnerTitles();

} // namespace docdecl
