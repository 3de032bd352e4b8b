#include "LumoPageControl.h"

#include "LumoFont.h"

TLumoPageControl::TLumoPageControl(QWidget *parent) : QTabWidget(parent)
{
    lumo::applyLumoFont(this);
}
