#include "UMsgBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

int systemMessageBox(const TMsgBoxRequest &request)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.kind == mkYesNo)
        buttons = QMessageBox::Yes | QMessageBox::No;
    else if (request.kind == mkYesNoCancel)
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Information, request.caption, request.text, buttons,
                    QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    case QMessageBox::Cancel:
        return mrCancel;
    default:
        return mrOk;
    }
}

TMsgBoxHandler &currentHandler()
{
    static TMsgBoxHandler handler;
    return handler;
}

} // namespace

bool msgBoxRequest(const QString &text, int kind, TMsgBoxRequest *request)
{
    request->kind = kind;
    request->text = text;
    switch (kind) {
    case mkHint:
        request->caption = QStringLiteral("提示");
        return true;
    case mkInfo:
        request->caption = QStringLiteral("信息");
        return true;
    case mkYesNo:
    case mkYesNoCancel:
        request->caption = QStringLiteral("询问");
        return true;
    case mkDebug:
        request->caption = QStringLiteral("Debug");
        request->text = QStringLiteral("-----------------Lumo控件Debug功能----------------\r\r") +
                        text +
                        QStringLiteral("\r\r---------------------请杀死此BUG！-----------------");
        return true;
    default:
        return false;
    }
}

int MsgBox(const QString &text, int kind)
{
    TMsgBoxRequest request;
    if (!msgBoxRequest(text, kind, &request))
        return mrOk;
    const TMsgBoxHandler &handler = currentHandler();
    return handler ? handler(request) : systemMessageBox(request);
}

TMsgBoxHandler setMsgBoxHandler(TMsgBoxHandler handler)
{
    TMsgBoxHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
