#include "USrvMain.h"

#include "Backup.h"
#include "ConnectionString.h"
#include "PlantIni.h"
#include "SrvArt.h"
#include "SrvMessage.h"
#include "SrvTitleStrip.h"
#include "UDBLogIn.h"
#include "UIP.h"
#include "USrvAbout.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>

namespace korvane {

namespace {

const QString kCaption = QStringLiteral("Korvane进销存套帐管理");

// The popup menu's look: sky blue selection, a framed title item.
const QString kMenuStyle = QStringLiteral(
    "QMenu { background: palette(window); }"
    "QMenu::item { padding: 3px 20px 3px 5px; color: black; background: palette(window); }"
    "QMenu::item:selected { background: #87ceeb; border: 1px solid blue; }"
    "QMenu::separator { height: 1px; background: gray; margin: 3px 1px; }");
const QString kTitleStyle = QStringLiteral(
    "QLabel { background: #ffffe1; border: 1px solid blue; color: blue; padding: 3px 5px; }");

} // namespace

TfrmSrvMain::TfrmSrvMain(const QString &programDir, Launcher launcher, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_programDir(programDir),
      m_launch(std::move(launcher))
{
    setObjectName(QStringLiteral("frmSrvMain"));
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(srvAppIcon(32)));
    setFixedSize(335, 156);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(166, 202, 240));
    setPalette(palette);

    auto *top = new TSrvTitleStrip(QStringLiteral("Korvane进销存--"), QStringLiteral("套帐管理"),
                                   true, this);
    top->setGeometry(0, 0, width(), 24);
    connect(top, &TSrvTitleStrip::minimiseClicked, this,
            [this] { broadcast(ShellMessages::KorvaneMin); });
    connect(top, &TSrvTitleStrip::closeClicked, this,
            [this] { broadcast(ShellMessages::KorvaneClose); });
    buildButtons();
    buildTray();

    m_messages = new ShellMessages(programDir, this);
    connect(m_messages, &ShellMessages::received, this, &TfrmSrvMain::onShellMessage);
    m_frmIP = new TfrmIP(this);
    m_frmSrvAbout = new TfrmSrvAbout(this);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setSingleShot(true);
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &TfrmSrvMain::Timer2Timer);
    m_timer2->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_launch(QStringLiteral("scktsrvr"), QStringLiteral("scktsrvr"));
}

TfrmSrvMain::~TfrmSrvMain() = default;

QToolButton *TfrmSrvMain::imageButton(const char *name, const QString &caption, int picture,
                                      int column)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setIcon(QIcon(srvPicture(SrvPicture(picture), 32)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    // Five columns across the 335-pixel window; the captions need the full width.
    QFont font = button->font();
    font.setPixelSize(11);
    button->setFont(font);
    button->setGeometry(5 + column * 65, 40, 65, 90);
    return button;
}

void TfrmSrvMain::buildButtons()
{
    QToolButton *dbPara =
        imageButton("btnDBPara", QStringLiteral("数据库参数"), int(SrvPicture::Database), 0);
    QToolButton *ip =
        imageButton("btnIP", QStringLiteral("本机IP地址"), int(SrvPicture::Address), 1);
    QToolButton *backup =
        imageButton("btnBackup", QStringLiteral("备份数据"), int(SrvPicture::Backup), 2);
    QToolButton *about =
        imageButton("btnAbout", QStringLiteral(" 关于本软件"), int(SrvPicture::About), 3);
    QToolButton *close = imageButton("btnClose", QStringLiteral("退出"), int(SrvPicture::Exit), 4);
    connect(dbPara, &QToolButton::clicked, this, &TfrmSrvMain::showDBLogIn);
    connect(ip, &QToolButton::clicked, this, [this] { m_frmIP->exec(); });
    connect(backup, &QToolButton::clicked, this, &TfrmSrvMain::backupData);
    connect(about, &QToolButton::clicked, this, [this] { m_frmSrvAbout->exec(); });
    connect(close, &QToolButton::clicked, this, [this] { broadcast(ShellMessages::KorvaneClose); });
}

void TfrmSrvMain::buildTray()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("LumoPopMenu1"));
    m_menu->setStyleSheet(kMenuStyle);
    auto *title = new QWidgetAction(m_menu);
    title->setObjectName(QStringLiteral("nmain"));
    auto *titleLabel = new QLabel(m_menu);
    titleLabel->setStyleSheet(kTitleStyle);
    title->setDefaultWidget(titleLabel);
    m_nmain = title;
    m_menu->addAction(title);
    QAction *restore = m_menu->addAction(QStringLiteral("还原至窗口"));
    restore->setObjectName(QStringLiteral("N1"));
    QAction *minimise = m_menu->addAction(QStringLiteral("窗体最小化"));
    minimise->setObjectName(QStringLiteral("N4"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    m_nClose = m_menu->addAction(QStringLiteral("退出套帐管理"));
    m_nClose->setObjectName(QStringLiteral("nClose"));
    connect(restore, &QAction::triggered, this,
            [this] { broadcast(ShellMessages::KorvaneRestore); });
    connect(minimise, &QAction::triggered, this, [this] { broadcast(ShellMessages::KorvaneMin); });
    connect(m_nClose, &QAction::triggered, this,
            [this] { broadcast(ShellMessages::KorvaneClose); });

    m_tray = new QSystemTrayIcon(this);
    m_tray->setObjectName(QStringLiteral("CTI"));
    m_tray->setToolTip(kCaption);
    m_tray->setIcon(srvTrayIcon(m_iconIndex));
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    m_menu->popup(QCursor::pos());
                else if (reason == QSystemTrayIcon::DoubleClick)
                    broadcast(ShellMessages::KorvaneRestore);
            });
    m_iconTimer = new QTimer(this);
    m_iconTimer->setInterval(600);
    connect(m_iconTimer, &QTimer::timeout, this, &TfrmSrvMain::nextTrayIcon);
}

