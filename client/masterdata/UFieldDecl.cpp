#include "UFieldDecl.h"

namespace fielddecl {

namespace {

TField field(const char *name, const char *label, korvane::FieldType type, int width,
             TCodeFieldDecl::TEditorKind editor)
{
    TField f;
    f.name = QLatin1String(name);
    f.label = QString::fromUtf8(label);
    f.type = type;
    f.width = width;
    f.editor = editor;
    return f;
}

} // namespace

TField text(const char *name, const char *label, int width)
{
    return field(name, label, korvane::FieldType::String, width, TCodeFieldDecl::ekText);
}

TField memo(const char *name, const char *label, int width)
{
    return field(name, label, korvane::FieldType::String, width, TCodeFieldDecl::ekMemo);
}

TField number(const char *name, const char *label)
{
    return field(name, label, korvane::FieldType::Float, 0, TCodeFieldDecl::ekNumber);
}

TField integer(const char *name, const char *label)
{
    return field(name, label, korvane::FieldType::Integer, 0, TCodeFieldDecl::ekNumber);
}

TField date(const char *name, const char *label)
{
    return field(name, label, korvane::FieldType::String, 19, TCodeFieldDecl::ekDate);
}

TField picture(const char *name, const char *label)
{
    return field(name, label, korvane::FieldType::Blob, 0, TCodeFieldDecl::ekPicture);
}

TField listed(const char *name, const char *label, int width, const char *list)
{
    TField f = field(name, label, korvane::FieldType::String, width, TCodeFieldDecl::ekList);
    f.list = QLatin1String(list);
    return f;
}

TField lookedUp(const char *name, const char *label, const char *keyField, const char *list)
{
    TField f = field(name, label, korvane::FieldType::String, 100, TCodeFieldDecl::ekText);
    f.list = QLatin1String(list);
    f.lookupKey = QLatin1String(keyField);
    f.readOnly = true;
    return f;
}

TField coded(const char *name, const char *label, int width, const char *provider,
             const QStringList &titles, const QStringList &links, bool inGrid)
{
    TField f = field(name, label, korvane::FieldType::String, width, TCodeFieldDecl::ekCodeName);
    f.codeName.provider = QLatin1String(provider);
    f.codeName.titles = titles;
    f.codeName.linkFields = links;
    f.codeName.inGrid = inGrid;
    return f;
}

QStringList names(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *name : list)
        result << QString::fromUtf8(name);
    return result;
}

} // namespace fielddecl
