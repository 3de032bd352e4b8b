#pragma once
//! The one path by which library components, and later the client shell, show a message.
//! The hook is replaceable: the client puts its MsgBox into it, tests put an answering stub.

#include <QString>

#include <functional>

//! Kinds of message: hint "提示", info "信息", question "询问" (yes/no), question with
//! cancel, and a component diagnostic shown while a window initialises.
//! Scoped so that the client's own MsgBox constants can live beside them.
namespace LumoMsg {
enum Kind : int { Hint = 0, Info = 1, YesNo = 2, YesNoCancel = 3, Debug = 4 };

//! Button numbers answered by a message.
enum Result : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
} // namespace LumoMsg

using TLumoMessageHook = std::function<int(const QString &text, int kind)>;

//! Replaces the hook; an empty hook restores the default, which only logs. A program with
//! windows installs its message box (the client its MsgBox, or lumoDefaultMessage).
void setLumoMessageHook(TLumoMessageHook hook);
const TLumoMessageHook &lumoMessageHook();

//! Shows text through the current hook and returns the button pressed.
int lumoMessage(const QString &text, int kind);

//! The default of the data layer: the text goes to the log and the answer is Ok.
int lumoLoggedMessage(const QString &text, int kind);
