// Data-aware editors: what they show for each record, and what they write back (only
// complete values, into a record put into edit or append mode first).

#include "LumoCLientDataSet.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoFaceSet.h"
#include "LumoTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using korvane::FieldType;
using lumo::test::MessageLog;

namespace {

const QString kInvalidDate = QStringLiteral("日期或时间输入错误，请重新输入！");

//! A document head kept in memory: a date, a remark, a price and a note.
struct Heads
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;

    explicit Heads(const QList<QVariantList> &rows)
    {
        dataSet.setObjectName(QStringLiteral("CDSHead"));
        dataSet.addDataField(QStringLiteral("BillDate"), FieldType::String, 19);
        dataSet.addDataField(QStringLiteral("Remark"), FieldType::String, 40);
        dataSet.addDataField(QStringLiteral("Price"), FieldType::Float);
        dataSet.addDataField(QStringLiteral("Note"), FieldType::String, 200);
        dataSet.CreateDataSet();
        for (const QVariantList &row : rows) {
            dataSet.Append();
            for (int i = 0; i < row.size(); ++i)
                dataSet.Fields(i).setValue(row.at(i));
            dataSet.Post();
        }
        dataSet.First();
        source.setDataSet(&dataSet);
    }
    QVariant value(const char *field) const
    {
        return dataSet.FieldByName(QLatin1String(field)).Value();
    }
};

//! A shown window with one data-aware control followed by a plain edit.
template <typename Control> struct Form
{
    QWidget window;
    Control *control = new Control(&window);
    TLumoEdit *next = new TLumoEdit(&window);

    Form(TLumoDataSource *source, const QString &field)
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(control);
        layout->addWidget(next);
        control->setDataSource(source);
        control->setDataField(field);
    }
    bool show()
    {
        if (!lumo::test::showActive(&window))
            return false;
        control->setFocus(Qt::TabFocusReason);
        return true;
    }
};

void clearAndType(QLineEdit *editor, const QString &keys)
{
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    editor->setCursorPosition(0);
    QTest::keyClicks(editor, keys);
}

} // namespace

class tst_LumoDBEditors : public QObject
{
    Q_OBJECT

private slots:
    void dateEditShowsEachRecord();
    void dateEditWritesAfterLeaving_data();
    void dateEditWritesAfterLeaving();
    void dateEditRejectsWithoutWriting();
    void dateEditCompleteDateReachesRecordBeforeLeaving();
    void dateEditPassedThroughChangesNothing();
    void dateEditInnerFollowsOuter();
    void editWritesTypedText();
    void editShowsEditTextWhileFocused();
    void editRefusedByRecordShowsFieldAgain();
    void editKeepsFocusOnTextTheFieldRefuses();
    void editShowsTheBeginningOfALongValue();
    void memoTakesNewLines();
    void dbTextShowsDisplayText();
};

void tst_LumoDBEditors::dateEditShowsEachRecord()
{
    Heads heads({{"2024-01-05 13:45:00"}, {"not a date"}, {QVariant()}});
    TLumoDBDateEdit edit;
    edit.setDataSource(&heads.source);
    edit.setDataField(QStringLiteral("billdate"));
    QCOMPARE(edit.editor()->displayText(), QStringLiteral("2024-01-05"));
    heads.dataSet.Next();
    QVERIFY2(edit.editor()->digits().isEmpty(), "no date of another record stays on screen");
    heads.dataSet.First();
    edit.setDateTimeType(TLumoDateEdit::dttDateTime);
    QCOMPARE(edit.editor()->displayText(), QStringLiteral("2024-01-05 13:45:00"));
    heads.dataSet.Last();
    QVERIFY(edit.editor()->digits().isEmpty());
}

void tst_LumoDBEditors::dateEditWritesAfterLeaving_data()
{
    QTest::addColumn<QList<QVariantList>>("rows");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("records");
    const QList<QVariantList> one{{"2020-01-01 00:00:00"}};
    QTest::newRow("edits a record") << one << "20240229" << QVariant("2024-02-29 00:00:00") << 1;
    QTest::newRow("appends to an empty set")
        << QList<QVariantList>{} << "20240301" << QVariant("2024-03-01 00:00:00") << 1;
    QTest::newRow("cleared") << one << "" << QVariant() << 1;
}

