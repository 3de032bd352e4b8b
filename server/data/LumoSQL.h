#pragma once
//! TLumoSQL: a report statement holder: a master statement and an optional detail
//! statement filed under a flag, with a human-readable title.

#include <QObject>
#include <QString>

namespace korvane {

class TLumoSQL : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString SQLFlag READ sqlFlag WRITE setSqlFlag)
    Q_PROPERTY(QString SQL READ sql WRITE setSql)
    Q_PROPERTY(QString DetailSQL READ detailSql WRITE setDetailSql)
    Q_PROPERTY(QString Description READ description WRITE setDescription)
public:
    explicit TLumoSQL(QObject *parent = nullptr) : QObject(parent) {}
    TLumoSQL(const QString &flag, const QString &sql, const QString &detailSql,
             const QString &description, QObject *parent = nullptr);

    QString sqlFlag() const { return m_sqlFlag; }
    void setSqlFlag(const QString &flag) { m_sqlFlag = flag; }
    QString sql() const { return m_sql; }
    void setSql(const QString &sql) { m_sql = sql; }
    QString detailSql() const { return m_detailSql; }
    void setDetailSql(const QString &sql) { m_detailSql = sql; }
    QString description() const { return m_description; }
    void setDescription(const QString &text) { m_description = text; }

    //! Flags are compared without regard to case and surrounding blanks.
    bool hasFlag(const QString &flag) const;

private:
    QString m_sqlFlag;
    QString m_sql;
    QString m_detailSql;
    QString m_description;
};

} // namespace korvane
