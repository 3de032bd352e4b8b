#include "UMsgBox.h"
#include "USplash.h"
#include "UStartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Only the server starts the client; nothing else is created before this check.
    if (!launchedByServer(QApplication::arguments())) {
        MsgBox(notLaunchedMessage(), mkHint);
        return 1;
    }
    TfrmSplash splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();
    return 0;
}
