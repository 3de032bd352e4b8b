#pragma once
//! The masked date/time editor and its data-aware twin. Values travel as
//! "YYYY-MM-DD HH:MM:SS" text; the editor shows one part of one of four patterns.

#include "LumoDataSource.h"

#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

//! Masked editor for a date, a time, a date-time or a year-month.
class TLumoDateEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(TDateTimefmt DateTimeFmt READ DateTimeFmt WRITE setDateTimeFmt)
    Q_PROPERTY(TDateTimeType DateTimeType READ DateTimeType WRITE setDateTimeType)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    enum TDateTimefmt { dtfDate, dtfGBDate, dtfShortDate, dtfShortGBDate };
    Q_ENUM(TDateTimefmt)
    enum TDateTimeType { dttDateTime, dttDate, dttTime, dttYM };
    Q_ENUM(TDateTimeType)

    explicit TLumoDateEdit(QWidget *parent = nullptr);

    TDateTimefmt DateTimeFmt() const { return m_fmt; }
    void setDateTimeFmt(TDateTimefmt fmt);
    TDateTimeType DateTimeType() const { return m_type; }
    void setDateTimeType(TDateTimeType type);
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);

    //! The shown part of the pattern and the mask built from it ("9999-99-99").
    QString part() const;
    QString editMask() const { return m_mask; }
    //! The entered value as digits: empty, raw while typing, 14 after a successful check.
    QString digits() const { return m_digits; }

    //! Checks the entered value; an invalid one takes the focus back and, with
    //! showMessage, tells the operator so.
    bool Validate(bool showMessage);
    //! "" for an empty editor, otherwise "YYYY-MM-DD HH:MM:SS"; checks first.
    QString GetDateTimeText();
    //! Shows a "YYYY-MM-DD HH:MM:SS" text; a text that is no valid date-time changes nothing.
    void SetDateTimeText(const QString &text);

    static QString pattern(TDateTimefmt fmt);
    static QString part(TDateTimefmt fmt, TDateTimeType type);
    static QString maskOf(const QString &part);
    //! The clock behind the century of two-digit years; tests set a fixed date.
    static void setToday(std::function<QDate()> today);

signals:
    //! The editor was left with a valid value.
    void AfterExit();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void rebuildMask();
    void rebuildDigits();
    bool twoDigitYear() const;
    QString completed(QString typed) const;
    //! The shown value completed to 14 digits, "" when empty, none when unfinished or impossible.
    std::optional<QString> checked() const;
    void showAgain(const std::optional<QString> &digits);
    void reject(bool showMessage);

    TDateTimefmt m_fmt = dtfDate;
    TDateTimeType m_type = dttDate;
    QString m_tagStr;
    QString m_mask;
    QString m_digits;
    bool m_focused = false;
};

using TDateTimefmt = TLumoDateEdit::TDateTimefmt;
using TDateTimeType = TLumoDateEdit::TDateTimeType;

class TLumoFieldLink;

//! The date editor bound to one field: it shows the field's date of every record and
//! writes a complete, valid date back (an empty editor clears the field).
class TLumoDBDateEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TLumoDateEdit::TDateTimefmt DateTimeFmt READ DateTimeFmt WRITE setDateTimeFmt)
    Q_PROPERTY(TLumoDateEdit::TDateTimeType DateTimeType READ DateTimeType WRITE setDateTimeType)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)

public:
    explicit TLumoDBDateEdit(QWidget *parent = nullptr);

    TDateTimefmt DateTimeFmt() const { return m_editor->DateTimeFmt(); }
    void setDateTimeFmt(TDateTimefmt fmt);
    TDateTimeType DateTimeType() const { return m_editor->DateTimeType(); }
    void setDateTimeType(TDateTimeType type);
    QString TagStr() const { return m_editor->TagStr(); }
    void setTagStr(const QString &value) { m_editor->setTagStr(value); }
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);

    bool isReadOnly() const { return m_editor->isReadOnly(); }
    void setReadOnly(bool readOnly) { m_editor->setReadOnly(readOnly); }

    //! The inner editor that does the editing.
    TLumoDateEdit *editor() const { return m_editor; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();
    void typed();
    void left();
    void write();

    TLumoDateEdit *m_editor;
    TLumoFieldLink *m_link;
    bool m_typed = false;   // the operator changed the date since it was loaded
    bool m_writing = false; // the field follows the editor, not the other way round
};

namespace lumo {

//! The display pattern chosen by a session's date format text (dtfDate for anything unknown).
TDateTimefmt dateTimeFmtOf(const QString &userDateFormat);
//! Sets the pattern of every date editor on a form, data-aware or not.
void applyDateTimeFmt(QWidget *form, TDateTimefmt fmt);
//! 14 digits as "YYYY-MM-DD HH:MM:SS".
QString dateTimeTextOf(const QString &digits);
//! The 14 digits of a "YYYY-MM-DD HH:MM:SS" text (fewer when the text is shorter).
QString digitsOfDateTimeText(const QString &text);
//! True when a text holds a valid "YYYY-MM-DD HH:MM:SS" date and time.
bool isDateTimeText(const QString &text);
//! True when 14 digits make a valid date and time.
bool isValidDateTimeDigits(const QString &digits);

} // namespace lumo
