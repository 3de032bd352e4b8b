#pragma once
//! One client of the relay and its connection to the module host, made once the client has
//! sent its first whole message (RelayLobby). A message that does not arrive within its
//! deadline (RelayLimits) closes the client with a logged reason. Either side ending ends both.

#include "FrameWatch.h"
#include "RelayLimits.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QLocalSocket;
class QTcpSocket;
#include <QByteArray>

namespace korvane {

class RelayLink : public QObject
{
public:
    //! Takes over the client's socket (plain or encrypted) with what was read from it so far.
    RelayLink(QTcpSocket *client, const QString &peer, const QByteArray &held,
              const FrameWatch &watch, const QString &hostSocketName, const RelayLimits &limits,
              QObject *parent);

    QString peer() const { return m_peer; }

private:
    void clientToHost();
    void hostConnected();
    void hostToClient();
    void hostFailed();
    void watchDeadline();
    void deadlinePassed();
    void end();

    QTcpSocket *m_client;
    QLocalSocket *m_host;
    RelayLimits m_limits;
    QString m_peer;
    FrameWatch m_watch;
    QByteArray m_held; // what the client sent before the host answered the connection
    bool m_ending = false;
    QTimer m_deadline;
    QElapsedTimer m_frameClock; // since the message under way began
    qint64 m_timedFrame = -1;   // the index of that message
};

} // namespace korvane
