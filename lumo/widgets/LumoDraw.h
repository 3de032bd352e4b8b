#pragma once
//! Small drawing helpers shared by the library's painted controls.

#include <QColor>
#include <QPixmap>
#include <QRegion>

class QPainter;
class QWidget;

namespace lumo {

//! A one-pixel frame: one colour on the top and left, another on the bottom and right.
void drawFrame(QPainter &painter, const QRect &rect, const QColor &topLeft,
               const QColor &bottomRight);
//! The picture with its top-left pixel colour made transparent.
QPixmap withoutTransparentColour(const QPixmap &picture);
//! The pixels of an image whose colour differs from its top-left pixel.
QRegion regionDifferingFromCorner(const QImage &image);
//! True when a widget is placed by its parent's layout rather than by its own geometry.
bool isLaidOut(const QWidget *widget);

} // namespace lumo
