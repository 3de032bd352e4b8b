#include "SocketRelay.h"

#include "Protocol.h"
#include "RelaySettings.h"

#include <QCborMap>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTcpServer>
#include <QTcpSocket>

Q_LOGGING_CATEGORY(lcRelay, "korvane.relay")

namespace korvane {

namespace {

//! One client and its module-host connection; ends both when either side ends.
class RelayLink : public QObject
{
public:
    RelayLink(QTcpSocket *client, const QString &hostSocketName, QObject *parent)
        : QObject(parent), m_client(client), m_host(new QLocalSocket(this))
    {
        m_client->setParent(this);
        // Requests and answers are single frames waiting on each other: sent at once.
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(m_client, &QTcpSocket::readyRead, this, &RelayLink::clientToHost);
        connect(m_client, &QTcpSocket::disconnected, this, &RelayLink::end);
        connect(m_host, &QLocalSocket::connected, this, &RelayLink::clientToHost);
        connect(m_host, &QLocalSocket::readyRead, this, &RelayLink::hostToClient);
        connect(m_host, &QLocalSocket::disconnected, this, &RelayLink::end);
        connect(m_host, &QLocalSocket::errorOccurred, this, &RelayLink::hostFailed);
        m_host->connectToServer(hostSocketName);
    }

private:
    void clientToHost()
    {
        if (m_host->state() == QLocalSocket::ConnectedState)
            m_host->write(m_client->readAll()); // until then the bytes wait in the client socket
    }

    void hostToClient() { m_client->write(m_host->readAll()); }

    void hostFailed(QLocalSocket::LocalSocketError error)
    {
        if (error == QLocalSocket::PeerClosedError || m_ending)
            return;
        qCWarning(lcRelay).noquote() << "cannot reach the module host:" << m_host->errorString();
        if (m_host->state() != QLocalSocket::ConnectedState) {
            // The client is told in its own protocol why nobody answers.
            QCborMap farewell;
            farewell.insert(QStringLiteral("ok"), false);
            farewell.insert(QStringLiteral("error"),
                            QStringLiteral("The Korvane server is not running (%1)")
                                .arg(m_host->errorString()));
            protocol::writeMessage(m_client, farewell);
        }
        end();
    }

    void end()
    {
        if (m_ending)
            return;
        m_ending = true;
        if (m_host->state() == QLocalSocket::ConnectedState)
            m_host->write(m_client->readAll());
        if (m_client->state() == QAbstractSocket::ConnectedState && m_host->isOpen())
            m_client->write(m_host->readAll());
        m_host->disconnectFromServer();
        // The client socket finishes writing what it holds before it closes; the link goes after
        // it.
        connect(m_client, &QAbstractSocket::stateChanged, this,
                [this](QAbstractSocket::SocketState state) {
                    if (state == QAbstractSocket::UnconnectedState)
                        deleteLater();
                });
        m_client->disconnectFromHost();
        if (m_client->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    }

    QTcpSocket *m_client;
    QLocalSocket *m_host;
    bool m_ending = false;
};

} // namespace

SocketRelay::SocketRelay(const QString &hostSocketName, QObject *parent)
    : QObject(parent), m_hostSocketName(hostSocketName), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SocketRelay::acceptClients);
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

int SocketRelay::linkCount() const
{
    return m_linkCount;
}

void SocketRelay::acceptClients()
{
    while (QTcpSocket *client = m_server->nextPendingConnection()) {
        auto *link = new RelayLink(client, m_hostSocketName, this);
        ++m_linkCount;
        connect(link, &QObject::destroyed, this, [this] { --m_linkCount; });
    }
}

} // namespace korvane
