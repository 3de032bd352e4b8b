#pragma once
//! Where a new peer waits, on a thread of its own, until it has sent its first whole message:
//! a peer that connects and says nothing, or sends half a message, never reaches the module
//! host and never weighs on the event loop that serves the clients. A peer that misses the
//! opening deadline is closed with a logged reason.

#include "FrameWatch.h"
#include "RelayLimits.h"

#include <QHash>
#include <QObject>

class QSocketNotifier;
class QTimer;

namespace korvane {

class RelayLobby : public QObject
{
    Q_OBJECT
public:
    explicit RelayLobby(const RelayLimits &limits);
    ~RelayLobby() override;

    //! Takes a connected socket descriptor (called on the lobby's thread).
    void admit(qintptr descriptor, const QString &peer, const QString &address);

signals:
    //! The peer has sent its first whole message (or something the host must refuse): the
    //! descriptor and what was read so far pass to the caller, who owns the descriptor now.
    void proven(qintptr descriptor, const QString &peer, const QString &address,
                const QByteArray &held, const korvane::FrameWatch &watch);
    //! The peer left or was closed; its descriptor is closed.
    void gone(const QString &address);

private:
    struct Waiting
    {
        QString peer;
        QString address;
        QSocketNotifier *notifier = nullptr;
        QTimer *deadline = nullptr;
        FrameWatch watch;
        QByteArray held;
    };

    void readable(qintptr descriptor);
    void timedOut(qintptr descriptor);
    void release(qintptr descriptor);
    void drop(qintptr descriptor);

    RelayLimits m_limits;
    QHash<qintptr, Waiting> m_waiting;
};

} // namespace korvane

Q_DECLARE_METATYPE(korvane::FrameWatch)
