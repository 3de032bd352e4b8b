#include "USrvAbout.h"

#include "SrvArt.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace korvane {

namespace {

QLabel *link(const QString &href, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text), parent);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    QObject::connect(label, &QLabel::linkActivated, parent,
                     [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    return label;
}

} // namespace

QString TfrmSrvAbout::webAddress()
{
    return QStringLiteral("https://korvane.example");
}

QString TfrmSrvAbout::mailAddress()
{
    return QStringLiteral("support@korvane.example");
}

TfrmSrvAbout::TfrmSrvAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSrvAbout"));
    setWindowTitle(QStringLiteral("关于本软件"));
    auto *grid = new QGridLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(srvAppIcon(48));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    auto *logo = new QLabel(QStringLiteral("Korvane进销存--套帐管理"), this);
    QFont big = logo->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    logo->setFont(big);
    grid->addWidget(logo, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("版本号:"), this), 1, 1);
    auto *version = new QLabel(QStringLiteral("3.1"), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    grid->addWidget(version, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("支持系统:"), this), 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Linux (X11 / Wayland)"), this), 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("网址:"), this), 3, 1);
    grid->addWidget(link(webAddress(), webAddress(), this), 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("电子邮件:"), this), 4, 1);
    grid->addWidget(link(QStringLiteral("mailto:") + mailAddress(), mailAddress(), this), 4, 2);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(ok, 5, 2, Qt::AlignRight);
}

} // namespace korvane
