#include "ServerProgram.h"

#include "AutoGainNO.h"
#include "Backup.h"
#include "ClassRegistry.h"
#include "ConnectionString.h"
#include "InstanceNames.h"
#include "ModuleHost.h"
#include "ModuleRegistry.h"
#include "PlantIni.h"
#include "Posting.h"
#include "ProcessUtil.h"
#include "QtTranslations.h"
#include "RelayLauncher.h"
#include "ScopedConnection.h"
#include "SingleInstance.h"
#include "SrvMessage.h"
#include "UDBLogIn.h"
#include "USrvMain.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane {

namespace {

const char *const kUsage =
    "Usage: Korvane                     the server in the tray (starts scktsrvr and KorvaneQUV)\n"
    "       Korvane --service           module host only, no window; ends on SIGTERM\n"
    "       Korvane --create-account-set [--server TEXT] [--integrated]\n"
    "               [--user NAME] [--password TEXT] [--demo]\n"
    "                                   test the database and create the account set\n"
    "                                   (--demo: with a small firm's data to try it on)\n"
    "       Korvane --backup FILE         write a backup of the account set (while clients work)\n"
    "       Korvane --restore FILE [--server TEXT] [--integrated] [--user NAME] [--password TEXT]\n"
    "                                   create the account set from a backup\n"
    "       Korvane --recompute-stock [--fix]\n"
    "                                   balances worked out again from the checked documents;\n"
    "                                   --fix writes them (the server must not be running)\n"
    "       Korvane -regserver | -unregserver\n";

void tell(const QString &text)
{
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);
    err << text << Qt::endl;
}

//! Messages of the headless modes go to standard error, those of the windowed one to a box.
void report(bool headless, SrvMessageKind kind, const QString &text,
            const QString &detail = QString())
{
    if (headless)
        tell(detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QLatin1Char(')'));
    else
        SrvMessage(nullptr, kind, text, detail);
}

bool isSwitch(const QString &arg, const char *name)
{
    QString bare = arg;
    while (bare.startsWith(QLatin1Char('-')) || bare.startsWith(QLatin1Char('/')))
        bare.remove(0, 1);
    return bare.compare(QLatin1String(name), Qt::CaseInsensitive) == 0 && bare.size() < arg.size();
}

