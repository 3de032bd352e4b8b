#include "UToBuyDecl.h"

namespace tobuy {

TCodeFieldDecl column(const char *name, const char *label, korvane::FieldType type)
{
    TCodeFieldDecl decl;
    decl.name = QLatin1String(name);
    decl.label = QString::fromUtf8(label);
    decl.type = type;
    decl.editor = TCodeFieldDecl::ekNone;
    decl.readOnly = true;
    return decl;
}

TSearchFieldDecl selector(const char *name, const char *label, const char *provider,
                          QStringList titles, const char *param, bool twin)
{
    TSearchFieldDecl decl;
    decl.name = QLatin1String(name);
    decl.label = QString::fromUtf8(label);
    decl.codeName.provider = QLatin1String(provider);
    decl.codeName.titles = std::move(titles);
    decl.param = QLatin1String(param);
    if (twin)
        decl.twin = QStringLiteral("tmp") + decl.param;
    return decl;
}

QStringList columnNames(const QList<TCodeFieldDecl> &columns)
{
    QStringList names;
    for (const TCodeFieldDecl &c : columns)
        names << c.name;
    return names;
}

} // namespace tobuy
