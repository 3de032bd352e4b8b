#pragma once
//! Tfrmpwd ("修改密码"): the operator changes the own password. Both entries must be given
//! and equal (compared exactly); the server stores the hash of the new one.

#include <QDialog>

class QLineEdit;
class TLumoBtn;

class Tfrmpwd : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrmpwd(QWidget *parent = nullptr);

    QLineEdit *edt1 = nullptr; // 新密码
    QLineEdit *edt2 = nullptr; // 确认新密码
    TLumoBtn *btnOK = nullptr;
    TLumoBtn *btnCancel = nullptr;

    //! "确定": true when the server changed the password (the dialog then closes).
    bool confirm();

protected:
    void showEvent(QShowEvent *event) override;
};
