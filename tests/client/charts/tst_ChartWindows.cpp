// The chart windows offscreen: the tools and their first states, bars or curve alone and the
// bars again on each showing, colours, marks, the 3-D bars and their turning by the mouse,
// background pictures, the saved picture (what is saved is what is drawn) and printing.

#include "UChartBars.h"
#include "UChartClassSale.h"
#include "UChartSaleOrder.h"
#include "UMsgBox.h"

#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

struct Messages
{
    QStringList texts;
    Messages()
    {
        setMsgBoxHandler([this](const TMsgBoxRequest &r) {
            texts << r.text;
            return int(mrOk);
        });
    }
    ~Messages() { setMsgBoxHandler({}); }
};

const QList<TChartPoint> Months{{QDate(2003, 1, 1), QStringLiteral("2003-01"), 12},
                                {QDate(2003, 2, 1), QStringLiteral("2003-02"), 4}};

//! A shown chart window with the two months drawn.
struct Shown
{
    TfrmChartClassSale window;
    Shown()
    {
        window.resize(800, 500);
        window.setPoints(Months);
        window.show();
        QCoreApplication::processEvents();
    }
};

//! The point of the chart's scene where the view draws it, in the view's pixels.
QPoint inView(const TfrmChartWindow &w, const QPointF &chartPoint)
{
    return w.DBChart1->mapFromScene(w.chart->mapToScene(chartPoint));
}

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <=
           tolerance;
}

int brightness(const QColor &c)
{
    return c.red() + c.green() + c.blue();
}

} // namespace

class tst_ChartWindows : public QObject
{
    Q_OBJECT
private slots:
    void toolsAndFirstStates();
    void curveAloneAndBarsOnEachShowing();
    void coloursAndMarks();
    void threeDimensionalBarsTurnByDragging();
    void savedPictureIsTheDrawing_data();
    void savedPictureIsTheDrawing();
    void unwritablePictureIsReported();
    void backgroundPicture();
    void printsToPdf();
    void crowdedLabelsAreTurned();
    void drawingDoesNotDependOnTheResolution();
    void rankingTopFirst();
};

void tst_ChartWindows::toolsAndFirstStates()
{
    TfrmChartClassSale w;
    QCOMPARE(w.windowTitle(), QStringLiteral("商品销售分析"));
    QCOMPARE(w.chartTitle(), QStringLiteral("货品销量分析图"));
    QCOMPARE(w.bottomAxisTitle(), QStringLiteral("日期"));
    QCOMPARE(w.leftAxisTitle(), QStringLiteral("数量"));
    QStringList bar;
    for (QAction *a : w.tbrChart->actions()) {
        if (auto *button = qobject_cast<QToolButton *>(w.tbrChart->widgetForAction(a));
            button && button->menu())
            bar << button->menu()->title();
        else if (!a->isSeparator())
            bar << a->text();
    }
    QCOMPARE(bar, (QStringList{"颜色", "形状", "背景", "旋转", "三维", "标签", "打印设置", "打印",
                               "保存图形", "返回"}));
    struct Tool
    {
        const char *name, *caption;
        bool checkable, checked;
    };
    for (const Tool &t :
         {Tool{"actRandomColour", "颜色随机产生", true, false},
          Tool{"actCustomColour", "自定义颜色", true, true},
          Tool{"actGradient", "柱图颜色渐变", true, true}, Tool{"actBar", "柱图", true, true},
          Tool{"actCurve", "分析曲线", true, false}, Tool{"actBackPicture", "背景图", false, false},
          Tool{"actClearBackPicture", "清除背景图", false, false},
          Tool{"actBackColour", "背景颜色", false, false}, Tool{"actRotate", "旋转", true, true},
          Tool{"actThreeD", "三维", true, true}, Tool{"actLabels", "标签", true, true}}) {
        QAction *a = w.action(QString::fromLatin1(t.name));
        QVERIFY2(a, t.name);
        QCOMPARE(a->text(), QString::fromUtf8(t.caption));
        QCOMPARE(a->isCheckable(), t.checkable);
        QCOMPARE(a->isChecked(), t.checked);
    }
    QVERIFY(w.Series1->threeD());
    QVERIFY(w.Series1->gradient());
    QCOMPARE(w.Series1->colour(), QColor(0xFF, 0x80, 0x80));
    QVERIFY(!w.Series2->pointsVisible());
    QVERIFY(w.Series1->labelsVisible());
}

