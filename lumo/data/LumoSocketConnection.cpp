#include "LumoSocketConnection.h"

#include "RequestCodec.h"

#include <QDeadlineTimer>
#include <QSslSocket>

using namespace korvane;

namespace {

constexpr QLatin1StringView kOk("ok");
constexpr QLatin1StringView kError("error");
constexpr QLatin1StringView kId("id");

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
    openSocket();
    m_open = true; // lets the handshake go through request()
    try {
        ask(OpenRequest{key, m_session});
    } catch (...) {
        disconnectFromServer();
        throw;
    }
    emit AfterConnect();
}

void TLumoSocketConnection::openSocket()
{
    m_reader = protocol::FrameReader();
    const int wait = qMin(m_timeout, 30000);
    auto fail = [this](const QString &reason) {
        delete m_socket;
        m_socket = nullptr;
        throw TLumoRemoteError(
            QStringLiteral("Cannot connect to the server at %1: %2").arg(address(), reason));
    };
    if (!m_tls) {
        m_socket = new QTcpSocket(this);
        m_socket->connectToHost(m_host, quint16(m_port));
        if (!m_socket->waitForConnected(wait))
            fail(m_socket->errorString());
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return;
    }
    auto *ssl = new QSslSocket(this);
    m_socket = ssl;
    // The certificate is asked for but checked against the pin, not against a signer.
    ssl->setPeerVerifyMode(QSslSocket::QueryPeer);
    ssl->setProtocol(QSsl::TlsV1_2OrLater);
    ssl->connectToHostEncrypted(m_host, quint16(m_port));
    if (!ssl->waitForEncrypted(wait))
        fail(ssl->errorString());
    // A request waits for its answer: a small frame goes out at once, not held back.
    ssl->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const QString digest =
        QString::fromLatin1(ssl->peerCertificate().digest(QCryptographicHash::Sha256).toHex());
    const QString pinned = m_pins->pinned(address());
    if (pinned.isEmpty()) {
        m_pins->pin(address(), digest);
    } else if (pinned.compare(digest, Qt::CaseInsensitive) != 0) {
        ssl->abort();
        delete m_socket;
        m_socket = nullptr;
        throw TLumoRemoteError(
            QStringLiteral("服务器 %1 出示的证书与第一次连接时记下的不同，为安全起见已拒绝连接。"
                           "如果服务器确实重新安装过或换了证书，请向系统管理员核对新证书的指纹"
                           "（scktsrvr 启动时显示），然后删除本机 Plant.ini 中 [CERTIFICATES] "
                           "节的 %1 一项，再重新登录。")
                .arg(address()));
    }
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

protocol::Message TLumoSocketConnection::send(protocol::FrameWriter &request)
{
    if (!Connected())
        connectToServer();
    const qint64 id = ++m_lastId;
    request.entry(kId).append(id);
    if (!protocol::writeFrame(m_socket, request.take()))
        lose(QStringLiteral("The connection to the server at %1 was lost").arg(address()));
    const protocol::Message answer = waitForAnswer(id);
    if (!answer.value(kOk).toBool())
        throw TLumoRemoteError(answer.value(kError).toString());
    return answer;
}

template <typename Request>
typename Request::Answer TLumoSocketConnection::ask(const Request &request)
{
    protocol::FrameWriter frame;
    codec::encode(request, frame);
    const protocol::Message answer = send(frame);
    typename Request::Answer value;
    QString error;
    if (!codec::decode(answer, &value, &error))
        throw TLumoRemoteError(QStringLiteral("The server sent an unreadable answer: ") + error);
    return value;
}

protocol::Message TLumoSocketConnection::waitForAnswer(qint64 id)
{
    QDeadlineTimer deadline(m_timeout);
    for (;;) {
        protocol::Message answer;
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
    return ask(GetRecordsRequest{provider, count, options, QString(), params}).packet;
}

ApplyResult TLumoSocketConnection::applyUpdates(const QString &provider, const ChangeSet &delta,
                                                int maxErrors)
{
    return ask(ApplyUpdatesRequest{provider, delta, maxErrors});
}

QStringList TLumoSocketConnection::getProviderNames()
{
    return ask(ProviderNamesRequest()).names;
}

Params TLumoSocketConnection::getParams(const QString &provider)
{
    return ask(ParamsRequest{provider}).params;
}

QVariant TLumoSocketConnection::call(const QString &method, const QVariantList &args,
                                     QVariantList *out)
{
    CallAnswer answer = ask(CallRequest{method, args});
    if (out)
        *out = answer.out;
    return answer.result;
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
    ask(ExecuteRequest{provider, commandText, params});
}

QVariant TLumoSocketConnection::dataRequest(const QString &provider, const QVariant &data)
{
    return ask(DataRequest{provider, data}).data;
}
