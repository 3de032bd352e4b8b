// The picture button: glyph and caption layout for every LayOut, its four states,
// picture fallbacks, the pressed offset, the shaped region and a bound action.

#include "LumoBtn.h"
#include "LumoTestSupport.h"

#include <QAction>
#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using lumo::test::hover;
using Layout = TLumoBtn::TLayOut;
using Placement = TLumoBtn::Placement;
Q_DECLARE_METATYPE(TLumoBtn::Metrics)
Q_DECLARE_METATYPE(TLumoBtn::Placement)

namespace {

TLumoBtn::Metrics metrics(int w, int h, int glyph, int lines)
{
    TLumoBtn::Metrics m;
    m.width = w;
    m.height = h;
    m.glyphWidth = glyph;
    m.glyphHeight = glyph;
    m.textHeight = 12;
    m.letterWidth = 8;
    m.captionWidth = 40;
    m.lines = lines;
    return m;
}

QPixmap filled(QSize size, QColor colour)
{
    QPixmap p(size);
    p.fill(colour);
    return p;
}

//! 8 × 8 glyph: magenta background (its transparent colour) around a red 4 × 4 square.
QPixmap squareGlyph()
{
    QPixmap glyph = filled({8, 8}, Qt::magenta);
    QPainter painter(&glyph);
    painter.fillRect(2, 2, 4, 4, Qt::red);
    return glyph;
}

} // namespace

class tst_LumoBtn : public QObject
{
    Q_OBJECT

private slots:
    void glyphAndCaptionsFollowLayOut_data();
    void glyphAndCaptionsFollowLayOut();
    void glyphIsPaintedWithoutItsTransparentColour();
    void hoverLiftsTheGlyph();
    void statePictureFallsBackToNormal();
    void growsToItsPicture();
    void downPaintsPressedUntilReleased();
    void pressMovesByOffSetAndClicks();
    void disabledShowsGreyCaption();
    void shapedRegionFollowsTheGlyph();
    void actionReplacesCaptions();
};

void tst_LumoBtn::glyphAndCaptionsFollowLayOut_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<TLumoBtn::Metrics>("m");
    QTest::addColumn<Placement>("expected");
    // 100 × 60 button, 16 × 16 glyph, one caption line 40 wide, text 12 high, "A" 8 wide.
    const auto roomy = metrics(100, 60, 16, 1);
    QTest::newRow("left") << Layout::glLeft << roomy << Placement{{18, 22}, {38, 24}};
    QTest::newRow("right") << Layout::glRight << roomy << Placement{{66, 22}, {18, 24}};
    QTest::newRow("right, glyph pulled back")
        << Layout::glRight << metrics(50, 60, 16, 1) << Placement{{34, 22}, {-14, 24}};
    QTest::newRow("left, glyph kept inside")
        << Layout::glLeft << metrics(50, 60, 16, 1) << Placement{{0, 22}, {20, 24}};
    QTest::newRow("top") << Layout::glTop << roomy << Placement{{42, 10}, {30, 26}};
    QTest::newRow("top, glyph kept inside")
        << Layout::glTop << metrics(100, 20, 16, 1) << Placement{{42, 0}, {30, 16}};
    QTest::newRow("top, two lines")
        << Layout::glTop << metrics(100, 60, 16, 2) << Placement{{42, 0}, {30, 16}};
    QTest::newRow("bottom") << Layout::glBottom << roomy << Placement{{42, 34}, {30, 10}};
    QTest::newRow("bottom, glyph moved up")
        << Layout::glBottom << metrics(100, 30, 16, 1) << Placement{{42, 14}, {30, -10}};
    QTest::newRow("center") << Layout::glCenter << roomy << Placement{{42, 22}, {30, 24}};
    QTest::newRow("no glyph") << Layout::glLeft << metrics(100, 60, 0, 1)
                              << Placement{{0, 0}, {30, 24}};
    QTest::newRow("no glyph, three lines")
        << Layout::glTop << metrics(100, 60, 0, 3) << Placement{{0, 0}, {30, 0}};
}

void tst_LumoBtn::glyphAndCaptionsFollowLayOut()
{
    QFETCH(Layout, layout);
    QFETCH(TLumoBtn::Metrics, m);
    QFETCH(Placement, expected);
    const Placement got = TLumoBtn::place(layout, m);
    QCOMPARE(got.glyph, expected.glyph);
    QCOMPARE(got.captions, expected.captions);
}

void tst_LumoBtn::glyphIsPaintedWithoutItsTransparentColour()
{
    TLumoBtn button;
    button.setColor(Qt::white);
    button.setGlyph(squareGlyph());
    button.setShowCaption(false);
    button.setLayOut(Layout::glCenter);
    const QPoint at = button.placement().glyph;
    QCOMPARE(at, QPoint((75 - 8) / 2, (25 - 8) / 2));
    const QImage shot = button.grab().toImage();
    QCOMPARE(shot.pixelColor(at + QPoint(3, 3)), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(at + QPoint(1, 1)), QColor(Qt::white));
}

