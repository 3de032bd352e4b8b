#include "ModuleConnection.h"

#include "ClassRegistry.h"
#include "Korvane_TLB.h"
#include "RequestCodec.h"

#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcModuleHost, "korvane.modulehost")

namespace korvane {

namespace {

constexpr QLatin1StringView kId("id");
constexpr QLatin1StringView kOp("op");
constexpr QLatin1StringView kOk("ok");
constexpr QLatin1StringView kError("error");

//! An answer that refuses: whatever was written of the answer so far is dropped.
void refuse(protocol::FrameWriter &answer, const QString &text)
{
    answer.take();
    answer.entry(kOk).append(false);
    answer.entry(kError).append(text);
}

} // namespace

ModuleConnection::ModuleConnection(quintptr descriptor,
                                   QHash<QString, ModuleHost::Factory> factories,
                                   QString registryDir)
    : m_descriptor(descriptor), m_factories(std::move(factories)),
      m_registryDir(std::move(registryDir))
{}

ModuleConnection::~ModuleConnection()
{
    m_module.reset();
}

void ModuleConnection::start()
{
    m_socket = new QLocalSocket(this);
    if (!m_socket->setSocketDescriptor(m_descriptor)) {
        qCWarning(lcModuleHost) << "cannot take over a connection:" << m_socket->errorString();
        end();
        return;
    }
    m_peer = QStringLiteral("connection %1").arg(m_descriptor);
    connect(m_socket, &QLocalSocket::readyRead, this, &ModuleConnection::readRequests);
    connect(m_socket, &QLocalSocket::disconnected, this, &ModuleConnection::end);
    readRequests();
}

void ModuleConnection::readRequests()
{
    const QByteArray answers = receive(m_socket->readAll());
    if (!answers.isEmpty() && m_socket->state() == QLocalSocket::ConnectedState)
        protocol::writeFrame(m_socket, answers);
    if (m_closing)
        m_socket->disconnectFromServer();
}

QByteArray ModuleConnection::receive(const QByteArray &bytes)
{
    QByteArray answers;
    if (m_closing)
        return answers;
    m_reader.append(bytes);
    for (;;) {
        protocol::Message request;
        QString error;
        switch (m_reader.next(&request, &error)) {
        case protocol::FrameReader::Status::NeedMore:
            return answers;
        case protocol::FrameReader::Status::Broken:
            m_closing = true;
            return answers + farewell(error);
        case protocol::FrameReader::Status::Message:
            answers += answer(request);
            break;
        }
    }
}

QByteArray ModuleConnection::farewell(const QString &reason)
{
    qCWarning(lcModuleHost).noquote() << m_peer << "closed: broken framing:" << reason;
    protocol::FrameWriter frame;
    frame.entry(kOk).append(false);
    frame.entry(kError).append(QStringLiteral("Broken message framing: ") + reason);
    return frame.take();
}

void ModuleConnection::end()
{
    if (m_module)
        qCInfo(lcModuleHost).noquote()
            << m_peer << "ended; its" << m_module->className() << "instance is released";
    m_module.reset();
    if (m_socket)
        m_socket->disconnect(this);
    thread()->quit();
}

QByteArray ModuleConnection::answer(const protocol::Message &request)
{
    protocol::FrameWriter frame;
    try {
        dispatch(request, frame);
        frame.entry(kOk).append(true);
    } catch (const ServerError &e) {
        refuse(frame, e.text());
    } catch (const std::exception &e) {
        qCWarning(lcModuleHost).noquote()
            << m_peer << request.value(kOp).toString() << "failed:" << e.what();
        refuse(frame, QString::fromUtf8(e.what()));
    } catch (...) {
        qCWarning(lcModuleHost).noquote()
            << m_peer << request.value(kOp).toString() << "failed with an unknown error";
        refuse(frame, QStringLiteral("Internal server error"));
    }
    if (request.contains(kId))
        frame.add(kId, request.value(kId));
    return frame.take();
}

void ModuleConnection::dispatch(const protocol::Message &message, protocol::FrameWriter &answer)
{
    const QString op = message.value(kOp).toString();
    tlb::Operation operation;
    if (!tlb::operationFromName(op, &operation))
        throw ServerError(QStringLiteral("Unknown operation: %1").arg(op));
    switch (operation) {
    case tlb::Operation::Open:
        return serve<OpenRequest>(message, answer);
    case tlb::Operation::ApplyUpdates:
        return serve<ApplyUpdatesRequest>(message, answer);
    case tlb::Operation::GetRecords:
        return serve<GetRecordsRequest>(message, answer);
    case tlb::Operation::DataRequest:
        return serve<DataRequest>(message, answer);
    case tlb::Operation::GetProviderNames:
        return serve<ProviderNamesRequest>(message, answer);
    case tlb::Operation::GetParams:
        return serve<ParamsRequest>(message, answer);
    case tlb::Operation::RowRequest:
        return serve<RowRequest>(message, answer);
    case tlb::Operation::Execute:
        return serve<ExecuteRequest>(message, answer);
    case tlb::Operation::Call:
        return serve<CallRequest>(message, answer);
    }
    throw ServerError(QStringLiteral("Unknown operation: %1").arg(op));
}

template <typename Request>
void ModuleConnection::serve(const protocol::Message &message, protocol::FrameWriter &answer)
{
    if (Request::operation != tlb::Operation::Open && !m_module)
        throw ServerError(QStringLiteral("No module class is open on this connection"));
    Request request;
    QString error;
    if (!codec::decode(message, &request, &error))
        throw ServerError(error);
    codec::encode(run(request), answer);
}

RemoteDataModule &ModuleConnection::module()
{
    return *m_module;
}

OpenAnswer ModuleConnection::run(const OpenRequest &request)
{
    if (m_module)
        throw ServerError(QStringLiteral("The connection already holds a %1 instance")
                              .arg(m_module->className()));
    const tlb::ClassDef *def = tlb::findClass(request.classKey);
    const auto factory = def ? m_factories.constFind(def->name.toLower()) : m_factories.constEnd();
    if (!def || factory == m_factories.constEnd())
        throw ServerError(QStringLiteral("Class not registered: %1").arg(request.classKey));
    if (!m_registryDir.isEmpty() && !isClassRegisteredForSockets(m_registryDir, def->classId))
        throw ServerError(QStringLiteral("Class %1 (%2) is not registered for socket connections")
                              .arg(def->progId, def->classId));
    m_module = (*factory)();
    if (!m_module)
        throw ServerError(QStringLiteral("Cannot create %1").arg(def->progId));
    m_module->setSession(request.session);
    m_peer += QLatin1Char(' ') + def->name;
    return OpenAnswer{def->name};
}

CallAnswer ModuleConnection::run(const CallRequest &request)
{
    CallAnswer answer;
    answer.result = module().call(request.method, request.args, &answer.out);
    return answer;
}

GetRecordsAnswer ModuleConnection::run(const GetRecordsRequest &request)
{
    return GetRecordsAnswer{module().getRecords(request)};
}

ApplyResult ModuleConnection::run(const ApplyUpdatesRequest &request)
{
    return module().applyUpdates(request.provider, request.delta, request.maxErrors);
}

ProviderNamesAnswer ModuleConnection::run(const ProviderNamesRequest &)
{
    return ProviderNamesAnswer{module().providerNames()};
}

ParamsAnswer ModuleConnection::run(const ParamsRequest &request)
{
    return ParamsAnswer{module().getParams(request.provider)};
}

void ModuleConnection::requireProvider(const QString &provider)
{
    if (!module().providerNames().contains(provider, Qt::CaseInsensitive))
        throw ServerError(QStringLiteral("Provider not exported: %1").arg(provider));
}

RowAnswer ModuleConnection::run(const RowRequest &request)
{
    // No provider of these modules refreshes single rows; a client reopens its data set.
    requireProvider(request.provider);
    throw ServerError(
        QStringLiteral("Provider %1 does not answer row requests").arg(request.provider));
}

DataAnswer ModuleConnection::run(const DataRequest &request)
{
    // No provider installs a data-request handler, so the answer carries no data.
    requireProvider(request.provider);
    return DataAnswer();
}

ExecuteAnswer ModuleConnection::run(const ExecuteRequest &request)
{
    module().execute(request.provider, request.commandText, request.params);
    return ExecuteAnswer();
}

} // namespace korvane
