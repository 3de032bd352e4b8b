#include "ClassRegistry.h"

#include "Korvane_TLB.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace korvane {

namespace {

//! Section per class (its class id), keys ProgID, Name, Sockets, Web.
QByteArray registryText()
{
    QByteArray text;
    for (const tlb::ClassDef &c : tlb::classes()) {
        text += '[' + c.classId.toLatin1() + "]\n";
        text += "ProgID=" + c.progId.toLatin1() + '\n';
        text += "Name=" + c.description().toLatin1() + '\n';
        text += "Sockets=1\nWeb=1\n\n";
    }
    return text;
}

//! The value of Sockets in the section of the given class id; empty when absent.
QString socketsFlag(const QString &path, const QString &classId)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    bool inSection = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection =
                line.mid(1, line.size() - 2).trimmed().compare(classId, Qt::CaseInsensitive) == 0;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq > 0 &&
            line.left(eq).trimmed().compare(QLatin1String("Sockets"), Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

} // namespace

QString classRegistryPath(const QString &binDir)
{
    return QDir(binDir).filePath(QStringLiteral("Korvane.reg"));
}

bool writeClassRegistry(const QString &binDir, bool registerClasses, QString *error)
{
    const QString path = classRegistryPath(binDir);
    if (!registerClasses) {
        if (!QFile::exists(path) || QFile::remove(path))
            return true;
        if (error)
            *error = QStringLiteral("Cannot remove %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(registryText()) >= 0 && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

bool isClassRegisteredForSockets(const QString &binDir, const QString &classIdOrProgId)
{
    const tlb::ClassDef *def = tlb::findClass(classIdOrProgId);
    if (!def)
        return false;
    return socketsFlag(classRegistryPath(binDir), def->classId) == QLatin1String("1");
}

} // namespace korvane
