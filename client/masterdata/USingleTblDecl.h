#pragma once
//! The declaration of a code-maintenance window: its table, fields, editors, edit pages and
//! search panel. TfrmSingletbl builds the window from it; a window class adds only its rules.

#include "Packet.h"

#include <QList>
#include <QString>
#include <QStringList>

//! A code/name editor on a lookup provider of the code/name module.
struct TCodeNameDecl
{
    QString provider;
    QStringList titles;     // column titles of the pick list
    QStringList linkFields; // record fields filled from the lookup's columns 2, 3, ...
    QString preCodeField;   // the field whose editor narrows this one ("" for none)
    bool inGrid = false;    // a twin editor serves in place in the list grid
};

//! One persistent field of a code table: how it is stored, labelled, entered and checked.
struct TCodeFieldDecl
{
    enum TEditorKind {
        ekText,
        ekNumber,
        ekMemo,     // several lines
        ekDate,     // the date editor
        ekList,     // picked from a shared list of the data module; Delete empties it
        ekCodeName, // the code/name editor of `codeName`
        ekPicture,  // the picture; a double click opens the picture window
        ekNone      // carried, not shown in the edit area
    };

    QString name;
    QString label; // grid title and the name used in every message about the field
    korvane::FieldType type = korvane::FieldType::String;
    int width = 0; // most characters the editor accepts (text fields)
    bool required = false;
    bool upperCase = false; // typed letters become capitals
    TEditorKind editor = ekText;
    QString suffix;  // shown after the editor, as "%"
    QString page;    // the edit page it sits on ("" with a single page)
    QString caption; // edit-area caption when it differs from the label
    bool readOnly = false;
    QString list;      // ekList and looked-up names: the data module's shared list
    QString lookupKey; // a name looked up in `list` by this field's code ("" for a stored field)
    TCodeNameDecl codeName;
    QString buttonHint; // a button beside the editor ("btn" + name) with this hint ("" none)
};

//! One editor of the search panel, not bound to data: its code goes into a provider
//! parameter and, where there is one, its twin (a single blank when nothing is picked).
struct TSearchFieldDecl
{
    QString name; // the editor's objectName
    QString label;
    TCodeNameDecl codeName;
    QString param;
    QString twin;
    QString requiredText; // shown when searching without a pick ("" when optional)
};

//! One code table: its window's caption, provider, table and fields.
struct TCodeTableDecl
{
    QString caption;
    QString provider;
    QString tableName;
    QString lookupName; // the data module's shared list of the same table ("" for none)
    QList<TCodeFieldDecl> fields;
    bool gridReadOnly = false;
    QString keyFields = QStringLiteral("Code"); // the fields of idxKey, joined by ";"
    QStringList gridColumns;                    // the columns the grid shows (empty: all)
    QStringList pages;                          // edit pages in order (empty: one area)
    QList<TSearchFieldDecl> search;             // the search panel; the list opens by it
    //! A date range at the start of the search panel (parameters BeginDate and EndDate, the
    //! first ten characters of each editor), asked for with this prompt; "" for none.
    QString datePrompt;
    QString searchCaption = QStringLiteral("搜索");
    int editColumns = 0; // columns of label and editor pairs (0: two when there are many)
};
