#include "ClassRegistry.h"
#include "ModuleHost.h"
#include "PacketCodec.h"
#include "Protocol.h"
#include "ProviderModule.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QCborArray>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QSemaphore>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QtEndian>

#include <atomic>

using namespace korvane;

namespace {

std::atomic<int> g_instancesAlive{0};
std::atomic<int> g_rolledBack{0};
QSemaphore g_callEntered;
QSemaphore g_callReleased;

//! A base module with two providers, kept in memory; its own methods answer from their arguments.
class FakeBaseModule : public RemoteDataModule
{
public:
    FakeBaseModule() { ++g_instancesAlive; }
    ~FakeBaseModule() override
    {
        if (m_openWork)
            ++g_rolledBack;
        --g_instancesAlive;
    }

    QString className() const override { return QStringLiteral("BaseRDM"); }
    QStringList providerNames() const override
    {
        return {QStringLiteral("dspCI"), QStringLiteral("dspPrdt")};
    }
    Packet getRecords(const GetRecordsRequest &r) override
    {
        checkProvider(r.provider);
        Packet p;
        p.fields = {FieldDef{QStringLiteral("Code"), FieldType::String, 4},
                    FieldDef{QStringLiteral("Name"), FieldType::String, 20}};
        p.rows = {RowValues{QStringLiteral("01"), QStringLiteral("品牌一")}};
        if (!r.params.isEmpty())
            p.rows.append(RowValues{r.params[0].name, r.params[0].value.toString()});
        return p;
    }
    ApplyResult applyUpdates(const QString &provider, const ChangeSet &delta,
                             int maxErrors) override
    {
        checkProvider(provider);
        ApplyResult result;
        result.errorCount = int(delta.rows.size());
        result.errors = {ApplyError{0, -1, -1, QStringLiteral("refused, max %1").arg(maxErrors)}};
        result.refreshed.fields = delta.fields;
        return result;
    }
    Params getParams(const QString &provider) override
    {
        checkProvider(provider);
        return {{QStringLiteral("ClassCode"), QString()}};
    }
    void execute(const QString &provider, const QString &, const Params &) override
    {
        checkProvider(provider);
        throw std::runtime_error("statement failed in the database");
    }
    QVariant invoke(const QString &method, const QVariantList &args, QVariantList *out) override
    {
        if (method == QLatin1String("LogIn")) {
            *out = {QStringLiteral("7"), args[0].toString() + QStringLiteral(" info"), QString(),
                    QString(), QString()};
            return QVariant();
        }
        if (method == QLatin1String("DBActive")) {
            // Holds the call open until the test lets it go, with work in flight.
            m_openWork = true;
            g_callEntered.release();
            g_callReleased.tryAcquire(1, 10000);
            return true;
        }
        if (method == QLatin1String("keyExist"))
            return QVariant(args).toStringList().join(QLatin1Char('|'));
        throw ServerError(QStringLiteral("%1 failed").arg(method));
    }

private:
    void checkProvider(const QString &provider) const
    {
        if (!providerNames().contains(provider, Qt::CaseInsensitive))
            throw ServerError(QStringLiteral("Provider not exported: %1").arg(provider));
    }
    bool m_openWork = false;
};

//! A client of the host that waits for answers while letting the host's thread accept.
class Client
{
public:
    explicit Client(const QString &socketName)
    {
        m_socket.connectToServer(socketName);
        m_socket.waitForConnected(5000);
    }
    bool isConnected() const { return m_socket.state() == QLocalSocket::ConnectedState; }

