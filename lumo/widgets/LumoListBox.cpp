#include "LumoListBox.h"

#include "LumoFont.h"
#include "LumoTagLook.h"

TLumoListBox::TLumoListBox(QWidget *parent) : QListWidget(parent)
{
    lumo::applyLumoFont(this);
}

void TLumoListBox::setTagStr(const QString &value)
{
    const TLumoTagRule rule = LumoTagStr::apply(TLumoTagKind::ListBox, value);
    m_tagStr = rule.stored;
    setEnabled(!rule.readOnly);
    LumoTagStr::applyLook(this, rule.readOnly);
}
