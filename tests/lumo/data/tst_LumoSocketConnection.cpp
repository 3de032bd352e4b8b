#include "LumoSocketConnection.h"
#include "PacketCodec.h"

#include <QCborArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <functional>

using namespace korvane;

namespace {

//! What the fake server does with one request: the bytes to send back; an empty answer
//! closes the connection; "silence" sends nothing.
using Script = std::function<QByteArray(const QCborMap &request)>;
const QByteArray silence = QByteArrayLiteral("silence");

QByteArray reply(const QCborMap &request, QCborMap answer)
{
    answer.insert(QStringLiteral("id"), request.value(QStringLiteral("id")));
    if (!answer.contains(QStringLiteral("ok")))
        answer.insert(QStringLiteral("ok"), true);
    return protocol::encodeFrame(answer);
}

//! A server on its own thread that answers one connection by a script.
class FakeServer : public QThread
{
public:
    explicit FakeServer(Script script) : m_script(std::move(script))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        m_port = m_server.serverPort();
        m_server.moveToThread(this);
    }
    ~FakeServer() override
    {
        requestInterruption();
        wait();
    }
    quint16 port() const { return m_port; }

protected:
    void run() override
    {
        while (!isInterruptionRequested() && !m_server.waitForNewConnection(20)) {
        }
        std::unique_ptr<QTcpSocket> socket(m_server.nextPendingConnection());
        if (!socket)
            return;
        protocol::FrameReader reader;
        while (!isInterruptionRequested() && socket->state() == QAbstractSocket::ConnectedState) {
            socket->waitForReadyRead(20);
            reader.append(socket->readAll());
            QCborMap request;
            QString error;
            while (reader.next(&request, &error) == protocol::FrameReader::Status::Message) {
                const QByteArray bytes = m_script(request);
                if (bytes.isEmpty()) {
                    socket->close();
                    return;
                }
                if (bytes != silence) {
                    socket->write(bytes);
                    socket->waitForBytesWritten(1000);
                }
            }
        }
    }

private:
    Script m_script;
    QTcpServer m_server;
    quint16 m_port = 0;
};

//! Opens every class; answers the rest by the given script.
Script opening(Script rest)
{
    return [rest](const QCborMap &request) {
        if (request.value(QStringLiteral("op")).toString() == QLatin1String("open"))
            return reply(request, {{QStringLiteral("class"), QStringLiteral("BaseRDM")}});
        return rest(request);
    };
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TLumoRemoteError &e) {
        return e.text();
    }
    return QString();
}

} // namespace

class tst_LumoSocketConnection : public QObject
{
    Q_OBJECT
private slots:
    void defaults();
    void failures_data();
    void failures();
    void refusedOpenLeavesItClosed();
    void lateAnswersAreSkipped();
    void outputsAndPacketsComeBack();
    void unreachableServer();
};

void tst_LumoSocketConnection::defaults()
{
    TLumoSocketConnection c;
    QCOMPARE(c.Host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(c.Port(), 211);
    QVERIFY(c.Tls());
    QVERIFY(!c.Connected());
    c.setTagStr(QStringLiteral("d1"));
    QCOMPARE(c.property("TagStr").toString(), QStringLiteral("D1"));
    QCOMPARE(failureOf([&] { c.getProviderNames(); }),
             QStringLiteral("No module class chosen (ServerGUID or ServerName)"));
}

void tst_LumoSocketConnection::failures_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("error");
    QCborMap failed{{QStringLiteral("ok"), false},
                    {QStringLiteral("error"), QStringLiteral("Provider not exported: dspX")}};
    QTest::newRow("server's message") << QByteArray("failed") << "Provider not exported: dspX";
    QTest::newRow("server vanishes")
        << QByteArray() << "The connection to the server at 127.0.0.1:%1 was lost";
    QTest::newRow("broken frame") << QByteArray("\0\0\0\0", 4)
                                  << "The server sent a broken message: frame length 0";
    QTest::newRow("connection-level error")
        << protocol::encodeFrame(failed) << "Provider not exported: dspX";
    QTest::newRow("no answer") << silence
                               << "The server at 127.0.0.1:%1 did not answer within 0 seconds";
    QTest::newRow("unreadable packet")
        << QByteArray("bad names") << "The server sent an unreadable answer";
}

