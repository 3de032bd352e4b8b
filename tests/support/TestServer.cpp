#include "TestServer.h"

#include "ClassRegistry.h"
#include "InstanceNames.h"
#include "PlantIni.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUuid>

namespace korvane::test {

namespace {

constexpr int StartTimeout = 30000;

bool copyFile(const QString &from, const QString &to, QString *error)
{
    QFile::remove(to);
    if (QFile::copy(from, to))
        return true;
    *error = QStringLiteral("cannot copy %1 to %2").arg(from, to);
    return false;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

//! The module host's socket name as the server computes it with its own KORVANE_INSTANCE.
QString hostSocketName(const QString &binDir, const QString &instance)
{
    const QByteArray saved = qgetenv("KORVANE_INSTANCE");
    const bool hadValue = qEnvironmentVariableIsSet("KORVANE_INSTANCE");
    qputenv("KORVANE_INSTANCE", instance.toUtf8());
    const QString name = moduleHostSocketName(binDir);
    if (hadValue)
        qputenv("KORVANE_INSTANCE", saved);
    else
        qunsetenv("KORVANE_INSTANCE");
    return name;
}

template <typename Probe> bool waitUntil(QProcess *process, Probe ready)
{
    QDeadlineTimer deadline(StartTimeout);
    while (!deadline.hasExpired()) {
        if (ready())
            return true;
        if (process->state() == QProcess::NotRunning)
            return false;
        process->waitForFinished(50);
    }
    return false;
}

void stop(std::unique_ptr<QProcess> &process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(5000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}

} // namespace

TestServer::TestServer(const QString &backend)
    : m_db(backend),
      m_instance(QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::Id128))
{}

TestServer::~TestServer()
{
    stop(m_relay);
    stop(m_server);
}

QString TestServer::binDir() const
{
    return m_root.filePath(QStringLiteral("BIN"));
}

bool TestServer::fail(const QString &text)
{
    m_error = text;
    const QString out = output();
    if (!out.isEmpty())
        m_error += QStringLiteral("\n--- program output ---\n") + out;
    return false;
}

bool TestServer::start()
{
    return prepareTree() && writeSettings() && startServer() && startRelay();
}

bool TestServer::prepareTree()
{
    const QString bin = binDir();
    const QString dbDir = m_root.filePath(QStringLiteral("DB"));
    if (!m_root.isValid() || !QDir().mkpath(bin) || !QDir().mkpath(dbDir))
        return fail(QStringLiteral("cannot create the install tree in %1").arg(m_root.path()));
    QString error;
    for (const char *program : {"Korvane", "scktsrvr"}) {
        const QString name = QString::fromLatin1(program);
        if (!copyFile(QStringLiteral(KORVANE_BIN_DIR "/") + name, bin + QLatin1Char('/') + name,
                      &error))
            return fail(error);
    }
    const QString backup = dbDir + QStringLiteral("/BK");
    if (!copyFile(QStringLiteral(KORVANE_DB_DIR "/BK"), backup, &error))
        return fail(error);
    if (!m_db.runScript(backup))
        return fail(
            QStringLiteral("DB/BK does not run on the %1 scratch database").arg(m_db.backend()));
    if (!writeClassRegistry(bin, true, &error))
        return fail(error);
    return true;
}

bool TestServer::writeSettings()
{
    m_port = freePort();
    const QString port = QString::number(m_port);
    const QList<QPair<QString, QString>> server = {
        {QStringLiteral("DBREADY"), QStringLiteral("1")},
        {QStringLiteral("DRIVER"), m_db.driver()},
        {QStringLiteral("ConType"), QStringLiteral("1")},
        {QStringLiteral("USERID"), m_db.isPostgres() ? QStringLiteral("postgres") : QString()},
        {QStringLiteral("PWD"), QString()},
        {QStringLiteral("CATALOG"),
         m_db.isPostgres() ? m_db.databaseName() : QStringLiteral("QUV")},
        {QStringLiteral("DATASOURCE"), m_db.dataSource()},
    };
    PlantIni ini(QDir(binDir()).filePath(QStringLiteral("Plant.ini")));
    QString error;
    if (!ini.write(QStringLiteral("KORVANE"), server, &error) ||
        !ini.write(QStringLiteral("SCKTSRVR"), QStringLiteral("Port"), port, &error) ||
        !ini.write(QStringLiteral("KORVANEQUV"),
                   {{QStringLiteral("Srvname"), QStringLiteral("127.0.0.1")},
                    {QStringLiteral("Port"), port}},
                   &error))
        return fail(error);
    return true;
}

std::unique_ptr<QProcess> TestServer::launch(const QString &program, const QStringList &args)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVANE_INSTANCE"), m_instance);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(binDir());
    process->start(QDir(binDir()).filePath(program), args);
    return process;
}

bool TestServer::startServer()
{
    m_server = launch(QStringLiteral("Korvane"), {QStringLiteral("--service")});
    const QString socketName = hostSocketName(binDir(), m_instance);
    const bool up = waitUntil(m_server.get(), [&] {
        QLocalSocket probe;
        probe.connectToServer(socketName);
        return probe.waitForConnected(100);
    });
    return up || fail(QStringLiteral("Korvane --service did not open its module host"));
}

bool TestServer::startRelay()
{
    m_relay =
        launch(QStringLiteral("scktsrvr"), {QStringLiteral("--port"), QString::number(m_port)});
    const bool up = waitUntil(m_relay.get(), [&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        return probe.waitForConnected(100);
    });
    return up || fail(QStringLiteral("scktsrvr did not listen on port %1").arg(m_port));
}

void TestServer::stopServer()
{
    stop(m_server);
}

void TestServer::killServer()
{
    if (!m_server || m_server->state() == QProcess::NotRunning)
        return;
    m_server->kill();
    m_server->waitForFinished(5000);
}

bool TestServer::restartServer()
{
    stop(m_server);
    return startServer();
}

QString TestServer::output()
{
    QString text;
    for (QProcess *process : {m_server.get(), m_relay.get()}) {
        if (process)
            text += QString::fromLocal8Bit(process->readAll());
    }
    return text;
}

} // namespace korvane::test
