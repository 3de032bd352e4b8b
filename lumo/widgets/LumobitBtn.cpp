#include "LumobitBtn.h"

#include "LumoFont.h"

TLumobitBtn::TLumobitBtn(QWidget *parent) : TLumobitBtn(QString(), parent) {}

TLumobitBtn::TLumobitBtn(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    lumo::applyLumoFont(this);
}
