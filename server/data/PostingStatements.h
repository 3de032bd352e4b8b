#pragma once
//! The statements one posting runs, and statements over many rows at once, their values
//! given as a VALUES list. On SQLite each is prepared once and run again with new values.
//! PostgreSQL's driver would spend a round trip preparing and another releasing each
//! statement, and sends the values as literal text anyway: there a statement goes as one
//! text, its values written in by the driver exactly as it writes them for a prepared one.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace korvane {

class PostingStatements
{
public:
    explicit PostingStatements(QSqlDatabase db);
    PostingStatements(const PostingStatements &) = delete;
    PostingStatements &operator=(const PostingStatements &) = delete;

    QSqlDatabase db() const { return m_db; }
    //! PostgreSQL takes row locks explicitly; SQLite's one writer holds the whole database.
    bool postgres() const { return m_postgres; }

    //! Runs sql with values in place of its "?" marks (none inside quotes). Read the rows to
    //! the end before another statement runs. Throws ServerError.
    QSqlQuery &run(const QString &sql, const QVariantList &values);

    using Rows = std::vector<QVariantList>;
    using Take = std::function<void(const QSqlQuery &)>;
    //! Runs sql over rows, "%1" standing for their VALUES list ("(?, ?), (?, ?)"), each row's
    //! marks being rowMarks ("(?, ?)"); a long list in chunks. take gets each result row.
    void overRows(const QString &sql, const QString &rowMarks, const Rows &rows,
                  const Take &take = {});

private:
    QSqlQuery &prepared(const QString &sql);
    QString withValues(const QString &sql, const QVariantList &values) const;

    QSqlDatabase m_db;
    bool m_postgres;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
    std::unique_ptr<QSqlQuery> m_text; // PostgreSQL: the one query the texts run on
};

} // namespace korvane
