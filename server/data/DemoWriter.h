#pragma once
//! Rows of the demonstration account set as they are written: bound INSERTs and UPDATEs,
//! one prepared statement per table and column list, failures as ServerError.

#include <QHash>
#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace korvane::demo {

using Values = QList<QPair<QString, QVariant>>;

class DemoWriter
{
public:
    DemoWriter(QSqlDatabase db, quint32 seed);

    void insert(const QString &table, const Values &values);
    //! UPDATE table SET values WHERE keys (all bound).
    void update(const QString &table, const Values &values, const Values &keys);
    QSqlDatabase database() const { return m_db; }

    //! The generator every choice of the demonstration draws from.
    QRandomGenerator &random() { return m_random; }
    //! A whole number in [low, high].
    int between(int low, int high) { return low + int(m_random.bounded(high - low + 1)); }
    //! True with the given chance in percent.
    bool chance(int percent) { return int(m_random.bounded(100)) < percent; }
    template <typename T> const T &pick(const QList<T> &list)
    {
        return list.at(int(m_random.bounded(qsizetype(list.size()))));
    }

private:
    QSqlQuery &prepared(const QString &statement);

    QSqlDatabase m_db;
    QRandomGenerator m_random;
    QHash<QString, QSqlQuery> m_statements;
};

} // namespace korvane::demo
