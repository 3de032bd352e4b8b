#include "SqlStatement.h"

#include <QSet>

namespace korvane {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Words that end a FROM clause or cannot be an alias.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("where"),     QStringLiteral("group"),  QStringLiteral("order"),
        QStringLiteral("having"),    QStringLiteral("union"),  QStringLiteral("limit"),
        QStringLiteral("offset"),    QStringLiteral("join"),   QStringLiteral("left"),
        QStringLiteral("right"),     QStringLiteral("inner"),  QStringLiteral("outer"),
        QStringLiteral("full"),      QStringLiteral("cross"),  QStringLiteral("on"),
        QStringLiteral("natural"),   QStringLiteral("using"),  QStringLiteral("as"),
        QStringLiteral("end"),       QStringLiteral("null"),   QStringLiteral("from"),
        QStringLiteral("intersect"), QStringLiteral("except"), QStringLiteral("window"),
        QStringLiteral("for"),       QStringLiteral("fetch"),  QStringLiteral("select")};
    return words;
}

bool isReserved(const QString &word)
{
    return reservedWords().contains(word.toLower());
}

const QSet<QString> &fromClauseEnd()
{
    static const QSet<QString> words = {
        QStringLiteral("where"),  QStringLiteral("group"),     QStringLiteral("order"),
        QStringLiteral("having"), QStringLiteral("union"),     QStringLiteral("limit"),
        QStringLiteral("offset"), QStringLiteral("intersect"), QStringLiteral("except"),
        QStringLiteral("window"), QStringLiteral("for"),       QStringLiteral("fetch")};
    return words;
}

} // namespace

SqlStatement::SqlStatement(const QString &text) : m_text(text)
{
    tokenize();
}

void SqlStatement::tokenize()
{
    const QString &s = m_text;
    const int n = s.size();
    int i = 0;
    auto add = [this](Token::Kind kind, int pos, int len, const QString &value) {
        m_tokens.append(Token{kind, pos, len, value});
    };
    while (i < n) {
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            QString value;
            while (j < n) {
                if (s[j] == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && s[j + 1] == close) {
                        value += close; // doubled quote inside the literal
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += s[j++];
            }
            j = qMin(j + 1, n);
            add(c == QLatin1Char('\'') ? Token::String : Token::Quoted, i, j - i, value);
            i = j;
        } else if (c == QLatin1Char(':') && next == QLatin1Char(':')) {
            add(Token::Punct, i, 2, QStringLiteral("::")); // a PostgreSQL cast
            i += 2;
        } else if (c == QLatin1Char(':') && isWordStart(next)) {
            int j = i + 1;
            while (j < n && isWordChar(s[j]))
                ++j;
            add(Token::Param, i, j - i, s.mid(i + 1, j - i - 1));
            i = j;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < n && isWordChar(s[j]))
                ++j;
            add(Token::Word, i, j - i, s.mid(i, j - i));
            i = j;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('.')))
                ++j;
            add(Token::Number, i, j - i, s.mid(i, j - i));
            i = j;
        } else {
            static const QStringList pairs = {QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("<>"), QStringLiteral("!="),
                                              QStringLiteral("||")};
            const QString two = s.mid(i, 2);
            const int len = pairs.contains(two) ? 2 : 1;
            add(Token::Punct, i, len, s.mid(i, len));
            i += len;
        }
    }
}

int SqlStatement::topLevelKeyword(const QString &keyword, int from) const
{
    int depth = 0;
    for (int i = 0; i < m_tokens.size(); ++i) {
        const Token &t = m_tokens[i];
        if (t.kind == Token::Punct && t.value == QLatin1String("("))
            ++depth;
        else if (t.kind == Token::Punct && t.value == QLatin1String(")"))
            --depth;
        else if (i >= from && depth == 0 && t.kind == Token::Word && sameName(t.value, keyword))
            return i;
    }
    return -1;
}

