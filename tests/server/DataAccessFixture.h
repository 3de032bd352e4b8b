#pragma once
// A tiny account set for the data-access tests: document heads with their lines (lines
// reference heads), and a store list the heads reference and join to for the store's name.

#include "Requests.h"
#include "ServerError.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include "ProviderDef.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace korvane::test {

inline const char *const DataAccessSchema[] = {
    "CREATE TABLE xstore (code varchar(10) NOT NULL PRIMARY KEY, name varchar(100))",
    "CREATE TABLE xdoch (headno varchar(15) NOT NULL PRIMARY KEY, hdate varchar(19), "
    "StoreCode varchar(10) REFERENCES xstore(code), amt numeric(12,2), prints integer, "
    "State varchar(1) NOT NULL DEFAULT '1')",
    "CREATE TABLE xdocb (headno varchar(15) NOT NULL REFERENCES xdoch(headno), "
    "bodyno varchar(4) NOT NULL, pdtcode varchar(30), qty float, PRIMARY KEY (headno, bodyno))",
    "INSERT INTO xstore (code, name) VALUES ('S1', '一号仓')",
    "INSERT INTO xstore (code, name) VALUES ('S2', '二号仓')",
    "INSERT INTO xdoch (headno, hdate, StoreCode, amt, prints, State) VALUES "
    "('H1', '2026-03-01 09:00:00', 'S1', 10.25, 1, '1')",
    "INSERT INTO xdoch (headno, hdate, StoreCode, amt, prints, State) VALUES "
    "('H2', '2026-03-02 09:00:00', 'S2', 20.5, 0, '2')",
    "INSERT INTO xdoch (headno, hdate, StoreCode, amt, prints, State) VALUES "
    "('H3', '2026-03-03 09:00:00', 'S1', 30, 0, '1')",
    "INSERT INTO xdocb (headno, bodyno, pdtcode, qty) VALUES ('H1', '0001', 'P1', 1.5)",
    "INSERT INTO xdocb (headno, bodyno, pdtcode, qty) VALUES ('H1', '0002', 'P2', 2)",
    "INSERT INTO xdocb (headno, bodyno, pdtcode, qty) VALUES ('H3', '0001', 'P1', 3)",
};

// Heads with the joined store name and an optional store filter pair.
inline const char *const HeadSql =
    "select h.headno, h.hdate, h.StoreCode, s.name as StoreName, h.amt, h.prints, h.State "
    "from xdoch h left join xstore s on s.code = h.StoreCode "
    "where (h.StoreCode = :StoreCode or trim(:tmpStoreCode) = '') order by h.headno";
inline const char *const LineSql =
    "select headno, bodyno, pdtcode, qty from xdocb where headno = :headno order by bodyno";

inline ProviderDef headProvider(const QString &detailSql = QString::fromLatin1(LineSql))
{
    ProviderDef def;
    def.name = QStringLiteral("dspDoc");
    def.sql = QString::fromLatin1(HeadSql);
    def.detailField = QStringLiteral("xdocb");
    def.detailSql = detailSql;
    def.description = QStringLiteral("单据");
    return def;
}

inline ProviderDef storeProvider()
{
    ProviderDef def;
    def.name = QStringLiteral("dspStore");
    def.sql = QStringLiteral("select code, name from xstore order by code");
    return def;
}

//! The databases a test runs on, for _data() tables that add columns of their own.
inline QStringList backendNames()
{
    QStringList names{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        names << QStringLiteral("postgresql");
    return names;
}

//! A scratch database with the tables above, made the run-time connection of this process.
class DataAccessFixture
{
public:
    explicit DataAccessFixture(const QString &backend) : m_db(backend)
    {
        QSqlQuery q(m_db.db());
        for (const char *sql : DataAccessSchema) {
            if (!q.exec(QString::fromUtf8(sql)))
                qWarning() << "fixture statement failed:" << sql << q.lastError().text();
        }
        DbConnectionInfo info;
        info.driver = m_db.driver();
        info.databaseName = m_db.databaseName();
        if (m_db.isPostgres()) {
            info.hostName = pgHost();
            info.port = pgPort();
            info.userName = QStringLiteral("postgres");
        }
        setRunTimeConnection(info);
    }

    ScratchDb &scratch() { return m_db; }
    bool isPostgres() const { return m_db.isPostgres(); }

    //! The first column of the first row of a query; an invalid variant when no row.
    QVariant value(const QString &sql) const
    {
        QSqlQuery q(m_db.db());
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!q.exec(sql) || !q.next())
            return QVariant();
        return q.value(0);
    }
    int count(const QString &table, const QString &where = QString()) const
    {
        return value(
                   QStringLiteral("SELECT count(*) FROM %1%2")
                       .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
            .toInt();
    }
    //! headno|bodyno... of a table in key order, to compare whole contents.
    QString keys(const QString &table, const QString &columns) const
    {
        QSqlQuery q(m_db.db());
        q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(columns, table));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            rows << cells.join(QLatin1Char('/'));
        }
        return rows.join(QLatin1Char(' '));
    }

private:
    ScratchDb m_db;
};

} // namespace korvane::test
