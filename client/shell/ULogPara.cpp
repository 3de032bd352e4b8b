#include "ULogPara.h"

#include "LumoBtn.h"
#include "LumoLabel.h"
#include "PlantIni.h"
#include "UMsgBox.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("KORVANEQUV");
const QString kServerKey = QStringLiteral("Srvname");

TLumoBtn *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *btn = new TLumoBtn(parent);
    btn->setObjectName(name);
    btn->setCaptions({caption});
    btn->setFixedSize(90, 26);
    return btn;
}
} // namespace

TfrmLogPara::TfrmLogPara(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogPara"));
    setWindowTitle(QStringLiteral("登录参数"));
    edtSrv = new QLineEdit(this);
    edtSrv->setObjectName(QStringLiteral("edtSrv"));
    btnOK = button(QStringLiteral("btnOK"), QStringLiteral("√ 确定"), this);
    btnCancel = button(QStringLiteral("btnCancel"), QStringLiteral("× 取消"), this);
    connect(btnOK, &TLumoBtn::clicked, this, &TfrmLogPara::save);
    connect(btnCancel, &TLumoBtn::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new TLumoLabel(QStringLiteral("服务器（套帐管理程序所在的机器名或IP地址）："), this));
    layout->addWidget(edtSrv);
    layout->addLayout(buttons);
    setMinimumWidth(340);
}

void TfrmLogPara::showEvent(QShowEvent *event)
{
    edtSrv->setText(korvane::ReadPlantIni(kSection, kServerKey, QString()));
    QDialog::showEvent(event);
}

bool TfrmLogPara::save()
{
    // The running connections keep their server; the name counts from the next login.
    if (!korvane::WritePlantIni(kSection, kServerKey, edtSrv->text().trimmed())) {
        MsgBox(QStringLiteral("无法保存服务器名称：") + korvane::plantIniPath(), mkHint);
        return false;
    }
    accept();
    return true;
}
