// The grids: row colours whatever the form stored, money-green read-only columns,
// yellow-on-navy selection, the grid following the data set's cursor and back, and the
// overlay editor that takes over typing in its column.

#include "LumoCLientDataSet.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoDataSetModel.h"
#include "LumoDataSource.h"
#include "LumoPanel.h"
#include "LumoStringGrid.h"
#include "LumoTestSupport.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using korvane::FieldType;

namespace {

const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);
const QColor kNavy(0x00, 0x00, 0x80);

//! Lines of a document: product code, date, quantity and a read-only amount.
struct Lines
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;

    explicit Lines(int count)
    {
        dataSet.addDataField(QStringLiteral("PdtCode"), FieldType::String, 30);
        dataSet.addDataField(QStringLiteral("BillDate"), FieldType::String, 19);
        dataSet.addDataField(QStringLiteral("Pqty"), FieldType::Float);
        dataSet.addDataField(QStringLiteral("Amount"), FieldType::Float).setReadOnly(true);
        dataSet.CreateDataSet();
        for (int i = 0; i < count; ++i) {
            dataSet.Append();
            dataSet.FieldByName(QStringLiteral("Pqty")).setValue(i + 1);
            dataSet.Post();
        }
        dataSet.First();
        source.setDataSet(&dataSet);
    }
};

//! A detail panel holding the grid and the code/name and date editors of two columns.
struct DetailPanel
{
    QWidget window;
    TLumoPanel *panel = new TLumoPanel(&window);
    Tlumodbgrid *grid = new Tlumodbgrid(panel);
    TLumoCodeName *code = new TLumoCodeName(panel);
    TLumoDBDateEdit *date = new TLumoDBDateEdit(panel);

    explicit DetailPanel(TLumoDataSource *source)
    {
        window.resize(640, 400);
        panel->setGeometry(0, 0, 640, 400);
        grid->setGeometry(10, 10, 600, 300);
        grid->setDataSource(source);
        code->setProperty("CodeDataField", QStringLiteral("pdtcode"));
        code->setProperty("DataSource", QVariant::fromValue(source));
        code->hide();
        date->setDataSource(source);
        date->setDataField(QStringLiteral("BILLDATE"));
        date->hide();
    }
    //! Shows the window and puts the grid's focus on a cell of a field's column.
    int focusCell(int row, const QString &field)
    {
        if (!lumo::test::showActive(&window))
            return -1;
        const int column = grid->dataModel()->columnOf(field);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        return column;
    }
    QRect cellOnPanel(int row, int column) const
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        return QRect(grid->viewport()->mapTo(panel, cell.topLeft()), cell.size());
    }
};

//! A pixel inside a cell, clear of its text.
QColor cellPixel(QAbstractItemView *view, int row, int column)
{
    const QRect cell = view->visualRect(view->model()->index(row, column));
    return view->viewport()->grab().toImage().pixelColor(cell.right() - 6, cell.center().y());
}

//! The room the grid's painting leaves for the text of a cell.
int textRoom(const Tlumodbgrid &grid, int column)
{
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return grid.columnWidth(column) - 2 * margin - 1;
}

//! One row of a list: a field under test, then a remark that fills the rest.
struct OneRow
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;

    OneRow(FieldType type, int size, const QString &label, const QVariant &value)
    {
        dataSet.addDataField(QStringLiteral("Subject"), type, size).setDisplayLabel(label);
        dataSet.addDataField(QStringLiteral("Note"), FieldType::String, 255);
        dataSet.CreateDataSet();
        dataSet.Append();
        dataSet.FieldByName(QStringLiteral("Subject")).setValue(value);
        dataSet.Post();
        source.setDataSet(&dataSet);
    }
};

} // namespace

