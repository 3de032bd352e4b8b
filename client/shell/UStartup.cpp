#include "UStartup.h"

bool launchedByServer(const QStringList &arguments)
{
    return arguments.size() > 1 && arguments.at(1) == QLatin1String("RUN");
}

QString notLaunchedMessage()
{
    return QStringLiteral("程序不能单独运行！请运行Korvane.exe!");
}
