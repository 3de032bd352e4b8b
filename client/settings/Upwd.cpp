#include "Upwd.h"

#include "LumoBtn.h"
#include "LumoLabel.h"
#include "LumoRemoteServer.h"
#include "UMsgBox.h"
#include "UParentInfo.h"
#include "USettingsCommon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int MaxPasswordLength = 16;

QLineEdit *passwordEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(MaxPasswordLength);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

Tfrmpwd::Tfrmpwd(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmpwd"));
    setWindowTitle(QStringLiteral("修改密码"));
    edt1 = passwordEdit(QStringLiteral("edt1"), this);
    edt2 = passwordEdit(QStringLiteral("edt2"), this);
    btnOK = korvane::settings::dialogButton(QStringLiteral("btnOK"), QStringLiteral("确定"), this);
    btnCancel =
        korvane::settings::dialogButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), this);
    connect(btnOK, &TLumoBtn::clicked, this, &Tfrmpwd::confirm);
    connect(btnCancel, &TLumoBtn::clicked, this, &QDialog::reject);
    // Enter in an edit is the default button.
    connect(edt1, &QLineEdit::returnPressed, this, &Tfrmpwd::confirm);
    connect(edt2, &QLineEdit::returnPressed, this, &Tfrmpwd::confirm);

    auto *grid = new QGridLayout;
    grid->addWidget(new TLumoLabel(QStringLiteral("新密码"), this), 0, 0);
    grid->addWidget(edt1, 0, 1);
    grid->addWidget(new TLumoLabel(QStringLiteral("确认新密码"), this), 1, 0);
    grid->addWidget(edt2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(300);
}

void Tfrmpwd::showEvent(QShowEvent *event)
{
    edt1->clear();
    edt2->clear();
    edt1->setFocus();
    QDialog::showEvent(event);
}

bool Tfrmpwd::confirm()
{
    if (edt1->text().isEmpty()) {
        MsgBox(QStringLiteral("密码不能为空！"), mkHint);
        edt1->setFocus();
        return false;
    }
    if (edt1->text() != edt2->text()) {
        MsgBox(QStringLiteral("密码不一致！"), mkHint);
        edt2->setFocus();
        return false;
    }
    QVariant changed;
    TLumoRemoteServer *server = korvane::settings::baseServer();
    try {
        if (server)
            changed =
                server->call(QStringLiteral("SetPWD"), {ParentInfo.Log.UserCode, edt1->text()});
    } catch (const std::exception &) {
        // An error of the call itself is not shown: the change simply failed.
    }
    if (!changed.toBool()) {
        MsgBox(QStringLiteral("密码修改失败"), mkHint);
        return false;
    }
    MsgBox(QStringLiteral("密码修改成功"), mkHint);
    accept();
    return true;
}
