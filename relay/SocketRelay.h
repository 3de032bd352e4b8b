#pragma once
//! The socket relay: accepts client connections on a TCP port and passes each one, byte for
//! byte in both directions, to its own connection to the module host's local socket. Peers
//! past the connection caps are refused at once; a new peer waits in the lobby until it has
//! sent a whole message, and stuck peers are closed at their deadlines (RelayLimits).

#include "RelayLimits.h"
#include "RelayLobby.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QThread>

class QTcpServer;
class QTcpSocket;

namespace korvane {

class SocketRelay : public QObject
{
    Q_OBJECT
public:
    explicit SocketRelay(const QString &hostSocketName, const RelayLimits &limits = {},
                         const RelayTls &tls = {}, QObject *parent = nullptr);
    ~SocketRelay() override;

    //! Listens on every address; false with the operator's help text in *error.
    bool listen(quint16 port, QString *error);
    quint16 port() const;
    //! Peers connected now, waiting in the lobby or linked to the host.
    int linkCount() const { return m_peerCount; }

private:
    void incoming(qintptr descriptor);
    void refuse(qintptr descriptor, const QString &address, const QString &reason);
    void link(QTcpSocket *client, const QString &peer, const QString &address,
              const QByteArray &held, const FrameWatch &watch);
    void left(const QString &address);

    QString m_hostSocketName;
    RelayLimits m_limits;
    QTcpServer *m_server = nullptr;
    QThread m_lobbyThread;
    RelayLobby *m_lobby = nullptr; // lives on m_lobbyThread
    int m_peerCount = 0;
    QHash<QString, int> m_peersByAddress;
};

} // namespace korvane
