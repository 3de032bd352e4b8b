// The date editor: patterns and parts, masks, the century of two-digit years,
// rejecting impossible dates and keeping the focus on them.

#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoMessages.h"
#include "LumoTestSupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using lumo::test::MessageLog;
using Fmt = TLumoDateEdit::TDateTimefmt;
using Type = TLumoDateEdit::TDateTimeType;

namespace {

const QString kInvalid = QStringLiteral("日期或时间输入错误，请重新输入！");

//! A shown window with a date editor followed by a plain edit.
struct Form
{
    QWidget window;
    TLumoDateEdit *date = new TLumoDateEdit(&window);
    TLumoEdit *next = new TLumoEdit(&window);

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(date);
        layout->addWidget(next);
        window.show();
        QApplication::setActiveWindow(&window);
        date->setFocus(Qt::TabFocusReason);
    }
};

} // namespace

class tst_LumoDateEdit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TLumoDateEdit::setToday([] { return QDate(2024, 6, 1); });
    }
    void cleanup() { TLumoDateEdit::setToday({}); }

    void maskFollowsPatternAndPart_data();
    void maskFollowsPatternAndPart();
    void typedValueIsCheckedAndCompleted_data();
    void typedValueIsCheckedAndCompleted();
    void centuryFollowsTheClock_data();
    void centuryFollowsTheClock();
    void storedTextIsShownThroughTheMask_data();
    void storedTextIsShownThroughTheMask();
    void invalidStoredTextChangesNothing();
    void leavingInvalidKeepsFocusWithMessage_data();
    void leavingInvalidKeepsFocusWithMessage();
    void leavingValidOrEmptyFiresAfterExit_data();
    void leavingValidOrEmptyFiresAfterExit();
    void tagStrMakesReadOnly();
    void sessionDateFormatChoosesPattern_data();
    void sessionDateFormatChoosesPattern();
};

void tst_LumoDateEdit::maskFollowsPatternAndPart_data()
{
    QTest::addColumn<Fmt>("fmt");
    QTest::addColumn<Type>("type");
    QTest::addColumn<QString>("mask");
    QTest::newRow("date/datetime") << Fmt::dtfDate << Type::dttDateTime << "9999-99-99 99:99:99";
    QTest::newRow("date/date") << Fmt::dtfDate << Type::dttDate << "9999-99-99";
    QTest::newRow("date/time") << Fmt::dtfDate << Type::dttTime << "99:99:99";
    QTest::newRow("date/ym") << Fmt::dtfDate << Type::dttYM << "9999-99";
    QTest::newRow("gb/datetime") << Fmt::dtfGBDate << Type::dttDateTime
                                 << "9999年99月99日 99点99分99秒";
    QTest::newRow("gb/date") << Fmt::dtfGBDate << Type::dttDate << "9999年99月99日";
    QTest::newRow("gb/time") << Fmt::dtfGBDate << Type::dttTime << "99点99分99秒";
    QTest::newRow("gb/ym") << Fmt::dtfGBDate << Type::dttYM << "9999年99月";
    QTest::newRow("short/datetime")
        << Fmt::dtfShortDate << Type::dttDateTime << "99-99-99 99:99:99";
    QTest::newRow("short/date") << Fmt::dtfShortDate << Type::dttDate << "99-99-99";
    QTest::newRow("short/ym") << Fmt::dtfShortDate << Type::dttYM << "99-99";
    QTest::newRow("shortgb/date") << Fmt::dtfShortGBDate << Type::dttDate << "99年99月99日";
    QTest::newRow("shortgb/ym") << Fmt::dtfShortGBDate << Type::dttYM << "99年99月";
}

void tst_LumoDateEdit::maskFollowsPatternAndPart()
{
    QFETCH(Fmt, fmt);
    QFETCH(Type, type);
    QFETCH(QString, mask);
    TLumoDateEdit editor;
    editor.setDateTimeType(type);
    editor.setDateTimeFmt(fmt);
    QCOMPARE(editor.editMask(), mask);
    QCOMPARE(editor.displayText().size(), mask.size());
}

void tst_LumoDateEdit::typedValueIsCheckedAndCompleted_data()
{
    QTest::addColumn<Fmt>("fmt");
    QTest::addColumn<Type>("type");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("stored");
    QTest::newRow("30 February") << Fmt::dtfDate << Type::dttDate << "20230230" << false << "";
    QTest::newRow("leap day") << Fmt::dtfDate << Type::dttDate << "20240229" << true
                              << "2024-02-29 00:00:00";
    QTest::newRow("leap day in a common year")
        << Fmt::dtfDate << Type::dttDate << "20230229" << false << "";
    QTest::newRow("month 13") << Fmt::dtfGBDate << Type::dttDate << "20241301" << false << "";
    QTest::newRow("time") << Fmt::dtfDate << Type::dttTime << "235959" << true
                          << "1000-01-01 23:59:59";
    QTest::newRow("hour 24") << Fmt::dtfDate << Type::dttTime << "240000" << false << "";
    QTest::newRow("short time has no century")
        << Fmt::dtfShortDate << Type::dttTime << "083000" << true << "1000-01-01 08:30:00";
    QTest::newRow("year-month") << Fmt::dtfDate << Type::dttYM << "202407" << true
                                << "2024-07-01 00:00:00";
    QTest::newRow("gb year-month")
        << Fmt::dtfGBDate << Type::dttYM << "202412" << true << "2024-12-01 00:00:00";
    QTest::newRow("date-time") << Fmt::dtfGBDate << Type::dttDateTime << "20241231235958" << true
                               << "2024-12-31 23:59:58";
    QTest::newRow("minute 60") << Fmt::dtfDate << Type::dttDateTime << "20241231236000" << false
                               << "";
    QTest::newRow("half filled") << Fmt::dtfDate << Type::dttDate << "2024" << false << "";
    QTest::newRow("year 0000") << Fmt::dtfDate << Type::dttDate << "00000101" << false << "";
    QTest::newRow("empty") << Fmt::dtfDate << Type::dttDate << "" << true << "";
}

