#pragma once
//! The database dialog: pick the database server and the login, test the connection and,
//! on first use, create the account set. Created for each showing.

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace korvane {

class TSrvTitleStrip;
struct DBLogInChoice;

class TfrmDBLogIn : public QDialog
{
    Q_OBJECT
public:
    //! programDir: where Plant.ini lives and beside which the account-set folder lies.
    explicit TfrmDBLogIn(const QString &programDir, QWidget *parent = nullptr);

    //! The entries of the server box: the embedded database when its driver is usable, and
    //! PostgreSQL hosts when that driver is.
    static QStringList serverList(const QString &programDir);

    //! Asks for the backup "从备份恢复" restores from; empty cancels.
    using BackupFileChooser = std::function<QString(QWidget *parent)>;
    void setBackupFileChooser(BackupFileChooser chooser)
    {
        m_chooseBackupFile = std::move(chooser);
    }

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void btnDBClick();
    void btnRestoreClick();
    void rb1Click();
    void rb2Click();

private:
    void buildTitleAndWelcome();
    QWidget *buildPwdPanel();
    QWidget *buildDownloadPanel();
    QWidget *buildHintPanel();
    void showPanel(QWidget *panel);
    DBLogInChoice choice() const;
    void runSetup(const DBLogInChoice &choice);

    QString m_programDir;
    TSrvTitleStrip *m_top = nullptr;
    QWidget *m_pnlPWD = nullptr;
    QWidget *m_pnlDownload = nullptr;
    QWidget *m_pnlHint = nullptr;
    QComboBox *m_cbSrv = nullptr;
    QRadioButton *m_rb1 = nullptr;
    QRadioButton *m_rb2 = nullptr;
    QLineEdit *m_edtDBUser = nullptr;
    QLineEdit *m_edtDBPWD = nullptr;
    QPlainTextEdit *m_memoHint = nullptr;
    QPushButton *m_btnDB = nullptr;
    QPushButton *m_btnCancel = nullptr;
    // Offered while no account set is ready: a new one with the demonstration firm, or
    // one made from a backup.
    QCheckBox *m_chkDemo = nullptr;
    QPushButton *m_btnRestore = nullptr;
    BackupFileChooser m_chooseBackupFile;
};

//! Gives an edit box the read-only look of TagStr "R" (money green, no tab stop, no
//! input), or the editable one.
void setEditReadOnly(QLineEdit *edit, bool readOnly);

} // namespace korvane
