#pragma once
//! A running server for end-to-end tests: the real `Korvane --service` and `scktsrvr`, copied
//! into a temporary install tree (BIN with Plant.ini and the class registration, DB with BK)
//! and started on a free TCP port, over a scratch database of either backend that already
//! holds DB/BK. Both programs stop, and the database is dropped, when the object dies.
//!
//!     TestServer server(backend);
//!     QVERIFY2(server.start(), qPrintable(server.error()));
//!     TLumoSocketConnection base;
//!     base.setPort(server.port());          // Host stays 127.0.0.1
//!     base.setServerName("Korvane.BaseRDM");

#include "TestDb.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace korvane::test {

class TestServer
{
public:
    explicit TestServer(const QString &backend);
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    //! Builds the install tree and starts both programs; false with error() on failure.
    bool start();
    QString error() const { return m_error; }

    quint16 port() const { return m_port; }
    QString binDir() const;
    ScratchDb &db() { return m_db; }

    //! Ends the server program only, as if it crashed; the relay stays.
    void stopServer();
    //! Kills the server program at once (SIGKILL: no clean-up of any kind); the relay stays.
    void killServer();
    //! Starts the server program again on the same install tree and database.
    bool restartServer();
    //! What the programs wrote to stdout and stderr so far (for failure messages).
    QString output();

private:
    bool prepareTree();
    bool writeSettings();
    bool startServer();
    bool startRelay();
    bool fail(const QString &text);
    std::unique_ptr<QProcess> launch(const QString &program, const QStringList &args);

    ScratchDb m_db;
    QTemporaryDir m_root;
    QString m_instance;
    quint16 m_port = 0;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_relay;
    QString m_error;
};

} // namespace korvane::test
