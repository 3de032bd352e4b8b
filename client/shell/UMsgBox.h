#pragma once
//! The client's one message function. Every message the client shows goes through
//! MsgBox, and MsgBox through one replaceable handler, so tests can read and answer.

#include <QString>

#include <functional>

enum TMsgKind : int {
    mkHint = 0,        // "提示", OK
    mkInfo = 1,        // "信息", OK
    mkYesNo = 2,       // "询问", Yes / No
    mkYesNoCancel = 3, // "询问", Yes / No / Cancel
    mkDebug = 4,       // component diagnostic, "Debug", OK
};

// Button numbers MsgBox returns.
enum TMsgResult : int { mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

//! Shows the message and returns the button pressed; unknown kinds show nothing and return 1.
int MsgBox(const QString &text, int kind);

//! What a message box shows: caption, full text and the buttons offered.
struct TMsgBoxRequest
{
    QString caption;
    QString text;
    int kind = mkHint;
};

using TMsgBoxHandler = std::function<int(const TMsgBoxRequest &)>;

//! Replaces the handler (tests answer here); returns the previous one. An empty
//! handler restores the system message box.
TMsgBoxHandler setMsgBoxHandler(TMsgBoxHandler handler);

//! The caption and text MsgBox shows for a kind; false for kinds that show nothing.
bool msgBoxRequest(const QString &text, int kind, TMsgBoxRequest *request);
