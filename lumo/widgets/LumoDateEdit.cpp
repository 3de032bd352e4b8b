#include "LumoDateEdit.h"

#include "LumoDataSource.h"
#include "LumoEdit.h"
#include "LumoFieldLink.h"
#include "LumoFocus.h"
#include "LumoFont.h"
#include "LumoMessages.h"

#include <QFocusEvent>
#include <QTime>

namespace {

const QChar kBlank = QLatin1Char('_');
const QChar kDigit = QLatin1Char('9');
const QString kInvalidDate = QStringLiteral("日期或时间输入错误，请重新输入！");

std::function<QDate()> &todaySource()
{
    static std::function<QDate()> source = [] { return QDate::currentDate(); };
    return source;
}

bool isMaskLetter(QChar c)
{
    switch (c.toUpper().unicode()) {
    case 'Y':
    case 'M':
    case 'D':
    case 'H':
    case 'S':
        return true;
    default:
        return false;
    }
}

//! Characters the line edit's mask language would read as commands.
QString escapedLiteral(QChar c)
{
    static const QString meta = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\");
    return meta.contains(c) ? QStringLiteral("\\") + c : QString(c);
}

} // namespace

TLumoDateEdit::TLumoDateEdit(QWidget *parent) : QLineEdit(parent)
{
    lumo::applyLumoFont(this);
    rebuildMask();
    connect(this, &QLineEdit::textChanged, this, [this] { rebuildDigits(); });
}

void TLumoDateEdit::setDateTimeFmt(TDateTimefmt fmt)
{
    const std::optional<QString> value = checked();
    m_fmt = fmt;
    rebuildMask();
    showAgain(value);
}

void TLumoDateEdit::setDateTimeType(TDateTimeType type)
{
    const std::optional<QString> value = checked();
    m_type = type;
    rebuildMask();
    showAgain(value);
}

void TLumoDateEdit::showAgain(const std::optional<QString> &digits)
{
    // A date already entered is shown again in the new pattern.
    if (digits && !digits->isEmpty())
        SetDateTimeText(lumo::dateTimeTextOf(*digits));
}

void TLumoDateEdit::setTagStr(const QString &value)
{
    m_tagStr = lumo::applyEditorTagStr(this, value);
}

QString TLumoDateEdit::part() const
{
    return part(m_fmt, m_type);
}

QString TLumoDateEdit::pattern(TDateTimefmt fmt)
{
    switch (fmt) {
    case dtfGBDate:
        return QStringLiteral("YYYY年MM月DD日 HH点MM分SS秒");
    case dtfShortDate:
        return QStringLiteral("YY-MM-DD HH:MM:SS");
    case dtfShortGBDate:
        return QStringLiteral("YY年MM月DD日 HH点MM分SS秒");
    case dtfDate:
        break;
    }
    return QStringLiteral("YYYY-MM-DD HH:MM:SS");
}

QString TLumoDateEdit::part(TDateTimefmt fmt, TDateTimeType type)
{
    const QString whole = pattern(fmt);
    const qsizetype hours = whole.indexOf(QLatin1String("HH"));
    switch (type) {
    case dttDateTime:
        return whole;
    case dttDate:
        return whole.left(hours - 1);
    case dttTime:
        return whole.mid(hours);
    case dttYM: {
        QString ym = whole.left(whole.indexOf(QLatin1String("DD")));
        if (ym.endsWith(QLatin1Char('-')))
            ym.chop(1);
        return ym;
    }
    }
    return whole;
}

QString TLumoDateEdit::maskOf(const QString &part)
{
    QString mask;
    for (const QChar c : part)
        mask += isMaskLetter(c) ? kDigit : c;
    return mask;
}

void TLumoDateEdit::setToday(std::function<QDate()> today)
{
    todaySource() = today ? std::move(today) : [] { return QDate::currentDate(); };
}

