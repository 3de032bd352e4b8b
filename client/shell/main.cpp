#include "LumoFont.h"
#include "QtTranslations.h"
#include "ShellMessages.h"
#include "UApplication.h"
#include "UChartQry.h"
#include "UDMMain.h"
#include "UDocuments.h"
#include "ULogIn.h"
#include "UMain.h"
#include "UMasterData.h"
#include "UMsgBox.h"
#include "URPTQryKinds.h"
#include "USettings.h"
#include "USplash.h"
#include "UStartup.h"

#include <QWindow>

#include <memory>

namespace {

//! The windows of the masterdata, documents, reports and charts libraries, by class name.
void registerWindowLibraries()
{
    registerMasterDataWindows();
    registerDocumentWindows();
    registerReportWindows();
    registerChartWindows();
    registerSettingsDialogs();
}

//! The dialog belongs to the window: it stays above it, yet not above other programs.
void keepAbove(QWidget *dialog, QWidget *window)
{
    dialog->winId();
    dialog->windowHandle()->setTransientParent(window->windowHandle());
}

} // namespace

int main(int argc, char *argv[])
{
    TKorvaneApplication app(argc, argv);
    korvane::installQtTranslations();
    lumo::useLumoFontEverywhere(); // one face in the library's controls and Qt's own
    // Only the server starts the client; nothing else is created before this check.
    if (!launchedByServer(QApplication::arguments())) {
        MsgBox(notLaunchedMessage(), mkHint);
        return 1;
    }

    // Without a session bus the client still runs; it only cannot hear or tell the server.
    korvane::ShellMessages shell(QCoreApplication::applicationDirPath());
    shell.registerMessages();

    auto splash = std::make_unique<TfrmSplash>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    registerWindowLibraries();
    // The data module outlives every window; its end tells the server the client is gone.
    const auto dm = std::make_unique<TdmMain>(&shell);
    TfrmMain frmMain(&shell, dm.get());
    auto login = std::make_unique<TfrmLogIn>(dm.get(), &shell);
    keepAbove(login.get(), splash.get());

    if (!frmMain.RunLogIn(login.get())) {
        splash.reset();
        frmMain.close();
        return 0;
    }
    login.reset();

    frmMain.CreateStartupWindows();
    splash.reset();
    frmMain.showMaximized();
    return app.exec();
}
