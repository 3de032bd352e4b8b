#include "UIP.h"

#include "SrvArt.h"
#include "UDBLogIn.h"

#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>

namespace korvane {

namespace {

constexpr int kWidth = 360;
constexpr int kUpperHeight = 150;
constexpr int kPanelHeight = 277;

} // namespace

TfrmIP::TfrmIP(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIP"));
    setWindowTitle(QStringLiteral("本机IP地址"));
    setFixedSize(kWidth, kUpperHeight + kPanelHeight);

    auto *nameLabel = new QLabel(QStringLiteral("本机名称："), this);
    nameLabel->setGeometry(16, 16, 90, 22);
    m_edtName = new QLineEdit(this);
    m_edtName->setObjectName(QStringLiteral("edtName"));
    m_edtName->setGeometry(106, 16, 236, 22);
    auto *ipLabel = new QLabel(QStringLiteral("本机IP地址："), this);
    ipLabel->setGeometry(16, 46, 90, 22);
    m_edtIP = new QLineEdit(this);
    m_edtIP->setObjectName(QStringLiteral("edtIP"));
    m_edtIP->setGeometry(106, 46, 236, 22);
    setEditReadOnly(m_edtName, true);
    setEditReadOnly(m_edtIP, true);
    auto *hint = new QLabel(QStringLiteral("请使用此IP地址或名称配置日常做业程序的登录画面"), this);
    hint->setGeometry(16, 78, 330, 22);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setGeometry(262, 110, 80, 26);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_btnSet = new QPushButton(this);
    m_btnSet->setObjectName(QStringLiteral("btnSet"));
    m_btnSet->setGeometry(16, 110, 100, 26);
    connect(m_btnSet, &QPushButton::clicked, this, &TfrmIP::btnSetClick);

    m_pnlImg = new QWidget(this);
    m_pnlImg->setObjectName(QStringLiteral("pnlImg"));
    m_pnlImg->setGeometry(0, kUpperHeight, kWidth, kPanelHeight);
    auto *caption = new QLabel(QStringLiteral("日常做业登录画面：(配置图示)"), m_pnlImg);
    caption->setGeometry(16, 0, 330, 20);
    auto *picture = new QLabel(m_pnlImg);
    picture->setPixmap(srvLoginSketch(QSize(kWidth - 32, kPanelHeight - 32)));
    picture->setGeometry(16, 22, kWidth - 32, kPanelHeight - 32);
    // The address sits in the sketch's server field.
    m_lblIP = new QLabel(picture);
    m_lblIP->setObjectName(QStringLiteral("lblIP"));
    m_lblIP->setGeometry(94, 57, 200, 18);
    m_lblIP->setStyleSheet(QStringLiteral("color: blue;"));

    showAddress();
    collapse();
}

QString TfrmIP::localAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &nic : interfaces) {
        const auto flags = nic.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : nic.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

void TfrmIP::showAddress()
{
    const QString address = localAddress();
    m_edtName->setText(QHostInfo::localHostName());
    m_edtIP->setText(address);
    m_lblIP->setText(address);
}

// Each showing shows the current address; the window keeps its collapsed or expanded size.
void TfrmIP::showEvent(QShowEvent *event)
{
    showAddress();
    QDialog::showEvent(event);
}

void TfrmIP::collapse()
{
    setFixedHeight(kUpperHeight);
    m_pnlImg->hide();
    m_btnSet->setText(QStringLiteral("如何配置>>"));
}

void TfrmIP::expand()
{
    setFixedHeight(kUpperHeight + kPanelHeight);
    m_pnlImg->show();
    m_btnSet->setText(QStringLiteral("<<知道了"));
}

void TfrmIP::btnSetClick()
{
    if (m_pnlImg->isVisible())
        collapse();
    else
        expand();
}

} // namespace korvane