QString SqlStatement::rewritten(const QString &param, int count, QStringList *names, bool *ok) const
{
    QString out;
    int copied = 0;
    *ok = true;
    for (int i = 0; i < m_tokens.size(); ++i) {
        const Token &t = m_tokens[i];
        if (t.kind != Token::Param)
            continue;
        if (!param.isEmpty() && sameName(t.value, param)) {
            const Token *eq = i > 0 ? &m_tokens[i - 1] : nullptr;
            if (!eq || eq->kind != Token::Punct || eq->value != QLatin1String("=")) {
                *ok = false;
                return QString();
            }
            out += m_text.mid(copied, eq->pos - copied);
            QStringList markers;
            for (int k = 0; k < count; ++k) {
                markers << QStringLiteral("?");
                names->append(t.value + QLatin1Char('#') + QString::number(k));
            }
            out += QStringLiteral("IN (") + markers.join(QLatin1Char(',')) + QLatin1Char(')');
        } else {
            out += m_text.mid(copied, t.pos - copied) + QLatin1Char('?');
            names->append(t.value);
        }
        copied = t.pos + t.len;
    }
    out += m_text.mid(copied);
    return out;
}

QString SqlStatement::positionalText() const
{
    QStringList names;
    bool ok = true;
    return rewritten(QString(), 0, &names, &ok);
}

QStringList SqlStatement::parameterSlots() const
{
    QStringList names;
    for (const Token &t : m_tokens) {
        if (t.kind == Token::Param)
            names << t.value;
    }
    return names;
}

QString SqlStatement::textWithLiterals(const QStringList &literals) const
{
    QString out;
    int copied = 0;
    int slot = 0;
    for (const Token &t : m_tokens) {
        if (t.kind != Token::Param)
            continue;
        out += m_text.mid(copied, t.pos - copied) + literals.value(slot++, QStringLiteral("NULL"));
        copied = t.pos + t.len;
    }
    return out + m_text.mid(copied);
}

