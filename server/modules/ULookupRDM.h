#pragma once
//! The lookup module: the small code and attribute lists a client loads once, the document
//! numbering (shared with the document module) and a free existence test that an
//! administrator must switch on.

#include "ProviderModule.h"

namespace korvane {

class TLookupRDM : public ProviderModule
{
    Q_OBJECT
public:
    explicit TLookupRDM(QObject *parent = nullptr);

    //! The module's providers as data (also read by tests).
    static ProviderDefs providerDefs();

    //! Runs a statement of the client's own and answers whether its first column of the
    //! first row, read as an integer, is greater than 0; false when it fails or returns no
    //! row. Refused (ServerError) unless statements from clients are allowed, and for text
    //! of more than one statement; runs read-only, so it never changes the database. A first
    //! column that is not an integer fails the call. state is unused.
    bool keyExist(const QString &sqlStr, int state);
};

} // namespace korvane
