#include "RelayLobby.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcRelay)

namespace korvane {

namespace {

//! Past this much held, the bytes go on to the host as they come, so that a peer announcing a
//! huge first message cannot make the relay hold it.
constexpr qint64 MaxHeld = 64 * 1024;

} // namespace

RelayLobby::RelayLobby(const RelayLimits &limits) : m_limits(limits)
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
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(int(descriptor), buffer, sizeof buffer);
        if (got > 0) {
            const QByteArray bytes(buffer, qsizetype(got));
            it->watch.feed(bytes);
            it->held += bytes;
            if (it->held.size() > MaxHeld)
                break;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        drop(descriptor); // the peer closed, or the socket failed
        return;
    }
    // Broken framing goes to the host too, which tells the client why it is closed.
    if (it->watch.frames() > 0 || it->watch.broken() || it->held.size() > MaxHeld) {
        const Waiting waiting = *it;
        release(descriptor);
        emit proven(descriptor, waiting.peer, waiting.address, waiting.held, waiting.watch);
    }
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

void RelayLobby::release(qintptr descriptor)
{
    const Waiting waiting = m_waiting.take(descriptor);
    delete waiting.notifier;
    delete waiting.deadline;
}

void RelayLobby::drop(qintptr descriptor)
{
    const QString address = m_waiting.value(descriptor).address;
    release(descriptor);
    ::close(int(descriptor));
    emit gone(address);
}

} // namespace korvane
