#include "LumoSocketConnection.h"

#include "PacketCodec.h"

#include <QCborArray>
#include <QDeadlineTimer>
#include <QTcpSocket>

using namespace korvane;

namespace {

const QString kOk = QStringLiteral("ok");
const QString kError = QStringLiteral("error");
const QString kId = QStringLiteral("id");
const QString kProvider = QStringLiteral("provider");

QCborMap operation(const char *op, const QString &provider = QString())
{
    QCborMap m;
    m.insert(QStringLiteral("op"), QString::fromLatin1(op));
    if (!provider.isNull())
        m.insert(kProvider, provider);
    return m;
}

template <typename T, typename Decoder> T decoded(const QCborValue &cbor, Decoder decode)
{
    T value;
    QString error;
    if (!decode(cbor, &value, &error))
        throw TLumoRemoteError(QStringLiteral("The server sent an unreadable answer: ") + error);
    return value;
}

} // namespace

TLumoSocketConnection::TLumoSocketConnection(QObject *parent) : TLumoRemoteServer(parent) {}

TLumoSocketConnection::~TLumoSocketConnection()
{
    try {
        disconnectFromServer();
    } catch (...) {
        // A connection that dies with its owner has nobody left to tell.
    }
}

bool TLumoSocketConnection::Connected() const
{
    return m_open && m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void TLumoSocketConnection::setConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (connected)
        connectToServer();
    else
        disconnectFromServer();
}

QString TLumoSocketConnection::address() const
{
    return m_host + QLatin1Char(':') + QString::number(m_port);
}

void TLumoSocketConnection::connectToServer()
{
    disconnectFromServer();
    const QString key = m_serverGuid.isEmpty() ? m_serverName : m_serverGuid;
    if (key.isEmpty())
        throw TLumoRemoteError(QStringLiteral("No module class chosen (ServerGUID or ServerName)"));
    m_socket = new QTcpSocket(this);
    m_reader = protocol::FrameReader();
    m_socket->connectToHost(m_host, quint16(m_port));
    if (!m_socket->waitForConnected(qMin(m_timeout, 30000))) {
        const QString reason = m_socket->errorString();
        delete m_socket;
        m_socket = nullptr;
        throw TLumoRemoteError(
            QStringLiteral("Cannot connect to the server at %1: %2").arg(address(), reason));
    }
    m_open = true; // lets the handshake go through request()
    QCborMap open = operation("open");
    open.insert(QStringLiteral("class"), key);
    if (!m_session.isEmpty())
        open.insert(QStringLiteral("session"), m_session);
    try {
        request(open);
    } catch (...) {
        disconnectFromServer();
        throw;
    }
    emit AfterConnect();
}

void TLumoSocketConnection::disconnectFromServer()
{
    if (!m_socket)
        return;
    const bool wasOpen = m_open;
    m_open = false;
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
    if (wasOpen)
        emit AfterDisconnect();
}

void TLumoSocketConnection::lose(const QString &text)
{
    disconnectFromServer();
    throw TLumoRemoteError(text);
}

QCborMap TLumoSocketConnection::request(QCborMap message)
{
    if (!Connected())
        connectToServer();
    const qint64 id = ++m_lastId;
    message.insert(kId, id);
    if (!protocol::writeMessage(m_socket, message))
        lose(QStringLiteral("The connection to the server at %1 was lost").arg(address()));
    const QCborMap answer = waitForAnswer(id);
    if (!answer.value(kOk).toBool())
        throw TLumoRemoteError(answer.value(kError).toString());
    return answer;
}