class tst_LumoGrid : public QObject
{
    Q_OBJECT

private slots:
    void rowColoursWhateverTheFormStored();
    void readOnlyColumnsAreMoneyGreen();
    void selectedCellIsYellowOnNavy();
    void gridAndDataSetFollowEachOther();
    void refusedScrollKeepsTheCursor();
    void typedLetterGoesToOverlayEditor();
    void typedDigitGoesToDateOverlay();
    void leavingColumnHidesItsOverlay();
    void emptiedLinesHideTheOverlay();
    void downOnLastRowAppends();
    void doubleClickIsReported();
    void multiSelectWhenAsked();
    void stringGridColoursAndRowHeight();
    void columnsShowWholeValuesOfTheirSize_data();
    void columnsShowWholeValuesOfTheirSize();
    void longTextColumnsAreCapped();
    void columnsFitTheirContents();
};

void tst_LumoGrid::rowColoursWhateverTheFormStored()
{
    Lines lines(3);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.setColorOne(Qt::red);
    grid.setColorTwo(Qt::green);
    grid.resize(500, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.ColorOne(), QColor(Qt::white));
    QCOMPARE(grid.ColorTwo(), QApplication::palette().color(QPalette::ToolTipBase));
    grid.clearSelection();
    grid.setCurrentIndex(QModelIndex());
    QCOMPARE(cellPixel(&grid, 0, 0), grid.ColorTwo());
    QCOMPARE(cellPixel(&grid, 1, 0), QColor(Qt::white));
    QCOMPARE(cellPixel(&grid, 2, 0), grid.ColorTwo());
}

void tst_LumoGrid::readOnlyColumnsAreMoneyGreen()
{
    Lines lines(2);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.resize(800, 200); // every column in sight
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.clearSelection();
    grid.setCurrentIndex(QModelIndex());
    const int amount = grid.dataModel()->columnOf(QStringLiteral("Amount"));
    QCOMPARE(cellPixel(&grid, 0, amount), kMoneyGreen);
    QCOMPARE(cellPixel(&grid, 1, amount), kMoneyGreen);
}

void tst_LumoGrid::selectedCellIsYellowOnNavy()
{
    Lines lines(2);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.resize(500, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentIndex(grid.model()->index(1, 2));
    QCOMPARE(cellPixel(&grid, 1, 2), kNavy);
    // The quantity "2" is drawn in yellow somewhere inside the navy cell.
    const QRect cell = grid.visualRect(grid.model()->index(1, 2));
    const QImage shot = grid.viewport()->grab(cell).toImage();
    bool yellowish = false;
    for (int x = 0; x < shot.width() && !yellowish; ++x)
        for (int y = 0; y < shot.height() && !yellowish; ++y) {
            const QColor c = shot.pixelColor(x, y);
            yellowish = c.red() > 200 && c.green() > 200 && c.blue() < 100;
        }
    QVERIFY(yellowish);
}

void tst_LumoGrid::gridAndDataSetFollowEachOther()
{
    Lines lines(4);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.setCurrentIndex(grid.model()->index(2, 0));
    QCOMPARE(lines.dataSet.RecNo(), 3);
    lines.dataSet.Last();
    QCOMPARE(grid.currentIndex().row(), 3);
    lines.dataSet.First();
    QCOMPARE(grid.currentIndex().row(), 0);
}

void tst_LumoGrid::refusedScrollKeepsTheCursor()
{
    Lines lines(3);
    lines.dataSet.BeforeScroll = [](TLumoCLientDataSet &) { Abort(); };
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.setCurrentIndex(grid.model()->index(2, 0));
    QCOMPARE(lines.dataSet.RecNo(), 1);
    QCOMPARE(grid.currentIndex().row(), 0);
}

void tst_LumoGrid::typedLetterGoesToOverlayEditor()
{
    Lines lines(2);
    DetailPanel form(&lines.source);
    const int column = form.focusCell(1, QStringLiteral("PdtCode"));
    QVERIFY(column >= 0);
    QCOMPARE(form.grid->overlayEditor(column), form.code);
    QVERIFY(form.code->isVisible());
    QCOMPARE(form.code->geometry(), form.cellOnPanel(1, column));
    QTest::keyClicks(form.grid, QStringLiteral("A"));
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused && form.code->isAncestorOf(focused));
    auto *edit = qobject_cast<QLineEdit *>(focused);
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("A"));
}

