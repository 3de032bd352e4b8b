#pragma once
//! Combo box that drops its list as the operator types and completes the text; the Down
//! key opens the list.

#include "LumoDataSource.h"

#include <QComboBox>

class TLumoFieldLink;

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

//! Lookup box: writes the key of the chosen row of a list data set into a field. The
//! list is read from the server again every time it opens; Delete clears the value.
class TLumoDBLookupCombobox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
    Q_PROPERTY(TLumoDataSource *ListSource READ ListSource WRITE setListSource)
    Q_PROPERTY(QString KeyField READ KeyField WRITE setKeyField)
    Q_PROPERTY(QString ListField READ ListField WRITE setListField)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)

public:
    explicit TLumoDBLookupCombobox(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);
    TLumoDataSource *ListSource() const { return m_listSource; }
    void setListSource(TLumoDataSource *source);
    QString KeyField() const { return m_keyField; }
    void setKeyField(const QString &name);
    QString ListField() const { return m_listField; }
    void setListField(const QString &name);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    //! How often the list was read from the server.
    int listRefreshes() const { return m_refreshes; }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refreshList();
    void fillList();
    void load();
    void choose(int index);

    QString m_tagStr;
    TLumoFieldLink *m_link;
    QPointer<TLumoDataSource> m_listSource;
    QString m_keyField;
    QString m_listField;
    bool m_readOnly = false;
    bool m_filling = false;
    int m_refreshes = 0;
};
