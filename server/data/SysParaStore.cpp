#include "SysParaStore.h"

#include "ServerError.h"
#include "WriteTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane::SysParaStore {

namespace {

void exec(QSqlQuery &q)
{
    if (!q.exec())
        throw ServerError(QStringLiteral("系统参数读写失败：%1").arg(q.lastError().text()));
}

//! Replaces one named row; rows of other names stay.
void put(const QSqlDatabase &db, const QString &name, const QVariant &value,
         const QVariant &picture)
{
    QSqlQuery clear(db);
    clear.prepare(QStringLiteral("DELETE FROM XSysPara WHERE Name = ?"));
    clear.addBindValue(name);
    exec(clear);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO XSysPara (Name, Value, Pic) VALUES (?, ?, ?)"));
    q.addBindValue(name);
    q.addBindValue(value);
    q.addBindValue(picture);
    exec(q);
}

} // namespace

SystemParameters load(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT Name, Value, Pic FROM XSysPara"));
    exec(q);
    QMap<QString, QString> values;
    QByteArray logo;
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (name == SystemParameters::logoName())
            logo = q.value(2).toByteArray();
        else
            values.insert(name, q.value(1).toString());
    }
    return SystemParameters::fromValues(values, logo);
}

void store(const QSqlDatabase &database, const SystemParameters &parameters)
{
    if (!SystemParameters::isStorableLogo(parameters.reportLogo))
        throw ServerError(QStringLiteral("报表表头图标不是有效的图片，系统参数未保存！"));
    inWriteTransaction(database, QStringLiteral("系统参数未保存："), [&] {
        const QMap<QString, QString> values = parameters.toValues();
        for (auto it = values.begin(); it != values.end(); ++it)
            put(database, it.key(), it.value(), QVariant(QMetaType(QMetaType::QByteArray)));
        put(database, SystemParameters::logoName(), QVariant(QMetaType(QMetaType::QString)),
            parameters.reportLogo.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray))
                                            : QVariant(parameters.reportLogo));
    });
}

} // namespace korvane::SysParaStore
