// The panel: data-set code and type, activation, the query gradient, background
// tiling, the edit-area frame, and where a click leaves the focus.

#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumoPanel.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using PnlType = TLumoPanel::TPnlType;
using BkDirect = TLumoPanel::TBkDirect;

namespace {

//! Counts focus-in events of the widgets it watches.
struct FocusCounter : QObject
{
    QHash<QObject *, int> ins;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            ++ins[watched];
        return false;
    }
};

QPixmap redTile()
{
    QPixmap tile(10, 10);
    tile.fill(Qt::red);
    return tile;
}

} // namespace

class tst_LumoPanel : public QObject
{
    Q_OBJECT

private slots:
    void tagStrKeepsToTheRange_data();
    void tagStrKeepsToTheRange();
    void leavingEditAreaTypeResetsCode_data();
    void leavingEditAreaTypeResetsCode();
    void onlyEditAreasBecomeActive();
    void gradientStripsFillTheWidth_data();
    void gradientStripsFillTheWidth();
    void paintsGradientAndFrame();
    void tilesBackground_data();
    void tilesBackground();
    void clickLeavesFocusOnLastFocusableChild();
};

void tst_LumoPanel::tagStrKeepsToTheRange_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("lower case") << "d1"
                                << "D1";
    QTest::newRow("D9") << "D9"
                        << "D9";
    QTest::newRow("D10 sorts inside") << "D10"
                                      << "D10";
    QTest::newRow("E1") << "E1"
                        << "D0";
    QTest::newRow("empty") << ""
                           << "D0";
    QTest::newRow("R") << "R"
                       << "D0";
}

void tst_LumoPanel::tagStrKeepsToTheRange()
{
    QFETCH(QString, value);
    QFETCH(QString, stored);
    TLumoPanel panel;
    QCOMPARE(panel.TagStr(), QStringLiteral("D0"));
    panel.setTagStr(value);
    QCOMPARE(panel.TagStr(), stored);
}

void tst_LumoPanel::leavingEditAreaTypeResetsCode_data()
{
    QTest::addColumn<PnlType>("type");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("active");
    QTest::newRow("to query") << PnlType::ptQuery << "D0" << false;
    QTest::newRow("to normal") << PnlType::ptNormal << "D0" << false;
    QTest::newRow("stays edit area") << PnlType::ptActivePnl << "D2" << true;
}

void tst_LumoPanel::leavingEditAreaTypeResetsCode()
{
    QFETCH(PnlType, type);
    QFETCH(QString, tag);
    QFETCH(bool, active);
    TLumoPanel panel;
    panel.setPnlType(PnlType::ptActivePnl);
    panel.setTagStr(QStringLiteral("d2"));
    panel.SetActive(true);
    panel.setPnlType(type);
    QCOMPARE(panel.TagStr(), tag);
    QCOMPARE(panel.Active(), active);
}

void tst_LumoPanel::onlyEditAreasBecomeActive()
{
    TLumoPanel panel;
    QSignalSpy activations(&panel, &TLumoPanel::OnActive);
    panel.SetActive(true);
    QVERIFY(!panel.Active());
    QCOMPARE(activations.count(), 0);
    panel.setPnlType(PnlType::ptActivePnl);
    panel.SetActive(true);
    QVERIFY(panel.Active());
    panel.SetActive(false);
    QVERIFY(!panel.Active());
    QCOMPARE(activations.count(), 2);
}

void tst_LumoPanel::gradientStripsFillTheWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("narrower than the strips") << 100;
    QTest::newRow("one pixel each") << 255;
    QTest::newRow("uneven") << 301;
    QTest::newRow("wide") << 1024;
}

