#pragma once
//! A provider statement as the data layer needs it: its :Name parameters rewritten to
//! positional markers (bound by name without regard to case), its select list and the
//! tables after FROM (the first one is the update table).

#include "Packet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace korvane {

//! One item of the select list: "a.Code", "name AS PdtName", "isnull(x,0) qty", "t.*".
struct SelectItem
{
    QString outputName; // the alias as written, or the column's name; empty for '*'
    QString qualifier;  // "a" in "a.Code"; empty when unqualified
    QString column;     // the column a plain column reference names; empty for expressions
    bool isStar = false;
};

struct TableRef
{
    QString name;  // as written, without a schema prefix
    QString alias; // as written; empty when none
};

class SqlStatement
{
public:
    explicit SqlStatement(const QString &text = QString());

    QString text() const { return m_text; }
    bool isEmpty() const { return m_text.trimmed().isEmpty(); }

    //! The text with every :Name replaced by '?'; the names in order of occurrence (a name
    //! used twice appears twice).
    QString positionalText() const;
    QStringList parameterSlots() const;
    //! The text with the i-th parameter marker (in order of occurrence) replaced by
    //! literals[i]; a marker without a literal becomes NULL.
    QString textWithLiterals(const QStringList &literals) const;
    //! Each parameter once, in order of first occurrence, spelled as first written.
    QStringList parameterNames() const;

    //! The values for the positional markers, taken from params by name without regard to
    //! case. A parameter the request does not carry is bound as an empty text, so that an
    //! omitted filter switch leaves its filter off.
    static QVariantList bindValues(const QStringList &names, const Params &params);

    //! The text with "expr = :param" turned into "expr IN (?,...)" with count markers; the
    //! markers are named param#0 ... param#(count-1) in *names. False when the parameter is
    //! used in any other way.
    bool inListText(const QString &param, int count, QString *text, QStringList *names) const;

    QList<SelectItem> selectItems() const;
    QList<TableRef> fromTables() const;
    //! The first table after FROM; empty when there is none.
    QString firstTable() const;
    //! The table an item's qualifier names (by alias or name); empty when unknown.
    QString tableOf(const QString &qualifier) const;

private:
    struct Token
    {
        enum Kind { Word, Quoted, String, Number, Param, Punct } kind;
        int pos;
        int len;
        QString value; // identifier (unquoted) or punctuation; parameter name without ':'
    };

    void tokenize();
    int topLevelKeyword(const QString &keyword, int from) const;
    QString rewritten(const QString &param, int count, QStringList *names, bool *ok) const;

    QString m_text;
    QList<Token> m_tokens;
};

} // namespace korvane
