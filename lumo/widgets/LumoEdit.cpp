#include "LumoEdit.h"

#include "LumoDataSource.h"
#include "LumoFieldLink.h"
#include "LumoFocus.h"
#include "LumoFont.h"
#include "LumoMessages.h"

#include <QFocusEvent>

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

// Each data-aware control reaches its data source and field through its link.
#define LUMO_FIELD_LINK_ACCESSORS(Class)                                                           \
    TLumoDataSource *Class::DataSource() const                                                     \
    {                                                                                              \
        return m_link->DataSource();                                                               \
    }                                                                                              \
    void Class::setDataSource(TLumoDataSource *source)                                             \
    {                                                                                              \
        m_link->setDataSource(source);                                                             \
    }                                                                                              \
    QString Class::DataField() const                                                               \
    {                                                                                              \
        return m_link->DataField();                                                                \
    }                                                                                              \
    void Class::setDataField(const QString &name)                                                  \
    {                                                                                              \
        m_link->setDataField(name);                                                                \
    }

LUMO_FIELD_LINK_ACCESSORS(TLumoDBEdit)
LUMO_FIELD_LINK_ACCESSORS(TLumoDBMemo)
LUMO_FIELD_LINK_ACCESSORS(TLumoDBText)

TLumoDBEdit::TLumoDBEdit(QWidget *parent) : QLineEdit(parent), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    connect(m_link, &TLumoFieldLink::dataChanged, this, &TLumoDBEdit::load);
    connect(m_link, &TLumoFieldLink::stateChanged, this, &TLumoDBEdit::load);
    connect(this, &QLineEdit::textEdited, this, &TLumoDBEdit::writeText);
}

void TLumoDBEdit::load()
{
    if (m_writing)
        return;
    m_error.clear();
    const QString shown = m_link->text(hasFocus());
    if (shown == text())
        return;
    setText(shown);
    // A value wider than the box shows its beginning, as it is read, until it is edited.
    if (!hasFocus())
        setCursorPosition(0);
}

void TLumoDBEdit::writeText(const QString &typed)
{
    m_writing = true;
    const bool editable = m_link->canModify() && m_link->edit();
    m_error.clear();
    if (editable)
        m_link->write(typed.isEmpty() ? QVariant() : QVariant(typed), &m_error);
    m_writing = false;
    if (!editable)
        load(); // the record refuses changes: show what it holds
}

void TLumoDBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (m_error.isEmpty())
        load();
}

void TLumoDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!lumo::leavesField(event) || !isVisible())
        return;
    if (!m_error.isEmpty()) {
        // Text the field cannot take stays in the edit until the operator mends it.
        setFocus(Qt::OtherFocusReason);
        lumoMessage(m_error, LumoMsg::Hint);
        return;
    }
    load();
}

TLumoDBMemo::TLumoDBMemo(QWidget *parent) : QPlainTextEdit(parent), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    connect(m_link, &TLumoFieldLink::dataChanged, this, &TLumoDBMemo::load);
    connect(this, &QPlainTextEdit::textChanged, this, &TLumoDBMemo::writeText);
}

void TLumoDBMemo::load()
{
    if (m_writing)
        return;
    const QString shown = m_link->text(true);
    if (shown == toPlainText())
        return;
    m_loading = true;
    setPlainText(shown);
    m_loading = false;
}

void TLumoDBMemo::writeText()
{
    if (m_loading)
        return;
    const QString typed = toPlainText();
    m_writing = true;
    const bool written = m_link->canModify() && m_link->edit() &&
                         m_link->write(typed.isEmpty() ? QVariant() : QVariant(typed));
    m_writing = false;
    if (!written)
        load();
}

TLumoDBText::TLumoDBText(QWidget *parent) : QLabel(parent), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    connect(m_link, &TLumoFieldLink::dataChanged, this, [this] { setText(m_link->text(false)); });
}
