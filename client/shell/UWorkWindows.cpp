#include "UWorkWindows.h"

#include <QHash>
#include <QWidget>

#include <algorithm>

namespace korvane::workwindows {

namespace {

// Class names compare without regard to case, as the original's class lookups did.
QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> table;
    return table;
}

QHash<QString, QString> &spellings()
{
    static QHash<QString, QString> table;
    return table;
}

QString keyOf(const QString &className)
{
    return className.toUpper();
}

} // namespace

void registerWindow(const QString &className, Factory factory)
{
    if (!factory) {
        unregisterWindow(className);
        return;
    }
    factories().insert(keyOf(className), std::move(factory));
    spellings().insert(keyOf(className), className);
}

void unregisterWindow(const QString &className)
{
    factories().remove(keyOf(className));
    spellings().remove(keyOf(className));
}

bool isRegistered(const QString &className)
{
    return !className.isEmpty() && factories().contains(keyOf(className));
}

QWidget *create(const QString &className, QWidget *parent)
{
    const auto it = factories().constFind(keyOf(className));
    return it == factories().cend() ? nullptr : (*it)(parent);
}

QStringList registeredClasses()
{
    QStringList names = spellings().values();
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace korvane::workwindows
