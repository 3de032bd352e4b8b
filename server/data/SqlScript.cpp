#include "SqlScript.h"

namespace korvane {

namespace {

//! Walks the script once; each quoted or commented stretch is skipped as a whole.
class ScriptSplitter
{
public:
    explicit ScriptSplitter(const QString &script) : m_text(script) {}

    QStringList split()
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (startsWith("--")) {
                skipLineComment();
                continue;
            }
            if (startsWith("/*")) {
                skipBlockComment();
                continue;
            }
            if (c == QLatin1Char(';')) {
                endStatement();
                continue;
            }
            m_hasCode = m_hasCode || !c.isSpace();
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                skipQuoted(c);
            else if (!(c == QLatin1Char('$') && skipDollarQuoted()))
                ++m_pos;
        }
        endStatement();
        return m_statements;
    }

private:
    bool startsWith(const char *token) const
    {
        return QStringView(m_text).mid(m_pos).startsWith(QLatin1String(token));
    }

    //! '...' and "..." where a doubled quote stands for itself.
    void skipQuoted(QChar quote)
    {
        ++m_pos;
        while (m_pos < m_text.size()) {
            if (m_text.at(m_pos) == quote) {
                if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == quote) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return;
            }
            ++m_pos;
        }
    }

    void skipLineComment()
    {
        const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_pos);
        m_pos = end < 0 ? m_text.size() : end + 1;
    }

    void skipBlockComment()
    {
        const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
        m_pos = end < 0 ? m_text.size() : end + 2;
    }

    //! PostgreSQL's $tag$...$tag$ bodies; false when the "$" starts no such quote.
    bool skipDollarQuoted()
    {
        const qsizetype close = m_text.indexOf(QLatin1Char('$'), m_pos + 1);
        if (close < 0)
            return false;
        const QString tag = m_text.mid(m_pos, close - m_pos + 1);
        for (qsizetype i = 1; i + 1 < tag.size(); ++i) {
            const QChar c = tag.at(i);
            if (!(c.isLetterOrNumber() || c == QLatin1Char('_')) || (i == 1 && c.isDigit()))
                return false;
        }
        const qsizetype end = m_text.indexOf(tag, close + 1);
        m_pos = end < 0 ? m_text.size() : end + tag.size();
        return true;
    }

    void endStatement()
    {
        const QString statement = m_text.mid(m_start, m_pos - m_start).trimmed();
        if (m_hasCode)
            m_statements << statement;
        m_pos = qMin(m_pos + 1, m_text.size());
        m_start = m_pos;
        m_hasCode = false;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    qsizetype m_start = 0;
    bool m_hasCode = false; // something besides blanks and comments since the last ";"
    QStringList m_statements;
};

} // namespace

QStringList splitSqlScript(const QString &script)
{
    return ScriptSplitter(script).split();
}

} // namespace korvane
