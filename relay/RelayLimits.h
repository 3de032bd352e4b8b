#pragma once
//! What the relay allows a peer before it has proved to be a client, read from Plant.ini
//! section SCKTSRVR:
//!
//!     OpenTimeout=30              seconds to send the first whole message
//!     FrameTimeout=10             seconds any message may take, beyond its size …
//!     MinByteRate=4096            … at this many bytes a second
//!     MaxConnections=500          peers at once, in all
//!     MaxConnectionsPerAddress=50 peers at once from one address
//!
//! A peer that misses a deadline is closed with a logged reason; a connected client that is
//! idle between messages has no deadline (operators leave the client open all day).

#include <QString>

namespace korvane {

struct RelayLimits
{
    int openTimeoutMs = 30000;
    int frameTimeoutMs = 10000;
    qint64 minByteRate = 4096;
    int maxConnections = 500;
    int maxConnectionsPerAddress = 50;

    //! How long a message of the given size may take to arrive.
    qint64 frameDeadlineMs(qint64 frameBytes) const
    {
        return frameTimeoutMs + frameBytes * 1000 / qMax<qint64>(1, minByteRate);
    }
};

//! The limits of Plant.ini; a missing or unreadable value keeps its default (the reason is
//! added to *warnings, one line each).
RelayLimits relayLimits(const QString &plantIniPath, QString *warnings = nullptr);

} // namespace korvane
