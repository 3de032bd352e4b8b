#pragma once
//! The modal-form counterpart of the child-form frame: applies the session's date
//! format to the form's date editors once.

#include <QObject>
#include <QPointer>

class QWidget;

class TLumoModalForm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    //! The owner is the modal form.
    explicit TLumoModalForm(QWidget *form);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    bool applied() const { return m_applied; }

    //! The first call sets every date editor of the form to the pattern chosen by the
    //! session's date format (ParentInfo.UserSet.DateFormat); later calls do nothing.
    void Apply(const QString &userDateFormat);

private:
    QPointer<QWidget> m_form;
    QString m_tagStr;
    bool m_applied = false;
};
