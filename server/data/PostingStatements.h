#pragma once
//! The statements one posting runs: each prepared once and run again with new values, and
//! statements over many rows at once, their values given as a VALUES list.

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

    //! Runs sql with values, preparing it on its first run. Read the rows to the end before
    //! the same text runs again. Throws ServerError.
    QSqlQuery &run(const QString &sql, const QVariantList &values);

    using Rows = std::vector<QVariantList>;
    using Take = std::function<void(const QSqlQuery &)>;
    //! Runs sql over rows, "%1" standing for their VALUES list ("(?, ?), (?, ?)"), each row's
    //! marks being rowMarks ("(?, ?)"); a long list in chunks. take gets each result row.
    void overRows(const QString &sql, const QString &rowMarks, const Rows &rows,
                  const Take &take = {});

private:
    QSqlDatabase m_db;
    bool m_postgres;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
};

} // namespace korvane
