#include "TestDb.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace korvane::test {

static QString pgAddress()
{
    return qEnvironmentVariable("KORVANE_TEST_PG");
}

QString pgHost()
{
    return pgAddress().section(QLatin1Char(':'), 0, 0);
}

int pgPort()
{
    return pgAddress().section(QLatin1Char(':'), 1, 1).toInt();
}

void addBackendRows()
{
    QTest::addColumn<QString>("backend");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    if (!pgHost().isEmpty())
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    else
        qWarning("KORVANE_TEST_PG is not set: PostgreSQL rows left out (scripts/test sets it)");
}

QSqlDatabase pgAdmin()
{
    const QString name = QStringLiteral("korvane_test_pgadmin");
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(pgHost());
    db.setPort(pgPort());
    db.setUserName(QStringLiteral("postgres"));
    db.setDatabaseName(QStringLiteral("postgres"));
    if (!db.open())
        qWarning() << "cannot reach the test cluster:" << db.lastError().text();
    return db;
}

ScratchDb::ScratchDb(const QString &backend)
    : m_backend(backend)
{
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(12);
    m_connection = QStringLiteral("scratch_") + tag;
    if (isPostgres()) {
        m_name = QStringLiteral("korvane_t_") + tag;
        QSqlQuery q(pgAdmin());
        if (!q.exec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8'").arg(m_name)))
            qWarning() << "CREATE DATABASE failed:" << q.lastError().text();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
        db.setHostName(pgHost());
        db.setPort(pgPort());
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(m_name);
        db.open();
    } else {
        m_name = m_dir.filePath(QStringLiteral("QUV.db"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_name);
        db.open();
    }
}

ScratchDb::~ScratchDb()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    if (isPostgres()) {
        QSqlQuery q(pgAdmin());
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
    }
}

QString ScratchDb::driver() const
{
    return isPostgres() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
}

QString ScratchDb::databaseName() const
{
    return m_name;
}

QString ScratchDb::dataSource() const
{
    if (isPostgres())
        return pgHost() + QLatin1Char(':') + QString::number(pgPort());
    return m_dir.path();
}

QSqlDatabase ScratchDb::db() const
{
    return QSqlDatabase::database(m_connection);
}

bool ScratchDb::runScript(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning() << "cannot read" << path;
        return false;
    }
    const QString text = QString::fromUtf8(f.readAll());
    QSqlQuery q(db());
    for (const QString &statement : text.split(QLatin1Char(';'))) {
        if (statement.trimmed().isEmpty())
            continue;
        if (!q.exec(statement)) {
            qWarning() << "statement failed:" << statement.left(200) << q.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace korvane::test
