#include "RelayLink.h"

#include "Protocol.h"

#include <QCborMap>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTcpSocket>

#include <limits>

Q_DECLARE_LOGGING_CATEGORY(lcRelay)

namespace korvane {

RelayLink::RelayLink(QTcpSocket *client, const QString &peer, const QByteArray &held,
                     const FrameWatch &watch, const QString &hostSocketName,
                     const RelayLimits &limits, QObject *parent)
    : QObject(parent), m_client(client), m_host(new QLocalSocket(this)), m_limits(limits),
      m_peer(peer), m_watch(watch), m_held(held)
{
    m_client->setParent(this);
    m_client->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_client, &QTcpSocket::readyRead, this, &RelayLink::clientToHost);
    connect(m_client, &QTcpSocket::disconnected, this, &RelayLink::end);
    connect(m_host, &QLocalSocket::connected, this, &RelayLink::hostConnected);
    connect(m_host, &QLocalSocket::readyRead, this, &RelayLink::hostToClient);
    connect(m_host, &QLocalSocket::disconnected, this, &RelayLink::end);
    connect(m_host, &QLocalSocket::errorOccurred, this, &RelayLink::hostFailed);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &RelayLink::deadlinePassed);
    watchDeadline();
    m_host->connectToServer(hostSocketName);
}

void RelayLink::clientToHost()
{
    const QByteArray bytes = m_client->readAll();
    if (!m_watch.broken())
        m_watch.feed(bytes);
    if (m_host->state() == QLocalSocket::ConnectedState)
        m_host->write(bytes);
    else
        m_held += bytes;
    watchDeadline();
}

void RelayLink::hostConnected()
{
    m_host->write(m_held);
    m_held.clear();
    clientToHost(); // what arrived meanwhile
}

void RelayLink::hostToClient()
{
    m_client->write(m_host->readAll());
}

void RelayLink::watchDeadline()
{
    if (m_watch.broken() || m_ending) {
        m_deadline.stop();
        return;
    }
    if (!m_watch.inFrame()) {
        m_deadline.stop(); // idle between messages: no deadline
        return;
    }
    if (m_timedFrame != m_watch.frames()) {
        m_timedFrame = m_watch.frames();
        m_frameClock.start();
    }
    const qint64 left = m_limits.frameDeadlineMs(m_watch.frameSize()) - m_frameClock.elapsed();
    m_deadline.start(int(qBound<qint64>(0, left, qint64(std::numeric_limits<int>::max()))));
}

void RelayLink::deadlinePassed()
{
    qCWarning(lcRelay).noquote() << m_peer << "closed: a message of" << m_watch.frameSize()
                                 << "bytes was not finished within"
                                 << m_limits.frameDeadlineMs(m_watch.frameSize()) << "ms";
    m_held.clear();
    m_client->abort();
    end();
}

void RelayLink::hostFailed()
{
    if (m_host->error() == QLocalSocket::PeerClosedError || m_ending)
        return;
    qCWarning(lcRelay).noquote() << "cannot reach the module host:" << m_host->errorString();
    if (m_host->state() != QLocalSocket::ConnectedState) {
        // The client is told in its own protocol why nobody answers.
        QCborMap farewell;
        farewell.insert(QStringLiteral("ok"), false);
        farewell.insert(
            QStringLiteral("error"),
            QStringLiteral("The Korvane server is not running (%1)").arg(m_host->errorString()));
        protocol::writeMessage(m_client, farewell);
    }
    end();
}

void RelayLink::end()
{
    if (m_ending)
        return;
    m_ending = true;
    m_deadline.stop();
    if (m_host->state() == QLocalSocket::ConnectedState && m_client->isOpen())
        m_host->write(m_client->readAll());
    if (m_client->state() == QAbstractSocket::ConnectedState && m_host->isOpen())
        m_client->write(m_host->readAll());
    m_host->disconnectFromServer();
    // The client socket finishes writing what it holds before it closes; the link goes after it.
    connect(m_client, &QAbstractSocket::stateChanged, this,
            [this](QAbstractSocket::SocketState state) {
                if (state == QAbstractSocket::UnconnectedState)
                    deleteLater();
            });
    m_client->disconnectFromHost();
    if (m_client->state() == QAbstractSocket::UnconnectedState)
        deleteLater();
}

} // namespace korvane
