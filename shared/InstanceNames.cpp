#include "InstanceNames.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace korvane {

QString instanceTag(const QString &binDir)
{
    QByteArray seed = QDir(binDir).canonicalPath().toUtf8();
    if (seed.isEmpty())
        seed = QDir::cleanPath(binDir).toUtf8();
    seed += '|' + qgetenv("KORVANE_INSTANCE");
    return QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex().left(12));
}

QString moduleHostSocketName(const QString &binDir)
{
    return QStringLiteral("korvane-modules-") + instanceTag(binDir);
}

QString singleInstanceLockPath(const QString &binDir)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/KORVANE_QIRVO-") + instanceTag(binDir) + QStringLiteral(".lock");
}

QString shellMessagePath(const QString &binDir)
{
    return QStringLiteral("/korvane/shell/i") + instanceTag(binDir);
}

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace korvane
