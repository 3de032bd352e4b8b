#include "LumoTagLook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace LumoTagStr {

QColor moneyGreen()
{
    return QColor(0xC0, 0xDC, 0xC0);
}

void applyLook(QWidget *control, bool readOnly)
{
    if (!control)
        return;
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, readOnly
                                         ? moneyGreen()
                                         : QApplication::palette(control).color(QPalette::Base));
    control->setPalette(palette);
    control->update();
}

} // namespace LumoTagStr
