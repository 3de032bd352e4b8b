#include "URPTCursor.h"

#include "LumoCLientDataSet.h"
#include "LumoField.h"

namespace korvane::reports {

QStringList DataSetCursor::fieldNames() const
{
    QStringList names;
    for (int i = 0; i < rows_.FieldCount(); ++i)
        names << rows_.Fields(i).FieldName();
    return names;
}

bool DataSetCursor::next()
{
    if (at_ + 1 >= rows_.RecordCount() && !fetchMore())
        return false;
    ++at_;
    return true;
}

QVariant DataSetCursor::value(int field) const
{
    return rows_.Fields(field).valueAt(at_);
}

bool DataSetCursor::fetchMore()
{
    // A move past the last loaded row fetches the next packet (a failed fetch is reported
    // by the data set and ends the report at the rows there are); the current record is
    // put back.
    const int loaded = rows_.RecordCount();
    if (!rows_.Active() || loaded == 0 || !rows_.canFetchMore())
        return false;
    const int current = rows_.RecNo();
    rows_.setRecNo(loaded);
    rows_.Next();
    rows_.setRecNo(current);
    return at_ + 1 < rows_.RecordCount();
}

} // namespace korvane::reports
