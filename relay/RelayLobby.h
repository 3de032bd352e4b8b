#pragma once
//! Where a new peer waits, on a thread of its own, until it has sent its first whole message:
//! a peer that connects and says nothing, or sends half a message, never reaches the module
//! host and never weighs on the event loop that serves the clients. A peer that misses the
//! opening deadline is closed with a logged reason.
//!
//! The first byte tells the two kinds of client apart: an encrypted one opens with a TLS
//! handshake record (0x16), a plain one with the length of its first message (at most 64 MiB,
//! so its first byte is below 0x05). Encrypted peers finish their handshake here too.

#include "FrameWatch.h"
#include "RelayLimits.h"

#include <QHash>
#include <QObject>
#include <QSslConfiguration>

class QSocketNotifier;
class QSslSocket;
class QTcpSocket;
class QThread;
class QTimer;

namespace korvane {

//! What the relay offers: TLS with its certificate, and whether plain peers are let in.
struct RelayTls
{
    QSslConfiguration configuration; //!< null: no certificate, plain peers only
    bool allowPlain = true;

    bool enabled() const { return !configuration.isNull(); }
};

class RelayLobby : public QObject
{
    Q_OBJECT
public:
    //! Proven peers' sockets are handed to `target`, the thread of the links.
    RelayLobby(const RelayLimits &limits, const RelayTls &tls, QThread *target);
    ~RelayLobby() override;

    //! Takes a connected socket descriptor (called on the lobby's thread).
    void admit(qintptr descriptor, const QString &peer, const QString &address);

signals:
    //! The peer has sent its first whole message (or something the host must refuse): its
    //! socket, now living on the target thread and owned by the receiver, and what was read.
    void proven(QTcpSocket *socket, const QString &peer, const QString &address,
                const QByteArray &held, const korvane::FrameWatch &watch);
    //! The peer left or was closed.
    void gone(const QString &address);

private:
    struct Waiting
    {
        QString peer;
        QString address;
        QSocketNotifier *notifier = nullptr; // plain bytes, before the socket is made
        QSslSocket *ssl = nullptr;           // an encrypted peer
        QTimer *deadline = nullptr;
        FrameWatch watch;
        QByteArray held;
        bool leaving = false; // handed over once the current signal is done
    };

    void readable(qintptr descriptor);
    bool readPlain(qintptr descriptor, Waiting &waiting);
    void startEncryption(qintptr descriptor, Waiting &waiting);
    void readEncrypted(qintptr descriptor);
    void take(Waiting &waiting, const QByteArray &bytes);
    void handOver(qintptr descriptor);
    void refusePlain(qintptr descriptor);
    void timedOut(qintptr descriptor);
    Waiting release(qintptr descriptor);
    void drop(qintptr descriptor);

    RelayLimits m_limits;
    RelayTls m_tls;
    QThread *m_target;
    QHash<qintptr, Waiting> m_waiting;
};

} // namespace korvane

Q_DECLARE_METATYPE(korvane::FrameWatch)
