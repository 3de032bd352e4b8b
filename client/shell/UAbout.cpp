#include "UAbout.h"

#include "LumoBtn.h"
#include "LumoLabel.h"
#include "UActions.h"
#include "UShellArt.h"

#include <QGridLayout>

TfrmSrvAbout::TfrmSrvAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSrvAbout"));
    setWindowTitle(QStringLiteral("关于本软件"));
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);

    auto *picture = new QLabel(this);
    picture->setPixmap(korvane::shellart::titlePicture().scaled(48, 48, Qt::KeepAspectRatio,
                                                                Qt::SmoothTransformation));
    grid->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);

    auto *product = new TLumoLabel(QStringLiteral("KorvaneTradimo--日常作业"), this);
    QFont big = product->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    product->setFont(big);
    grid->addWidget(product, 0, 1, 1, 2);
    grid->addWidget(new TLumoLabel(QStringLiteral("版本号:"), this), 1, 1);
    lblVersion = new TLumoLabel(QStringLiteral("3.1  "), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    grid->addWidget(lblVersion, 1, 2);
    grid->addWidget(new TLumoLabel(QStringLiteral("Brower/Server "), this), 2, 1, 1, 2);
    grid->addWidget(new TLumoLabel(QStringLiteral("For Windows 98, Windows me"), this), 3, 1, 1, 2);
    grid->addWidget(new TLumoLabel(QStringLiteral("Windows 2000"), this), 4, 1, 1, 2);

    grid->addWidget(new TLumoLabel(QStringLiteral("联系我们:"), this), 5, 1);
    const QString web = korvane::actions::vendorWebPage();
    const QString mail = korvane::actions::vendorMailAddress();
    lblWeb = korvane::shellart::linkLabel(web, web, this);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    grid->addWidget(lblWeb, 5, 2);
    lblMail = korvane::shellart::linkLabel(QStringLiteral("mailto:") + mail, mail, this);
    lblMail->setObjectName(QStringLiteral("lblMail"));
    grid->addWidget(lblMail, 6, 2);

    btnOK = new TLumoBtn(this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setCaptions({QStringLiteral("确定")});
    btnOK->setFixedSize(80, 26);
    connect(btnOK, &TLumoBtn::clicked, this, &QDialog::accept);
    grid->addWidget(btnOK, 7, 2, Qt::AlignRight);
}
