#pragma once
// Helpers for the library's widget tests: recorded messages, hovering, active windows.

#include "LumoMessages.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <QWidget>

namespace lumo::test {

//! Records every message instead of showing it; answers with a fixed button.
struct MessageLog
{
    QStringList texts;
    QList<int> kinds;
    explicit MessageLog(int answer = LumoMsg::Ok)
    {
        setLumoMessageHook([this, answer](const QString &text, int kind) {
            texts << text;
            kinds << kind;
            return answer;
        });
    }
    ~MessageLog() { setLumoMessageHook({}); }
    MessageLog(const MessageLog &) = delete;
    MessageLog &operator=(const MessageLog &) = delete;
};

//! The mouse entering (in) or leaving a widget.
inline void hover(QWidget *widget, bool in)
{
    if (in) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }
}

//! Shows a window and makes it the active one; false when it never became active.
[[nodiscard]] inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

} // namespace lumo::test