    void sendRaw(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    QCborMap request(QCborMap message)
    {
        message.insert(QStringLiteral("id"), ++m_lastId);
        sendRaw(protocol::encodeFrame(message));
        return nextAnswer();
    }
    QCborMap nextAnswer()
    {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QCborMap answer;
            QString error;
            m_reader.append(m_socket.readAll());
            if (m_reader.next(&answer, &error) == protocol::FrameReader::Status::Message)
                return answer;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            m_socket.waitForReadyRead(10);
        }
        return QCborMap{{QStringLiteral("timeout"), true}};
    }
    bool waitForDisconnect()
    {
        QDeadlineTimer deadline(10000);
        while (isConnected() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (isConnected())
                m_socket.waitForDisconnected(10);
        }
        return !isConnected();
    }
    QLocalSocket &socket() { return m_socket; }

private:
    QLocalSocket m_socket;
    protocol::FrameReader m_reader;
    qint64 m_lastId = 0;
};

QCborMap op(const QString &name, std::initializer_list<std::pair<QString, QCborValue>> fields = {})
{
    QCborMap m;
    m.insert(QStringLiteral("op"), name);
    for (const auto &[key, value] : fields)
        m.insert(key, value);
    return m;
}

QCborMap openBase(Client &client)
{
    return client.request(
        op(QStringLiteral("open"), {{QStringLiteral("class"), QStringLiteral("Korvane.BaseRDM")}}));
}

QString errorOf(const QCborMap &answer)
{
    return answer.value(QStringLiteral("error")).toString();
}

} // namespace

class tst_ModuleHost : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openHandshake_data();
    void openHandshake();
    void requestsNeedAnOpenClass();
    void unknownOperationKeepsTheConnection();
    void ownMethods_data();
    void ownMethods();
    void appServerOperations_data();
    void appServerOperations();
    void recordsAndUpdatesTravel();
    void brokenFramingClosesOnlyThatConnection_data();
    void brokenFramingClosesOnlyThatConnection();
    void vanishingClientReleasesItsInstance();
    void unregisteredClassesAreRefused();
    void providersServeThroughTheHost_data() { test::addBackendRows(); }
    void providersServeThroughTheHost();

private:
    std::unique_ptr<ModuleHost> m_host;
    QString m_socketName;
};

void tst_ModuleHost::init()
{
    m_host = std::make_unique<ModuleHost>();
    m_host->registerClass(QStringLiteral("BaseRDM"),
                          [] { return std::make_unique<FakeBaseModule>(); });
    m_socketName = QStringLiteral("korvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    QVERIFY2(m_host->listen(m_socketName, &error), qPrintable(error));
}

void tst_ModuleHost::cleanup()
{
    m_host.reset();
    QCOMPARE(g_instancesAlive.load(), 0);
}

void tst_ModuleHost::openHandshake_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("error");
    QTest::newRow("class id") << "{73ED6494-2AF7-4A76-AFA5-8887B0642D6D}"
                              << "";
    QTest::newRow("class id lower case") << "{73ed6494-2af7-4a76-afa5-8887b0642d6d}"
                                         << "";
    QTest::newRow("class id without braces") << "73ED6494-2AF7-4A76-AFA5-8887B0642D6D"
                                             << "";
    QTest::newRow("prog id") << "korvane.baserdm"
                             << "";
    QTest::newRow("unknown class")
        << "{00000000-0000-0000-0000-000000000000}"
        << "Class not registered: {00000000-0000-0000-0000-000000000000}";
    QTest::newRow("known but not hosted") << "Korvane.RPTRDM"
                                          << "Class not registered: Korvane.RPTRDM";
}

void tst_ModuleHost::openHandshake()
{
    QFETCH(QString, key);
    QFETCH(QString, error);
    Client client(m_socketName);
    const QCborMap answer =
        client.request(op(QStringLiteral("open"), {{QStringLiteral("class"), key}}));
    QCOMPARE(answer.value(QStringLiteral("ok")).toBool(), error.isEmpty());
    QCOMPARE(errorOf(answer), error);
    if (error.isEmpty()) {
        QCOMPARE(answer.value(QStringLiteral("class")).toString(), QStringLiteral("BaseRDM"));
        QCOMPARE(errorOf(openBase(client)),
                 QStringLiteral("The connection already holds a BaseRDM instance"));
    }
}

void tst_ModuleHost::requestsNeedAnOpenClass()
{
    Client client(m_socketName);
    const QCborMap answer = client.request(op(QStringLiteral("AS_GetProviderNames")));
    QCOMPARE(errorOf(answer), QStringLiteral("No module class is open on this connection"));
    QCOMPARE(answer.value(QStringLiteral("id")).toInteger(), 1);
}

