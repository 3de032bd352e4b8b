#include "LumoFilter.h"

#include "LumoField.h"

namespace {

struct Token
{
    enum Kind { Name, Text, Number, Op, Open, Close, End } kind = End;
    QString text;
};

class Lexer
{
public:
    explicit Lexer(const QString &text) : m_text(text) {}

    QList<Token> tokens()
    {
        QList<Token> out;
        while (true) {
            skipBlanks();
            if (m_pos >= m_text.size())
                break;
            out << next();
        }
        out << Token{Token::End, {}};
        return out;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    Token next()
    {
        const QChar c = m_text[m_pos];
        if (c == QLatin1Char('\''))
            return quoted();
        if (c == QLatin1Char('('))
            return {Token::Open, QString(m_text[m_pos++])};
        if (c == QLatin1Char(')'))
            return {Token::Close, QString(m_text[m_pos++])};
        if (QStringLiteral("=<>!").contains(c))
            return op();
        if (c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.'))
            return word(Token::Number);
        if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('['))
            return word(Token::Name);
        throw TLumoDataSetError(QStringLiteral("过滤条件'%1'有误").arg(m_text));
    }

    Token quoted()
    {
        QString value;
        ++m_pos;
        while (m_pos < m_text.size()) {
            if (m_text[m_pos] == QLatin1Char('\'')) {
                // A doubled quote stands for one quote inside the text.
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return {Token::Text, value};
            }
            value += m_text[m_pos++];
        }
        throw TLumoDataSetError(QStringLiteral("过滤条件'%1'的引号不成对").arg(m_text));
    }

    Token op()
    {
        QString value(m_text[m_pos++]);
        if (m_pos < m_text.size() && QStringLiteral("=<>").contains(m_text[m_pos]))
            value += m_text[m_pos++];
        return {Token::Op, value};
    }

    Token word(Token::Kind kind)
    {
        const int start = m_pos;
        if (m_text[m_pos] == QLatin1Char('[')) {
            const int end = m_text.indexOf(QLatin1Char(']'), m_pos);
            if (end < 0)
                throw TLumoDataSetError(QStringLiteral("过滤条件'%1'有误").arg(m_text));
            m_pos = end + 1;
            return {Token::Name, m_text.mid(start + 1, end - start - 1)};
        }
        while (m_pos < m_text.size() &&
               (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == QLatin1Char('_') ||
                m_text[m_pos] == QLatin1Char('.') || (m_pos == start && m_text[m_pos] == '-')))
            ++m_pos;
        return {kind, m_text.mid(start, m_pos - start)};
    }

    QString m_text;
    int m_pos = 0;
};

using Node = std::shared_ptr<TLumoFilter>;

class Comparison : public TLumoFilter
{
public:
    Comparison(QString field, QString op, QVariant literal)
        : m_field(std::move(field)), m_op(std::move(op)), m_literal(std::move(literal))
    {}

    bool matches(const ValueOf &valueOf) const override
    {
        const QVariant value = valueOf(m_field);
        if (m_literal.isNull()) // "x = null" and "x <> null"
            return (m_op == QLatin1String("=")) == (value.isNull() || !value.isValid());
        const int order = compare(value);
        if (m_op == QLatin1String("="))
            return order == 0;
        if (m_op == QLatin1String("<>") || m_op == QLatin1String("!="))
            return order != 0;
        if (m_op == QLatin1String("<"))
            return order < 0;
        if (m_op == QLatin1String("<="))
            return order <= 0;
        if (m_op == QLatin1String(">"))
            return order > 0;
        return order >= 0;
    }

    QStringList fieldNames() const override { return {m_field}; }

private:
    int compare(const QVariant &value) const
    {
        if (m_literal.typeId() == QMetaType::Double) {
            const double a = value.toDouble();
            const double b = m_literal.toDouble();
            return a < b ? -1 : (a > b ? 1 : 0);
        }
        return QString::compare(value.toString(), m_literal.toString());
    }

    QString m_field;
    QString m_op;
    QVariant m_literal;
};

class Logical : public TLumoFilter
{
public:
    Logical(bool isAnd, Node left, Node right)
        : m_and(isAnd), m_left(std::move(left)), m_right(std::move(right))
    {}

    bool matches(const ValueOf &valueOf) const override
    {
        const bool left = m_left->matches(valueOf);
        return m_and ? (left && m_right->matches(valueOf)) : (left || m_right->matches(valueOf));
    }

    QStringList fieldNames() const override { return m_left->fieldNames() + m_right->fieldNames(); }

private:
    bool m_and;
    Node m_left, m_right;
};

class Negation : public TLumoFilter
{
public:
    explicit Negation(Node inner) : m_inner(std::move(inner)) {}
    bool matches(const ValueOf &valueOf) const override { return !m_inner->matches(valueOf); }
    QStringList fieldNames() const override { return m_inner->fieldNames(); }

private:
    Node m_inner;
};

// expr := term {or term}; term := factor {and factor};
// factor := not factor | '(' expr ')' | name op literal
class Parser
{
public:
    Parser(const QString &text, QList<Token> tokens) : m_text(text), m_tokens(std::move(tokens)) {}

    Node parse()
    {
        Node node = expression();
        if (peek().kind != Token::End)
            fail();
        return node;
    }

private:
    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos++]; }
    bool takeWord(const char *word)
    {
        if (peek().kind == Token::Name &&
            peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            ++m_pos;
            return true;
        }
        return false;
    }
    [[noreturn]] void fail() const
    {
        throw TLumoDataSetError(QStringLiteral("过滤条件'%1'有误").arg(m_text));
    }

    Node expression()
    {
        Node node = term();
        while (takeWord("or"))
            node = std::make_shared<Logical>(false, node, term());
        return node;
    }

    Node term()
    {
        Node node = factor();
        while (takeWord("and"))
            node = std::make_shared<Logical>(true, node, factor());
        return node;
    }

    Node factor()
    {
        if (takeWord("not"))
            return std::make_shared<Negation>(factor());
        if (peek().kind == Token::Open) {
            take();
            Node node = expression();
            if (take().kind != Token::Close)
                fail();
            return node;
        }
        const Token name = take();
        const Token op = take();
        const Token literal = take();
        if (name.kind != Token::Name || op.kind != Token::Op)
            fail();
        return std::make_shared<Comparison>(name.text, op.text, literalValue(literal));
    }

    QVariant literalValue(const Token &token) const
    {
        if (token.kind == Token::Text)
            return token.text;
        if (token.kind == Token::Number) {
            bool ok = false;
            const double number = token.text.toDouble(&ok);
            if (ok)
                return number;
        }
        if (token.kind == Token::Name &&
            token.text.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0)
            return QVariant();
        fail();
    }

    QString m_text;
    QList<Token> m_tokens;
    int m_pos = 0;
};

} // namespace

std::shared_ptr<TLumoFilter> TLumoFilter::parse(const QString &text)
{
    return Parser(text, Lexer(text).tokens()).parse();
}
