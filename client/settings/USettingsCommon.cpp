#include "USettingsCommon.h"

#include "LumoBtn.h"
#include "LumoRemoteServer.h"
#include "LumoSocketConnection.h"
#include "UDMMain.h"
#include "UMsgBox.h"

#include <QHeaderView>
#include <QPalette>
#include <QPointer>
#include <QTableWidget>

namespace korvane::settings {

namespace {

TLumoRemoteServer *g_server = nullptr;

constexpr int RowHeight = 18;

} // namespace

TLumoRemoteServer *baseServer()
{
    if (g_server)
        return g_server;
    return dmMain ? dmMain->SCBase : nullptr;
}

void setBaseServer(TLumoRemoteServer *server)
{
    g_server = server;
}

bool callShowingRefusal(const QString &method, const QVariantList &args, QVariant *result)
{
    TLumoRemoteServer *server = baseServer();
    if (!server) {
        MsgBox(QStringLiteral("服务器连接失败！请联系系统管理员。"), mkHint);
        return false;
    }
    try {
        const QVariant answer = server->call(method, args);
        if (result)
            *result = answer;
        return true;
    } catch (const TLumoRemoteError &e) {
        MsgBox(e.text(), mkHint);
        return false;
    }
}

QTableWidget *stringGrid(const QString &name, int rows, int columns, QWidget *parent)
{
    auto *grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setAlternatingRowColors(true);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, pal.color(QPalette::ToolTipBase));
    grid->setPalette(pal);
    for (int c = 0; c < columns; ++c)
        grid->setColumnWidth(c, c == 0 ? 140 : 52);
    return grid;
}

QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void setCellText(QTableWidget *grid, int row, int column, const QString &text)
{
    QTableWidgetItem *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                           : int(Qt::AlignCenter));
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

TLumoBtn *dialogButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *btn = new TLumoBtn(parent);
    btn->setObjectName(name);
    btn->setCaptions({caption});
    btn->setFixedSize(90, 26);
    return btn;
}

} // namespace korvane::settings
