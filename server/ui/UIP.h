#pragma once
//! The local-address window: the machine's host name and address, which the operators
//! enter in the client's login window, and a picture of where they go.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class TfrmIP : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmIP(QWidget *parent = nullptr);

    //! The first IPv4 address of an interface that is up, else the loopback address.
    static QString localAddress();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void btnSetClick();

private:
    void showAddress();
    void collapse();
    void expand();

    QLineEdit *m_edtName = nullptr;
    QLineEdit *m_edtIP = nullptr;
    QLabel *m_lblIP = nullptr;
    QWidget *m_pnlImg = nullptr;
    QPushButton *m_btnSet = nullptr;
};

} // namespace korvane