//! SIGTERM and SIGINT end the event loop (through a socket, the only safe way out of a handler).
class TerminationWatcher
{
public:
    TerminationWatcher()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_fds) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_fds[1], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, qApp,
                         [] { QCoreApplication::quit(); });
        struct sigaction action = {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const auto written = ::write(s_fds[0], &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
    }

private:
    static inline int s_fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

int createAccountSet(const DBLogInChoice &choice, const QString &binDir)
{
    AccountSetSetup setup(binDir);
    setup.onProgress = [](const QStringList &lines) { tell(lines.last()); };
    setup.onMessage = [](SrvMessageKind, const QString &text, const QString &detail) {
        report(true, SrvMessageKind::Hint, text, detail);
    };
    return setup.run(choice) == SetupOutcome::Saved ? 0 : 1;
}

//! The backup of the ready account set that Plant.ini names.
int runBackup(const QString &file, const QString &binDir)
{
    const PlantIni ini(plantIniPath());
    if (!ini.readBool(QString::fromLatin1(kServerSection), QStringLiteral("DBREADY"), false)) {
        tell(QStringLiteral("套帐尚未创建：没有可以备份的数据"));
        return 1;
    }
    QString error;
    if (!backupAccountSet(buildRunTimeConnection(ini, binDir), file, &error)) {
        tell(QStringLiteral("备份数据失败！") + QStringLiteral(" (") + error + QLatin1Char(')'));
        return 1;
    }
    tell(QStringLiteral("备份数据完成：") + file);
    return 0;
}

//! The balances of the ready account set compared with what the checked documents say;
//! 0 when they agree (or were mended), 1 when they differ or cannot be read.
int runRecompute(const QString &binDir, bool fix)
{
    const PlantIni ini(plantIniPath());
    if (!ini.readBool(QString::fromLatin1(kServerSection), QStringLiteral("DBREADY"), false)) {
        tell(QStringLiteral("套帐尚未创建"));
        return 1;
    }
    QString error;
    ScopedConnection connection(buildRunTimeConnection(ini, binDir), &error, "recompute");
    if (!connection.isOpen()) {
        tell(QStringLiteral("连接数据库失败！") + QStringLiteral(" (") + error + QLatin1Char(')'));
        return 1;
    }
    try {
        const QList<BalanceDifference> differences = recomputeBalances(connection.db(), fix);
        for (const BalanceDifference &d : differences)
            tell(QStringLiteral("%1: %2 → %3")
                     .arg(d.balance,
                          d.stored.isNull() ? QStringLiteral("(无)") : d.stored.toString(),
                          d.recomputed.toString()));
        if (differences.isEmpty())
            tell(QStringLiteral("结存与已审核单据一致。"));
        else
            tell(QStringLiteral("%1 处结存与已审核单据不符%2")
                     .arg(differences.size())
                     .arg(fix ? QStringLiteral("，已改正。") : QStringLiteral("。")));
        return differences.isEmpty() || fix ? 0 : 1;
    } catch (const ServerError &e) {
        tell(e.text());
        return 1;
    }
}

//! The module host, serving the classes to scktsrvr; false when it cannot listen.
bool startModuleHost(ModuleHost &host, const QString &binDir, bool headless)
{
    host.setRegistryDir(binDir);
    registerKorvaneModules(host);
    QString error;
    if (host.listen(moduleHostSocketName(binDir), &error))
        return true;
    report(headless, SrvMessageKind::Error, QStringLiteral("模块服务无法启动"), error);
    return false;
}

//! Runs the event loop; at the end the document-number cache is emptied, nothing is written back.
int runLoop()
{
    const int status = QCoreApplication::exec();
    AutoGainNO::instance().clear();
    return status;
}

int runReady(ServerArguments::Mode mode, const QString &binDir, const PlantIni &ini)
{
    setRunTimeConnection(buildRunTimeConnection(ini, binDir));
    const bool headless = mode == ServerArguments::Mode::Service;
    ModuleHost host;
    if (!startModuleHost(host, binDir, headless) && headless)
        return 1;
    if (headless) {
        TerminationWatcher watcher;
        return runLoop();
    }
    auto *app = static_cast<QApplication *>(QCoreApplication::instance());
    // Dialogs of a window hidden in the tray close too; only the main window ends the program.
    app->setQuitOnLastWindowClosed(false);
    RelayLauncher relay(binDir);
    TfrmSrvMain main(binDir, [&relay, binDir](const QString &name, const QString &commandLine) {
        // The relay is our child, so that we hear why it ends; a relay or client that cannot
        // be started at all is not reported.
        if (name == QLatin1String("scktsrvr"))
            relay.start(commandLine);
        else
            startUnlessRunning(name, commandLine, binDir);
    });
    QObject::connect(&main, &TfrmSrvMain::closed, app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    main.startInTray();
    return runLoop();
}

} // namespace

ServerArguments parseServerArguments(const QStringList &arguments)
{
    ServerArguments result;
    result.choice.server = embeddedDataSourceLabel();
    result.choice.user = QStringLiteral("sa");
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        const bool valued = i + 1 < arguments.size();
        if (arg == QLatin1String("--backup") && valued) {
            result.mode = ServerArguments::Mode::Backup;
            result.backupFile = arguments.at(++i);
        } else if (arg == QLatin1String("--restore") && valued) {
            result.mode = ServerArguments::Mode::CreateAccountSet;
            result.choice.backupFile = arguments.at(++i);
        } else if (arg == QLatin1String("--recompute-stock")) {
            result.mode = ServerArguments::Mode::RecomputeStock;
        } else if (arg == QLatin1String("--fix")) {
            result.fix = true;
        } else if (arg == QLatin1String("--service"))
            result.mode = ServerArguments::Mode::Service;
        else if (arg == QLatin1String("--create-account-set"))
            result.mode = ServerArguments::Mode::CreateAccountSet;
        else if (isSwitch(arg, "regserver"))
            result.mode = ServerArguments::Mode::RegisterClasses;
        else if (isSwitch(arg, "unregserver"))
            result.mode = ServerArguments::Mode::UnregisterClasses;
        else if (isSwitch(arg, "automation") || isSwitch(arg, "embedding"))
            continue; // started to serve a client: the same as a normal start
        else
            rest << arg;
    }
    const QList<QPair<const char *, QString *>> valued = {
        {"--server", &result.choice.server},
        {"--user", &result.choice.user},
        {"--password", &result.choice.password},
    };
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &arg = rest.at(i);
        bool known = false;
        for (const auto &[name, target] : valued) {
            if (arg == QLatin1String(name) && i + 1 < rest.size()) {
                *target = rest.at(++i);
                known = true;
            }
        }
        if (arg == QLatin1String("--integrated")) {
            result.choice.integrated = true;
            known = true;
        }
        if (arg == QLatin1String("--demo")) {
            result.choice.demo = true;
            known = true;
        }
        const bool strict = result.mode != ServerArguments::Mode::Windowed;
        if (!known && strict && result.error.isEmpty())
            result.error = QStringLiteral("unknown option: ") + arg;
    }
    return result;
}

