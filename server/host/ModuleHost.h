#pragma once
//! The module host: accepts connections on a local socket (from scktsrvr), creates one module
//! instance per connection on its own thread, and answers the connection's requests with it.
//! The instance lives exactly as long as its connection.

#include "RemoteDataModule.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class QThread;

namespace korvane {

class ModuleHostServer;

class ModuleHost : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<RemoteDataModule>()>;

    explicit ModuleHost(QObject *parent = nullptr);
    ~ModuleHost() override; // ends every connection; their instances die on their own threads

    //! Makes a class of the type library available ("BaseRDM", ...). The factory runs on
    //! the connection's thread. Register every class before listen().
    void registerClass(const QString &className, Factory factory);

    //! With a program folder set, a class is created only when its registration there
    //! carries Sockets=1 (connections come through scktsrvr).
    void setRegistryDir(const QString &binDir) { m_registryDir = binDir; }

    //! Listens on the local socket of that name, replacing a stale one; false with the
    //! reason in *error when it cannot.
    bool listen(const QString &socketName, QString *error);
    void close();

    int connectionCount() const { return int(m_threads.size()); }

signals:
    void connectionOpened();
    void connectionClosed();

private:
    void startConnection(quintptr descriptor);

    ModuleHostServer *m_server = nullptr;
    QHash<QString, Factory> m_factories; // by lower-cased class name
    QString m_registryDir;
    QSet<QThread *> m_threads;
};

} // namespace korvane
