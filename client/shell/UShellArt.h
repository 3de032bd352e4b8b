#pragma once
//! The main and navigation windows' pictures, drawn rather than shipped, and their links.

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

namespace korvane::shellart {

//! The navigation pane's light blue ($F0CAA6) and the window border's grey ($808080).
inline const QColor NavBlue(0xA6, 0xCA, 0xF0);
inline const QColor BorderGrey(0x80, 0x80, 0x80);

enum class ButtonLook { Normal, Enter, Down };
//! A group button's bar in one of its looks.
QPixmap groupButton(const QSize &size, ButtonLook look);

enum class TitleGlyph { Min, Max, Restore, Close };
//! A picture of the title strip (minimise, maximise, restore, close).
QPixmap titleButton(TitleGlyph glyph);
//! The program's picture at the left of the top bar.
QPixmap titlePicture();

//! A launcher picture: a rounded tile in the colour of the action's kind carrying the first
//! character of its caption, on white (the launcher's transparent colour).
QPixmap launcherPicture(const QString &caption, const QColor &tile);

//! The top bar's background.
QPixmap topBar(const QSize &size);

//! A label showing a link that opens with the system's default handler when clicked.
QLabel *linkLabel(const QString &href, const QString &text, QWidget *parent);

} // namespace korvane::shellart