void tst_ChartWindows::curveAloneAndBarsOnEachShowing()
{
    Shown s;
    TfrmChartClassSale &w = s.window;
    QVERIFY(w.barsShown());
    QVERIFY(!w.curveShown());
    w.action("actCurve")->trigger();
    QVERIFY(w.curveShown());
    QVERIFY(!w.barsShown());
    QVERIFY(!w.action("actBar")->isChecked());
    QCOMPARE(w.Series2->points(), (QList<QPointF>{{0, 12}, {1, 4}}));
    // The curve keeps the marks, each over its point.
    QVERIFY(w.Series1->labelsVisible());
    QVERIFY(w.Series1->depthOffset().isNull());
    QVERIFY(w.Series1->acceptedMouseButtons() == Qt::NoButton);
    w.action("actBar")->trigger();
    QVERIFY(w.barsShown() && !w.curveShown());

    w.action("actCurve")->trigger();
    w.hide();
    w.show();
    QVERIFY(w.barsShown());
    QVERIFY(!w.curveShown());
    QVERIFY(w.action("actBar")->isChecked());
    // The other choices are kept.
    w.action("actThreeD")->trigger();
    w.hide();
    w.show();
    QVERIFY(!w.Series1->threeD());
    QVERIFY(!w.action("actThreeD")->isChecked());
}

void tst_ChartWindows::coloursAndMarks()
{
    Shown s;
    TfrmChartClassSale &w = s.window;
    w.action("actRandomColour")->trigger();
    QVERIFY(w.Series1->randomColours());
    QVERIFY(!w.action("actCustomColour")->isChecked());

    // A chosen colour switches random colours off first; both series take it.
    QColor offered;
    const auto previous =
        TfrmChartClassSale::setColourQuestion([&](const QColor &initial, QWidget *) {
            offered = initial;
            return QColor(Qt::darkGreen);
        });
    w.action("actCustomColour")->trigger();
    QVERIFY(!w.Series1->randomColours());
    QVERIFY(!w.action("actRandomColour")->isChecked());
    QVERIFY(w.action("actCustomColour")->isChecked());
    QCOMPARE(w.Series1->colourAt(0), QColor(Qt::darkGreen));
    QCOMPARE(w.Series1->colourAt(1), QColor(Qt::darkGreen));
    QCOMPARE(w.Series2->pen().color(), QColor(Qt::darkGreen));
    QCOMPARE(offered, QColor(0xFF, 0x80, 0x80));

    // A dialog closed without a choice changes nothing.
    TfrmChartClassSale::setColourQuestion([](const QColor &, QWidget *) { return QColor(); });
    w.action("actCustomColour")->trigger();
    QCOMPARE(w.Series1->colour(), QColor(Qt::darkGreen));
    TfrmChartClassSale::setColourQuestion(previous);

    w.action("actGradient")->trigger();
    QVERIFY(!w.Series1->gradient());
    w.action("actLabels")->trigger();
    QVERIFY(!w.Series1->labelsVisible());
    QCOMPARE(TChartBars::markText(12), QStringLiteral("12"));
    QCOMPARE(TChartBars::markText(12.5), QStringLiteral("12.5"));
    QCOMPARE(TChartBars::markText(1234.567), QStringLiteral("1234.57"));
    QCOMPARE(TChartBars::markText(1234567.25), QStringLiteral("1234567.25"));
}

