#pragma once
//! The library's own message box, for programs that install no message function of their own.

#include <QString>

//! A modal message box with the information icon, the kind's caption and buttons; returns
//! the button pressed (LumoMsg::Result). Fits TLumoMessageHook.
int lumoDefaultMessage(const QString &text, int kind);
