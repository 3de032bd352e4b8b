#include "LumoComboBox.h"

#include "LumoFont.h"
#include "LumoTagStr.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

TLumoComboBox::TLumoComboBox(QWidget *parent) : QComboBox(parent)
{
    lumo::applyLumoFont(this);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Every item stays listed while typing, the best match current: the list drops
    // down and the text completes as the operator types.
    completer()->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

void TLumoComboBox::setTagStr(const QString &value)
{
    const TLumoTagRule rule = LumoTagStr::apply(TLumoTagKind::ComboBox, value);
    m_tagStr = rule.stored;
    setEnabled(!rule.readOnly);
    LumoTagStr::applyLook(this, rule.readOnly);
}

void TLumoComboBox::showPopup()
{
    m_listOpen = true;
    QComboBox::showPopup();
}

void TLumoComboBox::hidePopup()
{
    m_listOpen = false;
    QComboBox::hidePopup();
}

void TLumoComboBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && !(event->modifiers() & ~Qt::KeypadModifier) &&
        !m_listOpen) {
        showPopup();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
