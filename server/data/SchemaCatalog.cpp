#include "SchemaCatalog.h"

#include <QRegularExpression>
#include <QSqlIndex>
#include <QSqlQuery>

namespace korvane {

const ColumnInfo *TableInfo::column(const QString &name) const
{
    for (const ColumnInfo &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QStringList TableInfo::keyColumns() const
{
    QStringList keys;
    for (const ColumnInfo &c : columns) {
        if (c.key)
            keys << c.name;
    }
    return keys;
}

SchemaCatalog::SchemaCatalog(const QSqlDatabase &db) : m_db(db) {}

void SchemaCatalog::setDatabase(const QSqlDatabase &db)
{
    m_db = db;
    clear();
}

void SchemaCatalog::clear()
{
    m_names.clear();
    m_tables.clear();
}

QString SchemaCatalog::tableName(const QString &name)
{
    const QString key = name.toLower();
    if (!m_names.contains(key) && m_db.isOpen()) {
        // Read on first use, and again on a miss: a table made since is found as well.
        m_names.clear();
        const QStringList all = m_db.tables(QSql::Tables) + m_db.tables(QSql::Views);
        for (const QString &t : all)
            m_names.insert(t.toLower(), t);
    }
    return m_names.value(key);
}

const TableInfo *SchemaCatalog::table(const QString &name)
{
    const QString key = name.toLower();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd())
        return &it.value();
    const QString real = tableName(name);
    if (real.isEmpty())
        return nullptr;
    return &m_tables.insert(key, readTable(real)).value();
}

QString SchemaCatalog::columnName(const QString &table, const QString &column)
{
    const TableInfo *t = this->table(table);
    const ColumnInfo *c = t ? t->column(column) : nullptr;
    return c ? c->name : QString();
}

FieldType SchemaCatalog::typeOfDeclared(const QString &declared, int *width)
{
    const QString t = declared.toLower();
    if (width) {
        static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
        const auto m = size.match(t);
        const bool text = t.contains(QLatin1String("char")) || t.contains(QLatin1String("text"));
        *width = text && m.hasMatch() ? m.captured(1).toInt() : 0;
    }
    // The order follows SQLite's affinity rules, with booleans and blobs told apart.
    if (t.startsWith(QLatin1String("bool")))
        return FieldType::Boolean;
    if (t.contains(QLatin1String("int")))
        return FieldType::Integer;
    if (t.contains(QLatin1String("char")) || t.contains(QLatin1String("clob")) ||
        t.contains(QLatin1String("text")))
        return FieldType::String;
    if (t.contains(QLatin1String("blob")) || t.contains(QLatin1String("bytea")) ||
        t.contains(QLatin1String("binary")))
        return FieldType::Blob;
    if (t.contains(QLatin1String("real")) || t.contains(QLatin1String("floa")) ||
        t.contains(QLatin1String("doub")) || t.contains(QLatin1String("dec")) ||
        t.contains(QLatin1String("num")) || t.contains(QLatin1String("money")))
        return FieldType::Float;
    return FieldType::String;
}

TableInfo SchemaCatalog::readTable(const QString &realName) const
{
    TableInfo info = m_db.driverName() == QLatin1String("QPSQL") ? readPostgresTable(realName)
                                                                 : readSqliteTable(realName);
    info.name = realName;
    const QSqlIndex primary = m_db.primaryIndex(realName);
    for (int i = 0; i < primary.count(); ++i) {
        for (ColumnInfo &c : info.columns) {
            if (c.name.compare(primary.fieldName(i), Qt::CaseInsensitive) == 0)
                c.key = true;
        }
    }
    return info;
}

TableInfo SchemaCatalog::readSqliteTable(const QString &realName) const
{
    TableInfo info;
    QSqlQuery q(m_db);
    QString quoted = realName;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted)))
        return info;
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(1).toString();
        c.type = typeOfDeclared(q.value(2).toString(), &c.width);
        c.required = q.value(3).toInt() != 0;
        info.columns << c;
    }
    return info;
}

TableInfo SchemaCatalog::readPostgresTable(const QString &realName) const
{
    TableInfo info;
    QSqlQuery q(m_db);
    q.prepare(
        QStringLiteral("SELECT column_name, data_type, character_maximum_length, is_nullable "
                       "FROM information_schema.columns WHERE table_schema = current_schema() "
                       "AND table_name = ? ORDER BY ordinal_position"));
    q.addBindValue(realName);
    if (!q.exec())
        return info;
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(0).toString();
        c.type = typeOfDeclared(q.value(1).toString());
        c.width = q.value(2).isNull() ? 0 : q.value(2).toInt();
        c.required = q.value(3).toString() == QLatin1String("NO");
        info.columns << c;
    }
    return info;
}

} // namespace korvane
