#include "LumoSpinEdit.h"

#include "LumoFont.h"
#include "LumoTagLook.h"

TLumoSpinEdit::TLumoSpinEdit(QWidget *parent) : QSpinBox(parent)
{
    lumo::applyLumoFont(this);
}

void TLumoSpinEdit::setTagStr(const QString &value)
{
    const TLumoTagRule rule = LumoTagStr::apply(TLumoTagKind::SpinEdit, value);
    m_tagStr = rule.stored;
    setReadOnly(rule.readOnly);
    LumoTagStr::applyLook(this, rule.readOnly);
}
