#pragma once
//! The library's one font: "宋体" size 9, falling back to the installed CJK font.

#include <QFont>

class QWidget;

namespace lumo {

//! "宋体" at 9 points; where that family is missing the text renders in the
//! installed simplified-Chinese font instead of falling back to boxes.
QFont lumoFont();

//! Gives a widget the library font (editors, grids, panels, buttons, labels).
void applyLumoFont(QWidget *widget);

} // namespace lumo
