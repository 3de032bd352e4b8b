#pragma once
//! One client connection of the module host, living on its own thread: reads requests,
//! runs them on the connection's module instance and writes the answers.

#include "ModuleHost.h"
#include "Protocol.h"
#include "Requests.h"

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

    //! Takes bytes from the peer and gives the frames answering the requests they complete.
    //! Broken framing is answered with a last frame saying why; then closing() is true and
    //! nothing more is read.
    QByteArray receive(const QByteArray &bytes);
    bool closing() const { return m_closing; }

    //! The frame answering one request; never throws.
    QByteArray answer(const protocol::Message &request);

private:
    void readRequests();
    QByteArray farewell(const QString &reason);
    void end();
    RemoteDataModule &module();

    void dispatch(const protocol::Message &message, protocol::FrameWriter &answer);
    //! Decodes the request, runs it and writes its answer; throws ServerError.
    template <typename Request>
    void serve(const protocol::Message &message, protocol::FrameWriter &answer);

    OpenAnswer run(const OpenRequest &request);
    CallAnswer run(const CallRequest &request);
    GetRecordsAnswer run(const GetRecordsRequest &request);
    ApplyResult run(const ApplyUpdatesRequest &request);
    ProviderNamesAnswer run(const ProviderNamesRequest &request);
    ParamsAnswer run(const ParamsRequest &request);
    RowAnswer run(const RowRequest &request);
    DataAnswer run(const DataRequest &request);
    ExecuteAnswer run(const ExecuteRequest &request);
    void requireProvider(const QString &provider);

    quintptr m_descriptor;
    QHash<QString, ModuleHost::Factory> m_factories;
    QString m_registryDir;
    QLocalSocket *m_socket = nullptr;
    protocol::FrameReader m_reader;
    std::unique_ptr<RemoteDataModule> m_module;
    QString m_peer; // for log lines
    bool m_closing = false;
};

} // namespace korvane
