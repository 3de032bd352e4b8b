#pragma once
//! One client connection of the module host, living on its own thread: reads requests,
//! runs them on the connection's module instance and writes the answers.

#include "ModuleHost.h"
#include "Protocol.h"

#include <QCborMap>
#include <QObject>

#include <memory>

class QLocalSocket;

namespace korvane {

class ModuleConnection : public QObject
{
public:
    ModuleConnection(quintptr descriptor, QHash<QString, ModuleHost::Factory> factories,
                     QString registryDir);
    ~ModuleConnection() override; // the instance dies here, rolling back anything half done

    //! Takes over the socket; runs on the connection's thread.
    void start();

    //! The answer to one request; never throws.
    QCborMap answer(const QCborMap &request);

private:
    using Handler = QCborMap (ModuleConnection::*)(const QCborMap &);
    struct Operation
    {
        const char *name;
        Handler handler;
        bool needsModule;
    };
    static const Operation s_operations[];

    void readRequests();
    void breakConnection(const QString &reason);
    void end();
    RemoteDataModule &module();

    QCborMap open(const QCborMap &request);
    QCborMap callMethod(const QCborMap &request);
    QCborMap getRecords(const QCborMap &request);
    QCborMap applyUpdates(const QCborMap &request);
    QCborMap getProviderNames(const QCborMap &request);
    QCborMap getParams(const QCborMap &request);
    QCborMap rowRequest(const QCborMap &request);
    QCborMap dataRequest(const QCborMap &request);
    QCborMap execute(const QCborMap &request);
    void requireProvider(const QString &provider);

    quintptr m_descriptor;
    QHash<QString, ModuleHost::Factory> m_factories;
    QString m_registryDir;
    QLocalSocket *m_socket = nullptr;
    protocol::FrameReader m_reader;
    std::unique_ptr<RemoteDataModule> m_module;
    QString m_peer; // for log lines
};

} // namespace korvane