void tst_LumoPanel::gradientStripsFillTheWidth()
{
    QFETCH(int, width);
    const QList<int> widths = TLumoPanel::gradientWidths(width);
    QCOMPARE(widths.size(), 255);
    QCOMPARE(std::accumulate(widths.cbegin(), widths.cend(), 0), width);
    const auto [narrowest, widest] = std::minmax_element(widths.cbegin(), widths.cend());
    QVERIFY(*widest - *narrowest <= 1);
    QCOMPARE(TLumoPanel::gradientColor(0), QColor(0, 0, 200));
    QCOMPARE(TLumoPanel::gradientColor(254), QColor(254, 254, 200));
}

void tst_LumoPanel::paintsGradientAndFrame()
{
    TLumoPanel query;
    query.resize(257, 40);
    query.setFrameStyle(QFrame::Box | QFrame::Plain);
    query.setLineWidth(1);
    query.setBackGround(redTile());
    query.setBkDirect(BkDirect::BkStrech);
    query.setPnlType(PnlType::ptQuery);
    const QImage shot = query.grab().toImage();
    QCOMPARE(shot.pixelColor(1, 20), QColor(0, 0, 200));
    QCOMPARE(shot.pixelColor(255, 20), QColor(254, 254, 200));

    TLumoPanel area;
    area.resize(50, 30);
    area.setPnlType(PnlType::ptActivePnl);
    area.SetActive(true);
    QCOMPARE(area.grab().toImage().pixelColor(0, 10), QColor(Qt::blue));
    QCOMPARE(area.grab().toImage().pixelColor(49, 10), QColor(Qt::blue));
    area.SetActive(false);
    QVERIFY(area.grab().toImage().pixelColor(0, 10) != QColor(Qt::blue));
}

void tst_LumoPanel::tilesBackground_data()
{
    QTest::addColumn<BkDirect>("direct");
    QTest::addColumn<QList<QPoint>>("red");
    QTest::addColumn<QList<QPoint>>("notRed");
    QTest::newRow("left to right")
        << BkDirect::bkdLefttoRight << QList<QPoint>{{5, 5}, {25, 5}, {34, 5}}
        << QList<QPoint>{{5, 15}, {5, 25}};
    QTest::newRow("top to bottom")
        << BkDirect::bkdTopToBottom << QList<QPoint>{{5, 5}, {5, 15}, {5, 29}}
        << QList<QPoint>{{15, 5}, {25, 25}};
    QTest::newRow("stretch draws none")
        << BkDirect::BkStrech << QList<QPoint>{} << QList<QPoint>{{5, 5}, {25, 25}};
}

void tst_LumoPanel::tilesBackground()
{
    QFETCH(BkDirect, direct);
    QFETCH(QList<QPoint>, red);
    QFETCH(QList<QPoint>, notRed);
    TLumoPanel panel;
    panel.resize(35, 30);
    panel.setBackGround(redTile());
    panel.setBkDirect(direct);
    const QImage shot = panel.grab().toImage();
    for (const QPoint &p : red)
        QCOMPARE(shot.pixelColor(p), QColor(Qt::red));
    for (const QPoint &p : notRed)
        QVERIFY(shot.pixelColor(p) != QColor(Qt::red));
}

void tst_LumoPanel::clickLeavesFocusOnLastFocusableChild()
{
    QWidget window;
    auto *outside = new TLumoEdit(&window);
    auto *panel = new TLumoPanel(&window);
    panel->setGeometry(0, 30, 300, 100);
    auto *first = new TLumoEdit(panel);
    auto *second = new TLumoEdit(panel);
    second->move(0, 30);
    auto *disabled = new TLumoEdit(panel);
    disabled->setEnabled(false);
    new TLumoLabel(QStringLiteral("标签"), panel);
    FocusCounter counter;
    first->installEventFilter(&counter);
    second->installEventFilter(&counter);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    outside->setFocus();
    counter.ins.clear();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(250, 80));
    QVERIFY(second->hasFocus());
    QCOMPARE(counter.ins.value(first), 0);
}

QTEST_MAIN(tst_LumoPanel)
#include "tst_LumoPanel.moc"