void tst_LumoGrid::typedDigitGoesToDateOverlay()
{
    Lines lines(1);
    DetailPanel form(&lines.source);
    const int column = form.focusCell(0, QStringLiteral("BillDate"));
    QVERIFY(column >= 0);
    QCOMPARE(form.grid->overlayEditor(column), form.date);
    QVERIFY(form.date->isVisible());
    form.date->editor()->setCursorPosition(0);
    QTest::keyClicks(form.grid, QStringLiteral("2"));
    QVERIFY(form.date->editor()->hasFocus());
    QCOMPARE(form.date->editor()->digits(), QStringLiteral("2"));
}

void tst_LumoGrid::emptiedLinesHideTheOverlay()
{
    Lines lines(2);
    DetailPanel form(&lines.source);
    QVERIFY(form.focusCell(0, QStringLiteral("PdtCode")) >= 0);
    QVERIFY(form.code->isVisible());
    // The lines of a new document: none, and no editor left over an empty grid.
    lines.dataSet.setFilter(QStringLiteral("PdtCode = 'none'"));
    lines.dataSet.setFiltered(true);
    QCOMPARE(form.grid->model()->rowCount(), 0);
    QVERIFY(!form.code->isVisible());
}

void tst_LumoGrid::leavingColumnHidesItsOverlay()
{
    Lines lines(2);
    DetailPanel form(&lines.source);
    QVERIFY(form.focusCell(0, QStringLiteral("PdtCode")) >= 0);
    const int qty = form.grid->dataModel()->columnOf(QStringLiteral("Pqty"));
    QVERIFY(form.code->isVisible());
    QCOMPARE(form.grid->overlayEditor(qty), nullptr);
    form.grid->setCurrentIndex(form.grid->model()->index(0, qty));
    QVERIFY(!form.code->isVisible());
    QTest::keyClicks(form.grid, QStringLiteral("7"));
    QVERIFY2(!form.code->isVisible(), "a column without an overlay edits in the grid");
}

void tst_LumoGrid::downOnLastRowAppends()
{
    Lines lines(2);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(lines.dataSet.State(), TDataSetState::dsInsert);
    QCOMPARE(lines.dataSet.RecordCount(), 3);
    QCOMPARE(grid.currentIndex().row(), 2);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(lines.dataSet.RecordCount(), 3);

    grid.setReadOnly(true);
    lines.dataSet.Cancel();
    grid.setCurrentIndex(grid.model()->index(1, 0));
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(lines.dataSet.RecordCount(), 2);
}

void tst_LumoGrid::doubleClickIsReported()
{
    Lines lines(2);
    Tlumodbgrid grid;
    grid.setDataSource(&lines.source);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy doubleClicks(&grid, &Tlumodbgrid::OnDblClick);
    const QPoint inCell = grid.visualRect(grid.model()->index(1, 0)).center();
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, inCell);
    QCOMPARE(doubleClicks.count(), 1);
    QCOMPARE(lines.dataSet.State(), TDataSetState::dsBrowse);
}

void tst_LumoGrid::multiSelectWhenAsked()
{
    Tlumodbgrid grid;
    QVERIFY(!grid.MultiSelect());
    grid.setMultiSelect(true);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::ExtendedSelection);
    grid.setRowSelect(true);
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
}

void tst_LumoGrid::stringGridColoursAndRowHeight()
{
    TLumoStringGrid grid(4, 2);
    grid.setColorOne(Qt::red);
    grid.setColorTwo(Qt::green);
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.rowHeight(0), 18);
    QCOMPARE(grid.ColorOne(), QColor(Qt::white));
    QCOMPARE(cellPixel(&grid, 0, 1), QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(cellPixel(&grid, 1, 1), QColor(Qt::white));
    grid.setDefaultDrawing(false);
    QCOMPARE(cellPixel(&grid, 0, 1), grid.palette().color(QPalette::Base));
}