void tst_LumoDBEditors::dateEditWritesAfterLeaving()
{
    QFETCH(QList<QVariantList>, rows);
    QFETCH(QString, keys);
    QFETCH(QVariant, stored);
    QFETCH(int, records);
    MessageLog log;
    Heads heads(rows);
    Form<TLumoDBDateEdit> form(&heads.source, QStringLiteral("BillDate"));
    QVERIFY(form.show());
    QVERIFY(form.control->editor()->hasFocus());
    clearAndType(form.control->editor(), keys);
    QTest::keyClick(form.control->editor(), Qt::Key_Tab);
    QVERIFY(log.texts.isEmpty());
    QVERIFY(form.next->hasFocus());
    QVERIFY(heads.dataSet.State() == TDataSetState::dsEdit ||
            heads.dataSet.State() == TDataSetState::dsInsert);
    QCOMPARE(heads.value("BillDate"), stored);
    QCOMPARE(heads.dataSet.RecordCount(), records);
}

void tst_LumoDBEditors::dateEditRejectsWithoutWriting()
{
    MessageLog log;
    Heads heads({{"2020-01-01 00:00:00"}});
    Form<TLumoDBDateEdit> form(&heads.source, QStringLiteral("BillDate"));
    QVERIFY(form.show());
    clearAndType(form.control->editor(), QStringLiteral("2023023"));
    QTest::keyClick(form.control->editor(), Qt::Key_Tab);
    QCOMPARE(log.texts, QStringList{kInvalidDate});
    QVERIFY(form.control->editor()->hasFocus());
    QCOMPARE(heads.value("BillDate"), QVariant("2020-01-01 00:00:00"));
}

void tst_LumoDBEditors::dateEditCompleteDateReachesRecordBeforeLeaving()
{
    Heads heads({{"2020-01-01 00:00:00"}});
    Form<TLumoDBDateEdit> form(&heads.source, QStringLiteral("BillDate"));
    QVERIFY(form.show());
    clearAndType(form.control->editor(), QStringLiteral("2024070"));
    QCOMPARE(heads.value("BillDate"), QVariant("2020-01-01 00:00:00"));
    QTest::keyClicks(form.control->editor(), QStringLiteral("9"));
    QVERIFY(form.control->editor()->hasFocus());
    QCOMPARE(heads.value("BillDate"), QVariant("2024-07-09 00:00:00"));
    QCOMPARE(form.control->editor()->displayText(), QStringLiteral("2024-07-09"));
}

void tst_LumoDBEditors::dateEditPassedThroughChangesNothing()
{
    Heads heads({{"2024-01-05 13:45:00"}});
    Form<TLumoDBDateEdit> form(&heads.source, QStringLiteral("BillDate"));
    QVERIFY(form.show());
    QTest::keyClick(form.control->editor(), Qt::Key_Tab);
    QVERIFY(form.next->hasFocus());
    QCOMPARE(heads.dataSet.State(), TDataSetState::dsBrowse);
    QCOMPARE(heads.value("BillDate"), QVariant("2024-01-05 13:45:00"));
}

void tst_LumoDBEditors::dateEditInnerFollowsOuter()
{
    TLumoDBDateEdit edit;
    edit.resize(120, 22);
    edit.show();
    QCOMPARE(edit.editor()->geometry(), QRect(-1, -1, 121, 23));
    edit.setEnabled(false);
    QVERIFY(!edit.editor()->isEnabled());
    edit.setTagStr(QStringLiteral("r"));
    QVERIFY(edit.editor()->isReadOnly());
    QCOMPARE(edit.TagStr(), QStringLiteral("R"));
    QCOMPARE(edit.focusProxy(), edit.editor());
    edit.setDateTimeFmt(TLumoDateEdit::dtfGBDate);
    QCOMPARE(edit.editor()->editMask(), QStringLiteral("9999年99月99日"));
}

void tst_LumoDBEditors::editWritesTypedText()
{
    Heads heads({{QVariant(), "旧"}});
    Form<TLumoDBEdit> form(&heads.source, QStringLiteral("Remark"));
    QVERIFY(form.show());
    QCOMPARE(form.control->text(), QStringLiteral("旧"));
    form.control->selectAll();
    QTest::keyClicks(form.control, QStringLiteral("abc"));
    QCOMPARE(heads.dataSet.State(), TDataSetState::dsEdit);
    QCOMPARE(heads.value("Remark"), QVariant("abc"));
    QCOMPARE(form.control->text(), QStringLiteral("abc"));
    heads.dataSet.Post();
    QCOMPARE(form.control->text(), QStringLiteral("abc"));
}

