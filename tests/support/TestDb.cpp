#include "TestDb.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace korvane::test {

namespace {

const char *const AdminConnection = "korvane_test_pgadmin";

//! Opens the maintenance connection to the cluster at host:port; the error when it does not.
QString openAdmin(const QString &address)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QString::fromLatin1(AdminConnection));
    db.setHostName(address.section(QLatin1Char(':'), 0, 0));
    db.setPort(address.section(QLatin1Char(':'), 1, 1).toInt());
    db.setUserName(QStringLiteral("postgres"));
    db.setDatabaseName(QStringLiteral("postgres"));
    return db.open() ? QString() : db.lastError().text();
}

//! KORVANE_TEST_PG once it proved to answer; empty when PostgreSQL is skipped. Asked for
//! and unusable is no reason to test SQLite alone: the test program ends there.
QString checkedPgAddress()
{
    static const QString address = [] {
        const QString set = qEnvironmentVariable("KORVANE_TEST_PG");
        if (set.isEmpty()) {
            if (qEnvironmentVariableIntValue("KORVANE_TEST_PG_REQUIRED") == 1)
                qFatal("KORVANE_TEST_PG_REQUIRED=1 but KORVANE_TEST_PG names no test cluster");
            qInfo("PostgreSQL skipped: KORVANE_TEST_PG is not set, only SQLite runs "
                  "(scripts/test starts a cluster and sets it)");
            return QString();
        }
        const QString error = openAdmin(set);
        if (!error.isEmpty())
            qFatal("the test cluster KORVANE_TEST_PG=%s does not answer: %s", qPrintable(set),
                   qPrintable(error));
        return set;
    }();
    return address;
}

} // namespace

QString pgHost()
{
    return checkedPgAddress().section(QLatin1Char(':'), 0, 0);
}

int pgPort()
{
    return checkedPgAddress().section(QLatin1Char(':'), 1, 1).toInt();
}

void addBackendRows()
{
    QTest::addColumn<QString>("backend");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    if (!pgHost().isEmpty())
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

QSqlDatabase pgAdmin()
{
    if (checkedPgAddress().isEmpty())
        qWarning("no test cluster: PostgreSQL is skipped");
    return QSqlDatabase::database(QString::fromLatin1(AdminConnection));
}

ScratchDb::ScratchDb(const QString &backend) : m_backend(backend)
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
