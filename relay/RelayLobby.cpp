#include "RelayLobby.h"

#include "Protocol.h"

#include <QCborMap>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QSslSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcRelay)

namespace korvane {

namespace {

//! Past this much held, the bytes go on to the host as they come, so that a peer announcing a
//! huge first message cannot make the relay hold it.
constexpr qint64 MaxHeld = 64 * 1024;
constexpr char TlsHandshakeRecord = 0x16;

} // namespace

RelayLobby::RelayLobby(const RelayLimits &limits, const RelayTls &tls, QThread *target)
    : m_limits(limits), m_tls(tls), m_target(target)
{
    qRegisterMetaType<korvane::FrameWatch>();
}

RelayLobby::~RelayLobby()
{
    const QList<qintptr> descriptors = m_waiting.keys();
    for (qintptr descriptor : descriptors)
        drop(descriptor);
}

void RelayLobby::admit(qintptr descriptor, const QString &peer, const QString &address)
{
    ::fcntl(int(descriptor), F_SETFL, ::fcntl(int(descriptor), F_GETFL) | O_NONBLOCK);
    Waiting &waiting = m_waiting[descriptor];
    waiting.peer = peer;
    waiting.address = address;
    waiting.notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(waiting.notifier, &QSocketNotifier::activated, this,
            [this, descriptor] { readable(descriptor); });
    waiting.deadline = new QTimer(this);
    waiting.deadline->setSingleShot(true);
    connect(waiting.deadline, &QTimer::timeout, this, [this, descriptor] { timedOut(descriptor); });
    waiting.deadline->start(m_limits.openTimeoutMs);
}

void RelayLobby::readable(qintptr descriptor)
{
    auto it = m_waiting.find(descriptor);
    if (it == m_waiting.end())
        return;
    if (it->held.isEmpty()) {
        char first = 0;
        const ssize_t got = ::recv(int(descriptor), &first, 1, MSG_PEEK);
        if (got == 1 && first == TlsHandshakeRecord && m_tls.enabled())
            return startEncryption(descriptor, *it);
        if (got == 1 && !m_tls.allowPlain)
            return refusePlain(descriptor);
    }
    if (readPlain(descriptor, *it))
        handOver(descriptor);
}

//! Reads what the peer sent; true once it has proved itself.
bool RelayLobby::readPlain(qintptr descriptor, Waiting &waiting)
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(int(descriptor), buffer, sizeof buffer);
        if (got > 0) {
            take(waiting, QByteArray(buffer, qsizetype(got)));
            if (waiting.held.size() > MaxHeld)
                break;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        drop(descriptor); // the peer closed, or the socket failed
        return false;
    }
    // Broken framing goes to the host too, which tells the client why it is closed.
    return waiting.watch.frames() > 0 || waiting.watch.broken() || waiting.held.size() > MaxHeld;
}

void RelayLobby::take(Waiting &waiting, const QByteArray &bytes)
{
    waiting.watch.feed(bytes);
    waiting.held += bytes;
}

void RelayLobby::startEncryption(qintptr descriptor, Waiting &waiting)
{
    waiting.notifier->setEnabled(false);
    waiting.notifier->deleteLater(); // it is the sender of the signal being handled
    waiting.notifier = nullptr;
    waiting.ssl = new QSslSocket(this);
    QSslSocket *ssl = waiting.ssl;
    if (!ssl->setSocketDescriptor(descriptor)) {
        drop(descriptor);
        return;
    }
    ssl->setSslConfiguration(m_tls.configuration);
    connect(ssl, &QSslSocket::readyRead, this, [this, descriptor] { readEncrypted(descriptor); });
    connect(ssl, &QSslSocket::disconnected, this, [this, descriptor] { drop(descriptor); });
    connect(ssl, &QSslSocket::errorOccurred, this, [this, descriptor, ssl] {
        if (ssl->error() != QAbstractSocket::RemoteHostClosedError)
            qCWarning(lcRelay).noquote() << m_waiting.value(descriptor).peer
                                         << "closed: encryption failed:" << ssl->errorString();
        drop(descriptor);
    });
    ssl->startServerEncryption();
}

void RelayLobby::readEncrypted(qintptr descriptor)
{
    auto it = m_waiting.find(descriptor);
    if (it == m_waiting.end() || !it->ssl || it->leaving)
        return;
    take(*it, it->ssl->readAll());
    if (it->watch.frames() > 0 || it->watch.broken() || it->held.size() > MaxHeld) {
        // The socket moves to the links' thread once it is out of its own signal; what
        // arrives meanwhile waits in it for the link.
        it->leaving = true;
        QMetaObject::invokeMethod(this, [this, descriptor] { handOver(descriptor); },
                                  Qt::QueuedConnection);
    }
}

void RelayLobby::handOver(qintptr descriptor)
{
    if (!m_waiting.contains(descriptor))
        return; // it left meanwhile
    Waiting waiting = release(descriptor);
    QTcpSocket *socket = waiting.ssl;
    if (socket) {
        socket->disconnect(this);
        socket->setParent(nullptr);
    } else {
        socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            ::close(int(descriptor));
            emit gone(waiting.address);
            return;
        }
    }
    socket->moveToThread(m_target);
    emit proven(socket, waiting.peer, waiting.address, waiting.held, waiting.watch);
}

void RelayLobby::refusePlain(qintptr descriptor)
{
    qCWarning(lcRelay).noquote() << m_waiting.value(descriptor).peer
                                 << "refused: plain connections are not allowed";
    QCborMap farewell;
    farewell.insert(QStringLiteral("ok"), false);
    farewell.insert(QStringLiteral("error"),
                    QStringLiteral("此服务器只接受加密连接，请在客户端的 Plant.ini 中打开加密"
                                   "（[KORVANEQUV] Tls=1）。"));
    const QByteArray frame = protocol::encodeFrame(farewell);
    (void)::send(int(descriptor), frame.constData(), size_t(frame.size()),
                 MSG_DONTWAIT | MSG_NOSIGNAL);
    ::shutdown(int(descriptor), SHUT_WR);
    drop(descriptor);
}

void RelayLobby::timedOut(qintptr descriptor)
{
    const auto it = m_waiting.constFind(descriptor);
    if (it == m_waiting.constEnd())
        return;
    qCWarning(lcRelay).noquote() << it->peer << "closed: no whole message within"
                                 << m_limits.openTimeoutMs << "ms of connecting";
    drop(descriptor);
}

RelayLobby::Waiting RelayLobby::release(qintptr descriptor)
{
    Waiting waiting = m_waiting.take(descriptor);
    // Either may be the sender of the signal being handled.
    if (waiting.notifier) {
        waiting.notifier->setEnabled(false);
        waiting.notifier->deleteLater();
    }
    if (waiting.deadline) {
        waiting.deadline->stop();
        waiting.deadline->deleteLater();
    }
    waiting.notifier = nullptr;
    waiting.deadline = nullptr;
    return waiting;
}

void RelayLobby::drop(qintptr descriptor)
{
    if (!m_waiting.contains(descriptor))
        return;
    Waiting waiting = release(descriptor);
    if (waiting.ssl) {
        waiting.ssl->disconnect(this);
        waiting.ssl->abort(); // closes the descriptor
        waiting.ssl->deleteLater();
    } else {
        ::close(int(descriptor));
    }
    emit gone(waiting.address);
}

} // namespace korvane
