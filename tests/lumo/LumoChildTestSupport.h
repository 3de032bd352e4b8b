#pragma once
// Helpers for the work-window frame's tests: messages answered from a queue, edit areas.

#include "LumoMessages.h"
#include "LumoPanel.h"

#include <QLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <QList>
#include <QStringList>

namespace lumo::test {

//! Records every message; questions take their answers from the queue (Ok when it is empty).
struct MessageQueue
{
    QStringList texts;
    QList<int> kinds;
    QList<int> answers;

    MessageQueue()
    {
        setLumoMessageHook([this](const QString &text, int kind) {
            texts << text;
            kinds << kind;
            return answers.isEmpty() ? int(LumoMsg::Ok) : answers.takeFirst();
        });
    }
    ~MessageQueue() { setLumoMessageHook({}); }
    MessageQueue(const MessageQueue &) = delete;
    MessageQueue &operator=(const MessageQueue &) = delete;
};

//! An edit area for the data set with the given code, holding one line edit; added to the
//! parent's layout when it has one.
inline TLumoPanel *editPanel(QWidget *parent, const QString &name, const QString &code)
{
    auto *panel = new TLumoPanel(parent);
    panel->setObjectName(name);
    panel->setPnlType(TLumoPanel::ptActivePnl);
    panel->setTagStr(code);
    auto *layout = new QVBoxLayout(panel);
    auto *edit = new QLineEdit(panel);
    edit->setObjectName(QStringLiteral("edt") + name);
    layout->addWidget(edit);
    if (parent->layout())
        parent->layout()->addWidget(panel);
    return panel;
}

} // namespace lumo::test
