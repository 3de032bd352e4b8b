#include "RelayLauncher.h"

#include "RelayExit.h"
#include "SrvMessage.h"

#include <cstdio>

namespace korvane {

namespace {

const QString kRelayName = QStringLiteral("scktsrvr");

const QString kPortRemedy =
    QStringLiteral("请在 BIN 文件夹的 Plant.ini 中，把 [SCKTSRVR] 与 [KORVANEQUV] 两节的 Port "
                   "设为同一个空闲端口（1024 以上的端口无需权限）。");

//! What the operator reads when the relay has ended with that exit code.
QString relayEndedText(int exitCode)
{
    switch (exitCode) {
    case relayexit::CannotListen:
        return QStringLiteral("通讯服务 scktsrvr 无法启动：它不能在所设的 TCP 端口上监听，"
                              "客户端将无法连接。\n端口已被占用时，") +
               kPortRemedy +
               QStringLiteral("\n1024 以下的端口需要权限：以 root 在 BIN 文件夹中执行一次\n"
                              "    setcap cap_net_bind_service=+ep scktsrvr");
    case relayexit::BadPort:
        return QStringLiteral(
                   "通讯服务 scktsrvr 无法启动：所设端口不是 1 到 65535 之间的数字。\n") +
               kPortRemedy;
    default:
        return QStringLiteral("通讯服务 scktsrvr 已意外结束，客户端将无法连接。");
    }
}

} // namespace

RelayLauncher::RelayLauncher(const QString &programDir, QObject *parent)
    : QObject(parent), m_programDir(programDir), m_process(new QProcess(this))
{
    m_process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    connect(m_process, &QProcess::readyReadStandardError, this, &RelayLauncher::passOnErrorOutput);
    // Queued: the message box waits for the operator outside the process's own signal.
    connect(m_process, &QProcess::finished, this, &RelayLauncher::onFinished, Qt::QueuedConnection);
}

RelayLauncher::~RelayLauncher()
{
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_process->disconnect(this);
    m_process->terminate();
    m_process->waitForFinished(3000); // past that the process object kills it
}

StartResult RelayLauncher::start(const QString &commandLine)
{
    if (m_process->state() != QProcess::NotRunning || isRunningForInstall(kRelayName, m_programDir))
        return StartResult::AlreadyRunning;
    QString program;
    QStringList arguments;
    if (!resolveCommand(commandLine, m_programDir, &program, &arguments))
        return StartResult::Failed;
    m_words.clear();
    m_process->setWorkingDirectory(m_programDir);
    m_process->start(program, arguments);
    return m_process->waitForStarted() ? StartResult::Started : StartResult::Failed;
}

void RelayLauncher::passOnErrorOutput()
{
    // Whoever started the server in a terminal still reads the relay there.
    const QByteArray bytes = m_process->readAllStandardError();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    m_words += bytes;
}

void RelayLauncher::onFinished(int exitCode, QProcess::ExitStatus status)
{
    passOnErrorOutput();
    const int code = status == QProcess::NormalExit ? exitCode : -1;
    const QString words = QString::fromLocal8Bit(m_words).trimmed();
    SrvMessage(nullptr, SrvMessageKind::Error, relayEndedText(code), words);
    emit ended(code, words);
}

} // namespace korvane
