#pragma once
//! The one path by which library components, and later the client shell, show a message.
//! The hook is replaceable: the client puts its MsgBox into it, tests put an answering stub.

#include <QString>

#include <functional>

//! Kinds of message: hint "提示", info "信息", question "询问" (yes/no), question with
//! cancel, and a component diagnostic shown while a window initialises.
enum TLumoMsgKind : int { mkHint = 0, mkInfo = 1, mkYesNo = 2, mkYesNoCancel = 3, mkDebug = 4 };

//! Button numbers answered by a message.
enum TLumoMsgResult : int { mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

using TLumoMessageHook = std::function<int(const QString &text, int kind)>;

//! Replaces the hook; an empty hook restores the default message box.
void setLumoMessageHook(TLumoMessageHook hook);
const TLumoMessageHook &lumoMessageHook();

//! Shows text through the current hook and returns the button pressed.
int lumoMessage(const QString &text, int kind);

//! The default: a modal message box with the information icon.
int lumoDefaultMessage(const QString &text, int kind);
