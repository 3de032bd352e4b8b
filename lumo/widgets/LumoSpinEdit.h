#pragma once
//! Spin edit whose TagStr "R" makes it read-only in money green (it stays a tab stop).

#include <QSpinBox>

class TLumoSpinEdit : public QSpinBox
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoSpinEdit(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);

private:
    QString m_tagStr;
};
