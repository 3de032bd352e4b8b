#pragma once
//! When a control counts as left: switching windows or opening a menu or popup moves the
//! focus away for a moment, but the operator has not left the field.

#include <QFocusEvent>

namespace lumo {

inline bool leavesField(const QFocusEvent *event)
{
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return false;
    default:
        return true;
    }
}

} // namespace lumo