void tst_ModuleHost::unknownOperationKeepsTheConnection()
{
    Client client(m_socketName);
    QVERIFY(openBase(client).value(QStringLiteral("ok")).toBool());
    QCOMPARE(errorOf(client.request(op(QStringLiteral("AS_Nonsense")))),
             QStringLiteral("Unknown operation: AS_Nonsense"));
    QCOMPARE(errorOf(client.request(QCborMap{{QStringLiteral("op"), 5}})),
             QStringLiteral("Unknown operation: "));
    QVERIFY(client.request(op(QStringLiteral("AS_GetProviderNames")))
                .value(QStringLiteral("ok"))
                .toBool());
}

void tst_ModuleHost::ownMethods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QCborArray>("args");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QCborValue>("result");
    QTest::addColumn<QCborArray>("out");
    const QCborArray three{QStringLiteral("XCI"), QStringLiteral("Code"), QStringLiteral("01")};
    QTest::newRow("declared spelling")
        << "keyExist" << three << "" << QCborValue(QStringLiteral("XCI|Code|01")) << QCborArray{};
    QTest::newRow("client's spelling")
        << "KeyExist" << three << "" << QCborValue(QStringLiteral("XCI|Code|01")) << QCborArray{};
    QTest::newRow("null text is empty")
        << "keyExist"
        << QCborArray{QStringLiteral("X"), QCborValue(QCborValue::Null), QStringLiteral("1")} << ""
        << QCborValue(QStringLiteral("X||1")) << QCborArray{};
    const QCborArray logInOut{QStringLiteral("7"), QStringLiteral("admin info"), QString(),
                              QString(), QString()};
    QTest::newRow("outputs by reference")
        << "LogIn"
        << QCborArray{QStringLiteral("admin"), QStringLiteral("pw"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("pc")}
        << "" << QCborValue(QCborValue::Null) << logInOut;
    QCborArray nine{QStringLiteral("admin"), QStringLiteral("pw"), QStringLiteral("127.0.0.1"),
                    QStringLiteral("pc")};
    for (int i = 0; i < 5; ++i)
        nine.append(QString());
    QTest::newRow("placeholders for outputs")
        << "login" << nine << "" << QCborValue(QCborValue::Null) << logInOut;
    QTest::newRow("unknown method")
        << "GetHeadno" << QCborArray{} << "Unknown method GetHeadno of BaseRDM" << QCborValue()
        << QCborArray{};
    QTest::newRow("too few arguments")
        << "keyExist" << QCborArray{QStringLiteral("XCI")} << "keyExist takes 3 arguments, 1 given"
        << QCborValue() << QCborArray{};
    QTest::newRow("number for text")
        << "keyExist" << QCborArray{QStringLiteral("XCI"), 5, QStringLiteral("01")}
        << "Argument 2 (FieldName) of keyExist must be text" << QCborValue() << QCborArray{};
    QTest::newRow("method's own failure")
        << "SetPWD" << QCborArray{QStringLiteral("01"), QStringLiteral("x")} << "SetPWD failed"
        << QCborValue() << QCborArray{};
}

void tst_ModuleHost::ownMethods()
{
    QFETCH(QString, method);
    QFETCH(QCborArray, args);
    QFETCH(QString, error);
    QFETCH(QCborValue, result);
    QFETCH(QCborArray, out);
    Client client(m_socketName);
    openBase(client);
    const QCborMap answer =
        client.request(op(QStringLiteral("call"),
                          {{QStringLiteral("method"), method}, {QStringLiteral("args"), args}}));
    QCOMPARE(errorOf(answer), error);
    if (error.isEmpty()) {
        QCOMPARE(answer.value(QStringLiteral("result")), result);
        QCOMPARE(answer.value(QStringLiteral("out")).toArray(), out);
    }
}

