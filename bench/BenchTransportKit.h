#pragma once
// What the transport benchmarks share: a module host on its own thread serving a brand list,
// and the real relay started from a scratch program folder so that it finds this host.

#include "ModuleHost.h"
#include "ProviderModule.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <memory>

namespace korvane::bench {

//! The module host on its own thread, serving "BaseRDM" with the brand list.
class HostThread
{
public:
    explicit HostThread(const QString &socketName)
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                m_host = new ModuleHost;
                ProviderDef brands;
                brands.name = QStringLiteral("dspCI");
                brands.sql = QStringLiteral("SELECT Code, Name FROM XCI ORDER BY Code");
                m_host->registerClass(QStringLiteral("BaseRDM"), [brands] {
                    return std::make_unique<ProviderModule>(QStringLiteral("BaseRDM"),
                                                            ProviderDefs{brands});
                });
                m_listening = m_host->listen(socketName, nullptr);
            },
            Qt::BlockingQueuedConnection);
    }
    ~HostThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [&] { delete m_host; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool isListening() const { return m_listening; }
    //! Connections the host holds a thread for.
    int connectionCount()
    {
        int count = 0;
        QMetaObject::invokeMethod(
            &m_context, [&] { count = m_host->connectionCount(); }, Qt::BlockingQueuedConnection);
        return count;
    }

private:
    QThread m_thread;
    QObject m_context; // lives on m_thread
    ModuleHost *m_host = nullptr;
    bool m_listening = false;
};

//! The real relay, copied into a scratch program folder so that it finds this host (and the
//! folder's Plant.ini, if any).
inline std::unique_ptr<QProcess> startRelay(const QString &binDir, quint16 *port)
{
    const QString program = QDir(binDir).filePath(QStringLiteral("scktsrvr"));
    QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/scktsrvr"), program);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    *port = probe.serverPort();
    probe.close();
    auto relay = std::make_unique<QProcess>();
    relay->start(program, {QStringLiteral("--port"), QString::number(*port)});
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && relay->state() != QProcess::NotRunning) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, *port);
        if (s.waitForConnected(100))
            return relay;
        relay->waitForFinished(50);
    }
    return nullptr;
}

} // namespace korvane::bench