void tst_LumoDBEditors::editShowsEditTextWhileFocused()
{
    Heads heads({{QVariant(), QVariant(), 3.0}});
    heads.dataSet.FieldByName(QStringLiteral("Price"))
        .setDisplayFormat(QStringLiteral("0.00"))
        .setEditFormat(QStringLiteral("0.0"));
    Form<TLumoDBEdit> form(&heads.source, QStringLiteral("Price"));
    QCOMPARE(form.control->text(), QStringLiteral("3.00"));
    QVERIFY(form.show());
    QCOMPARE(form.control->text(), QStringLiteral("3.0"));
    QTest::keyClick(form.control, Qt::Key_Tab);
    QCOMPARE(form.control->text(), QStringLiteral("3.00"));
    QCOMPARE(heads.dataSet.State(), TDataSetState::dsBrowse);
}

void tst_LumoDBEditors::editRefusedByRecordShowsFieldAgain()
{
    Heads heads({{QVariant(), "旧"}});
    heads.dataSet.BeforeEdit = [](TLumoCLientDataSet &) { Abort(); };
    Form<TLumoDBEdit> form(&heads.source, QStringLiteral("Remark"));
    QVERIFY(form.show());
    QTest::keyClicks(form.control, QStringLiteral("x"));
    QCOMPARE(heads.dataSet.State(), TDataSetState::dsBrowse);
    QCOMPARE(form.control->text(), QStringLiteral("旧"));
}

void tst_LumoDBEditors::editKeepsFocusOnTextTheFieldRefuses()
{
    MessageLog log;
    Heads heads({{QVariant(), QVariant(), 2.5}});
    Form<TLumoDBEdit> form(&heads.source, QStringLiteral("Price"));
    QVERIFY(form.show());
    form.control->selectAll();
    QTest::keyClicks(form.control, QStringLiteral("1x"));
    QTest::keyClick(form.control, Qt::Key_Tab);
    QCOMPARE(log.texts.size(), 1);
    QVERIFY(form.control->hasFocus());
    QCOMPARE(form.control->text(), QStringLiteral("1x"));
    QTest::keyClick(form.control, Qt::Key_Backspace);
    QTest::keyClick(form.control, Qt::Key_Tab);
    QVERIFY(form.next->hasFocus());
    QCOMPARE(heads.value("Price").toDouble(), 1.0);
}

void tst_LumoDBEditors::editShowsTheBeginningOfALongValue()
{
    const QString name = QStringLiteral("宁波华信五金制品厂有限公司第二分厂");
    Heads heads({{QVariant(), "短"}, {QVariant(), name}});
    Form<TLumoDBEdit> form(&heads.source, QStringLiteral("Remark"));
    form.control->setFixedWidth(60);
    QVERIFY(form.show());
    form.next->setFocus();
    heads.dataSet.Next();
    QCOMPARE(form.control->text(), name);
    QCOMPARE(form.control->cursorPosition(), 0);
}

void tst_LumoDBEditors::memoTakesNewLines()
{
    Heads heads({QVariantList{}});
    Form<TLumoDBMemo> form(&heads.source, QStringLiteral("Note"));
    new TLumoFaceSet(&form.window); // Enter in a memo is the memo's own
    QVERIFY(form.show());
    QTest::keyClicks(form.control, QStringLiteral("a"));
    QTest::keyClick(form.control, Qt::Key_Return);
    QTest::keyClicks(form.control, QStringLiteral("b"));
    QCOMPARE(heads.value("Note"), QVariant("a\nb"));
    QVERIFY(form.control->hasFocus());
    heads.dataSet.Cancel();
    QCOMPARE(form.control->toPlainText(), QString());
}

void tst_LumoDBEditors::dbTextShowsDisplayText()
{
    Heads heads({{QVariant(), QVariant(), 3.0}, {QVariant(), QVariant(), 4.25}});
    heads.dataSet.FieldByName(QStringLiteral("Price")).setDisplayFormat(QStringLiteral("0.00"));
    TLumoDBText text;
    text.setDataSource(&heads.source);
    text.setDataField(QStringLiteral("Price"));
    QCOMPARE(text.text(), QStringLiteral("3.00"));
    heads.dataSet.Next();
    QCOMPARE(text.text(), QStringLiteral("4.25"));
}

QTEST_MAIN(tst_LumoDBEditors)
#include "tst_LumoDBEditors.moc"
