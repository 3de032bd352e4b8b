#pragma once
//! Short ways of writing field declarations: a kind of field, then its particulars.

#include "USingleTblDecl.h"

namespace fielddecl {

//! A field declaration that is written as a chain: text("code", "代码", 10).req().upper().
struct TField : TCodeFieldDecl
{
    TField &req()
    {
        required = true;
        return *this;
    }
    TField &upper()
    {
        upperCase = true;
        return *this;
    }
    TField &ro()
    {
        readOnly = true;
        return *this;
    }
    TField &on(const char *pageTitle)
    {
        page = QString::fromUtf8(pageTitle);
        return *this;
    }
    TField &shownAs(const char *editCaption)
    {
        caption = QString::fromUtf8(editCaption);
        return *this;
    }
    TField &hidden()
    {
        editor = ekNone;
        return *this;
    }
    TField &withButton(const char *hint)
    {
        buttonHint = QString::fromUtf8(hint);
        return *this;
    }
    TField &after(const char *text)
    {
        suffix = QString::fromUtf8(text);
        return *this;
    }
};

TField text(const char *name, const char *label, int width);
TField memo(const char *name, const char *label, int width);
TField number(const char *name, const char *label);
TField integer(const char *name, const char *label);
TField date(const char *name, const char *label);
TField picture(const char *name, const char *label);
//! A code picked from a shared list of the data module.
TField listed(const char *name, const char *label, int width, const char *list);
//! A name looked up from the code in keyField in a shared list; read-only.
TField lookedUp(const char *name, const char *label, const char *keyField, const char *list);
//! A code entered with a code/name editor on a provider of the code/name module; the
//! lookup's columns after the code fill links.
TField coded(const char *name, const char *label, int width, const char *provider,
             const QStringList &titles, const QStringList &links, bool inGrid = true);

QStringList names(std::initializer_list<const char *> list);

} // namespace fielddecl
