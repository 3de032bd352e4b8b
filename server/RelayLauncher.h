#pragma once
//! The windowed server's start of the socket relay scktsrvr: as the server's own child, so
//! that when the relay ends early (a port it cannot listen on) the operator is told why and
//! what to change, instead of only seeing the client fail to connect.

#include "ProcessUtil.h"

#include <QObject>
#include <QProcess>

namespace korvane {

class RelayLauncher : public QObject
{
    Q_OBJECT
public:
    explicit RelayLauncher(const QString &programDir, QObject *parent = nullptr);
    //! The relay ends with the server that started it.
    ~RelayLauncher() override;

    //! Starts the command line unless a relay of the install runs already.
    StartResult start(const QString &commandLine);

signals:
    //! The relay ended on its own: its exit code and its words on standard error. The
    //! operator has been told, in a box above every window.
    void ended(int exitCode, const QString &words);

private:
    void passOnErrorOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);

    QString m_programDir;
    QProcess *m_process = nullptr;
    QByteArray m_words;
};

} // namespace korvane
