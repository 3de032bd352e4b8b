#pragma once
//! List box whose TagStr "R" disables it in money green.

#include <QListWidget>

class TLumoListBox : public QListWidget
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoListBox(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);

private:
    QString m_tagStr;
};