void tst_LumoSocketConnection::failures()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);
    FakeServer server(opening([answer](const QCborMap &request) {
        if (answer == "failed")
            return reply(request, {{QStringLiteral("ok"), false},
                                   {QStringLiteral("error"),
                                    QStringLiteral("Provider not exported: dspX")}});
        if (answer == "bad names")
            return reply(request, {{QStringLiteral("params"), 5}});
        return answer;
    }));
    server.start();
    TLumoSocketConnection c;
    c.setTls(false); // the fake server speaks plain frames
    c.setPort(server.port());
    c.setServerName(QStringLiteral("Korvane.BaseRDM"));
    c.setTimeout(300);
    c.Open();
    QVERIFY(c.Connected());
    const QString text = failureOf([&] { c.getParams(QStringLiteral("dspX")); });
    if (error.contains(QLatin1String("%1")))
        error = error.arg(server.port());
    QVERIFY2(text.startsWith(error), qPrintable(text));
}

void tst_LumoSocketConnection::refusedOpenLeavesItClosed()
{
    FakeServer server([](const QCborMap &request) {
        return reply(request,
                     {{QStringLiteral("ok"), false},
                      {QStringLiteral("error"), QStringLiteral("Class not registered: x")}});
    });
    server.start();
    TLumoSocketConnection c;
    c.setTls(false); // the fake server speaks plain frames
    c.setPort(server.port());
    c.setServerGUID(QStringLiteral("x"));
    QCOMPARE(failureOf([&] { c.setConnected(true); }), QStringLiteral("Class not registered: x"));
    QVERIFY(!c.Connected());
}

void tst_LumoSocketConnection::lateAnswersAreSkipped()
{
    FakeServer server(opening([](const QCborMap &request) {
        QCborMap stale{{QStringLiteral("id"), 999},
                       {QStringLiteral("ok"), true},
                       {QStringLiteral("names"), QCborArray{QStringLiteral("old")}}};
        return protocol::encodeFrame(stale) +
               reply(request, {{QStringLiteral("names"), QCborArray{QStringLiteral("dspCI")}}});
    }));
    server.start();
    TLumoSocketConnection c;
    c.setTls(false); // the fake server speaks plain frames
    c.setPort(server.port());
    c.setServerName(QStringLiteral("Korvane.BaseRDM"));
    QCOMPARE(c.getProviderNames(), QStringList{QStringLiteral("dspCI")}); // connects on first use
}

void tst_LumoSocketConnection::outputsAndPacketsComeBack()
{
    Packet spec;
    spec.fields = {FieldDef{QStringLiteral("bcode"), FieldType::String, 10}};
    spec.rows = {RowValues{QStringLiteral("R")}};
    FakeServer server(opening([spec](const QCborMap &request) {
        if (request.value(QStringLiteral("method")).toString() == QLatin1String("GetSpec"))
            return reply(request, {{QStringLiteral("result"), codec::encodePacket(spec)},
                                   {QStringLiteral("out"), QCborArray{}}});
        const QCborArray args = request.value(QStringLiteral("args")).toArray();
        return reply(request,
                     {{QStringLiteral("result"), QCborValue(QCborValue::Null)},
                      {QStringLiteral("out"), QCborArray{QStringLiteral("5"), args.at(0)}}});
    }));
    server.start();
    TLumoSocketConnection c;
    c.setTls(false); // the fake server speaks plain frames
    c.setPort(server.port());
    c.setServerName(QStringLiteral("Korvane.BaseRDM"));
    QString id, info, sysSet = QStringLiteral("stale"), purView, para;
    c.callWithOutputs(QStringLiteral("LogIn"),
                      {QStringLiteral("0001"), QStringLiteral("pw"), QString(), QString()},
                      {&id, &info, &sysSet, &purView, &para});
    QCOMPARE(id, QStringLiteral("5"));
    QCOMPARE(info, QStringLiteral("0001"));
    QCOMPARE(sysSet, QString()); // outputs the server did not fill are emptied
    const QVariant result = c.call(QStringLiteral("GetSpec"), {QStringLiteral("01")});
    QCOMPARE(result.value<Packet>().rows, spec.rows);
}

void tst_LumoSocketConnection::unreachableServer()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    auto c = std::make_unique<TLumoSocketConnection>();
    c->setPort(port);
    c->setServerName(QStringLiteral("Korvane.BaseRDM"));
    const QString text = failureOf([&] { c->Open(); });
    QVERIFY2(
        text.startsWith(QStringLiteral("Cannot connect to the server at 127.0.0.1:%1").arg(port)),
        qPrintable(text));
    c.reset(); // destruction of a connection that never opened is quiet
}

QTEST_GUILESS_MAIN(tst_LumoSocketConnection)
#include "tst_LumoSocketConnection.moc"
