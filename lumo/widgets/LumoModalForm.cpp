#include "LumoModalForm.h"

#include "LumoDateEdit.h"

TLumoModalForm::TLumoModalForm(QWidget *form) : QObject(form), m_form(form) {}

void TLumoModalForm::Apply(const QString &userDateFormat)
{
    if (m_applied)
        return;
    m_applied = true;
    lumo::applyDateTimeFmt(m_form, lumo::dateTimeFmtOf(userDateFormat));
}
