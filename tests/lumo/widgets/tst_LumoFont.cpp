// The library font: "宋体" 9 on every editor, grid, panel and button, rendering Chinese
// text in an installed CJK font rather than as empty boxes.

#include "LumoBtn.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDBImage.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoFont.h"
#include "LumoLabel.h"
#include "LumoListBox.h"
#include "LumoPanel.h"
#include "LumoStringGrid.h"

#include <QFontInfo>
#include <QTest>

#include <functional>
#include <memory>

using Factory = std::function<QWidget *()>;
Q_DECLARE_METATYPE(Factory)

class tst_LumoFont : public QObject
{
    Q_OBJECT

private slots:
    void chineseTextHasGlyphs();
    void everyControlUsesTheLibraryFont_data();
    void everyControlUsesTheLibraryFont();
};

void tst_LumoFont::chineseTextHasGlyphs()
{
    const QFont font = lumo::lumoFont();
    QCOMPARE(font.families().value(0), QStringLiteral("宋体"));
    QCOMPARE(font.pointSize(), 9);
    const QFontMetrics metrics(font);
    for (const QChar c : QStringLiteral("采购入库单日期或时间输入错误"))
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for ") + c));
}

void tst_LumoFont::everyControlUsesTheLibraryFont_data()
{
    QTest::addColumn<Factory>("make");
    QTest::newRow("edit") << Factory([] { return new TLumoEdit; });
    QTest::newRow("data-aware edit") << Factory([] { return new TLumoDBEdit; });
    QTest::newRow("memo") << Factory([] { return new TLumoDBMemo; });
    QTest::newRow("date editor") << Factory([] { return new TLumoDateEdit; });
    QTest::newRow("data-aware date editor") << Factory([] { return new TLumoDBDateEdit; });
    QTest::newRow("combo box") << Factory([] { return new TLumoComboBox; });
    QTest::newRow("lookup box") << Factory([] { return new TLumoDBLookupCombobox; });
    QTest::newRow("list box") << Factory([] { return new TLumoListBox; });
    QTest::newRow("data grid") << Factory([] { return new Tlumodbgrid; });
    QTest::newRow("string grid") << Factory([] { return new TLumoStringGrid; });
    QTest::newRow("picture") << Factory([] { return new TLumoDBImage; });
    QTest::newRow("panel") << Factory([] { return new TLumoPanel; });
    QTest::newRow("button") << Factory([] { return new TLumoBtn; });
    QTest::newRow("label") << Factory([] { return new TLumoLabel; });
}

void tst_LumoFont::everyControlUsesTheLibraryFont()
{
    QFETCH(Factory, make);
    const std::unique_ptr<QWidget> control(make());
    QCOMPARE(control->font().families().value(0), QStringLiteral("宋体"));
    QCOMPARE(control->font().pointSize(), 9);
    QVERIFY(QFontMetrics(control->font()).inFont(QChar(0x5B8B))); // 宋
}

QTEST_MAIN(tst_LumoFont)
#include "tst_LumoFont.moc"