void tst_ChartWindows::threeDimensionalBarsTurnByDragging()
{
    Shown s;
    TfrmChartClassSale &w = s.window;
    TChartBars *bars = w.Series1;
    const QRectF january = bars->frontFace(0);
    const QRectF february = bars->frontFace(1);
    QVERIFY(january.width() > 0);
    // 12 against 4 from the same base line.
    QCOMPARE(january.bottom(), february.bottom());
    QVERIFY(qAbs(january.height() - 3 * february.height()) < 1.0);
    const QPointF offset = bars->depthOffset();
    QVERIFY(offset.x() > 0 && offset.y() < 0);

    // Dragging to the left turns the extrusion towards the right; the angle stays in range.
    const QPoint from = inView(w, january.center());
    QTest::mousePress(w.DBChart1->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(w.DBChart1->viewport(), from - QPoint(40, 0));
    QTest::mouseRelease(w.DBChart1->viewport(), Qt::LeftButton, {}, from - QPoint(40, 0));
    QVERIFY2(bars->angle() > 45, qPrintable(QString::number(bars->angle())));
    bars->setAngle(500);
    QCOMPARE(bars->angle(), 175.0);
    QVERIFY(bars->depthOffset().x() < 0);
    bars->setAngle(45);

    // Without "旋转" the mouse leaves the view alone.
    w.action("actRotate")->trigger();
    QTest::mousePress(w.DBChart1->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(w.DBChart1->viewport(), from - QPoint(40, 0));
    QTest::mouseRelease(w.DBChart1->viewport(), Qt::LeftButton, {}, from - QPoint(40, 0));
    QCOMPARE(bars->angle(), 45.0);

    // Flat bars have no depth.
    w.action("actThreeD")->trigger();
    QVERIFY(bars->depthOffset().isNull());
}

void tst_ChartWindows::savedPictureIsTheDrawing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bitmap") << "chart.bmp" << QByteArray("bmp");
    QTest::newRow("png") << "chart.png" << QByteArray("png");
    QTest::newRow("no suffix is a bitmap") << "chart" << QByteArray("bmp");
}

// The saved picture holds the bars where the screen shows them: the front face in the bars'
// colour, the top above it darker.
void tst_ChartWindows::savedPictureIsTheDrawing()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, format);
    Messages messages;
    Shown s;
    TfrmChartClassSale &w = s.window;
    w.action("actGradient")->trigger(); // one colour over the whole face
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const auto previous = TfrmChartWindow::setSaveQuestion([&](QWidget *) { return path; });
    w.action("actSavePicture")->trigger();
    TfrmChartWindow::setSaveQuestion(previous);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));

    QImage saved;
    QVERIFY(saved.load(path, format.constData()));
    QCOMPARE(saved.size(), w.DBChart1->viewport()->size());
    const QRectF front = w.Series1->frontFace(0);
    const QColor face = saved.pixelColor(inView(w, front.center()));
    QVERIFY2(near(face, QColor(0xFF, 0x80, 0x80)), qPrintable(face.name()));
    const QPointF topInside =
        QPointF(front.center().x(), front.top()) + w.Series1->depthOffset() / 2;
    const QColor top = saved.pixelColor(inView(w, topInside));
    QVERIFY2(brightness(top) < brightness(face), qPrintable(top.name()));
}

void tst_ChartWindows::unwritablePictureIsReported()
{
    Messages messages;
    Shown s;
    QVERIFY(!s.window.savePicture(QStringLiteral("/nonexistent-folder/chart.bmp")));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().contains(QStringLiteral("/nonexistent-folder/chart.bmp")));
}

void tst_ChartWindows::backgroundPicture()
{
    Messages messages;
    Shown s;
    TfrmChartClassSale &w = s.window;
    QTemporaryDir dir;
    // Not a picture: said so, nothing changes.
    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    QVERIFY(!w.loadBackPicture(text));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().contains(QStringLiteral("无法读取背景图")));
    QVERIFY(!w.hasBackPicture());
    QVERIFY(!w.loadBackPicture(dir.filePath(QStringLiteral("missing.png"))));
    QCOMPARE(messages.texts.size(), 2);

    // A picture is laid under the chart, and drawn in its corner.
    QImage green(40, 30, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    const QString picture = dir.filePath(QStringLiteral("green.png"));
    QVERIFY(green.save(picture));
    const auto previous = TfrmChartClassSale::setOpenQuestion([&](QWidget *) { return picture; });
    w.action("actBackPicture")->trigger();
    TfrmChartClassSale::setOpenQuestion(previous);
    QVERIFY(w.hasBackPicture());
    const QPoint corner = inView(w, w.chart->rect().topLeft() + QPointF(12, 12));
    QVERIFY2(near(w.picture().pixelColor(corner), QColor(0, 200, 0)),
             qPrintable(w.picture().pixelColor(corner).name()));
    w.action("actClearBackPicture")->trigger();
    QVERIFY(!w.hasBackPicture());
    QVERIFY(near(w.picture().pixelColor(corner), Qt::white));
    w.setBackColour(QColor(0xE0, 0xE0, 0xFF));
    QVERIFY(near(w.picture().pixelColor(corner), QColor(0xE0, 0xE0, 0xFF)));
}

