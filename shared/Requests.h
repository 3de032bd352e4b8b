#pragma once
//! The requests of the remote interface as values, shared by the client connection that
//! sends them and the module host that answers them.

#include "Packet.h"

#include <QString>

namespace korvane {

struct GetRecordsRequest
{
    QString provider;
    int count = -1; // rows wanted; -1 all; 0 metadata only
    int options = 0;
    QString commandText; // refused unless an administrator enabled command text
    Params params;
};

} // namespace korvane
