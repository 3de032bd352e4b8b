#pragma once
//! A place to create account sets in, for the tests of creation, backup and restore.

#include "ConnectionString.h"
#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

using namespace korvane;

//! One account set on one backend: a folder for the embedded database, a uniquely named
//! database on the test cluster (dropped again at the end).
class Site
{
public:
    explicit Site(const QString &backend) : m_postgres(backend == QLatin1String("postgresql"))
    {
        m_settings.catalog =
            QStringLiteral("korvane_h1_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        if (m_postgres) {
            m_settings.driver = QStringLiteral("QPSQL");
            m_settings.dataSource =
                test::pgHost() + QLatin1Char(':') + QString::number(test::pgPort());
            m_settings.userId = QStringLiteral("postgres");
            m_settings.password = QString();
        } else {
            m_settings.dataSource = m_dir.path();
        }
    }
    ~Site()
    {
        if (!m_postgres)
            return;
        QSqlQuery q(test::pgAdmin());
        for (const QString &catalog : m_others + QStringList{m_settings.catalog})
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(catalog));
    }

    //! Another catalogue on the same server, dropped with the site.
    QString otherCatalog()
    {
        m_others << m_settings.catalog + QStringLiteral("_") + QString::number(m_others.size());
        return m_others.last();
    }

    ConnectionSettings settings(const QString &catalog) const
    {
        ConnectionSettings s = m_settings;
        s.catalog = catalog;
        return s;
    }
    DbConnectionInfo server() const { return connectionInfo(settings("Master"), m_dir.path()); }
    DbConnectionInfo accountSet() const { return connectionInfo(m_settings, m_dir.path()); }
    QString catalog() const { return m_settings.catalog; }
    QString script(const QByteArray &text)
    {
        const QString path = m_dir.filePath(QStringLiteral("BK"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return path;
    }
    QStringList folderEntries() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    //! Rows of table t in the account set, "" on failure.
    QString rows() const
    {
        QString error;
        const QString name = QStringLiteral("check_") + m_settings.catalog;
        QString result;
        {
            QSqlDatabase db = openDatabase(accountSet(), name, &error);
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT code, name FROM t ORDER BY code"))) {
                while (q.next())
                    result += q.value(0).toString() + QLatin1Char('=') + q.value(1).toString() +
                              QLatin1Char(' ');
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return result.trimmed();
    }

private:
    bool m_postgres;
    QTemporaryDir m_dir;
    ConnectionSettings m_settings;
    QStringList m_others;
};
