#include "LumoSQL.h"

namespace korvane {

TLumoSQL::TLumoSQL(const QString &flag, const QString &sql, const QString &detailSql,
                   const QString &description, QObject *parent)
    : QObject(parent), m_sqlFlag(flag), m_sql(sql), m_detailSql(detailSql),
      m_description(description)
{}

bool TLumoSQL::hasFlag(const QString &flag) const
{
    return m_sqlFlag.trimmed().compare(flag.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace korvane
