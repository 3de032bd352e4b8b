#include "UApplication.h"

#include "LumoMessages.h"
#include "UMsgBox.h"

#include <QDebug>

#include <exception>

TKorvaneApplication::TKorvaneApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    routeLibraryMessages();
}

bool TKorvaneApplication::notify(QObject *receiver, QEvent *event)
{
    // Last resort: an error no boundary caught ends that handler only; it is logged, nothing
    // is shown, the program carries on, and the event counts as handled.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ++m_swallowed;
        qWarning().noquote() << "KorvaneQUV: unhandled error:" << error.what();
    } catch (...) {
        ++m_swallowed;
        qWarning().noquote() << "KorvaneQUV: unhandled error";
    }
    return true;
}

void TKorvaneApplication::routeLibraryMessages()
{
    setLumoMessageHook([](const QString &text, int kind) { return MsgBox(text, kind); });
}
