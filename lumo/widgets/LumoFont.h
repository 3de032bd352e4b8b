#pragma once
//! The library's one font: "宋体" size 9, standing in with the installed CJK face that reads
//! best at that size.

#include <QFont>

class QWidget;

namespace lumo {

//! "宋体" at 9 points; where that family is missing the text renders in the
//! installed simplified-Chinese font instead of falling back to boxes.
QFont lumoFont();

//! Gives a widget the library font (editors, grids, panels, buttons, labels).
void applyLumoFont(QWidget *widget);

//! Makes the library font the program's own, so that plain Qt widgets and Qt's dialogs show
//! the same face as the library's controls.
void useLumoFontEverywhere();

} // namespace lumo
