#pragma once
//! The one base of every error that carries a text for the operator: the server's, the
//! remote connection's and the client data set's. Catch sites that only show the text
//! catch this base.

#include <QString>

#include <stdexcept>

namespace korvane {

class OperatorError : public std::runtime_error
{
public:
    explicit OperatorError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text)
    {}
    //! What the operator sees.
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace korvane