void tst_ChartWindows::printsToPdf()
{
    Shown s;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("chart.pdf")));
    s.window.print(printer);
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(pdf.size() > 2000);
}

// A printer resolves fonts at its own resolution while the chart is scaled to its page: the
// chart drawn on a 1200 dpi device of the view's size must look as on the screen, marks too.
void tst_ChartWindows::drawingDoesNotDependOnTheResolution()
{
    Shown s;
    const QImage screen = s.window.picture();
    QImage fine(screen.size(), QImage::Format_RGB32);
    const int dotsPerMetre = qRound(1200 / 0.0254);
    fine.setDotsPerMeterX(dotsPerMetre);
    fine.setDotsPerMeterY(dotsPerMetre);
    fine.fill(Qt::white);
    {
        QPainter painter(&fine);
        s.window.render(painter, fine.rect());
    }
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x)
            differing += !near(screen.pixelColor(x, y), fine.pixelColor(x, y), 60);
    }
    QVERIFY2(differing < screen.width() * screen.height() / 100,
             qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

// Two months fit under their bars, weeks in two lines; a month of days does not and is turned
// to be read whole.
void tst_ChartWindows::crowdedLabelsAreTurned()
{
    Shown s;
    QCOMPARE(s.window.axisBottom->labelsAngle(), 0);
    s.window.setPoints({{QDate(2003, 12, 29), QStringLiteral("2004年第1周"), 1}});
    QCOMPARE(s.window.axisBottom->categories(), QStringList{"2004年<br>第1周"});
    s.window.setPoints({{QDate(2003, 1, 3), QStringLiteral("2003-01-03"), 1},
                        {QDate(2003, 1, 1), QStringLiteral("2003-01"), 1}});
    QCOMPARE(s.window.axisBottom->categories(), (QStringList{"2003<br>01-03", "2003-01"}));
    QList<TChartPoint> days;
    for (int d = 1; d <= 30; ++d)
        days.append({QDate(2026, 9, d), QDate(2026, 9, d).toString(Qt::ISODate), double(d)});
    s.window.setPoints(days);
    QCoreApplication::processEvents();
    QVERIFY(s.window.axisBottom->labelsAngle() != 0);
    s.window.setPoints(Months);
    QCoreApplication::processEvents();
    QCOMPARE(s.window.axisBottom->labelsAngle(), 0);
}

void tst_ChartWindows::rankingTopFirst()
{
    TfrmChartSaleOrder w;
    QCOMPARE(w.windowTitle(), QStringLiteral("货品销售排行"));
    QVERIFY(w.action("actPrint") && w.action("actSavePicture") && w.action("actReturn"));
    QVERIFY(!w.action("actThreeD"));
    w.setRanking({{"R2", "乙", 100}, {"R3", "丙", 100}, {"R1", "", 50}}, 3,
                 TChartMeasure::cmAmount);
    QCOMPARE(w.chartTitle(), QStringLiteral("货品销售排行(前3位，按销售额)"));
    QCOMPARE(w.valueAxisTitle(), QStringLiteral("销售额(元)"));
    QCOMPARE(w.productLabels(), (QStringList{"R2 乙", "R3 丙", "R1"}));
    // The bars follow the labels: the last value drawn at the top is the first in rank.
    QCOMPARE(w.setRanking1->count(), 3);
    QCOMPARE(w.setRanking1->at(2), 100.0);
    QCOMPARE(w.setRanking1->at(0), 50.0);
    w.setRanking({}, 10, TChartMeasure::cmQuantity);
    QCOMPARE(w.chartTitle(), QStringLiteral("货品销售排行(前10位，按销售量)"));
    QCOMPARE(w.setRanking1->count(), 0);
}

QTEST_MAIN(tst_ChartWindows)
#include "tst_ChartWindows.moc"
