#include "LumoEdit.h"

#include "LumoFont.h"

namespace lumo {

void setTabStop(QWidget *control, bool tabStop)
{
    control->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace lumo

TLumoEdit::TLumoEdit(QWidget *parent) : QLineEdit(parent)
{
    lumo::applyLumoFont(this);
}
