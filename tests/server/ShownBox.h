#pragma once
// Reads the message box a call shows, while it is up, and answers it with its default button,
// so that tests see the real box the operator would see.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace korvane::test {

struct ShownBox
{
    bool shown = false;
    QString text;
    Qt::WindowFlags flags;
    QStringList buttons;
};

//! Runs show(), which is expected to bring up one modal message box.
template <typename Show> ShownBox readShownBox(Show show)
{
    ShownBox seen;
    QTimer::singleShot(0, qApp, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.text = box->text();
        seen.flags = box->windowFlags();
        for (QAbstractButton *button : box->buttons())
            seen.buttons << button->text();
        if (QPushButton *answer = box->defaultButton())
            answer->click();
        else
            box->close();
    });
    show();
    return seen;
}

} // namespace korvane::test
