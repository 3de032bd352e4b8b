#pragma once
//! Scratch databases for tests that touch SQL: every such test runs on SQLite and PostgreSQL.

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace korvane::test {

//! Adds the column "backend" and one row per database: "sqlite" always, "postgresql"
//! when scripts/test started a cluster (KORVANE_TEST_PG = "host:port").
void addBackendRows();

//! Host and port of the test cluster, empty host when PostgreSQL is skipped (said once per
//! test program). A cluster that is named but does not answer, or none named while
//! KORVANE_TEST_PG_REQUIRED=1 (scripts/test), ends the test program.
QString pgHost();
int pgPort();

//! A fresh, empty database that is dropped again when the object dies.
class ScratchDb
{
public:
    explicit ScratchDb(const QString &backend);
    ~ScratchDb();
    ScratchDb(const ScratchDb &) = delete;
    ScratchDb &operator=(const ScratchDb &) = delete;

    QString backend() const { return m_backend; }
    QString driver() const;       // "QSQLITE" or "QPSQL"
    QString databaseName() const; // file path for SQLite, database name for PostgreSQL
    QString dataSource()
        const; // Plant.ini DATASOURCE: "host:port" for PostgreSQL, the DB folder for SQLite
    QSqlDatabase db() const; // an open connection owned by this object
    bool isPostgres() const { return m_backend == QLatin1String("postgresql"); }

    //! Runs a script of ';'-terminated statements (such as DB/BK); false with a warning on failure.
    bool runScript(const QString &path);

private:
    QString m_backend;
    QString m_name;
    QString m_connection;
    QTemporaryDir m_dir;
};

//! A connection to the test cluster's maintenance database "postgres" (for CREATE/DROP DATABASE).
QSqlDatabase pgAdmin();

} // namespace korvane::test