void tst_LumoDateEdit::typedValueIsCheckedAndCompleted()
{
    QFETCH(Fmt, fmt);
    QFETCH(Type, type);
    QFETCH(QString, keys);
    QFETCH(bool, valid);
    QFETCH(QString, stored);
    MessageLog log;
    TLumoDateEdit editor;
    editor.setDateTimeFmt(fmt);
    editor.setDateTimeType(type);
    editor.setCursorPosition(0);
    QTest::keyClicks(&editor, keys);
    QCOMPARE(editor.Validate(false), valid);
    QVERIFY(log.texts.isEmpty());
    QCOMPARE(editor.GetDateTimeText(), stored);
    QCOMPARE(log.texts, valid ? QStringList() : QStringList{kInvalid});
}

void tst_LumoDateEdit::centuryFollowsTheClock_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<Fmt>("fmt");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("stored");
    const QDate y2024(2024, 6, 1);
    QTest::newRow("49 in 2024") << y2024 << Fmt::dtfShortDate << "490101"
                                << "2049-01-01 00:00:00";
    QTest::newRow("50 in 2024") << y2024 << Fmt::dtfShortDate << "500101"
                                << "1950-01-01 00:00:00";
    QTest::newRow("00 in 2024") << y2024 << Fmt::dtfShortGBDate << "000229"
                                << "2000-02-29 00:00:00";
    QTest::newRow("99 in 2024") << y2024 << Fmt::dtfShortGBDate << "991231"
                                << "1999-12-31 00:00:00";
    QTest::newRow("49 in 2150") << QDate(2150, 1, 1) << Fmt::dtfShortDate << "490101"
                                << "2149-01-01 00:00:00";
    QTest::newRow("50 in 2150") << QDate(2150, 1, 1) << Fmt::dtfShortDate << "500101"
                                << "2050-01-01 00:00:00";
}

void tst_LumoDateEdit::centuryFollowsTheClock()
{
    QFETCH(QDate, today);
    QFETCH(Fmt, fmt);
    QFETCH(QString, keys);
    QFETCH(QString, stored);
    TLumoDateEdit::setToday([today] { return today; });
    TLumoDateEdit editor;
    editor.setDateTimeFmt(fmt);
    editor.setCursorPosition(0);
    QTest::keyClicks(&editor, keys);
    QCOMPARE(editor.GetDateTimeText(), stored);
}

void tst_LumoDateEdit::storedTextIsShownThroughTheMask_data()
{
    QTest::addColumn<Fmt>("fmt");
    QTest::addColumn<Type>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("time part") << Fmt::dtfDate << Type::dttTime << "1000-01-01 08:30:00"
                               << "08:30:00";
    QTest::newRow("short date") << Fmt::dtfShortDate << Type::dttDate << "2049-01-01 00:00:00"
                                << "49-01-01";
    QTest::newRow("gb date-time") << Fmt::dtfGBDate << Type::dttDateTime << "2024-02-29 13:05:09"
                                  << "2024年02月29日 13点05分09秒";
    QTest::newRow("short gb time") << Fmt::dtfShortGBDate << Type::dttTime << "2024-02-29 13:05:09"
                                   << "13点05分09秒";
    QTest::newRow("year-month") << Fmt::dtfDate << Type::dttYM << "2024-07-15 00:00:00"
                                << "2024-07";
}

void tst_LumoDateEdit::storedTextIsShownThroughTheMask()
{
    QFETCH(Fmt, fmt);
    QFETCH(Type, type);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    TLumoDateEdit editor;
    editor.setDateTimeFmt(fmt);
    editor.setDateTimeType(type);
    editor.SetDateTimeText(text);
    QCOMPARE(editor.displayText(), shown);
    QVERIFY(editor.Validate(false));

    editor.SetDateTimeText(QString());
    QVERIFY(editor.digits().isEmpty());
    QCOMPARE(editor.GetDateTimeText(), QString());
}

