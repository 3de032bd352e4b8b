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

int Packet::indexOf(const QString &name) const
{
    return indexOfField(fields, name);
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::String: return QStringLiteral("string");
    case FieldType::Float: return QStringLiteral("float");
    case FieldType::Integer: return QStringLiteral("integer");
    case FieldType::Boolean: return QStringLiteral("boolean");
    case FieldType::Blob: return QStringLiteral("blob");
    case FieldType::Nested: return QStringLiteral("nested");
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