void TLumoDateEdit::rebuildMask()
{
    m_mask = maskOf(part());
    QString qtMask;
    for (const QChar c : m_mask)
        qtMask += c == kDigit ? QString(kDigit) : escapedLiteral(c);
    setInputMask(qtMask + QLatin1Char(';') + kBlank);
    rebuildDigits();
}

void TLumoDateEdit::rebuildDigits()
{
    const QString shown = displayText();
    m_digits.clear();
    for (qsizetype i = 0; i < m_mask.size() && i < shown.size(); ++i) {
        if (m_mask.at(i) == kDigit && shown.at(i) != kBlank)
            m_digits += shown.at(i);
    }
}

bool TLumoDateEdit::twoDigitYear() const
{
    return m_fmt == dtfShortDate || m_fmt == dtfShortGBDate;
}

QString TLumoDateEdit::completed(QString typed) const
{
    if (twoDigitYear() && m_type != dttTime) {
        const QString thisYear = QString::number(todaySource()().year());
        const int century = thisYear.left(2).toInt();
        const int chosen = typed.left(2) < QLatin1String("50") ? century : century - 1;
        typed.prepend(QStringLiteral("%1").arg(chosen, 2, 10, QLatin1Char('0')));
    }
    switch (m_type) {
    case dttDate:
        return typed + QStringLiteral("000000");
    case dttTime:
        return QStringLiteral("10000101") + typed;
    case dttYM:
        return typed + QStringLiteral("01000000");
    case dttDateTime:
        break;
    }
    return typed;
}

std::optional<QString> TLumoDateEdit::checked() const
{
    if (m_digits.isEmpty())
        return QString();
    const QString shown = displayText();
    QString typed;
    for (qsizetype i = 0; i < m_mask.size(); ++i) {
        if (m_mask.at(i) == kDigit)
            typed += i < shown.size() ? shown.at(i) : kBlank;
    }
    if (typed.contains(kBlank))
        return std::nullopt;
    const QString full = completed(typed);
    if (!lumo::isValidDateTimeDigits(full))
        return std::nullopt;
    return full;
}

bool TLumoDateEdit::Validate(bool showMessage)
{
    const std::optional<QString> full = checked();
    if (!full) {
        reject(showMessage);
        return false;
    }
    if (!full->isEmpty())
        m_digits = *full;
    return true;
}

void TLumoDateEdit::reject(bool showMessage)
{
    // The focus comes back first, so the message box returns it here and not to
    // the control the operator was heading for.
    setFocus(Qt::OtherFocusReason);
    if (showMessage)
        lumoMessage(kInvalidDate, LumoMsg::Hint);
}

QString TLumoDateEdit::GetDateTimeText()
{
    // An unfinished or impossible value never leaves the editor as if it were a date.
    if (!Validate(true) || m_digits.isEmpty())
        return QString();
    return lumo::dateTimeTextOf(m_digits);
}

void TLumoDateEdit::SetDateTimeText(const QString &text)
{
    const QString value = lumo::digitsOfDateTimeText(text);
    if (value.isEmpty()) {
        clear();
        m_digits.clear();
        return;
    }
    if (!lumo::isValidDateTimeDigits(value))
        return;
    m_digits = value;
    QString source = value;
    if (twoDigitYear())
        source.remove(0, 2);
    if (m_type == dttTime)
        source = source.right(6);
    QString shown;
    qsizetype next = 0;
    for (const QChar c : m_mask)
        shown += c == kDigit ? source.at(next++) : c;
    setText(shown);
}

void TLumoDateEdit::focusInEvent(QFocusEvent *event)
{
    m_focused = true;
    QLineEdit::focusInEvent(event);
}

void TLumoDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const bool hadFocus = std::exchange(m_focused, false);
    if (!lumo::leavesField(event)) {
        m_focused = hadFocus;
        return;
    }
    if (!hadFocus || !isVisible())
        return;
    if (Validate(true))
        emit AfterExit();
}

