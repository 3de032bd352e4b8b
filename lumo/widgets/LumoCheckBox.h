#pragma once
//! Check box and radio group of the library: the standard controls with a stored TagStr.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>

class TLumoCheckBox : public QCheckBox
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoCheckBox(QWidget *parent = nullptr);
    explicit TLumoCheckBox(const QString &caption, QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }

private:
    QString m_tagStr;
};

//! A framed group of radio buttons, one per item; ItemIndex is the checked one (-1: none).
class TLumoRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex NOTIFY OnClick)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns)

public:
    explicit TLumoRadioGroup(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    QStringList Items() const { return m_items; }
    void setItems(const QStringList &items);
    int ItemIndex() const { return m_buttons->checkedId(); }
    void setItemIndex(int index);
    int Columns() const { return m_columns; }
    void setColumns(int columns);

signals:
    void OnClick();

private:
    void rebuild();

    QString m_tagStr;
    QStringList m_items;
    int m_columns = 1;
    QButtonGroup *m_buttons;
};