void tst_ModuleHost::appServerOperations_data()
{
    QTest::addColumn<QCborMap>("request");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("resultKey");
    const QString provider = QStringLiteral("provider");
    QTest::newRow("provider names") << op(QStringLiteral("AS_GetProviderNames")) << ""
                                    << "names";
    QTest::newRow("params, any case")
        << op(QStringLiteral("AS_GetParams"), {{provider, QStringLiteral("DSPPRDT")}}) << ""
        << "params";
    QTest::newRow("provider of another module")
        << op(QStringLiteral("AS_GetRecords"), {{provider, QStringLiteral("dspBuyInOut")}})
        << "Provider not exported: dspBuyInOut"
        << "";
    QTest::newRow("provider not text")
        << op(QStringLiteral("AS_GetRecords"), {{provider, 3}}) << "\"provider\" must be text"
        << "";
    QTest::newRow("count not integer")
        << op(QStringLiteral("AS_GetRecords"), {{provider, QStringLiteral("dspCI")},
                                                {QStringLiteral("count"), QStringLiteral("all")}})
        << "\"count\" must be a 32-bit integer"
        << "";
    QTest::newRow("malformed params")
        << op(QStringLiteral("AS_GetRecords"),
              {{provider, QStringLiteral("dspCI")}, {QStringLiteral("params"), 1}})
        << "params: expected a list of {name, value}"
        << "";
    QTest::newRow("malformed delta")
        << op(QStringLiteral("AS_ApplyUpdates"),
              {{provider, QStringLiteral("dspCI")}, {QStringLiteral("delta"), QCborMap{}}})
        << "delta.fields: expected a list of fields"
        << "";
    QTest::newRow("database failure")
        << op(QStringLiteral("AS_Execute"), {{provider, QStringLiteral("dspCI")}})
        << "statement failed in the database"
        << "";
    QTest::newRow("data request") << op(QStringLiteral("AS_DataRequest"),
                                        {{provider, QStringLiteral("dspCI")}})
                                  << ""
                                  << "data";
    QTest::newRow("data request, unknown provider")
        << op(QStringLiteral("AS_DataRequest"), {{provider, QStringLiteral("dspX")}})
        << "Provider not exported: dspX"
        << "";
    QTest::newRow("row request") << op(QStringLiteral("AS_RowRequest"),
                                       {{provider, QStringLiteral("dspCI")}})
                                 << "Provider dspCI does not answer row requests"
                                 << "";
}

void tst_ModuleHost::appServerOperations()
{
    QFETCH(QCborMap, request);
    QFETCH(QString, error);
    QFETCH(QString, resultKey);
    Client client(m_socketName);
    openBase(client);
    const QCborMap answer = client.request(request);
    QCOMPARE(errorOf(answer), error);
    QCOMPARE(answer.value(QStringLiteral("ok")).toBool(), error.isEmpty());
    if (!resultKey.isEmpty())
        QVERIFY(answer.contains(resultKey));
}

void tst_ModuleHost::recordsAndUpdatesTravel()
{
    Client client(m_socketName);
    openBase(client);
    const QCborMap records = client.request(
        op(QStringLiteral("AS_GetRecords"),
           {{QStringLiteral("provider"), QStringLiteral("dspci")},
            {QStringLiteral("params"),
             codec::encodeParams({{QStringLiteral("ClassCode"), QStringLiteral("A1")}})}}));
    QVERIFY2(records.value(QStringLiteral("ok")).toBool(), qPrintable(errorOf(records)));
    Packet packet;
    QString error;
    QVERIFY(codec::decodePacket(records.value(QStringLiteral("packet")), &packet, &error));
    QCOMPARE(packet.rows.size(), 2);
    QCOMPARE(packet.rows[0][1].toString(), QStringLiteral("品牌一"));
    QCOMPARE(packet.rows[1], (RowValues{QStringLiteral("ClassCode"), QStringLiteral("A1")}));
    QCOMPARE(records.value(QStringLiteral("recsOut")).toInteger(), 2);

    ChangeSet delta;
    delta.fields = packet.fields;
    ChangeRow row;
    row.op = ChangeOp::Delete;
    row.oldValues = packet.rows[0];
    delta.rows = {row};
    const QCborMap applied =
        client.request(op(QStringLiteral("AS_ApplyUpdates"),
                          {{QStringLiteral("provider"), QStringLiteral("dspCI")},
                           {QStringLiteral("delta"), codec::encodeChangeSet(delta)},
                           {QStringLiteral("maxErrors"), -1}}));
    ApplyResult result;
    QVERIFY2(codec::decodeApplyResult(applied, &result, &error), qPrintable(error));
    QCOMPARE(result.errorCount, 1);
    QCOMPARE(result.errors[0].message, QStringLiteral("refused, max -1"));
}

