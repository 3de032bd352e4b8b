#include "LumoMessages.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLumoMessages, "korvane.lumo.messages")

namespace {

TLumoMessageHook &currentHook()
{
    static TLumoMessageHook hook = lumoLoggedMessage;
    return hook;
}

} // namespace

void setLumoMessageHook(TLumoMessageHook hook)
{
    currentHook() = hook ? std::move(hook) : TLumoMessageHook(lumoLoggedMessage);
}

const TLumoMessageHook &lumoMessageHook()
{
    return currentHook();
}

int lumoMessage(const QString &text, int kind)
{
    return currentHook()(text, kind);
}

int lumoLoggedMessage(const QString &text, int kind)
{
    qCWarning(lcLumoMessages).noquote() << "message of kind" << kind << "with nobody to show it:"
                                        << text;
    return LumoMsg::Ok;
}
