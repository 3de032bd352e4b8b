#pragma once
//! The server's main window: a small borderless window with the administration commands,
//! living in the tray. It starts the relay, then (about a second later) the client, and
//! closes when the client says it has ended (SM_KorvaneClose with wParam 1).

#include "ShellMessages.h"

#include <QWidget>

#include <functional>

class QMenu;
class QAction;
class QSystemTrayIcon;
class QTimer;
class QToolButton;

namespace korvane {

class TfrmIP;
class TfrmSrvAbout;

class TfrmSrvMain : public QWidget
{
    Q_OBJECT
public:
    //! Starts a program unless one of that name runs (name, command line).
    using Launcher = std::function<void(const QString &name, const QString &commandLine)>;

    //! The relay is started here, through the launcher the program hands in.
    TfrmSrvMain(const QString &programDir, Launcher launcher, QWidget *parent = nullptr);
    ~TfrmSrvMain() override;

    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *popupMenu() const { return m_menu; }
    ShellMessages *shellMessages() const { return m_messages; }

    //! Shows the window when the desktop has no tray, else leaves it hidden in the tray.
    void startInTray();

    //! Asks where "备份数据" writes the backup, offering the suggested path; empty cancels.
    using BackupFileChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
    void setBackupFileChooser(BackupFileChooser chooser)
    {
        m_chooseBackupFile = std::move(chooser);
    }

public slots:
    //! The one-shot start-up tick: balloon, menu captions, shell messages, client.
    void Timer2Timer();

signals:
    //! The window has closed: the program ends.
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildButtons();
    void buildTray();
    QToolButton *imageButton(const char *name, const QString &caption, int picture, int column);
    void onShellMessage(ShellMessages::Message message, qint64 wParam, qint64 lParam);
    void broadcast(ShellMessages::Message message);
    void showDBLogIn();
    void backupData();
    void nextTrayIcon();

    QString m_programDir;
    Launcher m_launch;
    BackupFileChooser m_chooseBackupFile;
    ShellMessages *m_messages = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_nmain = nullptr;
    QAction *m_nClose = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_iconTimer = nullptr;
    int m_iconIndex = 1;
    TfrmIP *m_frmIP = nullptr;
    TfrmSrvAbout *m_frmSrvAbout = nullptr;
};

} // namespace korvane
