#include "ProviderFields.h"

#include "SchemaCatalog.h"
#include "SqlStatement.h"

#include <QSqlField>

namespace korvane {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

FieldType typeOfMeta(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool:
        return FieldType::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QByteArray:
        return FieldType::Blob;
    default:
        return FieldType::String;
    }
}

struct Origin
{
    QString table; // real name of the table the column comes from; empty for expressions
    const ColumnInfo *column = nullptr;
};

// The table among the FROM list that holds an unqualified column.
Origin originOf(const QList<TableRef> &tables, const QString &qualifierTable, const QString &column,
                SchemaCatalog &catalog)
{
    auto probe = [&](const QString &table) -> Origin {
        const TableInfo *info = table.isEmpty() ? nullptr : catalog.table(table);
        const ColumnInfo *c = info ? info->column(column) : nullptr;
        return c ? Origin{info->name, c} : Origin{};
    };
    if (!qualifierTable.isEmpty())
        return probe(qualifierTable);
    for (const TableRef &t : tables) {
        const Origin o = probe(t.name);
        if (o.column)
            return o;
    }
    return Origin{};
}

const SelectItem *itemFor(const QList<SelectItem> &items, int index, int fieldCount,
                          const QString &rawName)
{
    bool hasStar = false;
    for (const SelectItem &i : items)
        hasStar = hasStar || i.isStar;
    // Without '*' the select list and the result line up one to one, which also tells
    // apart two items that share a name.
    if (!hasStar && items.size() == fieldCount)
        return &items[index];
    for (const SelectItem &i : items) {
        if (!i.isStar && sameName(i.outputName, rawName))
            return &i;
    }
    return nullptr;
}

} // namespace

Fields describeFields(const QSqlRecord &record, const SqlStatement &statement,
                      const QString &updateTable, SchemaCatalog &catalog)
{
    const QList<SelectItem> items = statement.selectItems();
    const QList<TableRef> tables = statement.fromTables();
    const QString update = updateTable.isEmpty() ? QString() : catalog.tableName(updateTable);
    Fields fields;
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField sqlField = record.field(i);
        FieldDef f;
        f.name = sqlField.name();
        Origin origin;
        bool sameSpelling = true;
        if (const SelectItem *item = itemFor(items, i, record.count(), f.name)) {
            f.name = item->outputName.isEmpty() ? f.name : item->outputName;
            if (!item->column.isEmpty()) {
                origin =
                    originOf(tables, statement.tableOf(item->qualifier), item->column, catalog);
                sameSpelling = sameName(item->column, f.name);
            }
        } else {
            // A column that a '*' brought in: named as the catalogue spells it.
            for (const SelectItem &star : items) {
                if (!star.isStar || origin.column)
                    continue;
                origin = originOf(tables, statement.tableOf(star.qualifier), f.name, catalog);
            }
            if (origin.column)
                f.name = origin.column->name;
        }
        if (origin.column) {
            f.type = origin.column->type;
            f.size = origin.column->width;
        } else {
            f.type = typeOfMeta(sqlField.metaType());
            f.size = f.type == FieldType::String ? qMax(0, sqlField.length()) : 0;
        }
        const bool stored =
            origin.column && !update.isEmpty() && sameName(origin.table, update) && sameSpelling;
        if (stored) {
            f.required = origin.column->required;
            f.flags = origin.column->key ? (pfInUpdate | pfInWhere | pfInKey) : pfInUpdate;
        }
        fields << f;
    }
    return fields;
}

QVariant cellValue(const QVariant &value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case FieldType::String:
        return value.toString();
    case FieldType::Float:
        return value.toDouble();
    case FieldType::Integer:
        return value.toLongLong();
    case FieldType::Boolean:
        return value.toBool();
    case FieldType::Blob:
        return value.toByteArray();
    case FieldType::Nested:
        return value;
    }
    return value;
}

bool columnValue(const QVariant &value, FieldType type, QVariant *out)
{
    if (!value.isValid() || value.isNull()) {
        *out = QVariant();
        return true;
    }
    const bool isText = value.metaType().id() == QMetaType::QString;
    bool ok = true;
    switch (type) {
    case FieldType::Float:
        *out = isText ? value.toString().trimmed().toDouble(&ok) : value.toDouble(&ok);
        return ok;
    case FieldType::Integer:
        *out = isText ? value.toString().trimmed().toLongLong(&ok) : value.toLongLong(&ok);
        return ok;
    case FieldType::Boolean:
        *out = value.toBool();
        return true;
    case FieldType::Blob:
        *out = value.toByteArray();
        return true;
    case FieldType::String:
        *out = value.toString();
        return true;
    case FieldType::Nested:
        return false;
    }
    return false;
}

} // namespace korvane
