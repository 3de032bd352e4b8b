#include "SocketRelay.h"

#include "Protocol.h"
#include "RelayLink.h"
#include "RelaySettings.h"

#include <QCborMap>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QTcpServer>

#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcRelay, "korvane.relay")

namespace korvane {

namespace {

//! Hands each accepted descriptor to the relay instead of making a socket of it.
class RelayServer : public QTcpServer
{
public:
    RelayServer(std::function<void(qintptr)> onConnection, QObject *parent)
        : QTcpServer(parent), m_onConnection(std::move(onConnection))
    {}

protected:
    void incomingConnection(qintptr descriptor) override { m_onConnection(descriptor); }

private:
    std::function<void(qintptr)> m_onConnection;
};

//! "address:port" of the peer of a connected descriptor, and the address alone.
QPair<QString, QString> peerOf(qintptr descriptor)
{
    sockaddr_storage storage{};
    socklen_t size = sizeof storage;
    if (::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&storage), &size) != 0)
        return {QStringLiteral("?"), QStringLiteral("?")};
    QHostAddress address(reinterpret_cast<const sockaddr *>(&storage));
    quint16 port = 0;
    if (storage.ss_family == AF_INET)
        port = ntohs(reinterpret_cast<const sockaddr_in *>(&storage)->sin_port);
    else if (storage.ss_family == AF_INET6)
        port = ntohs(reinterpret_cast<const sockaddr_in6 *>(&storage)->sin6_port);
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        bool mapped = false;
        const QHostAddress v4(address.toIPv4Address(&mapped));
        if (mapped)
            address = v4;
    }
    return {QStringLiteral("%1:%2").arg(address.toString()).arg(port), address.toString()};
}

} // namespace

SocketRelay::SocketRelay(const QString &hostSocketName, const RelayLimits &limits,
                         const RelayTls &tls, QObject *parent)
    : QObject(parent), m_hostSocketName(hostSocketName), m_limits(limits),
      m_server(new RelayServer([this](qintptr d) { incoming(d); }, this)),
      m_lobby(new RelayLobby(limits, tls, thread()))
{
    m_lobby->moveToThread(&m_lobbyThread);
    connect(m_lobby, &RelayLobby::proven, this, &SocketRelay::link);
    connect(m_lobby, &RelayLobby::gone, this, &SocketRelay::left);
    m_lobbyThread.setObjectName(QStringLiteral("relay lobby"));
    m_lobbyThread.start();
}

SocketRelay::~SocketRelay()
{
    // The lobby closes the peers still waiting on its own thread, where their notifiers live.
    RelayLobby *lobby = m_lobby;
    QMetaObject::invokeMethod(
        lobby, [lobby] { delete lobby; }, Qt::BlockingQueuedConnection);
    m_lobbyThread.quit();
    m_lobbyThread.wait();
}

bool SocketRelay::listen(quint16 port, QString *error)
{
    if (m_server->listen(QHostAddress::Any, port))
        return true;
    if (error)
        *error = bindFailureHelp(port, m_server->errorString());
    return false;
}

quint16 SocketRelay::port() const
{
    return m_server->serverPort();
}

void SocketRelay::incoming(qintptr descriptor)
{
    const auto [peer, address] = peerOf(descriptor);
    if (m_peerCount >= m_limits.maxConnections)
        return refuse(descriptor, peer,
                      QStringLiteral("%1 connections are open, the most allowed").arg(m_peerCount));
    if (m_peersByAddress.value(address) >= m_limits.maxConnectionsPerAddress)
        return refuse(descriptor, peer,
                      QStringLiteral("%1 connections from this address are open, the most allowed")
                          .arg(m_peersByAddress.value(address)));
    ++m_peerCount;
    ++m_peersByAddress[address];
    RelayLobby *lobby = m_lobby;
    QMetaObject::invokeMethod(lobby, [lobby, descriptor, peer = peer, address = address] {
        lobby->admit(descriptor, peer, address);
    });
}

void SocketRelay::refuse(qintptr descriptor, const QString &peer, const QString &reason)
{
    qCWarning(lcRelay).noquote() << peer << "refused:" << reason;
    QCborMap farewell;
    farewell.insert(QStringLiteral("ok"), false);
    farewell.insert(QStringLiteral("error"), QStringLiteral("服务器的连接已满，请稍后再试。"));
    // A fresh socket takes a small frame at once; a peer that cannot take it loses nothing.
    const QByteArray frame = protocol::encodeFrame(farewell);
    (void)::send(int(descriptor), frame.constData(), size_t(frame.size()),
                 MSG_DONTWAIT | MSG_NOSIGNAL);
    ::shutdown(int(descriptor), SHUT_WR);
    ::close(int(descriptor));
}

void SocketRelay::link(QTcpSocket *client, const QString &peer, const QString &address,
                       const QByteArray &held, const FrameWatch &watch)
{
    auto *link = new RelayLink(client, peer, held, watch, m_hostSocketName, m_limits, this);
    connect(link, &QObject::destroyed, this, [this, address] { left(address); });
}

void SocketRelay::left(const QString &address)
{
    --m_peerCount;
    if (--m_peersByAddress[address] <= 0)
        m_peersByAddress.remove(address);
}

} // namespace korvane