TLumoDBDateEdit::TLumoDBDateEdit(QWidget *parent)
    : QWidget(parent), m_editor(new TLumoDateEdit(this)), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_editor);
    resize(m_editor->sizeHint());
    connect(m_link, &TLumoFieldLink::dataChanged, this, &TLumoDBDateEdit::load);
    connect(m_editor, &QLineEdit::textEdited, this, &TLumoDBDateEdit::typed);
    connect(m_editor, &TLumoDateEdit::AfterExit, this, &TLumoDBDateEdit::left);
}

TLumoDataSource *TLumoDBDateEdit::DataSource() const
{
    return m_link->DataSource();
}

void TLumoDBDateEdit::setDataSource(TLumoDataSource *source)
{
    m_link->setDataSource(source);
}

QString TLumoDBDateEdit::DataField() const
{
    return m_link->DataField();
}

void TLumoDBDateEdit::setDataField(const QString &name)
{
    m_link->setDataField(name);
}

void TLumoDBDateEdit::setDateTimeFmt(TDateTimefmt fmt)
{
    m_editor->setDateTimeFmt(fmt);
    load();
}

void TLumoDBDateEdit::setDateTimeType(TDateTimeType type)
{
    m_editor->setDateTimeType(type);
    load();
}

void TLumoDBDateEdit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The inner editor covers this one, reaching one pixel past it at the top left.
    m_editor->setGeometry(-1, -1, width() + 1, height() + 1);
}

void TLumoDBDateEdit::load()
{
    if (m_writing)
        return;
    const TLumoField *field = m_link->field();
    const QString text = field ? field->AsString() : QString();
    // A value that is no date shows as empty rather than leaving the previous
    // record's date on screen.
    m_editor->SetDateTimeText(lumo::isDateTimeText(text) ? text : QString());
    m_typed = false;
}

void TLumoDBDateEdit::typed()
{
    m_typed = true;
    // A complete, valid date goes to the record at once, so saving from the toolbar
    // while the editor still has the focus keeps it; clearing waits for the leave.
    if (!m_editor->digits().isEmpty() && m_editor->Validate(false))
        write();
}

void TLumoDBDateEdit::left()
{
    if (m_typed)
        write();
}

void TLumoDBDateEdit::write()
{
    const QString text = m_editor->GetDateTimeText();
    m_writing = true;
    const bool written = m_link->write(text.isEmpty() ? QVariant() : QVariant(text));
    m_writing = false;
    if (!written)
        load();
}

namespace lumo {

TDateTimefmt dateTimeFmtOf(const QString &userDateFormat)
{
    for (const auto fmt :
         {TLumoDateEdit::dtfShortGBDate, TLumoDateEdit::dtfShortDate, TLumoDateEdit::dtfGBDate}) {
        if (userDateFormat == TLumoDateEdit::pattern(fmt))
            return fmt;
    }
    return TLumoDateEdit::dtfDate;
}

void applyDateTimeFmt(QWidget *form, TDateTimefmt fmt)
{
    if (!form)
        return;
    for (auto *editor : form->findChildren<TLumoDateEdit *>())
        editor->setDateTimeFmt(fmt);
}

QString dateTimeTextOf(const QString &d)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.mid(0, 4), d.mid(4, 2), d.mid(6, 2), d.mid(8, 2), d.mid(10, 2), d.mid(12, 2));
}

QString digitsOfDateTimeText(const QString &text)
{
    return text.mid(0, 4) + text.mid(5, 2) + text.mid(8, 2) + text.mid(11, 2) + text.mid(14, 2) +
           text.mid(17, 2);
}

bool isDateTimeText(const QString &text)
{
    return isValidDateTimeDigits(digitsOfDateTimeText(text));
}

bool isValidDateTimeDigits(const QString &digits)
{
    if (digits.size() != 14)
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const auto number = [&digits](int from, int length) {
        return digits.mid(from, length).toInt();
    };
    return QDate::isValid(number(0, 4), number(4, 2), number(6, 2)) &&
           QTime::isValid(number(8, 2), number(10, 2), number(12, 2));
}

} // namespace lumo
