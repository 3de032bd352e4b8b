#pragma once
//! Combo box that drops its list as the operator types and completes the text; the Down
//! key opens the list.

#include <QComboBox>

class TLumoComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoComboBox(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    //! Only an upper-case "R" as typed disables the box in money green.
    void setTagStr(const QString &value);
    bool listOpen() const { return m_listOpen; }

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_tagStr;
    bool m_listOpen = false;
};
