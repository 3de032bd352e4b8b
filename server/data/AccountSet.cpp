#include "AccountSet.h"

#include "Backup.h"
#include "ConnectionString.h"
#include "ScopedConnection.h"
#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

namespace korvane {

namespace {

//! Runs the statements in one transaction; rolls back and names the failing statement.
bool runStatements(QSqlDatabase db, const QStringList &statements, QString *error)
{
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            *error = QStringLiteral("%1\n%2").arg(query.lastError().text(), statement.left(200));
            query.finish();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool readScript(const QString &path, QStringList *statements, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("找不到备份文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    *statements = splitSqlScript(QString::fromUtf8(file.readAll()));
    return true;
}

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

AccountSet::AccountSet(const DbConnectionInfo &server, const QString &catalog)
    : m_server(server), m_catalog(catalog), m_connectionName(uniqueConnectionName("server"))
{}

AccountSet::~AccountSet()
{
    disconnect();
}

bool AccountSet::isEmbedded() const
{
    return m_server.driver == QLatin1String("QSQLITE");
}

QString AccountSet::embeddedFile() const
{
    return QDir(m_server.databaseName).filePath(m_catalog + QStringLiteral(".db"));
}

QString AccountSet::scriptPath(const QString &programDir)
{
    return QDir(accountSetFolder(programDir)).filePath(QStringLiteral("BK"));
}

bool AccountSet::connect(QString *error)
{
    disconnect();
    if (!QSqlDatabase::isDriverAvailable(m_server.driver)) {
        *error = QStringLiteral("数据库驱动 %1 不可用").arg(m_server.driver);
        return false;
    }
    if (isEmbedded()) {
        // The embedded database's server is its folder: it must exist and take new files.
        const QFileInfo folder(m_server.databaseName);
        if (!folder.isDir() || !folder.isWritable()) {
            *error = QStringLiteral("文件夹 %1 不存在或不能写入").arg(m_server.databaseName);
            return false;
        }
        m_connected = true;
        return true;
    }
    m_connected = openDatabase(m_server, m_connectionName, error).isOpen();
    if (!m_connected)
        QSqlDatabase::removeDatabase(m_connectionName);
    return m_connected;
}

void AccountSet::disconnect()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_connected = false;
}

std::optional<bool> AccountSet::exists(QString *error) const
{
    if (!m_connected) {
        *error = QStringLiteral("未连接数据库服务器");
        return std::nullopt;
    }
    if (isEmbedded())
        return QFileInfo::exists(embeddedFile());
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(
        QStringLiteral("SELECT Count(*) AS TableExist FROM pg_database WHERE datname = ?"));
    query.addBindValue(m_catalog);
    if (!query.exec() || !query.next()) {
        *error = query.lastError().text();
        return std::nullopt;
    }
    return query.value(0).toInt() != 0;
}

bool AccountSet::mayCreate(QString *error) const
{
    if (!isValidCatalogName(m_catalog)) {
        *error =
            QStringLiteral("套帐名称 \"%1\" 不可用：只能包含字母、数字和下划线").arg(m_catalog);
        return false;
    }
    const std::optional<bool> present = exists(error);
    if (!present)
        return false;
    if (*present) {
        *error = QStringLiteral("套帐 %1 已存在，不能覆盖").arg(m_catalog);
        return false;
    }
    return true;
}

bool AccountSet::restore(const QString &scriptPath, QString *error, const Filler &fill)
{
    QStringList statements;
    if (!mayCreate(error) || !readScript(scriptPath, &statements, error))
        return false;
    const auto run = [&](const DbConnectionInfo &target, QString *why) {
        ScopedConnection connection(target, why);
        return connection.isOpen() && runStatements(connection.db(), statements, why) &&
               (!fill || fill(connection.db(), why));
    };
    return isEmbedded() ? buildEmbedded(run, error) : buildPostgres(run, error);
}

bool AccountSet::restoreBackup(const QString &backupFile, QString *error)
{
    if (!mayCreate(error) || !isAccountSetBackup(backupFile, m_server, error))
        return false;
    if (isEmbedded()) {
        return buildEmbedded(
            [&](const DbConnectionInfo &target, QString *why) {
                QFile::remove(target.databaseName);
                if (QFile::copy(backupFile, target.databaseName) &&
                    QFile::setPermissions(target.databaseName,
                                          QFile::ReadOwner | QFile::WriteOwner))
                    return true;
                *why = QStringLiteral("不能读取备份文件 %1").arg(backupFile);
                return false;
            },
            error);
    }
    return buildPostgres([&](const DbConnectionInfo &target,
                             QString *why) { return loadPostgresBackup(target, backupFile, why); },
                         error);
}

bool AccountSet::buildEmbedded(const Builder &build, QString *error)
{
    // Built under a temporary name and renamed into place only when complete; the rename
    // refuses to replace a file that appeared meanwhile.
    QTemporaryFile part(embeddedFile() + QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        *error = part.errorString();
        return false;
    }
    part.close();
    DbConnectionInfo target = m_server;
    target.databaseName = part.fileName();
    if (!build(target, error))
        return false;
    if (!part.rename(embeddedFile())) {
        *error = QStringLiteral("不能创建 %1：%2").arg(embeddedFile(), part.errorString());
        return false;
    }
    part.setAutoRemove(false);
    return true;
}

bool AccountSet::buildPostgres(const Builder &build, QString *error)
{
    QSqlDatabase server = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(server);
    // Template 0 with the C locale takes UTF-8 on every cluster, whatever its own locale.
    if (!query.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0 "
                                   "LC_COLLATE 'C' LC_CTYPE 'C'")
                        .arg(quotedName(m_catalog)))) {
        *error = query.lastError().text();
        return false;
    }
    DbConnectionInfo target = m_server;
    target.databaseName = m_catalog;
    if (build(target, error))
        return true;
    // Only the database created just above is dropped.
    QSqlQuery drop(server);
    drop.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(m_catalog)));
    return false;
}

} // namespace korvane
