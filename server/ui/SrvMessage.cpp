#include "SrvMessage.h"

#include <QMessageBox>

namespace korvane {

namespace {

SrvMessageHandler &handler()
{
    static SrvMessageHandler current;
    return current;
}

void showBox(QWidget *parent, const SrvMessageText &message)
{
    const bool error = message.kind == SrvMessageKind::Error;
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                    error ? QStringLiteral("Tradimo") : QStringLiteral("提示"), message.text,
                    QMessageBox::Ok, parent);
    if (!message.detail.isEmpty())
        box.setDetailedText(message.detail);
    box.exec();
}

} // namespace

void SrvMessage(QWidget *parent, SrvMessageKind kind, const QString &text, const QString &detail)
{
    const SrvMessageText message{kind, text, detail};
    if (handler())
        handler()(parent, message);
    else
        showBox(parent, message);
}

void setSrvMessageHandler(SrvMessageHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace korvane
