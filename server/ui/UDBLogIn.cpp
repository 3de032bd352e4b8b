#include "UDBLogIn.h"

#include "AccountSetSetup.h"
#include "ConnectionString.h"
#include "PlantIni.h"
#include "SrvArt.h"
#include "SrvMessage.h"
#include "SrvTitleStrip.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QUrl>

namespace korvane {

namespace {

const QColor kMoneyGreen(192, 220, 192);
const QRect kPanelArea(0, 104, 432, 172);
const QString kDownloadPage = QStringLiteral("https://korvane.example/download");

QLabel *label(const QString &text, QWidget *parent, const QRect &where)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(where);
    return l;
}

QString plantIniFile(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("Plant.ini"));
}

} // namespace

void setEditReadOnly(QLineEdit *edit, bool readOnly)
{
    edit->setProperty("TagStr", readOnly ? QStringLiteral("R") : QString());
    edit->setReadOnly(readOnly);
    edit->setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, readOnly
                                         ? kMoneyGreen
                                         : edit->style()->standardPalette().color(QPalette::Base));
    edit->setPalette(palette);
}

TfrmDBLogIn::TfrmDBLogIn(const QString &programDir, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_programDir(programDir)
{
    setObjectName(QStringLiteral("frmDBLogIn"));
    setWindowTitle(QStringLiteral("创建套帐"));
    setFixedSize(432, 324);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    buildTitleAndWelcome();
    m_pnlPWD = buildPwdPanel();
    m_pnlDownload = buildDownloadPanel();
    m_pnlHint = buildHintPanel();
    // The download and progress panels sit centred in the window.
    for (QWidget *panel : {m_pnlDownload, m_pnlHint})
        panel->move((width() - panel->width()) / 2, kPanelArea.top());

    m_btnDB = new QPushButton(QStringLiteral("√ 确定"), this);
    m_btnDB->setObjectName(QStringLiteral("btnDB"));
    m_btnDB->setGeometry(236, 286, 88, 26);
    m_btnDB->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("× 取消"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setGeometry(332, 286, 88, 26);
    m_chkDemo = new QCheckBox(QStringLiteral("演示资料(&D)"), this);
    m_chkDemo->setObjectName(QStringLiteral("chkDemo"));
    m_chkDemo->setToolTip(QStringLiteral("新套帐写入一家小公司的示例资料和一个季度的单据"));
    m_chkDemo->setGeometry(16, 289, 100, 20);
    m_btnRestore = new QPushButton(QStringLiteral("从备份恢复(&R)"), this);
    m_btnRestore->setObjectName(QStringLiteral("btnRestore"));
    m_btnRestore->setGeometry(118, 286, 110, 26);
    connect(m_btnRestore, &QPushButton::clicked, this, &TfrmDBLogIn::btnRestoreClick);
    connect(m_btnDB, &QPushButton::clicked, this, &TfrmDBLogIn::btnDBClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_top, &TSrvTitleStrip::closeClicked, this, &QDialog::reject);

    showPanel(m_pnlPWD);
}

void TfrmDBLogIn::buildTitleAndWelcome()
{
    m_top = new TSrvTitleStrip(QStringLiteral("KorvaneTradimo--"), QStringLiteral("[套帐创建]"),
                               false, this);
    m_top->setGeometry(0, 0, 432, 24);
    auto *welcome = label(QStringLiteral("●欢迎使用KorvaneTradimo2003"), this, {16, 34, 400, 20});
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);
    label(QStringLiteral("●此计算机执行套帐管理的功能，所以需要在此"), this, {16, 58, 400, 18});
    label(QStringLiteral("计算机内创建进销存使用的套帐"), this, {30, 78, 386, 18});
}

QWidget *TfrmDBLogIn::buildPwdPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlPWD"));
    panel->setGeometry(kPanelArea);
    auto *serverLabel =
        label(QStringLiteral("1.选择或输入数据库服务器名称或IP地址(&E)"), panel, {16, 0, 400, 18});
    m_cbSrv = new QComboBox(panel);
    m_cbSrv->setObjectName(QStringLiteral("cbSrv"));
    m_cbSrv->setEditable(true);
    m_cbSrv->setGeometry(30, 20, 300, 24);
    serverLabel->setBuddy(m_cbSrv);

    label(QStringLiteral("2.输入登录服务器的信息"), panel, {16, 52, 400, 18});
    m_rb1 = new QRadioButton(QStringLiteral("使用Windows NT集成安全设置(&W)"), panel);
    m_rb1->setObjectName(QStringLiteral("rb1"));
    m_rb1->setGeometry(30, 72, 380, 20);
    m_rb2 = new QRadioButton(QStringLiteral("使用指定的用户名称和密码(&U)"), panel);
    m_rb2->setObjectName(QStringLiteral("rb2"));
    m_rb2->setGeometry(30, 94, 380, 20);
    m_rb2->setChecked(true);
    connect(m_rb1, &QRadioButton::clicked, this, &TfrmDBLogIn::rb1Click);
    connect(m_rb2, &QRadioButton::clicked, this, &TfrmDBLogIn::rb2Click);

    auto *userLabel = label(QStringLiteral("用户名称(&N)"), panel, {50, 120, 90, 20});
    m_edtDBUser = new QLineEdit(QStringLiteral("sa"), panel);
    m_edtDBUser->setObjectName(QStringLiteral("edtDBUser"));
    m_edtDBUser->setGeometry(140, 118, 190, 22);
    userLabel->setBuddy(m_edtDBUser);
    auto *pwdLabel = label(QStringLiteral("密码(&P)"), panel, {50, 146, 90, 20});
    m_edtDBPWD = new QLineEdit(panel);
    m_edtDBPWD->setObjectName(QStringLiteral("edtDBPWD"));
    m_edtDBPWD->setEchoMode(QLineEdit::Password);
    m_edtDBPWD->setGeometry(140, 144, 190, 22);
    pwdLabel->setBuddy(m_edtDBPWD);
    setEditReadOnly(m_edtDBUser, false);
    setEditReadOnly(m_edtDBPWD, false);
    return panel;
}

