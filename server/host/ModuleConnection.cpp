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

const QString kId = QStringLiteral("id");
const QString kOp = QStringLiteral("op");
const QString kOk = QStringLiteral("ok");
const QString kError = QStringLiteral("error");

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
    m_reader.append(m_socket->readAll());
    for (;;) {
        QCborMap request;
        QString error;
        switch (m_reader.next(&request, &error)) {
        case protocol::FrameReader::Status::NeedMore:
            return;
        case protocol::FrameReader::Status::Broken:
            breakConnection(error);
            return;
        case protocol::FrameReader::Status::Message:
            if (m_socket->state() != QLocalSocket::ConnectedState)
                return;
            protocol::writeMessage(m_socket, answer(request));
            break;
        }
    }
}

void ModuleConnection::breakConnection(const QString &reason)
{
    qCWarning(lcModuleHost).noquote() << m_peer << "closed: broken framing:" << reason;
    QCborMap farewell;
    farewell.insert(kOk, false);
    farewell.insert(kError, QStringLiteral("Broken message framing: ") + reason);
    protocol::writeMessage(m_socket, farewell);
    m_socket->disconnectFromServer();
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

QCborMap ModuleConnection::answer(const QCborMap &request)
{
    QCborMap result;
    try {
        result = dispatch(request);
        result.insert(kOk, true);
    } catch (const ServerError &e) {
        result = QCborMap{{kOk, false}, {kError, e.text()}};
    } catch (const std::exception &e) {
        qCWarning(lcModuleHost).noquote()
            << m_peer << request.value(kOp).toString() << "failed:" << e.what();
        result = QCborMap{{kOk, false}, {kError, QString::fromUtf8(e.what())}};
    } catch (...) {
        qCWarning(lcModuleHost).noquote()
            << m_peer << request.value(kOp).toString() << "failed with an unknown error";
        result = QCborMap{{kOk, false}, {kError, QStringLiteral("Internal server error")}};
    }
    if (request.contains(kId))
        result.insert(kId, request.value(kId));
    return result;
}

QCborMap ModuleConnection::dispatch(const QCborMap &message)
{
    const QString op = message.value(kOp).toString();
    tlb::Operation operation;
    if (!tlb::operationFromName(op, &operation))
        throw ServerError(QStringLiteral("Unknown operation: %1").arg(op));
    switch (operation) {
    case tlb::Operation::Open:
        return serve<OpenRequest>(message);
    case tlb::Operation::ApplyUpdates:
        return serve<ApplyUpdatesRequest>(message);
    case tlb::Operation::GetRecords:
        return serve<GetRecordsRequest>(message);
    case tlb::Operation::DataRequest:
        return serve<DataRequest>(message);
    case tlb::Operation::GetProviderNames:
        return serve<ProviderNamesRequest>(message);
    case tlb::Operation::GetParams:
        return serve<ParamsRequest>(message);
    case tlb::Operation::RowRequest:
        return serve<RowRequest>(message);
    case tlb::Operation::Execute:
        return serve<ExecuteRequest>(message);
    case tlb::Operation::Call:
        return serve<CallRequest>(message);
    }
    throw ServerError(QStringLiteral("Unknown operation: %1").arg(op));
}

template <typename Request> QCborMap ModuleConnection::serve(const QCborMap &message)
{
    if (Request::operation != tlb::Operation::Open && !m_module)
        throw ServerError(QStringLiteral("No module class is open on this connection"));
    Request request;
    QString error;
    if (!codec::decode(message, &request, &error))
        throw ServerError(error);
    return codec::encode(run(request));
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