void tst_LumoBtn::hoverLiftsTheGlyph()
{
    TLumoBtn button;
    button.setColor(Qt::white);
    button.setGlyph(squareGlyph());
    button.setShowCaption(false);
    button.setLayOut(Layout::glCenter);
    button.setGlaphOffSet(2);
    const QPoint at = button.placement().glyph;
    hover(&button, true);
    QCOMPARE(button.state(), TLumoBtn::State::Hover);
    const QImage shot = button.grab().toImage();
    QCOMPARE(shot.pixelColor(at + QPoint(0, 0)), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(at + QPoint(5, 5)), QColor(Qt::white));
    hover(&button, false);
    QCOMPARE(button.state(), TLumoBtn::State::Normal);
}

void tst_LumoBtn::statePictureFallsBackToNormal()
{
    TLumoBtn button;
    const QPixmap normal = filled({30, 20}, Qt::green);
    button.setImgNormal(normal);
    hover(&button, true);
    QCOMPARE(button.state(), TLumoBtn::State::Hover);
    QCOMPARE(button.statePicture().toImage(), normal.toImage());

    const QPixmap enter = filled({30, 20}, Qt::yellow);
    button.setImgEnter(enter);
    QCOMPARE(button.statePicture().toImage(), enter.toImage());
    hover(&button, false);
    QCOMPARE(button.statePicture().toImage(), normal.toImage());
}

void tst_LumoBtn::growsToItsPicture()
{
    TLumoBtn button;
    button.setImgNormal(filled({40, 30}, Qt::green));
    QCOMPARE(button.size(), QSize(40, 30));

    TLumoBtn fixed;
    fixed.setGrowWithBMP(false);
    fixed.setImgNormal(filled({40, 30}, Qt::green));
    QCOMPARE(fixed.size(), QSize(75, 25));
}

void tst_LumoBtn::downPaintsPressedUntilReleased()
{
    TLumoBtn button;
    const QPixmap down = filled({75, 25}, Qt::blue);
    button.setImgNormal(filled({75, 25}, Qt::green));
    button.setImgDown(down);
    button.setDown(true);
    hover(&button, true);
    QCOMPARE(button.state(), TLumoBtn::State::Pressed);
    QCOMPARE(button.grab().toImage().pixelColor(10, 10), QColor(Qt::blue));
    button.setDown(false);
    QCOMPARE(button.state(), TLumoBtn::State::Hover);
}

void tst_LumoBtn::pressMovesByOffSetAndClicks()
{
    QWidget parent;
    auto *button = new TLumoBtn(&parent);
    button->move(10, 10);
    button->setOffSet(2);
    QSignalSpy clicks(button, &TLumoBtn::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button->pos(), QPoint(12, 12));
    QCOMPARE(button->state(), TLumoBtn::State::Pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(button->state(), TLumoBtn::State::Normal);
    QCOMPARE(clicks.count(), 1);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 5));
    QCOMPARE(clicks.count(), 1);
}

void tst_LumoBtn::disabledShowsGreyCaption()
{
    TLumoBtn button;
    button.resize(120, 40);
    button.setColor(Qt::white);
    button.setCaptions({QStringLiteral("MMMMMMMM")});
    button.setEnabled(false);
    QCOMPARE(button.state(), TLumoBtn::State::Disabled);
    hover(&button, true);
    QCOMPARE(button.state(), TLumoBtn::State::Disabled);
    const QImage shot = button.grab().toImage();
    bool grey = false;
    for (int x = 0; x < shot.width() && !grey; ++x)
        for (int y = 2; y < shot.height() - 2 && !grey; ++y)
            grey = shot.pixelColor(x, y) == QColor(0x80, 0x80, 0x80);
    QVERIFY(grey);
}

void tst_LumoBtn::shapedRegionFollowsTheGlyph()
{
    TLumoBtn button;
    button.resize(40, 40);
    QPixmap glyph = filled({20, 20}, Qt::white);
    {
        QPainter painter(&glyph);
        painter.fillRect(5, 5, 10, 10, Qt::darkGreen);
    }
    button.setGlyph(glyph);
    button.setShowCaption(false);
    button.setLayOut(Layout::glCenter);
    button.setRegionBtn(true);
    const QRegion region = button.mask();
    QVERIFY(!region.isEmpty());
    QVERIFY(!region.contains(QPoint(0, 0)));
    QVERIFY(region.contains(QPoint(20, 20)));
    QCOMPARE(region.boundingRect(), QRect(15, 15, 10, 10));
    button.setRegionBtn(false);
    QVERIFY(button.mask().isEmpty());
}

void tst_LumoBtn::actionReplacesCaptions()
{
    TLumoBtn button;
    button.setCaptions({QStringLiteral("旧"), QStringLiteral("两行")});
    QAction action(QStringLiteral("保存(F5)"));
    QSignalSpy triggered(&action, &QAction::triggered);
    button.setAction(&action);
    QCOMPARE(button.Captions(), QStringList{QStringLiteral("保存(F5)")});
    action.setText(QStringLiteral("取消(F6)"));
    QCOMPARE(button.Captions(), QStringList{QStringLiteral("取消(F6)")});
    QTest::keyClick(&button, Qt::Key_Space);
    QCOMPARE(triggered.count(), 1);
}

QTEST_MAIN(tst_LumoBtn)
#include "tst_LumoBtn.moc"
