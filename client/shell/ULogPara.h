#pragma once
//! The login-parameter dialog: the server name the next login uses.

#include <QDialog>

class QLineEdit;
class TLumoBtn;

class TfrmLogPara : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmLogPara(QWidget *parent = nullptr);

    QLineEdit *edtSrv = nullptr;
    TLumoBtn *btnOK = nullptr;
    TLumoBtn *btnCancel = nullptr;

    //! Remembers the server name for the next login and closes with OK; false when the
    //! settings file could not be written (the dialog then stays open).
    bool save();

protected:
    void showEvent(QShowEvent *event) override;
};
