#pragma once
//! The server's one message function: every message box of the server's windows goes
//! through it, so that tests can read the messages instead of answering boxes.

#include "SrvMessageKind.h"

#include <QString>

#include <functional>

class QWidget;

namespace korvane {

struct SrvMessageText
{
    SrvMessageKind kind = SrvMessageKind::Hint;
    QString text;
    QString detail; // the driver's own words, shown on request
};

using SrvMessageHandler = std::function<void(QWidget *parent, const SrvMessageText &message)>;

//! Without a parent the box stays above every window.
void SrvMessage(QWidget *parent, SrvMessageKind kind, const QString &text,
                const QString &detail = QString());

//! Replaces the message boxes; an empty handler restores them.
void setSrvMessageHandler(SrvMessageHandler handler);

} // namespace korvane
