#include "ShellMessages.h"

#include "InstanceNames.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <array>

namespace korvane {

namespace {

const QString kInterface = QStringLiteral("org.korvane.Shell");

constexpr std::array kMessages = {ShellMessages::KorvaneMin, ShellMessages::KorvaneRestore,
                                  ShellMessages::KorvaneClose};

//! A signal argument as a whole number; false for anything else.
bool toWord(const QVariant &value, qint64 *word)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *word = value.toLongLong();
        return true;
    default:
        return false;
    }
}

} // namespace

ShellMessages::ShellMessages(const QString &binDir, QObject *parent)
    : QObject(parent), m_path(shellMessagePath(binDir))
{}

ShellMessages::~ShellMessages()
{
    if (!m_registered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    for (Message message : kMessages)
        bus.disconnect(QString(), m_path, kInterface, messageName(message), this,
                       SLOT(onBusSignal(QDBusMessage)));
}

QString ShellMessages::messageName(Message message)
{
    switch (message) {
    case KorvaneMin:
        return QStringLiteral("SM_KorvaneMin");
    case KorvaneRestore:
        return QStringLiteral("SM_KorvaneRestore");
    case KorvaneClose:
        break;
    }
    return QStringLiteral("SM_KorvaneClose");
}

bool ShellMessages::registerMessages(QString *error)
{
    if (m_registered)
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error)
            *error =
                QStringLiteral("D-Bus session bus unreachable: %1").arg(bus.lastError().message());
        return false;
    }
    for (Message message : kMessages) {
        if (!bus.connect(QString(), m_path, kInterface, messageName(message), this,
                         SLOT(onBusSignal(QDBusMessage)))) {
            if (error)
                *error = QStringLiteral("cannot receive %1: %2")
                             .arg(messageName(message), bus.lastError().message());
            return false;
        }
    }
    m_registered = true;
    return true;
}

bool ShellMessages::broadcast(Message message, qint64 wParam, qint64 lParam) const
{
    if (!m_registered)
        return false;
    QDBusMessage signal = QDBusMessage::createSignal(m_path, kInterface, messageName(message));
    signal << wParam << lParam;
    return QDBusConnection::sessionBus().send(signal);
}

void ShellMessages::onBusSignal(const QDBusMessage &signal)
{
    // Anyone on the bus may send on this path: a signal that does not carry two whole
    // numbers is not one of ours and is dropped.
    const QVariantList args = signal.arguments();
    qint64 wParam = 0;
    qint64 lParam = 0;
    if (args.size() != 2 || !toWord(args.at(0), &wParam) || !toWord(args.at(1), &lParam))
        return;
    for (Message message : kMessages) {
        if (signal.member() == messageName(message)) {
            emit received(message, wParam, lParam);
            return;
        }
    }
}

} // namespace korvane