QStringList SqlStatement::parameterNames() const
{
    QStringList names;
    for (const QString &name : parameterSlots()) {
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

QVariantList SqlStatement::bindValues(const QStringList &names, const Params &params)
{
    QVariantList values;
    values.reserve(names.size());
    for (const QString &name : names) {
        QVariant value = QString(QLatin1String(""));
        for (const Param &p : params) {
            if (sameName(p.name, name)) {
                value = p.value;
                break;
            }
        }
        values << value;
    }
    return values;
}

bool SqlStatement::inListText(const QString &param, int count, QString *text,
                              QStringList *names) const
{
    QStringList found;
    bool ok = true;
    const QString out = rewritten(param, count, &found, &ok);
    if (!ok || count < 1)
        return false;
    *text = out;
    *names = found;
    return true;
}

QList<SelectItem> SqlStatement::selectItems() const
{
    QList<SelectItem> items;
    const int select = topLevelKeyword(QStringLiteral("select"), 0);
    if (select < 0)
        return items;
    int end = topLevelKeyword(QStringLiteral("from"), select + 1);
    if (end < 0)
        end = m_tokens.size();
    int i = select + 1;
    while (i < end && m_tokens[i].kind == Token::Word &&
           (sameName(m_tokens[i].value, QStringLiteral("distinct")) ||
            sameName(m_tokens[i].value, QStringLiteral("all"))))
        ++i;
    if (i < end && sameName(m_tokens[i].value, QStringLiteral("top")))
        i += 2;

    QList<Token> item;
    int depth = 0;
    auto finish = [&items, &item]() {
        SelectItem si;
        int n = item.size();
        auto isName = [](const Token &t) {
            return t.kind == Token::Word || t.kind == Token::Quoted;
        };
        if (n >= 2 && item[n - 2].kind == Token::Word &&
            sameName(item[n - 2].value, QStringLiteral("as"))) {
            si.outputName = item[n - 1].value;
            n -= 2;
        } else if (n >= 2 && isName(item[n - 1]) && !isReserved(item[n - 1].value) &&
                   !(item[n - 2].kind == Token::Punct && item[n - 2].value == QLatin1String("."))) {
            si.outputName = item[n - 1].value;
            n -= 1;
        }
        auto isDot = [&item](int k) {
            return item[k].kind == Token::Punct && item[k].value == QLatin1String(".");
        };
        auto isStarAt = [&item](int k) {
            return item[k].kind == Token::Punct && item[k].value == QLatin1String("*");
        };
        if (n == 1 && isStarAt(0)) {
            si.isStar = true;
        } else if (n == 1 && isName(item[0])) {
            si.column = item[0].value;
        } else if (n == 3 && isName(item[0]) && isDot(1) && isStarAt(2)) {
            si.isStar = true;
            si.qualifier = item[0].value;
        } else if (n == 3 && isName(item[0]) && isDot(1) && isName(item[2])) {
            si.qualifier = item[0].value;
            si.column = item[2].value;
        }
        if (si.outputName.isEmpty())
            si.outputName = si.column;
        items << si;
        item.clear();
    };
    for (; i < end; ++i) {
        const Token &t = m_tokens[i];
        if (t.kind == Token::Punct && t.value == QLatin1String("("))
            ++depth;
        else if (t.kind == Token::Punct && t.value == QLatin1String(")"))
            --depth;
        if (depth == 0 && t.kind == Token::Punct && t.value == QLatin1String(",")) {
            finish();
            continue;
        }
        item << t;
    }
    if (!item.isEmpty())
        finish();
    return items;
}

QList<TableRef> SqlStatement::fromTables() const
{
    QList<TableRef> tables;
    const int select = topLevelKeyword(QStringLiteral("select"), 0);
    const int from = topLevelKeyword(QStringLiteral("from"), select < 0 ? 0 : select + 1);
    if (from < 0)
        return tables;
    const int n = m_tokens.size();
    auto word = [this, n](int k) {
        return k < n && (m_tokens[k].kind == Token::Word || m_tokens[k].kind == Token::Quoted);
    };
    auto punct = [this, n](int k, const char *p) {
        return k < n && m_tokens[k].kind == Token::Punct && m_tokens[k].value == QLatin1String(p);
    };
    bool expectTable = true;
    int depth = 0;
    for (int i = from + 1; i < n; ++i) {
        const Token &t = m_tokens[i];
        if (punct(i, "(")) {
            if (depth == 0 && expectTable) { // a derived table: nothing to update
                tables << TableRef{};
                expectTable = false;
            }
            ++depth;
            continue;
        }
        if (punct(i, ")")) {
            --depth;
            continue;
        }
        if (depth > 0)
            continue;
        if (t.kind == Token::Word && fromClauseEnd().contains(t.value.toLower()))
            break;
        if (punct(i, ",") || (t.kind == Token::Word && sameName(t.value, QStringLiteral("join")))) {
            expectTable = true;
            continue;
        }
        if (!expectTable || !word(i))
            continue;
        TableRef ref{t.value, QString()};
        while (punct(i + 1, ".") && word(i + 2)) { // schema prefix
            i += 2;
            ref.name = m_tokens[i].value;
        }
        if (word(i + 1) && sameName(m_tokens[i + 1].value, QStringLiteral("as")) && word(i + 2)) {
            ref.alias = m_tokens[i + 2].value;
            i += 2;
        } else if (word(i + 1) && !isReserved(m_tokens[i + 1].value)) {
            ref.alias = m_tokens[i + 1].value;
            i += 1;
        }
        tables << ref;
        expectTable = false;
    }
    return tables;
}

QString SqlStatement::firstTable() const
{
    const QList<TableRef> tables = fromTables();
    return tables.isEmpty() ? QString() : tables.first().name;
}

QString SqlStatement::tableOf(const QString &qualifier) const
{
    if (qualifier.isEmpty())
        return QString();
    const QList<TableRef> tables = fromTables();
    for (const TableRef &t : tables) {
        if (sameName(t.alias, qualifier))
            return t.name;
    }
    for (const TableRef &t : tables) {
        if (t.alias.isEmpty() && sameName(t.name, qualifier))
            return t.name;
    }
    return QString();
}

} // namespace korvane
