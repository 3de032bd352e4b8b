#pragma once
//! TLumoSocketConnection: a connection to one module class of the server through the socket
//! relay (default 127.0.0.1, port 211). Calls are synchronous: each blocks until the server
//! answers and throws TLumoRemoteError with the server's text when it fails.
//!
//! Connections are encrypted (TLS) unless `Tls` is off. The relay's certificate is its own,
//! not signed by anybody: the first connection to a server pins its certificate (see
//! TLumoCertificatePins) and every later one refuses a server that shows another.

#include "LumoCertificatePins.h"
#include "LumoRemoteServer.h"
#include "Protocol.h"

#include <QCborMap>
#include <QString>

#include <initializer_list>

class QTcpSocket;

class TLumoSocketConnection : public TLumoRemoteServer
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(QString Host READ Host WRITE setHost)
    Q_PROPERTY(QString Address READ Host WRITE setHost)
    Q_PROPERTY(int Port READ Port WRITE setPort)
    Q_PROPERTY(QString ServerGUID READ ServerGUID WRITE setServerGUID)
    Q_PROPERTY(QString ServerName READ ServerName WRITE setServerName)
    Q_PROPERTY(QString Session READ Session WRITE setSession)
    Q_PROPERTY(int Timeout READ Timeout WRITE setTimeout)
    Q_PROPERTY(bool Connected READ Connected WRITE setConnected)
    Q_PROPERTY(bool Tls READ Tls WRITE setTls)
public:
    static constexpr int DefaultPort = 211;
    static constexpr int DefaultTimeout = 120000; // ms; a report may take a while

    explicit TLumoSocketConnection(QObject *parent = nullptr);
    ~TLumoSocketConnection() override; // disconnects first, ignoring errors

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    QString Host() const { return m_host; }
    void setHost(const QString &host) { m_host = host; }
    int Port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    //! The module class by class id; ServerName (prog id) is used when this is empty.
    QString ServerGUID() const { return m_serverGuid; }
    void setServerGUID(const QString &guid) { m_serverGuid = guid; }
    QString ServerName() const { return m_serverName; }
    void setServerName(const QString &name) { m_serverName = name; }
    //! The session id handed to the module instance when the connection opens.
    QString Session() const { return m_session; }
    void setSession(const QString &session) { m_session = session; }
    int Timeout() const { return m_timeout; }
    void setTimeout(int ms) { m_timeout = ms; }
    bool Tls() const { return m_tls; }
    void setTls(bool on) { m_tls = on; }
    //! Where pins are kept (not owned); the run's own store by default.
    void setCertificatePins(TLumoCertificatePins *pins)
    {
        m_pins = pins ? pins : &TLumoCertificatePins::forThisRun();
    }

    bool Connected() const;
    //! Opening throws TLumoRemoteError when the server cannot be reached or refuses the class.
    void setConnected(bool connected);
    void Open() { setConnected(true); }
    void Close() { setConnected(false); }

    korvane::Packet getRecords(const QString &provider, int count, int options,
                               const korvane::Params &params) override;
    korvane::ApplyResult applyUpdates(const QString &provider, const korvane::ChangeSet &delta,
                                      int maxErrors) override;
    QStringList getProviderNames() override;
    korvane::Params getParams(const QString &provider) override;
    QVariant call(const QString &method, const QVariantList &args,
                  QVariantList *out = nullptr) override;

    //! A method call whose by-reference text outputs land in the given strings, in order
    //! (LogIn's id, UserInfo, SysSet, PurView, Para1).
    QVariant callWithOutputs(const QString &method, const QVariantList &args,
                             std::initializer_list<QString *> outputs);
    void execute(const QString &provider, const QString &commandText,
                 const korvane::Params &params = {});
    QVariant dataRequest(const QString &provider, const QVariant &data);

signals:
    void AfterConnect();
    void AfterDisconnect();

private:
    void connectToServer();
    //! Opens the socket, encrypted and checked against the pin when Tls is on.
    void openSocket();
    void disconnectFromServer();
    //! Sends one request and reads its answer; throws TLumoRemoteError.
    template <typename Request> typename Request::Answer ask(const Request &request);
    //! Numbers the request, sends it and gives its answer when it succeeded.
    korvane::protocol::Message send(korvane::protocol::FrameWriter &request);
    korvane::protocol::Message waitForAnswer(qint64 id);
    [[noreturn]] void lose(const QString &text);
    QString address() const;

    QString m_tagStr;
    QString m_host = QStringLiteral("127.0.0.1");
    int m_port = DefaultPort;
    QString m_serverGuid;
    QString m_serverName;
    QString m_session;
    int m_timeout = DefaultTimeout;
    bool m_tls = true;
    TLumoCertificatePins *m_pins = &TLumoCertificatePins::forThisRun();
    QTcpSocket *m_socket = nullptr;
    korvane::protocol::FrameReader m_reader;
    qint64 m_lastId = 0;
    bool m_open = false;
};
