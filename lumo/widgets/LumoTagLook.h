#pragma once
//! How a control shows the read-only mark of its TagStr.

#include "LumoTagStr.h"

#include <QColor>

class QWidget;

namespace LumoTagStr {

//! The money green of read-only controls ($C0DCC0).
QColor moneyGreen();

//! Sets the control's colour to money green (read-only) or back to the window colour,
//! and repaints it.
void applyLook(QWidget *control, bool readOnly);

} // namespace LumoTagStr
