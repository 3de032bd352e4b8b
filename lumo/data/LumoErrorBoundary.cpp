#include "LumoErrorBoundary.h"

#include "LumoField.h"
#include "LumoMessages.h"

#include "OperatorError.h"

#include <QDebug>

#include <exception>

void lumoShowError(const QString &text)
{
    lumoMessage(text, LumoMsg::Hint);
}

bool lumoBoundary(const char *where, const std::function<void()> &work,
                  const TLumoErrorText &onText)
{
    try {
        work();
        return true;
    } catch (const TLumoAbort &) {
        // Refused silently: whoever refused has said why.
    } catch (const korvane::OperatorError &e) {
        if (onText)
            onText(e.text());
    } catch (const std::exception &e) {
        // No text for the operator: the log keeps what went wrong.
        qWarning().noquote() << "lumo:" << where << "failed:" << e.what();
    }
    return false;
}
