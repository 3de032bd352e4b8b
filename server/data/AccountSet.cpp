#include "AccountSet.h"

#include "ConnectionString.h"
#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUuid>

namespace korvane {

namespace {

QString uniqueConnectionName(const char *purpose)
{
    return QStringLiteral("korvane_%1_%2")
        .arg(QLatin1String(purpose), QUuid::createUuid().toString(QUuid::Id128));
}

//! A database connection of its own that is closed and removed on every path.
class ScopedConnection
{
public:
    ScopedConnection(const DbConnectionInfo &info, QString *error)
        : m_name(uniqueConnectionName("restore"))
    {
        m_ok = openDatabase(info, m_name, error).isOpen();
    }
    ~ScopedConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    bool isOpen() const { return m_ok; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_ok = false;
};

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

bool AccountSet::restore(const QString &scriptPath, QString *error, const Filler &fill)
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
    QStringList statements;
    if (!readScript(scriptPath, &statements, error))
        return false;
    return isEmbedded() ? restoreEmbedded(statements, fill, error)
                        : restorePostgres(statements, fill, error);
}

bool AccountSet::restoreEmbedded(const QStringList &statements, const Filler &fill, QString *error)
{
    // Built under a temporary name and renamed into place only when complete; the rename
    // refuses to replace a file that appeared meanwhile.
    QTemporaryFile part(embeddedFile() + QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        *error = part.errorString();
        return false;
    }
    part.close();
    DbConnectionInfo file = m_server;
    file.databaseName = part.fileName();
    {
        ScopedConnection connection(file, error);
        if (!connection.isOpen() || !runStatements(connection.db(), statements, error) ||
            (fill && !fill(connection.db(), error)))
            return false;
    }
    if (!part.rename(embeddedFile())) {
        *error = QStringLiteral("不能创建 %1：%2").arg(embeddedFile(), part.errorString());
        return false;
    }
    part.setAutoRemove(false);
    return true;
}

bool AccountSet::restorePostgres(const QStringList &statements, const Filler &fill, QString *error)
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
    bool ok = false;
    {
        ScopedConnection connection(target, error);
        ok = connection.isOpen() && runStatements(connection.db(), statements, error) &&
             (!fill || fill(connection.db(), error));
    }
    if (!ok) {
        // Only the database created just above is dropped.
        QSqlQuery drop(server);
        drop.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(m_catalog)));
    }
    return ok;
}

} // namespace korvane
