#include "AccountSettings.h"

#include "ServerError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace korvane {

namespace {

const QString kNegativeStock = QStringLiteral("NegativeStock");

// Asked of the catalogue, not by a statement that could fail: a failed statement would end
// a PostgreSQL transaction the caller holds.
bool hasSettings(const QSqlDatabase &db)
{
    const QStringList tables = db.tables();
    return tables.contains(QStringLiteral("xsyspara"), Qt::CaseInsensitive);
}

QSqlQuery run(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    // A statement without values runs unprepared: PostgreSQL prepares no table definition.
    if (values.isEmpty()) {
        if (!q.exec(sql))
            throw ServerError(q.lastError().text());
        return q;
    }
    if (!q.prepare(sql))
        throw ServerError(q.lastError().text());
    for (const QVariant &value : values)
        q.addBindValue(value);
    if (!q.exec())
        throw ServerError(q.lastError().text());
    return q;
}

QVariant setting(QSqlDatabase db, const QString &code)
{
    if (!hasSettings(db))
        return {};
    QSqlQuery q = run(db, QStringLiteral("SELECT Value FROM XSysPara WHERE Name = ?"), {code});
    return q.next() ? q.value(0) : QVariant();
}

void setSetting(QSqlDatabase db, const QString &code, const QString &value)
{
    if (!hasSettings(db))
        run(db, QStringLiteral("CREATE TABLE XSysPara (Name VARCHAR(40) NOT NULL PRIMARY KEY, "
                               "Value VARCHAR(255), Pic %1)")
                    .arg(db.driverName() == QLatin1String("QPSQL") ? QLatin1String("BYTEA")
                                                                   : QLatin1String("BLOB")));
    QSqlQuery changed =
        run(db, QStringLiteral("UPDATE XSysPara SET Value = ? WHERE Name = ?"), {value, code});
    if (changed.numRowsAffected() <= 0)
        run(db, QStringLiteral("INSERT INTO XSysPara (Name, Value) VALUES (?, ?)"), {code, value});
}

} // namespace

bool negativeStockAllowed(QSqlDatabase db)
{
    const QVariant value = setting(db, kNegativeStock);
    return value.isNull() || value.toString().trimmed() != QLatin1String("0");
}

void setNegativeStockAllowed(QSqlDatabase db, bool allowed)
{
    setSetting(db, kNegativeStock, allowed ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace korvane
