#pragma once
//! Present on every form: places the form (a child window of the main window maximised,
//! any other form centred on the screen) and makes Enter move to the next field.

#include <QObject>
#include <QPointer>

class QWidget;

class TLumoFaceSet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    //! The owner is the form.
    explicit TLumoFaceSet(QWidget *form);
    ~TLumoFaceSet() override;

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }

    //! Whether Enter in this control is the control's own business (memos and data grids).
    static bool keepsEnter(const QWidget *control);
    //! Moves the focus from a control to the next one in its window's tab order.
    static bool focusNext(QWidget *from);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    bool handleEnter(QObject *receiver);

    QPointer<QWidget> m_form;
    QString m_tagStr;
    bool m_placed = false;
};
