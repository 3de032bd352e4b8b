#include "ModuleConnection.h"

#include "ClassRegistry.h"
#include "Korvane_TLB.h"
#include "PacketCodec.h"

#include <QCborArray>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>

#include <cmath>

Q_LOGGING_CATEGORY(lcModuleHost, "korvane.modulehost")

namespace korvane {

namespace {

const QString kId = QStringLiteral("id");
const QString kOp = QStringLiteral("op");
const QString kOk = QStringLiteral("ok");
const QString kError = QStringLiteral("error");
const QString kProvider = QStringLiteral("provider");

QString text(const QCborMap &request, const QString &key, bool required = true)
{
    const QCborValue v = request.value(key);
    if (v.isString())
        return v.toString();
    if (!required && (v.isUndefined() || v.isNull()))
        return QString();
    throw ServerError(QStringLiteral("\"%1\" must be text").arg(key));
}

int integer(const QCborMap &request, const QString &key, int fallback)
{
    const QCborValue v = request.value(key);
    if (v.isUndefined() || v.isNull())
        return fallback;
    if (!v.isInteger() || v.toInteger() < std::numeric_limits<int>::min() ||
        v.toInteger() > std::numeric_limits<int>::max())
        throw ServerError(QStringLiteral("\"%1\" must be a 32-bit integer").arg(key));
    return int(v.toInteger());
}

Params params(const QCborMap &request)
{
    Params result;
    QString error;
    if (!codec::decodeParams(request.value(QStringLiteral("params")), &result, &error))
        throw ServerError(error);
    return result;
}

//! A method argument checked against its declared type, the way late binding coerces.
QVariant methodArgument(const tlb::ArgDef &def, const QCborValue &value, int position,
                        const QString &method)
{
    auto wrongType = [&] {
        return ServerError(QStringLiteral("Argument %1 (%2) of %3 must be %4")
                               .arg(position + 1)
                               .arg(def.name, method, tlb::argTypeName(def.type)));
    };
    switch (def.type) {
    case tlb::ArgType::Text:
        if (value.isNull() || value.isUndefined())
            return QString();
        if (!value.isString())
            throw wrongType();
        return value.toString();
    case tlb::ArgType::Integer:
        if (value.isInteger() && std::abs(value.toInteger()) <= std::numeric_limits<qint32>::max())
            return int(value.toInteger());
        throw wrongType();
    case tlb::ArgType::Boolean:
        if (!value.isBool())
            throw wrongType();
        return value.toBool();
    case tlb::ArgType::Variant: {
        QVariant v;
        QString error;
        if (!codec::decodeValue(value, &v, &error))
            throw wrongType();
        return v;
    }
    }
    throw wrongType();
}

//! The input arguments of a call. A caller may pass the inputs only, or every argument
//! with placeholders in the by-reference positions.
QVariantList methodArguments(const tlb::MethodDef &method, const QCborArray &args)
{
    const bool allGiven = args.size() == method.args.size();
    if (!allGiven && args.size() != method.inCount())
        throw ServerError(QStringLiteral("%1 takes %2 arguments, %3 given")
                              .arg(method.name)
                              .arg(method.inCount())
                              .arg(args.size()));
    QVariantList inputs;
    int given = 0;
    for (int i = 0; i < method.args.size(); ++i) {
        const tlb::ArgDef &def = method.args[i];
        if (def.out) {
            given += allGiven ? 1 : 0;
            continue;
        }
        inputs.append(methodArgument(def, args.at(given), i, method.name));
        ++given;
    }
    return inputs;
}

} // namespace

const ModuleConnection::Operation ModuleConnection::s_operations[] = {
    {"open", &ModuleConnection::open, false},
    {"call", &ModuleConnection::callMethod, true},
    {"AS_ApplyUpdates", &ModuleConnection::applyUpdates, true},
    {"AS_GetRecords", &ModuleConnection::getRecords, true},
    {"AS_DataRequest", &ModuleConnection::dataRequest, true},
    {"AS_GetProviderNames", &ModuleConnection::getProviderNames, true},
    {"AS_GetParams", &ModuleConnection::getParams, true},
    {"AS_RowRequest", &ModuleConnection::rowRequest, true},
    {"AS_Execute", &ModuleConnection::execute, true},
};

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
    const QString op = request.value(kOp).toString();
    QCborMap result;
    try {
        const Operation *operation = nullptr;
        for (const Operation &candidate : s_operations) {
            if (op == QLatin1String(candidate.name))
                operation = &candidate;
        }
        if (!operation)
            throw ServerError(QStringLiteral("Unknown operation: %1").arg(op));
        if (operation->needsModule && !m_module)
            throw ServerError(QStringLiteral("No module class is open on this connection"));
        result = (this->*operation->handler)(request);
        result.insert(kOk, true);
    } catch (const ServerError &e) {
        result = QCborMap{{kOk, false}, {kError, e.text()}};
    } catch (const std::exception &e) {
        qCWarning(lcModuleHost).noquote() << m_peer << op << "failed:" << e.what();
        result = QCborMap{{kOk, false}, {kError, QString::fromUtf8(e.what())}};
    } catch (...) {
        qCWarning(lcModuleHost).noquote() << m_peer << op << "failed with an unknown error";
        result = QCborMap{{kOk, false}, {kError, QStringLiteral("Internal server error")}};
    }
    if (request.contains(kId))
        result.insert(kId, request.value(kId));
    return result;
}

