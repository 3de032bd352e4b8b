#include "Backup.h"

#include "ScopedConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

namespace korvane {

namespace {

//! Tables every account set of this system has; a file without them is not a backup.
const QStringList kSignatureTables{QStringLiteral("xpsemp"), QStringLiteral("xstockchh"),
                                   QStringLiteral("xstockchattr"), QStringLiteral("xprdtb")};

constexpr int kToolTimeoutMs = 30 * 60 * 1000;

bool isEmbedded(const DbConnectionInfo &info)
{
    return info.driver == QLatin1String("QSQLITE");
}

//! A name beside the target that does not exist yet, for the copy being written.
QString partName(const QString &file)
{
    return file + QStringLiteral(".") + QUuid::createUuid().toString(QUuid::Id128).left(8) +
           QStringLiteral(".part");
}

//! Puts the finished copy in place of the target. A backup holds the password hashes:
//! only its owner reads it.
bool replaceWith(const QString &part, const QString &file, QString *error)
{
    QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
    if (QFile::exists(file) && !QFile::remove(file)) {
        QFile::remove(part);
        *error = QStringLiteral("不能覆盖 %1").arg(file);
        return false;
    }
    if (!QFile::rename(part, file)) {
        QFile::remove(part);
        *error = QStringLiteral("不能写入 %1").arg(file);
        return false;
    }
    return true;
}

//! pg_dump and pg_restore: on the search path, else in the newest installed version.
QString postgresTool(const QString &name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &version : versions) {
        const QString path = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(version, name);
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QString();
}

//! The connection options of the PostgreSQL tools; the password travels in the environment.
QStringList connectionOptions(const DbConnectionInfo &info)
{
    QStringList options{QStringLiteral("--no-password")};
    if (!info.hostName.isEmpty())
        options << QStringLiteral("--host=") + info.hostName;
    if (info.port > 0)
        options << QStringLiteral("--port=") + QString::number(info.port);
    if (!info.userName.isEmpty())
        options << QStringLiteral("--username=") + info.userName;
    return options;
}

//! Runs a PostgreSQL tool to its end; false with its own words when it fails.
bool runTool(const QString &name, const QStringList &arguments, const DbConnectionInfo &info,
             QString *output, QString *error)
{
    const QString program = postgresTool(name);
    if (program.isEmpty()) {
        *error = QStringLiteral("找不到 %1：请安装 PostgreSQL 客户端工具（Debian 软件包 "
                                "postgresql-client）")
                     .arg(name);
        return false;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!info.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), info.password);
    process.setProcessEnvironment(env);
    process.start(program, connectionOptions(info) + arguments);
    if (!process.waitForStarted() || !process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        *error = QStringLiteral("%1 没有完成：%2").arg(name, process.errorString());
        return false;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 失败：%2")
                     .arg(name, QString::fromUtf8(process.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

bool backupEmbedded(const DbConnectionInfo &accountSet, const QString &part, QString *error)
{
    // Connecting to a file that is not there would create an empty one.
    if (!QFileInfo::exists(accountSet.databaseName)) {
        *error = QStringLiteral("套帐文件 %1 不存在").arg(accountSet.databaseName);
        return false;
    }
    ScopedConnection connection(accountSet, error, "backup");
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.db());
    query.prepare(QStringLiteral("VACUUM INTO ?"));
    query.addBindValue(part);
    if (!query.exec()) {
        *error = query.lastError().text();
        QFile::remove(part);
        return false;
    }
    return true;
}

bool backupPostgres(const DbConnectionInfo &accountSet, const QString &part, QString *error)
{
    const bool ok = runTool(QStringLiteral("pg_dump"),
                            {QStringLiteral("--format=custom"), QStringLiteral("--file=") + part,
                             accountSet.databaseName},
                            accountSet, nullptr, error);
    if (!ok)
        QFile::remove(part);
    return ok;
}

QString notABackup(const QString &file)
{
    return QStringLiteral("%1 不是本系统的套帐备份").arg(QDir::toNativeSeparators(file));
}

QByteArray fileStart(const QString &file, int size)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(size) : QByteArray();
}

bool embeddedBackupHasTables(const QString &file, QString *error)
{
    if (!fileStart(file, 16).startsWith("SQLite format 3")) {
        *error = notABackup(file);
        return false;
    }
    DbConnectionInfo info;
    info.databaseName = file;
    info.options = QStringLiteral("QSQLITE_OPEN_READONLY");
    QStringList tables;
    {
        QString ignored;
        ScopedConnection connection(info, &ignored, "check");
        QSqlQuery query(connection.db());
        if (connection.isOpen() &&
            query.exec(
                QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'"))) {
            while (query.next())
                tables << query.value(0).toString();
        }
    }
    for (const QString &table : kSignatureTables) {
        if (!tables.contains(table)) {
            *error = notABackup(file);
            return false;
        }
    }
    return true;
}

bool postgresBackupHasTables(const QString &file, const DbConnectionInfo &server, QString *error)
{
    if (!fileStart(file, 5).startsWith("PGDMP")) {
        *error = notABackup(file);
        return false;
    }
    if (postgresTool(QStringLiteral("pg_restore")).isEmpty())
        return runTool(QStringLiteral("pg_restore"), {}, server, nullptr,
                       error); // names the package
    QString listing;
    QString unreadable;
    if (!runTool(QStringLiteral("pg_restore"), {QStringLiteral("--list"), file}, server, &listing,
                 &unreadable)) {
        *error = notABackup(file) + QStringLiteral("（") + unreadable + QStringLiteral("）");
        return false;
    }
    for (const QString &table : kSignatureTables) {
        if (!listing.contains(QStringLiteral(" TABLE public ") + table + QLatin1Char(' '),
                              Qt::CaseInsensitive)) {
            *error = notABackup(file);
            return false;
        }
    }
    return true;
}

} // namespace

QString defaultBackupName(const QString &catalog, const QDateTime &at, bool embedded)
{
    return QStringLiteral("%1-%2.%3")
        .arg(catalog, at.toString(QStringLiteral("yyyyMMdd-HHmm")),
             embedded ? QStringLiteral("db") : QStringLiteral("backup"));
}

bool backupAccountSet(const DbConnectionInfo &accountSet, const QString &file, QString *error)
{
    const QString part = partName(file);
    const bool copied = isEmbedded(accountSet) ? backupEmbedded(accountSet, part, error)
                                               : backupPostgres(accountSet, part, error);
    return copied && replaceWith(part, file, error);
}

bool isAccountSetBackup(const QString &file, const DbConnectionInfo &server, QString *error)
{
    if (!QFileInfo(file).isFile()) {
        *error = QStringLiteral("找不到备份文件 %1").arg(QDir::toNativeSeparators(file));
        return false;
    }
    return isEmbedded(server) ? embeddedBackupHasTables(file, error)
                              : postgresBackupHasTables(file, server, error);
}

bool loadPostgresBackup(const DbConnectionInfo &target, const QString &file, QString *error)
{
    return runTool(QStringLiteral("pg_restore"),
                   {QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                    QStringLiteral("--exit-on-error"), QStringLiteral("--single-transaction"),
                    QStringLiteral("--dbname=") + target.databaseName, file},
                   target, nullptr, error);
}

} // namespace korvane