void tst_LumoGrid::columnsShowWholeValuesOfTheirSize_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("partner name") << int(FieldType::String) << 140 << QStringLiteral("厂商")
                                  << QVariant(QStringLiteral("宁波华信五金制品有限公司"));
    QTest::newRow("date and time") << int(FieldType::String) << 19 << QStringLiteral("日期")
                                   << QVariant(QStringLiteral("2026-12-10 14:12:54"));
    QTest::newRow("document number") << int(FieldType::String) << 15 << QStringLiteral("单号")
                                     << QVariant(QStringLiteral("202612100001"));
    QTest::newRow("amount") << int(FieldType::Float) << 0 << QStringLiteral("金额")
                            << QVariant(12345678.25);
    QTest::newRow("title longer than the code")
        << int(FieldType::String) << 1 << QStringLiteral("每包装数量的说明")
        << QVariant(QStringLiteral("1"));
}

void tst_LumoGrid::columnsShowWholeValuesOfTheirSize()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(QString, label);
    QFETCH(QVariant, value);
    OneRow list(FieldType(type), size, label, value);
    Tlumodbgrid grid;
    grid.setDataSource(&list.source);
    const QString text = list.dataSet.FieldByName(QStringLiteral("Subject")).DisplayText();
    QVERIFY(textRoom(grid, 0) >= grid.fontMetrics().horizontalAdvance(text));
    QVERIFY(grid.columnWidth(0) >= grid.horizontalHeader()->fontMetrics().horizontalAdvance(label));
    // Laying the columns out again (a refresh) gives them the same widths.
    const int width = grid.columnWidth(0);
    grid.setColumnWidth(0, 20);
    grid.setColumns({QStringLiteral("Subject"), QStringLiteral("Note")});
    QCOMPARE(grid.columnWidth(0), width);
}

void tst_LumoGrid::longTextColumnsAreCapped()
{
    OneRow list(FieldType::String, 255, QStringLiteral("规格"), QStringLiteral("5 米"));
    Tlumodbgrid grid;
    grid.setDataSource(&list.source);
    const int digit = grid.fontMetrics().horizontalAdvance(QLatin1Char('0'));
    QVERIFY(grid.columnWidth(0) >= 20 * digit);
    QVERIFY(grid.columnWidth(0) <= 40 * digit);
}

void tst_LumoGrid::columnsFitTheirContents()
{
    const QString spec = QStringLiteral("黑色 M8×40 不锈钢六角螺栓 带垫片");
    OneRow list(FieldType::String, 255, QStringLiteral("规格"), spec);
    list.dataSet.Append();
    list.dataSet.FieldByName(QStringLiteral("Subject")).setValue(QStringLiteral("5 米"));
    list.dataSet.Post();
    Tlumodbgrid grid;
    grid.setDataSource(&list.source);
    grid.setColumnWidth(1, 77);
    grid.fitColumnsToContents();
    QVERIFY(textRoom(grid, 0) >= grid.fontMetrics().horizontalAdvance(spec));
    QCOMPARE(grid.columnWidth(1), 77); // the last column keeps the rest of the width
    // Short contents give a narrow column, a text past the limit is cut.
    OneRow shortList(FieldType::String, 255, QStringLiteral("规格"), QStringLiteral("5 米"));
    grid.setDataSource(&shortList.source);
    grid.fitColumnsToContents();
    QVERIFY(grid.columnWidth(0) < grid.fieldColumnWidth(0));
    grid.setDataSource(&list.source);
    grid.fitColumnsToContents(8);
    QVERIFY(textRoom(grid, 0) < grid.fontMetrics().horizontalAdvance(spec));
}

QTEST_MAIN(tst_LumoGrid)
#include "tst_LumoGrid.moc"
