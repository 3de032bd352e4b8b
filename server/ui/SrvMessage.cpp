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
    // A message of no window of ours (a second start, a relay that cannot listen) would go
    // under whatever another program keeps on top, and nobody would answer it.
    if (!parent)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
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