void TfrmSrvMain::nextTrayIcon()
{
    m_iconIndex = (m_iconIndex + 1) % trayFrameCount();
    m_tray->setIcon(srvTrayIcon(m_iconIndex));
}

void TfrmSrvMain::startInTray()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->show();
        m_iconTimer->start();
        hide();
    } else {
        show();
    }
}

void TfrmSrvMain::Timer2Timer()
{
    m_timer2->stop();
    m_tray->showMessage(QStringLiteral("KorvaneTradimo2003"), QStringLiteral("单机版"),
                        QSystemTrayIcon::Information, 10000);
    static_cast<QLabel *>(static_cast<QWidgetAction *>(m_nmain)->defaultWidget())
        ->setText(QStringLiteral("      KorvaneTradimo2003"));
    m_nClose->setText(QStringLiteral("退出KorvaneTradimo2003"));
    QString error;
    if (!m_messages->registerMessages(&error))
        qWarning("%s", qPrintable(error));
    m_launch(QStringLiteral("KorvaneQUV"), QStringLiteral("KorvaneQUV RUN"));
}

void TfrmSrvMain::broadcast(ShellMessages::Message message)
{
    // Before the messages are registered there is nobody to tell, not even ourselves.
    m_messages->broadcast(message, 0, 0);
}

void TfrmSrvMain::onShellMessage(ShellMessages::Message message, qint64 wParam, qint64)
{
    switch (message) {
    case ShellMessages::KorvaneClose:
        // wParam 0 is the exit request, answered by the client; 1 says the client has ended.
        if (wParam == 1)
            close();
        break;
    case ShellMessages::KorvaneRestore:
        showNormal();
        raise();
        activateWindow();
        break;
    case ShellMessages::KorvaneMin:
        if (QSystemTrayIcon::isSystemTrayAvailable())
            hide();
        else
            showMinimized();
        break;
    }
}

void TfrmSrvMain::showDBLogIn()
{
    TfrmDBLogIn dialog(m_programDir, this);
    dialog.exec();
}

void TfrmSrvMain::backupData()
{
    const PlantIni ini(QDir(m_programDir).filePath(QStringLiteral("Plant.ini")));
    const QString section = QString::fromLatin1(kServerSection);
    if (!ini.readBool(section, QStringLiteral("DBREADY"), false)) {
        SrvMessage(this, SrvMessageKind::Hint,
                   QStringLiteral("套帐尚未创建，没有可以备份的数据！"));
        return;
    }
    const ConnectionSettings settings = ConnectionSettings::fromPlantIni(ini);
    const QString suggested =
        QDir(accountSetFolder(m_programDir))
            .filePath(defaultBackupName(settings.catalog, QDateTime::currentDateTime(),
                                        settings.isEmbedded()));
    const QString file =
        m_chooseBackupFile
            ? m_chooseBackupFile(this, suggested)
            : QFileDialog::getSaveFileName(this, QStringLiteral("备份数据"), suggested,
                                           QStringLiteral("套帐备份 (*.db *.backup)"));
    if (file.isEmpty())
        return;
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = backupAccountSet(buildRunTimeConnection(ini, m_programDir), file, &error);
    QGuiApplication::restoreOverrideCursor();
    if (done)
        SrvMessage(this, SrvMessageKind::Hint,
                   QStringLiteral("备份数据完成！\n") + QDir::toNativeSeparators(file));
    else
        SrvMessage(this, SrvMessageKind::Error, QStringLiteral("备份数据失败！"), error);
}

void TfrmSrvMain::changeEvent(QEvent *event)
{
    // Minimising sends the window to the tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, &QWidget::hide);
    QWidget::changeEvent(event);
}

void TfrmSrvMain::closeEvent(QCloseEvent *event)
{
    m_iconTimer->stop();
    m_tray->hide();
    event->accept();
    emit closed();
}

} // namespace korvane