static QByteArray lengthOnly(quint32 length)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian<quint32>(length, bytes.data());
    return bytes;
}

void tst_ModuleHost::brokenFramingClosesOnlyThatConnection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("oversized frame") << lengthOnly(64 * 1024 * 1024 + 1) << "frame length 67108865";
    QTest::newRow("empty frame") << lengthOnly(0) << "frame length 0";
    QTest::newRow("malformed CBOR")
        << lengthOnly(3) + QByteArray("\xff\xfe\xfd", 3) << "malformed CBOR";
    const QByteArray text = QCborValue(QStringLiteral("hello")).toCbor();
    QTest::newRow("not a map") << lengthOnly(quint32(text.size())) + text << "not a CBOR map";
}

void tst_ModuleHost::brokenFramingClosesOnlyThatConnection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    Client bystander(m_socketName);
    openBase(bystander);
    Client offender(m_socketName);
    openBase(offender);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("broken framing")));
    offender.sendRaw(bytes);
    const QCborMap farewell = offender.nextAnswer();
    QVERIFY(errorOf(farewell).startsWith(QStringLiteral("Broken message framing: ")));
    QVERIFY2(errorOf(farewell).contains(reason), qPrintable(errorOf(farewell)));
    QVERIFY(offender.waitForDisconnect());
    QTRY_COMPARE(g_instancesAlive.load(), 1);
    QVERIFY(bystander.request(op(QStringLiteral("AS_GetProviderNames")))
                .value(QStringLiteral("ok"))
                .toBool());
}

void tst_ModuleHost::vanishingClientReleasesItsInstance()
{
    g_rolledBack = 0;
    auto leaving = std::make_unique<Client>(m_socketName);
    openBase(*leaving);
    Client staying(m_socketName);
    openBase(staying);
    QCOMPARE(g_instancesAlive.load(), 2);
    leaving->sendRaw(protocol::encodeFrame(
        op(QStringLiteral("call"), {{QStringLiteral("method"), QStringLiteral("DBActive")}})));
    QVERIFY(g_callEntered.tryAcquire(1, 10000));
    leaving.reset(); // gone while its call is still running

    // The other client is served while the first instance is busy on its own thread.
    QVERIFY(staying.request(op(QStringLiteral("AS_GetProviderNames")))
                .value(QStringLiteral("ok"))
                .toBool());
    g_callReleased.release();
    QTRY_COMPARE(g_instancesAlive.load(), 1);
    QCOMPARE(g_rolledBack.load(), 1);
    QTRY_COMPARE(m_host->connectionCount(), 1);
}

void tst_ModuleHost::unregisteredClassesAreRefused()
{
    QTemporaryDir bin;
    m_host->setRegistryDir(bin.path());
    m_host->listen(m_socketName, nullptr);
    Client before(m_socketName);
    QCOMPARE(errorOf(openBase(before)),
             QStringLiteral("Class Korvane.BaseRDM ({73ED6494-2AF7-4A76-AFA5-8887B0642D6D}) is not "
                            "registered for socket connections"));
    QVERIFY(writeClassRegistry(bin.path(), true));
    QVERIFY(openBase(before).value(QStringLiteral("ok")).toBool());
    QVERIFY(writeClassRegistry(bin.path(), false));
    Client after(m_socketName);
    QVERIFY(!openBase(after).value(QStringLiteral("ok")).toBool());
}

static DbConnectionInfo connectionTo(const test::ScratchDb &db)
{
    DbConnectionInfo info;
    info.driver = db.driver();
    info.databaseName = db.databaseName();
    if (db.isPostgres()) {
        info.hostName = test::pgHost();
        info.port = test::pgPort();
        info.userName = QStringLiteral("postgres");
    }
    return info;
}

static QCborMap applyOn(Client &client, const ChangeSet &delta)
{
    return client.request(op(QStringLiteral("AS_ApplyUpdates"),
                             {{QStringLiteral("provider"), QStringLiteral("dspSpec")},
                              {QStringLiteral("delta"), codec::encodeChangeSet(delta)},
                              {QStringLiteral("maxErrors"), 0}}));
}

