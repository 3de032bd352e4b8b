#include "Packet.h"

namespace korvane {

int indexOfField(const Fields &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

PacketRows PacketRow::detailRows(int field) const
{
    for (const auto &[index, rows] : details) {
        if (index == field)
            return rows;
    }
    return {};
}

void PacketRow::setDetailRows(int field, PacketRows rows)
{
    // A field without rows has no entry, the way the wire's empty list decodes.
    details.removeIf([field](const auto &detail) { return detail.first == field; });
    if (rows.isEmpty())
        return;
    auto at = details.begin();
    while (at != details.end() && at->first < field)
        ++at;
    details.insert(at, {field, std::move(rows)});
}

bool operator==(const PacketRow &a, const PacketRow &b)
{
    return static_cast<const RowValues &>(a) == static_cast<const RowValues &>(b) &&
           a.details == b.details;
}

int Packet::indexOf(const QString &name) const
{
    return indexOfField(fields, name);
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::String:
        return QStringLiteral("string");
    case FieldType::Float:
        return QStringLiteral("float");
    case FieldType::Integer:
        return QStringLiteral("integer");
    case FieldType::Boolean:
        return QStringLiteral("boolean");
    case FieldType::Blob:
        return QStringLiteral("blob");
    case FieldType::Nested:
        return QStringLiteral("nested");
    }
    return QString();
}

FieldType fieldTypeFromName(const QString &name, bool *ok)
{
    static const FieldType all[] = {FieldType::String,  FieldType::Float, FieldType::Integer,
                                    FieldType::Boolean, FieldType::Blob,  FieldType::Nested};
    for (FieldType t : all) {
        if (fieldTypeName(t) == name) {
            if (ok)
                *ok = true;
            return t;
        }
    }
    if (ok)
        *ok = false;
    return FieldType::String;
}

} // namespace korvane
