#pragma once
// What the transport benchmarks share: a module host on its own thread serving a brand list,
// and the real relay started from a scratch program folder so that it finds this host.

#include "LumoSocketConnection.h"
#include "ModuleHost.h"
#include "ProviderModule.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace korvane::bench {

//! The fastest of a few rounds of run, in milliseconds; reset runs after each round.
inline double best(int rounds, const std::function<void()> &run,
                   const std::function<void()> &reset = {})
{
    double fastest = 1e300;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
        if (reset)
            reset();
    }
    return fastest;
}

//! The brand table the host serves, with the given number of brands.
inline void makeBrands(QSqlDatabase db, int rows)
{
    QSqlQuery(db).exec(QStringLiteral(
        "CREATE TABLE XCI (Code VARCHAR(4) NOT NULL PRIMARY KEY, Name VARCHAR(20))"));
    for (int i = 0; i < rows; ++i)
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO XCI VALUES ('B%1', '品牌%1')")
                               .arg(i, 3, 10, QLatin1Char('0')));
}

//! The median time of fetches of the whole brand list, in milliseconds.
inline double medianFetch(TLumoSocketConnection &connection, int fetches)
{
    std::vector<double> times;
    times.reserve(size_t(fetches));
    for (int i = 0; i < fetches; ++i) {
        QElapsedTimer timer;
        timer.start();
        connection.getRecords(QStringLiteral("dspCI"), -1, grReset, {});
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + fetches / 2, times.end());
    return times[size_t(fetches / 2)];
}

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

//! The baseline of a fetch: the brand list read by a prepared statement in-process.
inline void selectBrands(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Code, Name FROM XCI ORDER BY Code"));
    q.exec();
    QList<RowValues> rows;
    while (q.next())
        rows.append(RowValues{q.value(0), q.value(1)});
}

} // namespace korvane::bench
