#pragma once
//! The login dialog: points the five connections at the server, logs the operator in,
//! connects the other modules, remembers server and user, opens the shared lookups.

#include "LoginUserInfo.h"
#include "RightsCatalog.h"
#include "SystemParameters.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class TLumoBtn;
class TLumoComboBox;
class TLumoEdit;
class TLumoLabel;
class TLumoCLientDataSet;
class TdmMain;

namespace korvane {
class ShellMessages;
}

class TfrmLogIn : public QDialog
{
    Q_OBJECT
public:
    TfrmLogIn(TdmMain *dm, korvane::ShellMessages *shell, QWidget *parent = nullptr);
    ~TfrmLogIn() override;

    QLineEdit *edtSrv = nullptr;
    QLabel *lblSrv = nullptr;
    TLumoBtn *btnSrv = nullptr;
    TLumoLabel *LumoLabel4 = nullptr;
    TLumoLabel *LumoLabel8 = nullptr;
    TLumoComboBox *cbUser = nullptr;
    TLumoEdit *edtPWD = nullptr;
    TLumoBtn *LumoBtn1 = nullptr; // OK
    TLumoBtn *LumoBtn2 = nullptr; // cancel
    TLumoCLientDataSet *cdsUserList = nullptr;

    //! Fills the user list from the server (only while it is empty).
    void fillUserList();
    //! The OK steps; true when the login completed and the dialog closed with OK.
    bool logIn();
    //! Cancel: announces the client's end and closes.
    void cancel();

    //! What LogIn answered for the operator, and the session id (valid after OK).
    QString sessionId() const { return m_sessionId; }
    korvane::LoginUserInfo userInfo() const { return m_userInfo; }
    //! The operator's rights and the system parameters the login answered.
    korvane::rights::Grants grants() const { return m_grants; }
    korvane::SystemParameters parameters() const { return m_parameters; }

    //! The message for a negative login status; empty for statuses that show none.
    static QString statusMessage(int status);

    //! This computer's IPv4 address and host name, as sent with LogIn.
    static QString localAddress();
    static QString localHostName();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void done(int result) override;

private:
    void buildLayout();
    void hideServerRow();
    bool checkServerName();
    int connectAndLogIn();
    bool connectOtherModules();
    void onShellMessage(int message, qint64 wParam);
    void showServerHelp();

    QPointer<TdmMain> m_dm;
    QPointer<korvane::ShellMessages> m_shell;
    QString m_sessionId;
    korvane::LoginUserInfo m_userInfo;
    korvane::rights::Grants m_grants;
    korvane::SystemParameters m_parameters;
};