RemoteDataModule &ModuleConnection::module()
{
    return *m_module;
}

QCborMap ModuleConnection::open(const QCborMap &request)
{
    if (m_module)
        throw ServerError(QStringLiteral("The connection already holds a %1 instance")
                              .arg(m_module->className()));
    const QString key = text(request, QStringLiteral("class"));
    const tlb::ClassDef *def = tlb::findClass(key);
    const auto factory = def ? m_factories.constFind(def->name.toLower()) : m_factories.constEnd();
    if (!def || factory == m_factories.constEnd())
        throw ServerError(QStringLiteral("Class not registered: %1").arg(key));
    if (!m_registryDir.isEmpty() && !isClassRegisteredForSockets(m_registryDir, def->classId))
        throw ServerError(QStringLiteral("Class %1 (%2) is not registered for socket connections")
                              .arg(def->progId, def->classId));
    m_module = (*factory)();
    if (!m_module)
        throw ServerError(QStringLiteral("Cannot create %1").arg(def->progId));
    m_module->setSession(text(request, QStringLiteral("session"), false));
    m_peer += QLatin1Char(' ') + def->name;
    QCborMap result;
    result.insert(QStringLiteral("class"), def->name);
    return result;
}

QCborMap ModuleConnection::callMethod(const QCborMap &request)
{
    const QString name = text(request, QStringLiteral("method"));
    const tlb::ClassDef *def = tlb::findClass(module().className());
    const tlb::MethodDef *method = def ? def->method(name) : nullptr;
    if (!method)
        throw ServerError(
            QStringLiteral("Unknown method %1 of %2").arg(name, module().className()));
    const QCborValue args = request.value(QStringLiteral("args"));
    if (!args.isUndefined() && !args.isArray())
        throw ServerError(QStringLiteral("\"args\" must be a list"));
    QVariantList out;
    const QVariant value =
        module().call(method->name, methodArguments(*method, args.toArray()), &out);
    QCborMap result;
    result.insert(QStringLiteral("result"),
                  method->hasResult ? codec::encodeValue(value) : QCborValue(QCborValue::Null));
    result.insert(QStringLiteral("out"), codec::encodeValue(out));
    return result;
}

QCborMap ModuleConnection::getRecords(const QCborMap &request)
{
    GetRecordsRequest r;
    r.provider = text(request, kProvider);
    r.count = integer(request, QStringLiteral("count"), -1);
    r.options = integer(request, QStringLiteral("options"), 0);
    r.commandText = text(request, QStringLiteral("commandText"), false);
    r.params = params(request);
    const Packet packet = module().getRecords(r);
    QCborMap result;
    result.insert(QStringLiteral("packet"), codec::encodePacket(packet));
    result.insert(QStringLiteral("recsOut"), packet.rows.size());
    return result;
}

QCborMap ModuleConnection::applyUpdates(const QCborMap &request)
{
    const QString provider = text(request, kProvider);
    ChangeSet delta;
    QString error;
    if (!codec::decodeChangeSet(request.value(QStringLiteral("delta")), &delta, &error))
        throw ServerError(error);
    const ApplyResult applied =
        module().applyUpdates(provider, delta, integer(request, QStringLiteral("maxErrors"), 0));
    return codec::encodeApplyResult(applied);
}

QCborMap ModuleConnection::getProviderNames(const QCborMap &)
{
    QCborArray names;
    for (const QString &name : module().providerNames())
        names.append(name);
    return QCborMap{{QStringLiteral("names"), names}};
}

QCborMap ModuleConnection::getParams(const QCborMap &request)
{
    const Params list = module().getParams(text(request, kProvider));
    return QCborMap{{QStringLiteral("params"), codec::encodeParams(list)}};
}

void ModuleConnection::requireProvider(const QString &provider)
{
    if (!module().providerNames().contains(provider, Qt::CaseInsensitive))
        throw ServerError(QStringLiteral("Provider not exported: %1").arg(provider));
}

QCborMap ModuleConnection::rowRequest(const QCborMap &request)
{
    // No provider of these modules refreshes single rows; a client reopens its data set.
    const QString provider = text(request, kProvider);
    requireProvider(provider);
    throw ServerError(QStringLiteral("Provider %1 does not answer row requests").arg(provider));
}

QCborMap ModuleConnection::dataRequest(const QCborMap &request)
{
    // No provider installs a data-request handler, so the answer carries no data.
    requireProvider(text(request, kProvider));
    return QCborMap{{QStringLiteral("data"), QCborValue(QCborValue::Null)}};
}

QCborMap ModuleConnection::execute(const QCborMap &request)
{
    module().execute(text(request, kProvider), text(request, QStringLiteral("commandText"), false),
                     params(request));
    return QCborMap();
}

} // namespace korvane
