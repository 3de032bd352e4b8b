// The library font: "宋体" 9 on every editor, grid, panel and button, rendering Chinese
// text in an installed CJK font rather than as empty boxes, and in one and the same face
// everywhere, a sans one where no "宋体" is installed.

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

#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using Factory = std::function<QWidget *()>;
Q_DECLARE_METATYPE(Factory)

class tst_LumoFont : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { lumo::useLumoFontEverywhere(); }
    void chineseTextHasGlyphs();
    void standInReadsWellAtNine();
    void everyControlUsesTheLibraryFont_data();
    void everyControlUsesTheLibraryFont();
    void plainWidgetsShowTheSameFace_data();
    void plainWidgetsShowTheSameFace();
};

namespace {

//! The face the text is really drawn in.
QString shownFace(const QFont &font)
{
    return QFontInfo(font).family();
}

} // namespace

void tst_LumoFont::chineseTextHasGlyphs()
{
    const QFont font = lumo::lumoFont();
    QCOMPARE(font.families().value(0), QStringLiteral("宋体"));
    QCOMPARE(font.pointSize(), 9);
    const QFontMetrics metrics(font);
    for (const QChar c : QStringLiteral("采购入库单日期或时间输入错误"))
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for ") + c));
}

void tst_LumoFont::standInReadsWellAtNine()
{
    const QStringList installed = QFontDatabase::families();
    // Where the face itself is installed it is the one shown.
    if (installed.contains(QStringLiteral("SimSun"))) {
        QCOMPARE(shownFace(lumo::lumoFont()), QStringLiteral("SimSun"));
        return;
    }
    QVERIFY2(installed.contains(QStringLiteral("Noto Sans CJK SC")),
             "fonts-noto-cjk is missing: scripts/setup installs it");
    // Installed beside it, the serif is not the one chosen.
    QCOMPARE(shownFace(lumo::lumoFont()), QStringLiteral("Noto Sans CJK SC"));
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
    QCOMPARE(shownFace(control->font()), shownFace(lumo::lumoFont()));
}

void tst_LumoFont::plainWidgetsShowTheSameFace_data()
{
    QTest::addColumn<Factory>("make");
    QTest::newRow("label") << Factory([] { return new QLabel(QStringLiteral("学历代码:")); });
    QTest::newRow("button") << Factory([] { return new QPushButton(QStringLiteral("确定")); });
    QTest::newRow("message box") << Factory([] { return new QMessageBox; });
    QTest::newRow("grid header") << Factory([] {
        auto *grid = new Tlumodbgrid;
        return grid->horizontalHeader()->viewport();
    });
}

void tst_LumoFont::plainWidgetsShowTheSameFace()
{
    QFETCH(Factory, make);
    QWidget *const made = make();
    const std::unique_ptr<QWidget> owner(made->window());
    QCOMPARE(shownFace(made->font()), shownFace(lumo::lumoFont()));
    QCOMPARE(made->font().pointSize(), 9);
}

QTEST_MAIN(tst_LumoFont)
#include "tst_LumoFont.moc"
