#include "ModuleHost.h"

#include "ModuleConnection.h"

#include <QLocalServer>
#include <QThread>

namespace korvane {

//! Hands each accepted socket descriptor to the host, which gives it its own thread.
class ModuleHostServer : public QLocalServer
{
public:
    ModuleHostServer(std::function<void(quintptr)> onConnection, QObject *parent)
        : QLocalServer(parent), m_onConnection(std::move(onConnection))
    {}

protected:
    void incomingConnection(quintptr descriptor) override { m_onConnection(descriptor); }

private:
    std::function<void(quintptr)> m_onConnection;
};

ModuleHost::ModuleHost(QObject *parent) : QObject(parent) {}

ModuleHost::~ModuleHost()
{
    close();
    // Ending a thread's event loop deletes its connection, and with it the module instance,
    // on that thread.
    const QSet<QThread *> threads = m_threads;
    for (QThread *thread : threads) {
        thread->quit();
        thread->wait();
    }
}

void ModuleHost::registerClass(const QString &className, Factory factory)
{
    m_factories.insert(className.toLower(), std::move(factory));
}

bool ModuleHost::listen(const QString &socketName, QString *error)
{
    close();
    m_server = new ModuleHostServer([this](quintptr d) { startConnection(d); }, this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName);
    if (m_server->listen(socketName))
        return true;
    if (error)
        *error = QStringLiteral("Cannot listen on %1: %2").arg(socketName, m_server->errorString());
    delete m_server;
    m_server = nullptr;
    return false;
}

void ModuleHost::close()
{
    if (!m_server)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
}

void ModuleHost::startConnection(quintptr descriptor)
{
    auto *thread = new QThread(this);
    auto *connection = new ModuleConnection(descriptor, m_factories, m_registryDir);
    connection->moveToThread(thread);
    connect(thread, &QThread::started, connection, &ModuleConnection::start);
    connect(thread, &QThread::finished, connection, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, thread] {
        m_threads.remove(thread);
        thread->deleteLater();
        emit connectionClosed();
    });
    m_threads.insert(thread);
    thread->start();
    emit connectionOpened();
}

} // namespace korvane
