#pragma once
//! Running programs: the process snapshot from /proc and the start-unless-running routine
//! with which the server starts the relay and the client.

#include <QList>
#include <QString>
#include <QStringList>

namespace korvane {

struct ProcessEntry
{
    qint64 pid = 0;
    QString executable; // path of the running executable; empty when it cannot be read
    QString argv0;      // first word of the command line, made absolute where possible
};

//! Every process of the machine that /proc shows.
QList<ProcessEntry> processSnapshot();

//! Whether a process runs whose upper-cased executable file name begins with the
//! upper-cased name (so "scktsrvr" also finds "scktsrvr2"). With onlyFromDir set, only
//! programs started from that folder count.
bool isProcessRunning(const QString &name, const QString &onlyFromDir = QString());

//! Whether a program of that name runs, counted as startUnlessRunning counts: while
//! KORVANE_INSTANCE is set, only programs started from programDir.
bool isRunningForInstall(const QString &name, const QString &programDir);

//! The command line's program, looked for in programDir first, then on the search path, and
//! its arguments; false when there is no such program.
bool resolveCommand(const QString &commandLine, const QString &programDir, QString *program,
                    QStringList *arguments);

enum class StartResult { AlreadyRunning, Started, Failed };

//! Starts the command line (program and arguments) unless a process of that name runs.
//! The program is looked for in programDir first, then on the search path, and starts in
//! programDir without waiting for it. While KORVANE_INSTANCE is set only programs started
//! from programDir count as running.
StartResult startUnlessRunning(const QString &name, const QString &commandLine,
                               const QString &programDir, qint64 *pid = nullptr);

} // namespace korvane