void tst_LumoDateEdit::invalidStoredTextChangesNothing()
{
    TLumoDateEdit editor;
    editor.SetDateTimeText(QStringLiteral("2024-03-01 00:00:00"));
    const QString before = editor.displayText();
    for (const char *bad : {"2023-02-30 00:00:00", "2024-03-01", "garbage text here!!"}) {
        editor.SetDateTimeText(QString::fromLatin1(bad));
        QCOMPARE(editor.displayText(), before);
    }
    QCOMPARE(editor.GetDateTimeText(), QStringLiteral("2024-03-01 00:00:00"));
}

void tst_LumoDateEdit::leavingInvalidKeepsFocusWithMessage_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("half filled, tab") << "2024" << false;
    QTest::newRow("half filled, click") << "20241" << true;
    QTest::newRow("impossible, tab") << "20230230" << false;
}

void tst_LumoDateEdit::leavingInvalidKeepsFocusWithMessage()
{
    QFETCH(QString, keys);
    QFETCH(bool, byMouse);
    MessageLog log;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    QVERIFY(form.date->hasFocus());
    QSignalSpy exits(form.date, &TLumoDateEdit::AfterExit);
    form.date->setCursorPosition(0);
    QTest::keyClicks(form.date, keys);
    if (byMouse)
        form.next->setFocus(Qt::MouseFocusReason);
    else
        QTest::keyClick(form.date, Qt::Key_Tab);
    QCOMPARE(log.texts, QStringList{kInvalid});
    QCOMPARE(log.kinds, QList<int>{LumoMsg::Hint});
    QVERIFY(form.date->hasFocus());
    QCOMPARE(exits.count(), 0);
}

void tst_LumoDateEdit::leavingValidOrEmptyFiresAfterExit_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("stored");
    QTest::newRow("valid") << "20240229"
                           << "2024-02-29 00:00:00";
    QTest::newRow("cleared") << ""
                             << "";
}

void tst_LumoDateEdit::leavingValidOrEmptyFiresAfterExit()
{
    QFETCH(QString, keys);
    QFETCH(QString, stored);
    MessageLog log;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.date->SetDateTimeText(QStringLiteral("2020-01-01 00:00:00"));
    QSignalSpy exits(form.date, &TLumoDateEdit::AfterExit);
    form.date->selectAll();
    QTest::keyClick(form.date, Qt::Key_Delete);
    form.date->setCursorPosition(0);
    QTest::keyClicks(form.date, keys);
    QTest::keyClick(form.date, Qt::Key_Tab);
    QVERIFY(log.texts.isEmpty());
    QVERIFY(form.next->hasFocus());
    QCOMPARE(exits.count(), 1);
    QCOMPARE(form.date->GetDateTimeText(), stored);
}

void tst_LumoDateEdit::tagStrMakesReadOnly()
{
    TLumoDateEdit editor;
    editor.setTagStr(QStringLiteral("xr"));
    QCOMPARE(editor.TagStr(), QStringLiteral("XR"));
    QVERIFY(editor.isReadOnly());
    QCOMPARE(editor.palette().color(QPalette::Base), QColor(0xC0, 0xDC, 0xC0));
    QVERIFY(!(editor.focusPolicy() & Qt::TabFocus));
    editor.setTagStr(QStringLiteral("f2"));
    QVERIFY(!editor.isReadOnly());
    QVERIFY(editor.focusPolicy() & Qt::TabFocus);
    QVERIFY(editor.palette().color(QPalette::Base) != QColor(0xC0, 0xDC, 0xC0));
}

void tst_LumoDateEdit::sessionDateFormatChoosesPattern_data()
{
    QTest::addColumn<QString>("userFormat");
    QTest::addColumn<Fmt>("fmt");
    QTest::newRow("short gb") << "YY年MM月DD日 HH点MM分SS秒" << Fmt::dtfShortGBDate;
    QTest::newRow("short") << "YY-MM-DD HH:MM:SS" << Fmt::dtfShortDate;
    QTest::newRow("gb") << "YYYY年MM月DD日 HH点MM分SS秒" << Fmt::dtfGBDate;
    QTest::newRow("standard") << "YYYY-MM-DD HH:MM:SS" << Fmt::dtfDate;
    QTest::newRow("unknown") << "DD/MM/YYYY" << Fmt::dtfDate;
}

void tst_LumoDateEdit::sessionDateFormatChoosesPattern()
{
    QFETCH(QString, userFormat);
    QFETCH(Fmt, fmt);
    QCOMPARE(lumo::dateTimeFmtOf(userFormat), fmt);
    QWidget form;
    auto *first = new TLumoDateEdit(&form);
    auto *nested = new TLumoDateEdit(new QWidget(&form));
    first->SetDateTimeText(QStringLiteral("2024-02-29 00:00:00"));
    lumo::applyDateTimeFmt(&form, fmt);
    QCOMPARE(first->DateTimeFmt(), fmt);
    QCOMPARE(first->GetDateTimeText(), QStringLiteral("2024-02-29 00:00:00"));
    QVERIFY(nested->digits().isEmpty());
    QCOMPARE(nested->DateTimeFmt(), fmt);
}

QTEST_MAIN(tst_LumoDateEdit)
#include "tst_LumoDateEdit.moc"