QCborMap TLumoSocketConnection::waitForAnswer(qint64 id)
{
    QDeadlineTimer deadline(m_timeout);
    for (;;) {
        QCborMap answer;
        QString error;
        switch (m_reader.next(&answer, &error)) {
        case protocol::FrameReader::Status::Broken:
            lose(QStringLiteral("The server sent a broken message: ") + error);
        case protocol::FrameReader::Status::Message:
            if (!answer.contains(kId) && !answer.value(kOk).toBool())
                lose(answer.value(kError).toString()); // the server or the relay gave up on us
            if (answer.value(kId).toInteger() == id)
                return answer;
            continue; // a late answer to a request that timed out
        case protocol::FrameReader::Status::NeedMore:
            break;
        }
        m_socket->flush();
        if (m_socket->state() != QAbstractSocket::ConnectedState && m_socket->bytesAvailable() == 0)
            lose(QStringLiteral("The connection to the server at %1 was lost").arg(address()));
        if (deadline.hasExpired())
            lose(QStringLiteral("The server at %1 did not answer within %2 seconds")
                     .arg(address())
                     .arg(m_timeout / 1000));
        if (m_socket->bytesAvailable() == 0)
            m_socket->waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        m_reader.append(m_socket->readAll());
    }
}

Packet TLumoSocketConnection::getRecords(const QString &provider, int count, int options,
                                         const Params &params)
{
    QCborMap m = operation("AS_GetRecords", provider);
    m.insert(QStringLiteral("count"), count);
    m.insert(QStringLiteral("options"), options);
    m.insert(QStringLiteral("params"), codec::encodeParams(params));
    return decoded<Packet>(request(m).value(QStringLiteral("packet")), codec::decodePacket);
}

ApplyResult TLumoSocketConnection::applyUpdates(const QString &provider, const ChangeSet &delta,
                                                int maxErrors)
{
    QCborMap m = operation("AS_ApplyUpdates", provider);
    m.insert(QStringLiteral("delta"), codec::encodeChangeSet(delta));
    m.insert(QStringLiteral("maxErrors"), maxErrors);
    return decoded<ApplyResult>(request(m), codec::decodeApplyResult);
}

QStringList TLumoSocketConnection::getProviderNames()
{
    const QCborArray names =
        request(operation("AS_GetProviderNames")).value(QStringLiteral("names")).toArray();
    QStringList list;
    for (const QCborValue &name : names)
        list.append(name.toString());
    return list;
}

Params TLumoSocketConnection::getParams(const QString &provider)
{
    return decoded<Params>(
        request(operation("AS_GetParams", provider)).value(QStringLiteral("params")),
        codec::decodeParams);
}

QVariant TLumoSocketConnection::call(const QString &method, const QVariantList &args,
                                     QVariantList *out)
{
    QCborMap m = operation("call");
    m.insert(QStringLiteral("method"), method);
    m.insert(QStringLiteral("args"), codec::encodeValue(args));
    const QCborMap answer = request(m);
    if (out)
        *out = decoded<QVariant>(answer.value(QStringLiteral("out")), codec::decodeValue).toList();
    const QCborValue result = answer.value(QStringLiteral("result"));
    if (codec::isPacketMap(result)) // GetSpec, GetSpech
        return QVariant::fromValue(decoded<Packet>(result, codec::decodePacket));
    return decoded<QVariant>(result, codec::decodeValue);
}

QVariant TLumoSocketConnection::callWithOutputs(const QString &method, const QVariantList &args,
                                                std::initializer_list<QString *> outputs)
{
    QVariantList out;
    const QVariant result = call(method, args, &out);
    int i = 0;
    for (QString *target : outputs) {
        if (target)
            *target = i < out.size() ? out[i].toString() : QString();
        ++i;
    }
    return result;
}

void TLumoSocketConnection::execute(const QString &provider, const QString &commandText,
                                    const Params &params)
{
    QCborMap m = operation("AS_Execute", provider);
    m.insert(QStringLiteral("commandText"), commandText);
    m.insert(QStringLiteral("params"), codec::encodeParams(params));
    request(m);
}

QVariant TLumoSocketConnection::dataRequest(const QString &provider, const QVariant &data)
{
    QCborMap m = operation("AS_DataRequest", provider);
    m.insert(QStringLiteral("data"), codec::encodeValue(data));
    return decoded<QVariant>(request(m).value(QStringLiteral("data")), codec::decodeValue);
}
