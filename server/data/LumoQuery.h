#pragma once
//! TLumoQuery: the module query with the library's TagStr (stored upper-cased).

#include "LumoADOQuery.h"

namespace korvane {

class TLumoQuery : public TLumoADOQuery
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ tagStr WRITE setTagStr)
public:
    using TLumoADOQuery::TLumoADOQuery;

    QString tagStr() const { return m_tagStr; }
    void setTagStr(const QString &tag) { m_tagStr = tag.toUpper(); }

private:
    QString m_tagStr;
};

} // namespace korvane
