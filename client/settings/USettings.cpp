#include "USettings.h"

#include "URight.h"
#include "USysPara.h"
#include "UWorkWindows.h"
#include "Upwd.h"

void registerSettingsDialogs()
{
    using korvane::workwindows::registerWindow;
    registerWindow(QStringLiteral("TfrmRight"),
                   [](QWidget *parent) { return new TfrmRight(parent); });
    registerWindow(QStringLiteral("Tfrmpwd"), [](QWidget *parent) { return new Tfrmpwd(parent); });
    registerWindow(QStringLiteral("TfrmSysPara"),
                   [](QWidget *parent) { return new TfrmSysPara(parent); });
}
