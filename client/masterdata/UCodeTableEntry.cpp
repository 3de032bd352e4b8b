#include "UCodeTableEntry.h"

TCodeTableDecl tableDecl(const char *caption, const char *provider, const char *tableName,
                         const char *lookupName, QList<TCodeFieldDecl> fields)
{
    return {QString::fromUtf8(caption), QLatin1String(provider), QLatin1String(tableName),
            QLatin1String(lookupName), std::move(fields)};
}

const TCodeTableEntry *findEntry(const QList<TCodeTableEntry> &entries, const QString &className)
{
    for (const TCodeTableEntry &entry : entries) {
        if (entry.className == className)
            return &entry;
    }
    return nullptr;
}

QStringList classNames(const QList<TCodeTableEntry> &entries)
{
    QStringList names;
    for (const TCodeTableEntry &entry : entries)
        names << entry.className;
    return names;
}

const TCodeTableDecl *findDecl(const QList<TCodeTableEntry> &entries, const QString &className)
{
    const TCodeTableEntry *entry = findEntry(entries, className);
    return entry ? &entry->decl : nullptr;
}

TfrmSingletbl *createWindow(const QList<TCodeTableEntry> &entries, const QString &className,
                            QWidget *parent)
{
    const TCodeTableEntry *entry = findEntry(entries, className);
    return entry ? entry->create(parent) : nullptr;
}
