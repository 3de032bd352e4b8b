#include "LumoComboBox.h"

#include "LumoEdit.h"
#include "LumoFieldLink.h"
#include "LumoFont.h"
#include "LumoTagLook.h"

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

TLumoDBLookupCombobox::TLumoDBLookupCombobox(QWidget *parent)
    : QComboBox(parent), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    connect(m_link, &TLumoFieldLink::dataChanged, this, &TLumoDBLookupCombobox::load);
    connect(this, &QComboBox::activated, this, &TLumoDBLookupCombobox::choose);
}

void TLumoDBLookupCombobox::setTagStr(const QString &value)
{
    m_tagStr = lumo::applyEditorTagStr(this, value);
}

TLumoDataSource *TLumoDBLookupCombobox::DataSource() const
{
    return m_link->DataSource();
}

void TLumoDBLookupCombobox::setDataSource(TLumoDataSource *source)
{
    m_link->setDataSource(source);
}

QString TLumoDBLookupCombobox::DataField() const
{
    return m_link->DataField();
}

void TLumoDBLookupCombobox::setDataField(const QString &name)
{
    m_link->setDataField(name);
}

void TLumoDBLookupCombobox::setListSource(TLumoDataSource *source)
{
    m_listSource = source;
    fillList();
}

void TLumoDBLookupCombobox::setKeyField(const QString &name)
{
    m_keyField = name;
    fillList();
}

void TLumoDBLookupCombobox::setListField(const QString &name)
{
    m_listField = name;
    fillList();
}

void TLumoDBLookupCombobox::showPopup()
{
    if (m_readOnly)
        return;
    refreshList();
    QComboBox::showPopup();
}

void TLumoDBLookupCombobox::refreshList()
{
    TLumoCLientDataSet *list = m_listSource ? m_listSource->DataSet() : nullptr;
    // Only a list served by a provider can be read again; one built in memory is kept.
    if (!list || !list->RemoteServer() || list->ProviderName().isEmpty())
        return;
    try {
        list->Close();
        list->Open();
        ++m_refreshes;
    } catch (const korvane::OperatorError &) {
        // The list keeps what it had; the combo box still works.
    }
    fillList();
}

void TLumoDBLookupCombobox::fillList()
{
    m_filling = true;
    clear();
    const TLumoCLientDataSet *list = m_listSource ? m_listSource->DataSet() : nullptr;
    const TLumoField *key = list && list->Active() ? list->FindField(m_keyField) : nullptr;
    const TLumoField *shown = list && list->Active() ? list->FindField(m_listField) : nullptr;
    if (key) {
        for (int row = 0; row < list->RecordCount(); ++row)
            addItem((shown ? shown : key)->displayTextAt(row), key->valueAt(row));
    }
    m_filling = false;
    load();
}

void TLumoDBLookupCombobox::load()
{
    if (m_filling)
        return;
    const TLumoField *field = m_link->field();
    setCurrentIndex(field && !field->IsNull() ? findData(field->Value()) : -1);
}

void TLumoDBLookupCombobox::choose(int index)
{
    if (m_filling || m_readOnly || index < 0)
        return;
    if (!m_link->write(itemData(index)))
        load();
}

void TLumoDBLookupCombobox::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QComboBox::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Down:
        showPopup();
        return;
    case Qt::Key_Delete:
        if (!m_readOnly && m_link->write(QVariant()))
            setCurrentIndex(-1);
        return;
    default:
        break;
    }
    if (!m_readOnly)
        QComboBox::keyPressEvent(event);
}
