#pragma once
//! The report engine's cursor over a client data set: the rows the condition window fetched,
//! read in their order without moving the data set's current record, and the next packet
//! fetched when the loaded rows run out.

#include "ReportCursor.h"

class TLumoCLientDataSet;

namespace korvane::reports {

class DataSetCursor : public report::ReportCursor
{
public:
    //! The data set must outlive the cursor.
    explicit DataSetCursor(TLumoCLientDataSet &rows) : rows_(rows) {}
    QStringList fieldNames() const override;
    void rewind() override { at_ = -1; }
    bool next() override;
    QVariant value(int field) const override;

private:
    bool fetchMore();

    TLumoCLientDataSet &rows_;
    int at_ = -1;
};

} // namespace korvane::reports