QWidget *TfrmDBLogIn::buildDownloadPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlDownload"));
    panel->resize(400, 150);
    const QStringList lines = {
        QStringLiteral("KorvaneTradimo以SQLite或PostgreSQL作为数据库"),
        QStringLiteral("在您的计算机内未找到可用的数据库驱动"),
        QStringLiteral("请安装SQLite或PostgreSQL的Qt驱动,或到下列地址下载"),
        QStringLiteral("(libqt6sql6-sqlite 或 libqt6sql6-psql)"),
    };
    for (int i = 0; i < lines.size(); ++i) {
        auto *line = new QLineEdit(lines.at(i), panel);
        line->setGeometry(10, 4 + i * 26, 380, 22);
        line->setFrame(false);
        setEditReadOnly(line, true);
    }
    auto *link = label(QStringLiteral("<a href=\"%1\">%1</a>").arg(kDownloadPage), panel,
                       {10, 112, 380, 22});
    link->setObjectName(QStringLiteral("lblDownload"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(link, &QLabel::linkActivated, this,
            [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    return panel;
}

QWidget *TfrmDBLogIn::buildHintPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlHint"));
    panel->resize(400, 150);
    auto *picture = new QLabel(panel);
    picture->setPixmap(srvPicture(SrvPicture::Hint, 64));
    picture->setGeometry(8, 20, 64, 64);
    m_memoHint = new QPlainTextEdit(panel);
    m_memoHint->setObjectName(QStringLiteral("MemoHint"));
    m_memoHint->setReadOnly(true);
    m_memoHint->setGeometry(84, 10, 306, 130);
    return panel;
}

void TfrmDBLogIn::showPanel(QWidget *panel)
{
    for (QWidget *each : {m_pnlPWD, m_pnlDownload, m_pnlHint})
        each->setVisible(each == panel);
}

QStringList TfrmDBLogIn::serverList(const QString &programDir)
{
    QStringList servers;
    if (QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        servers << embeddedDataSourceLabel();
    if (QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        // A PostgreSQL server already named in the settings comes first among the hosts.
        const ConnectionSettings current =
            ConnectionSettings::fromPlantIni(PlantIni(plantIniFile(programDir)));
        if (!current.isEmbedded() && !current.dataSource.isEmpty())
            servers << current.dataSource;
        if (!servers.contains(QStringLiteral("127.0.0.1")))
            servers << QStringLiteral("127.0.0.1");
    }
    return servers;
}

// Each showing starts afresh: an empty password and the list of usable database servers.
void TfrmDBLogIn::showEvent(QShowEvent *event)
{
    m_edtDBPWD->clear();
    m_cbSrv->clear();
    const QStringList servers = serverList(m_programDir);
    m_cbSrv->addItems(servers);
    if (!servers.isEmpty())
        m_cbSrv->setCurrentIndex(0);
    showPanel(servers.isEmpty() ? m_pnlDownload : m_pnlPWD);
    m_btnDB->setEnabled(!servers.isEmpty());
    const bool ready =
        PlantIni(plantIniFile(m_programDir))
            .readBool(QString::fromLatin1(kServerSection), QStringLiteral("DBREADY"), false);
    if (ready)
        m_top->titleLabel()->setText(QStringLiteral("SQL Server连接参数"));
    m_chkDemo->setVisible(!ready && !servers.isEmpty());
    m_btnRestore->setVisible(!ready && !servers.isEmpty());
    QDialog::showEvent(event);
}

void TfrmDBLogIn::rb1Click()
{
    setEditReadOnly(m_edtDBUser, true);
    setEditReadOnly(m_edtDBPWD, true);
}

void TfrmDBLogIn::rb2Click()
{
    setEditReadOnly(m_edtDBUser, false);
    setEditReadOnly(m_edtDBPWD, false);
}

DBLogInChoice TfrmDBLogIn::choice() const
{
    return DBLogInChoice{m_cbSrv->currentText().trimmed(), m_rb1->isChecked(), m_edtDBUser->text(),
                         m_edtDBPWD->text()};
}

void TfrmDBLogIn::btnDBClick()
{
    DBLogInChoice chosen = choice();
    chosen.demo = m_chkDemo->isVisible() && m_chkDemo->isChecked();
    runSetup(chosen);
}

void TfrmDBLogIn::btnRestoreClick()
{
    DBLogInChoice chosen = choice();
    chosen.backupFile =
        m_chooseBackupFile ? m_chooseBackupFile(this)
                           : QFileDialog::getOpenFileName(
                                 this, QStringLiteral("从备份恢复"), accountSetFolder(m_programDir),
                                 QStringLiteral("套帐备份 (*.db *.backup);;所有文件 (*)"));
    if (!chosen.backupFile.isEmpty())
        runSetup(chosen);
}

void TfrmDBLogIn::runSetup(const DBLogInChoice &chosen)
{
    AccountSetSetup setup(m_programDir);
    setup.onProgress = [this](const QStringList &lines) {
        showPanel(m_pnlHint);
        m_memoHint->setPlainText(lines.join(QLatin1Char('\n')));
        repaint();
    };
    setup.onMessage = [this](SrvMessageKind kind, const QString &text, const QString &detail) {
        SrvMessage(this, kind, text, detail);
    };
    switch (setup.run(chosen)) {
    case SetupOutcome::MissingServer:
        m_cbSrv->setFocus();
        return;
    case SetupOutcome::MissingUser:
        m_edtDBUser->setFocus();
        return;
    case SetupOutcome::Saved:
        accept();
        return;
    case SetupOutcome::ConnectFailed:
    case SetupOutcome::CreateFailed:
    case SetupOutcome::SaveFailed:
        showPanel(m_pnlPWD);
        return;
    }
}

} // namespace korvane
