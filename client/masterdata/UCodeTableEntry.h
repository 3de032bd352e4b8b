#pragma once
//! A window class declared on the code-table frame: its name, its declaration and how it is
//! made. The tables of code-table and master-data windows are lists of these.

#include "USingleTbl.h"

#include <functional>

struct TCodeTableEntry
{
    using Factory = std::function<TfrmSingletbl *(QWidget *parent)>;

    QString className;
    TCodeTableDecl decl;
    Factory create;
};

template <class Window> TCodeTableEntry::Factory windowFactory()
{
    return [](QWidget *parent) { return new Window(parent); };
}

//! A declaration from its caption, provider, table, shared list and fields.
TCodeTableDecl tableDecl(const char *caption, const char *provider, const char *tableName,
                         const char *lookupName, QList<TCodeFieldDecl> fields);
//! The entry of a class in a list; null when it is not there.
const TCodeTableEntry *findEntry(const QList<TCodeTableEntry> &entries, const QString &className);
QStringList classNames(const QList<TCodeTableEntry> &entries);
//! The declaration of a class in a list; null when it is not there.
const TCodeTableDecl *findDecl(const QList<TCodeTableEntry> &entries, const QString &className);
//! A new window of a class in a list; null when it is not there.
TfrmSingletbl *createWindow(const QList<TCodeTableEntry> &entries, const QString &className,
                            QWidget *parent);
