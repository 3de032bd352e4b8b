#include "ULogIn.h"

#include "LumoBtn.h"
#include "LumoCLientDataSet.h"
#include "LumoComboBox.h"
#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoSocketConnection.h"
#include "PlantIni.h"
#include "ShellMessages.h"
#include "UDMMain.h"
#include "UMsgBox.h"
#include "UWait.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("KORVANEQUV");
const QString kDefaultUser = QStringLiteral("0001");

QString noServerText()
{
    return QStringLiteral("请输入套帐管理程序所在的计算机名称或IP地址");
}

QString connectFailedText()
{
    return QStringLiteral(
        "服务器连接失败！请联系系统管理员。\r检查网络是否连接正常，服务器是否正确配置！");
}

//! The user box drops its list down only after the list was filled from the server.
class TUserCombo : public TLumoComboBox
{
public:
    using TLumoComboBox::TLumoComboBox;
    std::function<void()> beforeDropDown;

    void showPopup() override
    {
        if (beforeDropDown)
            beforeDropDown();
        TLumoComboBox::showPopup();
    }
};

} // namespace

TfrmLogIn::TfrmLogIn(TdmMain *dm, korvane::ShellMessages *shell, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_shell(shell)
{
    setObjectName(QStringLiteral("frmLogIn"));
    setWindowTitle(QStringLiteral("登录"));
    buildLayout();

    cdsUserList = new TLumoCLientDataSet(this);
    cdsUserList->setObjectName(QStringLiteral("cdsUserList"));
    cdsUserList->setTagStr(QStringLiteral("D0"));
    cdsUserList->setProviderName(QStringLiteral("dspUserList"));
    if (m_dm)
        cdsUserList->setRemoteServer(m_dm->SCBase);
    cdsUserList->addDataField(QStringLiteral("Code"), korvane::FieldType::String, 10);
    cdsUserList->addDataField(QStringLiteral("name"), korvane::FieldType::String, 10);
    cdsUserList->addDataField(QStringLiteral("DeptName"), korvane::FieldType::String, 100);

    edtSrv->setText(korvane::ReadPlantIni(kSection, QStringLiteral("Srvname"), localHostName()));
    cbUser->clear();
    cbUser->setEditText(korvane::ReadPlantIni(kSection, QStringLiteral("UserID"), kDefaultUser));

    if (m_shell) {
        connect(m_shell, &korvane::ShellMessages::received, this,
                [this](korvane::ShellMessages::Message message, qint64 wParam, qint64) {
                    onShellMessage(message, wParam);
                });
    }
}

TfrmLogIn::~TfrmLogIn() = default;

void TfrmLogIn::buildLayout()
{
    lblSrv = new QLabel(QStringLiteral("服务器"), this);
    edtSrv = new QLineEdit(this);
    edtSrv->setObjectName(QStringLiteral("edtSrv"));
    btnSrv = new TLumoBtn(this);
    btnSrv->setObjectName(QStringLiteral("btnSrv"));
    btnSrv->setCaptions({QStringLiteral("？")});
    connect(btnSrv, &TLumoBtn::clicked, this, &TfrmLogIn::showServerHelp);
    LumoLabel4 = new TLumoLabel(this);
    LumoLabel4->setText(QStringLiteral("●请先登录。进销存做业的数据由套帐管理程序集中提供；"));
    LumoLabel8 = new TLumoLabel(this);
    LumoLabel8->setText(QStringLiteral("所以登录前请先确认已经安装并正确配置了套帐管理程序。"));

    auto *userCombo = new TUserCombo(this);
    userCombo->beforeDropDown = [this] { fillUserList(); };
    cbUser = userCombo;
    cbUser->setObjectName(QStringLiteral("cbUser"));
    cbUser->setEditable(true);
    cbUser->setInsertPolicy(QComboBox::NoInsert);
    connect(cbUser->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int position = cbUser->lineEdit()->cursorPosition();
            cbUser->lineEdit()->setText(upper);
            cbUser->lineEdit()->setCursorPosition(position);
        }
    });
    // Picking an operator puts only the code into the box.
    connect(cbUser, &QComboBox::textActivated, this, [this](const QString &item) {
        cbUser->setEditText(item.section(QStringLiteral("--"), 0, 0));
    });

    edtPWD = new TLumoEdit(this);
    edtPWD->setObjectName(QStringLiteral("edtPWD"));
    edtPWD->setMaxLength(16);
    edtPWD->setEchoMode(QLineEdit::Password);
    // Enter moves from the user to the password, and from the password to logging in.
    connect(cbUser->lineEdit(), &QLineEdit::returnPressed, edtPWD, [this] { edtPWD->setFocus(); });
    connect(edtPWD, &QLineEdit::returnPressed, this, [this] { logIn(); });

    LumoBtn1 = new TLumoBtn(this);
    LumoBtn1->setObjectName(QStringLiteral("LumoBtn1"));
    LumoBtn1->setCaptions({QStringLiteral("√ 确定")});
    LumoBtn1->setFixedSize(90, 26);
    connect(LumoBtn1, &TLumoBtn::clicked, this, &TfrmLogIn::logIn);
    LumoBtn2 = new TLumoBtn(this);
    LumoBtn2->setObjectName(QStringLiteral("LumoBtn2"));
    LumoBtn2->setCaptions({QStringLiteral("× 取消")});
    LumoBtn2->setFixedSize(90, 26);
    connect(LumoBtn2, &TLumoBtn::clicked, this, &TfrmLogIn::cancel);

    auto *title = new QLabel(QStringLiteral("Korvane进销存--日常作业"), this);
    title->setStyleSheet(QStringLiteral("font-size: 16px; font-weight: bold; color: #000080;"));

    auto *grid = new QGridLayout;
    grid->addWidget(lblSrv, 0, 0);
    grid->addWidget(edtSrv, 0, 1);
    grid->addWidget(btnSrv, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("用户名"), this), 1, 0);
    grid->addWidget(cbUser, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("密  码"), this), 2, 0);
    grid->addWidget(edtPWD, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(LumoBtn1);
    buttons->addWidget(LumoBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(LumoLabel4);
    layout->addWidget(LumoLabel8);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void TfrmLogIn::hideServerRow()
{
    // The server name always comes from the settings file.
    for (QWidget *w : {static_cast<QWidget *>(edtSrv), static_cast<QWidget *>(lblSrv),
                       static_cast<QWidget *>(btnSrv), static_cast<QWidget *>(LumoLabel4),
                       static_cast<QWidget *>(LumoLabel8)})
        w->hide();
}

void TfrmLogIn::showEvent(QShowEvent *event)
{
    hideServerRow();
    adjustSize(); // the hidden server row gives its room back
    QDialog::showEvent(event);
    cbUser->setFocus();
}

void TfrmLogIn::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        hideServerRow();
    QDialog::changeEvent(event);
}

bool TfrmLogIn::checkServerName()
{
    if (!edtSrv->text().isEmpty())
        return true;
    MsgBox(noServerText(), mkHint);
    if (edtSrv->isVisible())
        edtSrv->setFocus();
    return false;
}

void TfrmLogIn::fillUserList()
{
    if (cbUser->count() > 0 || !m_dm)
        return;
    if (!checkServerName())
        return;
    TLumoSocketConnection *base = m_dm->SCBase;
    try {
        base->setHost(edtSrv->text());
        base->setConnected(true);
    } catch (const std::exception &) {
        MsgBox(QStringLiteral("在您指定的计算机找不到套帐管理程序。请确认！"), mkHint);
        return;
    }
    const QString dbFailed = QStringLiteral("数据库连接失败。请检查！");
    try {
        if (!base->call(QStringLiteral("DBActive"), {}).toBool()) {
            MsgBox(dbFailed, mkHint);
            return;
        }
        cdsUserList->setActive(true);
    } catch (const std::exception &) {
        MsgBox(dbFailed, mkHint);
        cdsUserList->setActive(false);
        return;
    }
    QStringList items;
    for (cdsUserList->First(); !cdsUserList->Eof(); cdsUserList->Next()) {
        items << cdsUserList->FieldByName(QStringLiteral("Code")).AsString() +
                     QStringLiteral("--") +
                     cdsUserList->FieldByName(QStringLiteral("name")).AsString() +
                     QStringLiteral("【") +
                     cdsUserList->FieldByName(QStringLiteral("DeptName")).AsString() +
                     QStringLiteral("】");
    }
    cdsUserList->setActive(false);
    items.sort();
    const QString typed = cbUser->currentText();
    cbUser->addItems(items);
    cbUser->setEditText(typed);
}

QString TfrmLogIn::statusMessage(int status)
{
    switch (status) {
    case -1:
        return connectFailedText();
    case -2:
    case -3:
        return QStringLiteral(
            "服务器端数据库连接错误！请联系系统管理员。\r正确配置数据库服务器后再试！");
    case -4:
        return QStringLiteral("服务器端所连接的客户已满。");
    case -5:
        return QStringLiteral("用户名或密码错误！");
    default:
        return QString();
    }
}

int TfrmLogIn::connectAndLogIn()
{
    TLumoSocketConnection *base = m_dm->SCBase;
    try {
        base->setConnected(true);
    } catch (const std::exception &) {
        return -1;
    }
    QString id, userInfo, sysSet, purView, para1;
    try {
        base->callWithOutputs(
            QStringLiteral("LogIn"),
            {cbUser->currentText(), edtPWD->text(), localAddress(), localHostName()},
            {&id, &userInfo, &sysSet, &purView, &para1});
    } catch (const std::exception &) {
        id.clear();
    }
    bool isNumber = false;
    const int status = id.trimmed().toInt(&isNumber);
    if (!isNumber || status < 0) {
        try {
            base->setConnected(false);
        } catch (const std::exception &) {
        }
        return isNumber ? status : -1;
    }
    m_sessionId = id.trimmed();
    m_userInfo = korvane::LoginUserInfo::fromText(userInfo);
    m_grants = korvane::rights::Grants::fromText(purView).value_or(korvane::rights::Grants());
    m_parameters = korvane::SystemParameters::fromText(sysSet);
    return status;
}

bool TfrmLogIn::connectOtherModules()
{
    const QList<TLumoSocketConnection *> others = {m_dm->scBill, m_dm->scLookup, m_dm->scRPT,
                                                   m_dm->scCodeName};
    for (TLumoSocketConnection *connection : others) {
        try {
            // The session id tells the server this client's base module has logged in.
            connection->setSession(m_sessionId);
            connection->setConnected(true);
        } catch (const std::exception &) {
            return false;
        }
    }
    return true;
}

bool TfrmLogIn::logIn()
{
    if (!m_dm || !checkServerName())
        return false;
    if (cbUser->currentText().isEmpty()) {
        MsgBox(QStringLiteral("请输入您的用户名"), mkHint);
        cbUser->setFocus();
        return false;
    }
    ShowWait(QStringLiteral("请稍等，连接服务器......"), QString());
    m_dm->setServerHost(edtSrv->text());
    const int status = connectAndLogIn();
    if (status < 0) {
        const QString text = statusMessage(status);
        if (!text.isEmpty())
            MsgBox(text, mkHint);
        HideWait();
        return false;
    }
    if (!connectOtherModules()) {
        MsgBox(connectFailedText(), mkHint);
        HideWait();
        return false;
    }
    setResult(QDialog::Accepted);
    korvane::WritePlantIni(kSection, QStringLiteral("Srvname"), edtSrv->text());
    korvane::WritePlantIni(kSection, QStringLiteral("UserID"), cbUser->currentText());
    m_dm->OpenAllLookups(); // a list that cannot open is logged, closed until a window needs it
    HideWait();
    accept();
    return true;
}

void TfrmLogIn::cancel()
{
    if (m_shell)
        m_shell->broadcast(korvane::ShellMessages::KorvaneClose, 1, 0);
    reject();
}

void TfrmLogIn::done(int result)
{
    if (result != QDialog::Accepted && m_dm)
        m_dm->disconnectAll();
    QDialog::done(result);
}

void TfrmLogIn::onShellMessage(int message, qint64 wParam)
{
    // The server asks its clients to close: answer that this client ends, and go.
    if (message == korvane::ShellMessages::KorvaneClose && wParam == 0 && isVisible()) {
        if (m_shell)
            m_shell->broadcast(korvane::ShellMessages::KorvaneClose, 1, 0);
        reject();
    }
}

void TfrmLogIn::showServerHelp()
{
    MsgBox(QStringLiteral("    服务器为Korvane进销存套帐管理程序所在计算机的 IP地址 "
                          "或\r计算机名称(局域网适用)。  \r\r    例如：本机IP地址为：") +
               localAddress() + QStringLiteral("\r") +
               QStringLiteral("                本机名称为：") + localHostName(),
           mkHint);
}

QString TfrmLogIn::localAddress()
{
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

QString TfrmLogIn::localHostName()
{
    return QHostInfo::localHostName();
}
