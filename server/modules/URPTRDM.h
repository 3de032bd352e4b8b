#pragma once
//! The report module: one provider, dspXMaster, whose statement is the report chosen by the
//! request's SQLFLAG parameter among the module's report statement holders.

#include "ProviderModule.h"

namespace korvane {

class TLumoDatasetprovider;
class TLumoSQL;

class TRPTRDM : public ProviderModule
{
    Q_OBJECT
public:
    explicit TRPTRDM(QObject *parent = nullptr);

    //! Every report as flag, statement and title (also read by tests and benchmarks).
    struct Report
    {
        QString flag;
        QString sql;
        QString description;
    };
    static const QList<Report> &reports();

    Packet getRecords(const GetRecordsRequest &request) override;

    //! The first holder filed under the flag (without regard to case); nullptr when none.
    TLumoSQL *statementFor(const QString &flag) const;

private:
    //! The provider that runs one holder's statements under the name dspXMaster.
    TLumoDatasetprovider *reportProvider(const TLumoSQL &holder);

    QHash<const TLumoSQL *, TLumoDatasetprovider *> m_reportProviders; // children
    TLumoDatasetprovider *m_open = nullptr; // the report whose rows are being handed out
};

} // namespace korvane
