#pragma once
//! The document module: document numbers, key tests, the document check and the providers
//! of every business document with its nested lines, plus the read-only providers that feed
//! one document from another.

#include "ProviderModule.h"

namespace korvane {

class TBillRDM : public ProviderModule
{
    Q_OBJECT
public:
    explicit TBillRDM(QObject *parent = nullptr);

    //! The module's providers as data (also read by tests and benchmarks).
    static ProviderDefs providerDefs();

    //! keyExist of the document module: does a row of the table hold the value in the
    //! field? Unknown tables and fields answer false without reaching a statement.
    bool keyExist(const QString &tableName, const QString &fieldName, const QString &value);
};

} // namespace korvane
