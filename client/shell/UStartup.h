#pragma once
//! The client's start-up: the launch check and the order in which windows come up.

#include <QStringList>

//! True when the first argument after the program name is exactly "RUN".
bool launchedByServer(const QStringList &arguments);

//! The text shown when the client is started by hand.
QString notLaunchedMessage();
