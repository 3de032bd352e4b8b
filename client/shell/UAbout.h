#pragma once
//! The client's about box, shown from the help menu.

#include <QDialog>

class QLabel;
class TLumoBtn;

class TfrmSrvAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSrvAbout(QWidget *parent = nullptr);

    QLabel *lblVersion = nullptr;
    QLabel *lblWeb = nullptr;
    QLabel *lblMail = nullptr;
    TLumoBtn *btnOK = nullptr;
};