// A real provider module over a scratch database: nested lines travel both ways and a
// refused row comes back with the database's message, leaving nothing behind.
void tst_ModuleHost::providersServeThroughTheHost()
{
    QFETCH(QString, backend);
    test::ScratchDb db(backend);
    QSqlQuery q(db.db());
    QVERIFY(q.exec(QStringLiteral(
        "CREATE TABLE XSpech (hcode VARCHAR(10) NOT NULL PRIMARY KEY, name VARCHAR(40))")));
    QVERIFY(q.exec(QStringLiteral(
        "CREATE TABLE XSpecb (hcode VARCHAR(10) NOT NULL, bcode VARCHAR(10) NOT NULL, "
        "name VARCHAR(40), PRIMARY KEY (hcode, bcode))")));
    setRunTimeConnection(connectionTo(db));
    ProviderDef spec;
    spec.name = QStringLiteral("dspSpec");
    spec.sql = QStringLiteral("SELECT hcode, name FROM XSpech ORDER BY hcode");
    spec.detailField = QStringLiteral("XSpecb");
    spec.detailSql =
        QStringLiteral("SELECT hcode, bcode, name FROM XSpecb WHERE hcode = :hcode ORDER BY bcode");
    m_host->registerClass(QStringLiteral("BaseRDM"), [spec] {
        return std::make_unique<ProviderModule>(QStringLiteral("BaseRDM"), ProviderDefs{spec});
    });
    Client client(m_socketName);
    QVERIFY(openBase(client).value(QStringLiteral("ok")).toBool());
    const QCborMap fetched =
        client.request(op(QStringLiteral("AS_GetRecords"),
                          {{QStringLiteral("provider"), QStringLiteral("DSPSPEC")}}));
    QVERIFY2(fetched.value(QStringLiteral("ok")).toBool(), qPrintable(errorOf(fetched)));
    Packet packet;
    QString error;
    QVERIFY2(codec::decodePacket(fetched.value(QStringLiteral("packet")), &packet, &error),
             qPrintable(error));
    QCOMPARE(packet.fields.size(), 3);
    QCOMPARE(packet.fields[2].type, FieldType::Nested);

    ChangeSet lines;
    lines.fields = packet.fields[2].fields;
    ChangeRow red;
    red.op = ChangeOp::Insert;
    red.newValues = {QStringLiteral("01"), QStringLiteral("R"), QStringLiteral("红")};
    ChangeRow green = red;
    green.newValues = {QStringLiteral("01"), QStringLiteral("G"), QStringLiteral("绿")};
    lines.rows = {red, green};
    ChangeSet delta;
    delta.fields = packet.fields;
    ChangeRow head;
    head.op = ChangeOp::Insert;
    head.newValues = {QStringLiteral("01"), QStringLiteral("颜色"), QVariant()};
    head.details = {{2, lines}};
    delta.rows = {head};
    ApplyResult result;
    QVERIFY2(codec::decodeApplyResult(applyOn(client, delta), &result, &error), qPrintable(error));
    QCOMPARE(result.errorCount, 0);

    const QCborMap again =
        client.request(op(QStringLiteral("AS_GetRecords"),
                          {{QStringLiteral("provider"), QStringLiteral("dspSpec")}}));
    QVERIFY(codec::decodePacket(again.value(QStringLiteral("packet")), &packet, &error));
    QCOMPARE(packet.rows.size(), 1);
    QCOMPARE(packet.rows[0].detailRows(2).size(), 2);
    QCOMPARE(packet.rows[0].detailRows(2)[0][2].toString(), QStringLiteral("绿"));

    // The same head again beside a new one: the duplicate is refused, the new one rolled back.
    ChangeRow other = head;
    other.newValues[0] = QStringLiteral("02");
    other.details.clear();
    head.details.clear();
    delta.rows = {other, head};
    QVERIFY(codec::decodeApplyResult(applyOn(client, delta), &result, &error));
    QCOMPARE(result.errorCount, 1);
    QCOMPARE(result.errors[0].row, 1);
    QVERIFY(!result.errors[0].message.isEmpty());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM XSpech")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    m_host.reset(); // the instance lets go of its connection before the database is dropped
}

QTEST_GUILESS_MAIN(tst_ModuleHost)
#include "tst_ModuleHost.moc"
