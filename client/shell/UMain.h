#pragma once
//! The client's main window: a borderless frame holding the navigation pane, the toolbar with
//! its menus and record commands, and the work area where the navigation window and at most
//! one work window live maximised. It owns every action, opens the windows, routes the record
//! commands to the active work window's command entry and asks before the program ends.

#include "LumoChild.h"
#include "WindowDrag.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class TdmMain;
class TfrmLogIn;
class TfrmNav;
class TLumoActionList;
class TLumoImage;
class TLumoPopMenu;
class TNavPane;
class TWorkArea;

namespace korvane {
struct LoginUserInfo;
class ShellMessages;
namespace actions {
struct ActionDef;
}
} // namespace korvane

class TfrmMain : public QWidget
{
    Q_OBJECT
public:
    //! shell: where the server's close request comes from (may be null); dm: the data module
    //! whose connections "重新连接" renews (may be null).
    explicit TfrmMain(korvane::ShellMessages *shell = nullptr, TdmMain *dm = nullptr,
                      QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The top bar.
    QFrame *pnlTop = nullptr;
    TLumoImage *imgTitle = nullptr;
    QLabel *lblCaption = nullptr;
    QLabel *lblTitle = nullptr;
    QWidget *pnlImages = nullptr;
    TLumoImage *imgMin = nullptr;
    TLumoImage *imgMax = nullptr;
    TLumoImage *imgRestore = nullptr;
    TLumoImage *imgClose = nullptr;
    TLumoPopMenu *pmTitle = nullptr;
    // The toolbar, the navigation pane, the work area and the status bar.
    QWidget *tbMain = nullptr;
    TNavPane *pnlNav = nullptr;
    QMdiArea *mdiMain = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblLogIn = nullptr;
    QTimer *tmTime = nullptr;
    TLumoActionList *alAll = nullptr;
    QPointer<TfrmNav> frmNav;

    //! The action of that name ("ActSave", "actXCI"); null when unknown.
    QAction *action(const QString &name) const;
    //! Enables the actions whose windows are registered or whose tools are installed.
    void refreshActions();

    //! The login step: shows the dialog modally; on OK fills the session and the status line.
    bool RunLogIn(TfrmLogIn *dialog);
    //! Fills ParentInfo and the library's session from what the login returned.
    void fillSession(const QString &sessionId, const korvane::LoginUserInfo &user);
    //! After login: the about box, the navigation window, the dialogs and condition windows
    //! whose classes are registered.
    void CreateStartupWindows();
    //! Creates the navigation window when it does not exist yet and brings it to the front.
    void showNavigation();

    //! Registers the active work window's command entry, replacing the previous one.
    void SetCommandTarget(const TCommandEntry &entry);
    bool hasCommandTarget() const;

    //! Opens the work window of a class, or brings it to the front when it is open; null when
    //! the window that is open refuses to be left, or the class is not registered.
    QWidget *OpenWorkWindow(QAction *action, const QString &windowClass);
    //! The work window besides the navigation window, or null.
    QWidget *workWindow() const;
    //! The child window in front (the navigation window or the work window).
    QWidget *activeChild() const;
    //! A dialog or condition window created once (null when its class is not registered).
    QWidget *modalWindow(const QString &windowClass);

    //! Sends the tag of a command action as the toolbar does.
    void runCommand(int command);
    //! Connects the five connections again with the session of the login.
    bool reconnect();

    //! Keyboard sizing from the title menu: arrows resize, Enter keeps, Escape restores.
    void startSizing();
    bool isSizing() const { return m_sizing; }

    //! The two purchase-order hand-overs: open the purchase order window, pass it the rows.
    bool ImportSale2Buy(const QVariant &rows);
    bool ImportStockToBuy(const QVariant &rows);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildTopBar();
    void buildTitleMenu();
    void buildToolbar();
    void buildStatusBar();
    void runAction(const korvane::actions::ActionDef &def, QAction *action);
    void showModal(const korvane::actions::ActionDef &def);
    void startTool(const korvane::actions::ActionDef &def);
    void showPage(const QString &page);
    void bringToFront(QWidget *child);
    void updateTitle();
    //! Greys the record commands the operator may not use in the work window in front.
    void applyCommandRights();
    void workWindowGone();
    void updateWindowPictures();
    bool dragFrom(QObject *watched, QEvent *event);
    void stopSizing(bool keep);
    bool handOver(const char *method, const QVariant &rows);

    QPointer<korvane::ShellMessages> m_shell;
    QPointer<TdmMain> m_dm;
    QPointer<TfrmLogIn> m_login;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QPointer<QWidget>> m_modals; // by upper-cased class name
    bool m_closing = false;
    bool m_sizing = false;
    QRect m_sizingStart;
    korvane::TWindowDrag m_drag{this}; // the top bar moves the borderless window
    std::unique_ptr<TWorkArea> m_work; // the work windows; gone before the work area
};
