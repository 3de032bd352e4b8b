#include "ProcessUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace korvane {

namespace {

QString readExecutable(const QString &procDir)
{
    QString target = QFile::symLinkTarget(procDir + QStringLiteral("/exe"));
    const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return target;
}

QString readArgv0(const QString &procDir)
{
    QFile cmdline(procDir + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = cmdline.read(4096);
    const QString first = QString::fromLocal8Bit(bytes.left(bytes.indexOf('\0')));
    if (first.isEmpty() || QDir::isAbsolutePath(first) || !first.contains(QLatin1Char('/')))
        return first;
    // A relative path: relative to the process's own working folder.
    const QString cwd = QFile::symLinkTarget(procDir + QStringLiteral("/cwd"));
    return cwd.isEmpty() ? first : QDir(cwd).absoluteFilePath(first);
}

bool sameFolder(const QString &path, const QString &folder)
{
    const QString dir = QFileInfo(path).absolutePath();
    const QString a = QFileInfo(dir).canonicalFilePath();
    const QString b = QFileInfo(folder).canonicalFilePath();
    return !a.isEmpty() && a == b;
}

bool matches(const QString &path, const QString &upperName, const QString &onlyFromDir)
{
    if (path.isEmpty())
        return false;
    const QString fileName = QFileInfo(path).fileName().toUpper();
    if (!fileName.startsWith(upperName))
        return false;
    if (onlyFromDir.isEmpty())
        return true;
    return QDir::isAbsolutePath(path) && sameFolder(path, onlyFromDir);
}

QString findProgram(const QString &program, const QString &programDir)
{
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable() ? program : QString();
    const QFileInfo own(QDir(programDir).filePath(program));
    if (own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    return QStandardPaths::findExecutable(program);
}

} // namespace

QList<ProcessEntry> processSnapshot()
{
    QList<ProcessEntry> entries;
    const QStringList pids =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : pids) {
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QString procDir = QStringLiteral("/proc/") + name;
        entries.append({pid, readExecutable(procDir), readArgv0(procDir)});
    }
    return entries;
}

bool isProcessRunning(const QString &name, const QString &onlyFromDir)
{
    const QString upperName = name.toUpper();
    if (upperName.isEmpty())
        return false;
    const QList<ProcessEntry> entries = processSnapshot();
    for (const ProcessEntry &entry : entries) {
        // A script shows its interpreter as executable; its own name is the first word.
        if (matches(entry.executable, upperName, onlyFromDir) ||
            matches(entry.argv0, upperName, onlyFromDir))
            return true;
    }
    return false;
}

bool isRunningForInstall(const QString &name, const QString &programDir)
{
    const QString onlyFromDir =
        qEnvironmentVariableIsSet("KORVANE_INSTANCE") ? programDir : QString();
    return isProcessRunning(name, onlyFromDir);
}

bool resolveCommand(const QString &commandLine, const QString &programDir, QString *program,
                    QStringList *arguments)
{
    *arguments = QProcess::splitCommand(commandLine);
    if (arguments->isEmpty())
        return false;
    *program = findProgram(arguments->takeFirst(), programDir);
    return !program->isEmpty();
}

StartResult startUnlessRunning(const QString &name, const QString &commandLine,
                               const QString &programDir, qint64 *pid)
{
    if (isRunningForInstall(name, programDir))
        return StartResult::AlreadyRunning;
    QString program;
    QStringList args;
    if (!resolveCommand(commandLine, programDir, &program, &args))
        return StartResult::Failed;
    return QProcess::startDetached(program, args, programDir, pid) ? StartResult::Started
                                                                   : StartResult::Failed;
}

} // namespace korvane
