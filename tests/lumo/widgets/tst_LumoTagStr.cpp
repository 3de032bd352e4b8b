#include "LumoMessages.h"
#include "LumoTagLook.h"

#include <QLineEdit>
#include <QTest>

class tst_LumoTagStr : public QObject
{
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void lookTurnsMoneyGreenAndBack();
    void messageHookIsReplaceable();
};

Q_DECLARE_METATYPE(TLumoTagKind)

void tst_LumoTagStr::rules_data()
{
    QTest::addColumn<TLumoTagKind>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("readOnly");

    const auto range = TLumoTagKind::Range;
    QTest::newRow("range lower d1") << range << "d1"
                                    << "D1" << false;
    QTest::newRow("range D9") << range << "D9"
                              << "D9" << false;
    QTest::newRow("range D10 sorts inside") << range << "D10"
                                            << "D10" << false;
    QTest::newRow("range D1X sorts inside") << range << "D1X"
                                            << "D1X" << false;
    QTest::newRow("range E1") << range << "E1"
                              << "D0" << false;
    QTest::newRow("range empty") << range << ""
                                 << "D0" << false;
    QTest::newRow("range D") << range << "D"
                             << "D0" << false;
    QTest::newRow("range D9A after D9") << range << "D9A"
                                        << "D0" << false;
    QTest::newRow("editor xr") << TLumoTagKind::Editor << "xr"
                               << "XR" << true;
    QTest::newRow("editor F2") << TLumoTagKind::Editor << "F2"
                               << "F2" << false;
    QTest::newRow("spin r") << TLumoTagKind::SpinEdit << "r"
                            << "R" << true;
    QTest::newRow("list r") << TLumoTagKind::ListBox << "r"
                            << "R" << true;
    QTest::newRow("combo lower r stays enabled") << TLumoTagKind::ComboBox << "r"
                                                 << "R" << false;
    QTest::newRow("combo R") << TLumoTagKind::ComboBox << "R"
                             << "R" << true;
    QTest::newRow("picture lower r") << TLumoTagKind::Picture << "r"
                                     << "R" << false;
    QTest::newRow("picture xR") << TLumoTagKind::Picture << "xR"
                                << "XR" << true;
    QTest::newRow("stored only") << TLumoTagKind::Stored << "r"
                                 << "R" << false;
}

void tst_LumoTagStr::rules()
{
    QFETCH(TLumoTagKind, kind);
    QFETCH(QString, value);
    const TLumoTagRule rule = LumoTagStr::apply(kind, value);
    QTEST(rule.stored, "stored");
    QTEST(rule.readOnly, "readOnly");
}

void tst_LumoTagStr::lookTurnsMoneyGreenAndBack()
{
    QLineEdit edit;
    const QColor normal = edit.palette().color(QPalette::Base);
    LumoTagStr::applyLook(&edit, true);
    QCOMPARE(edit.palette().color(QPalette::Base), QColor(0xC0, 0xDC, 0xC0));
    LumoTagStr::applyLook(&edit, false);
    QCOMPARE(edit.palette().color(QPalette::Base), normal);
}

void tst_LumoTagStr::messageHookIsReplaceable()
{
    QStringList shown;
    setLumoMessageHook([&](const QString &text, int kind) {
        shown << QStringLiteral("%1:%2").arg(kind).arg(text);
        return int(LumoMsg::No);
    });
    QCOMPARE(lumoMessage(QStringLiteral("确实要删除此笔资料吗？"), LumoMsg::YesNo),
             int(LumoMsg::No));
    QCOMPARE(shown, QStringList{QStringLiteral("2:确实要删除此笔资料吗？")});
    setLumoMessageHook({});
    // An unknown kind shows nothing and answers OK, without blocking the test.
    QCOMPARE(lumoMessage(QStringLiteral("x"), 9), int(LumoMsg::Ok));
}

QTEST_MAIN(tst_LumoTagStr)
#include "tst_LumoTagStr.moc"
