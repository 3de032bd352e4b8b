#pragma once
//! What the database says about its tables: real names (matched without regard to case),
//! columns with their kind, text width and NOT NULL, and the primary key. Client-supplied
//! table and field names are checked here before they reach a statement.

#include "Packet.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace korvane {

struct ColumnInfo
{
    QString name; // as the database spells it
    FieldType type = FieldType::String;
    int width = 0; // text width in characters; 0 when unlimited or not a text
    bool required = false;
    bool key = false;
};

struct TableInfo
{
    QString name; // as the database spells it
    QList<ColumnInfo> columns;

    const ColumnInfo *column(const QString &name) const; // without regard to case
    QStringList keyColumns() const;
};

class SchemaCatalog
{
public:
    explicit SchemaCatalog(const QSqlDatabase &db = QSqlDatabase());

    void setDatabase(const QSqlDatabase &db);
    //! Forgets what was read (after the schema changed).
    void clear();

    //! The table's real name, or empty when the database has no such table.
    QString tableName(const QString &name);
    //! The table, read once and kept; nullptr when the database has no such table.
    const TableInfo *table(const QString &name);
    //! The column's real name, or empty when the table or the column is unknown.
    QString columnName(const QString &table, const QString &column);

    //! A declared SQL type ("varchar(10)", "numeric(12,2)", "int") as a field kind and width.
    static FieldType typeOfDeclared(const QString &declared, int *width = nullptr);

private:
    TableInfo readTable(const QString &realName) const;
    TableInfo readSqliteTable(const QString &realName) const;
    TableInfo readPostgresTable(const QString &realName) const;

    QSqlDatabase m_db;
    QHash<QString, QString> m_names;    // lower-cased -> real; filled once
    QHash<QString, TableInfo> m_tables; // by lower-cased name
};

} // namespace korvane
