#include "LumoCheckBox.h"

#include "LumoFont.h"

#include <QGridLayout>
#include <QRadioButton>

TLumoCheckBox::TLumoCheckBox(QWidget *parent) : TLumoCheckBox(QString(), parent) {}

TLumoCheckBox::TLumoCheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent)
{
    lumo::applyLumoFont(this);
}

TLumoRadioGroup::TLumoRadioGroup(QWidget *parent)
    : QGroupBox(parent), m_buttons(new QButtonGroup(this))
{
    lumo::applyLumoFont(this);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(2);
    connect(m_buttons, &QButtonGroup::idClicked, this, &TLumoRadioGroup::OnClick);
}

void TLumoRadioGroup::setItems(const QStringList &items)
{
    m_items = items;
    rebuild();
}

void TLumoRadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *button = m_buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // No item of that number: none checked.
    if (QAbstractButton *checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
}

void TLumoRadioGroup::setColumns(int columns)
{
    m_columns = std::max(1, columns);
    rebuild();
}

void TLumoRadioGroup::rebuild()
{
    const int checked = ItemIndex();
    for (QAbstractButton *button : m_buttons->buttons()) {
        m_buttons->removeButton(button);
        delete button;
    }
    auto *grid = static_cast<QGridLayout *>(layout());
    const int rows = (int(m_items.size()) + m_columns - 1) / m_columns;
    for (int i = 0; i < m_items.size(); ++i) {
        auto *button = new QRadioButton(m_items.at(i), this);
        m_buttons->addButton(button, i);
        grid->addWidget(button, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    setItemIndex(checked);
}
