#include "LumoMessageBox.h"

#include "LumoMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace {

struct KindLook
{
    int kind;
    const char *caption;
    QMessageBox::StandardButtons buttons;
};

// Captions are the system's own; the diagnostic kind frames its text.
const KindLook kKindLooks[] = {
    {LumoMsg::Hint, "提示", QMessageBox::Ok},
    {LumoMsg::Info, "信息", QMessageBox::Ok},
    {LumoMsg::YesNo, "询问", QMessageBox::Yes | QMessageBox::No},
    {LumoMsg::YesNoCancel, "询问", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {LumoMsg::Debug, "Debug", QMessageBox::Ok},
};

int buttonNumber(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return LumoMsg::Yes;
    case QMessageBox::No:
        return LumoMsg::No;
    case QMessageBox::Cancel:
        return LumoMsg::Cancel;
    default:
        return LumoMsg::Ok;
    }
}

QString framedDiagnostic(const QString &text)
{
    return QStringLiteral("-----------------Lumo控件Debug功能----------------\n\n") + text +
           QStringLiteral("\n\n---------------------请杀死此BUG！-----------------");
}

} // namespace

int lumoDefaultMessage(const QString &text, int kind)
{
    for (const KindLook &look : kKindLooks) {
        if (look.kind != kind)
            continue;
        const QString shown = kind == LumoMsg::Debug ? framedDiagnostic(text) : text;
        QMessageBox box(QMessageBox::Information, QString::fromUtf8(look.caption), shown,
                        look.buttons, QApplication::activeWindow());
        return buttonNumber(box.exec());
    }
    return LumoMsg::Ok; // any other kind shows nothing
}