int refuseSecondStart(bool headless)
{
    report(headless, SrvMessageKind::Error, QStringLiteral("系统已运行！"));
    return 1;
}

int runServer(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ServerArguments args = parseServerArguments(arguments);
    const bool headless = args.isHeadless();
    std::unique_ptr<QCoreApplication> app;
    if (headless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    installQtTranslations();
    if (!args.error.isEmpty()) {
        tell(args.error + QLatin1Char('\n') + QString::fromLatin1(kUsage));
        return 2;
    }

    const QString binDir = programDir();
    // A backup is taken while the server and its clients keep working.
    if (args.mode == ServerArguments::Mode::Backup)
        return runBackup(args.backupFile, binDir);
    // Looking is allowed beside a working server; mending is not.
    if (args.mode == ServerArguments::Mode::RecomputeStock && !args.fix)
        return runRecompute(binDir, false);
    SingleInstance instance(binDir);
    if (!instance.tryLock())
        return refuseSecondStart(headless);
    QString error;
    switch (args.mode) {
    case ServerArguments::Mode::RegisterClasses:
    case ServerArguments::Mode::UnregisterClasses: {
        const bool ok =
            writeClassRegistry(binDir, args.mode == ServerArguments::Mode::RegisterClasses, &error);
        if (!ok)
            tell(error);
        return ok ? 0 : 1;
    }
    case ServerArguments::Mode::CreateAccountSet:
        return createAccountSet(args.choice, binDir);
    case ServerArguments::Mode::RecomputeStock:
        return runRecompute(binDir, true);
    case ServerArguments::Mode::Backup:
    case ServerArguments::Mode::Windowed:
    case ServerArguments::Mode::Service:
        break;
    }

    // Like any automation server, every start registers the classes it serves.
    if (!writeClassRegistry(binDir, true, &error))
        tell(error);
    const PlantIni ini(plantIniPath());
    if (ini.readBool(QString::fromLatin1(kServerSection), QStringLiteral("DBREADY"), false))
        return runReady(args.mode, binDir, ini);
    if (headless) {
        tell(QStringLiteral("套帐尚未创建：请先运行 Korvane --create-account-set"));
        return 1;
    }
    // No account set yet: only the database dialog; the operator starts the server again.
    TfrmDBLogIn dialog(binDir);
    dialog.exec();
    return 0;
}

} // namespace korvane
