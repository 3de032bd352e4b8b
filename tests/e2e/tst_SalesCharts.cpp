// The chart condition windows against a running server: what must be filled and the
// messages, the rows fetched (a packet at a time) grouped into the chart by period and
// measure with its titles, a click on the period while the chart is shown, the bars again on
// each showing, and the ranking of the first N products by the measure in its own chart.

#include "../server/DocumentFixture.h"
#include "LumoCLientDataSet.h"
#include "LumoCodeName.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumobitBtn.h"
#include "UChartBars.h"
#include "UChartClassSale.h"
#include "UChartQry.h"
#include "UChartSaleOrder.h"
#include "UDMMain.h"
#include "UWorkWindows.h"
#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <set>

using namespace korvane;
using namespace korvane::test;

namespace {

// Sales of 2003, away from the shared documents. H1 (one unit "个"): 5 on 3 January, 7 on
// 20 January, 4 on 2 February; H2: two documents on 4 March; H3: one a day, 1 to 12 April
// (more rows than one packet); H4 ties H2 in quantity and amount.
QStringList chartSalesSql()
{
    QStringList sql{
        "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('H1', '彩电', 'C1', 'B1')",
        "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('H2', '冰柜', 'C1', 'B1')",
        "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('H3', '空调', 'C1', 'B1')",
        "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('H4', '风扇', 'C1', 'B1')",
        "INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('H5', '音响', 'C1', 'B1')",
    };
    for (const char *code : {"H1", "H2", "H3", "H4", "H5"})
        sql << QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, spcode, measure,"
                              " TInprice, Inprice, TSalePrice, SalePrice) VALUES ('%1', '0001',"
                              " '标准', 'S1', 'PCS', 10, 10, 10, 10)")
                   .arg(code);
    int serial = 0;
    auto sale = [&](const QString &time, const char *code, double qty, double amount) {
        const QString headno = QStringLiteral("2003%1").arg(++serial, 8, 10, QLatin1Char('0'));
        sql << QStringLiteral("INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency,"
                              " exchgrate, amt, Tax, taxamt, RMBtaxamt, deptcode, State) VALUES"
                              " ('%1', '%2', 'W1', 'K1', '01', 1, %3, 0, %3, %3, '0001', '1')")
                   .arg(headno, time)
                   .arg(amount);
        sql << QStringLiteral("INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty,"
                              " amount, Tax, Taxamount) VALUES ('%1', '0001', '%2', '0001', 10,"
                              " %3, %4, 0, %4)")
                   .arg(headno, QString::fromLatin1(code))
                   .arg(qty)
                   .arg(amount);
    };
    sale("2003-01-03 10:00:00", "H1", 5, 50);
    sale("2003-01-20 11:00:00", "H1", 7, 84);
    sale("2003-02-02 09:30:00", "H1", 4, 40);
    sale("2003-03-04 09:00:00", "H2", 2, 20);
    sale("2003-03-04 15:00:00", "H2", 3, 30);
    for (int day = 1; day <= 12; ++day)
        sale(QStringLiteral("2003-04-%1 08:00:00").arg(day, 2, 10, QLatin1Char('0')), "H3", 1, 20);
    sale("2003-05-06 08:00:00", "H4", 5, 50);
    return sql;
}

bool loadFixture(TestServer &server, const QString &backend)
{
    static std::set<QString> loaded;
    if (loaded.count(backend))
        return true;
    if (!loadDocuments(server.db().db()))
        return false;
    QSqlQuery q(server.db().db());
    for (const QString &statement : chartSalesSql()) {
        if (!q.exec(statement)) {
            qWarning() << statement << q.lastError().text();
            return false;
        }
    }
    loaded.insert(backend);
    return true;
}

//! The client as after login, with the chart windows registered.
struct Client
{
    TdmMain dm;
    bool ready = false;
    explicit Client(const TestServer &server)
    {
        logInAsAdministrator(dm, server);
        registerChartWindows();
        ready = true;
    }
};

template <class Window> std::unique_ptr<Window> openWindow(const char *className)
{
    std::unique_ptr<Window> window(
        qobject_cast<Window *>(workwindows::create(QString::fromLatin1(className))));
    if (window) {
        window->show();
        QCoreApplication::processEvents();
    }
    return window;
}

void setDates(TfrmRPTQry &window, const QString &begin, const QString &end)
{
    window.edtBeginDate->SetDateTimeText(begin.isEmpty() ? QString() : begin + " 00:00:00");
    window.edtEndDate->SetDateTimeText(end.isEmpty() ? QString() : end + " 00:00:00");
}

void pickProduct(TfrmRPTQry &window, const QString &code)
{
    TLumoCodeName *editor = window.codeEditor(QStringLiteral("cnPdtCode"));
    editor->activeEdit()->setText(code);
    editor->Resolve();
}

//! Runs the check once the modal window is on the screen (the fetch before it lets events
//! through), then closes it.
void whenShown(QDialog *dialog, std::function<void()> check)
{
    QTimer::singleShot(0, dialog, [dialog, check] {
        if (!dialog->isVisible()) {
            whenShown(dialog, check);
            return;
        }
        check();
        dialog->accept();
    });
}

//! What the sales chart showed.
struct SeenChart
{
    QString title, subTitle, axis;
    QStringList points; // "label=value"
    bool bars = false;
    bool queryHidden = false;
};

SeenChart seen(const TfrmChartClassSale &chart, const QWidget &query)
{
    SeenChart s{chart.chartTitle(),
                chart.subTitle(),
                chart.leftAxisTitle(),
                {},
                chart.barsShown() && !chart.curveShown(),
                !query.isVisible()};
    for (const TChartPoint &p : chart.points())
        s.points << p.label + QLatin1Char('=') + QString::number(p.value);
    return s;
}

} // namespace

#define CLIENT(c)                                                                                  \
    QFETCH(QString, backend);                                                                      \
    QString serverError;                                                                           \
    TestServer *server = serverFor(backend, &serverError);                                         \
    QVERIFY2(server, qPrintable(serverError));                                                     \
    QVERIFY(loadFixture(*server, backend));                                                        \
    Client c(*server);                                                                             \
    QVERIFY(c.ready)

Q_DECLARE_METATYPE(TChartPeriod)
Q_DECLARE_METATYPE(TChartMeasure)

class tst_SalesCharts : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { stopServers(); }
    void windowsDeclared();
    void missingConditions_data();
    void missingConditions();
    void chartOfOneProduct_data();
    void chartOfOneProduct();
    void periodClickRegroupsAtOnce_data() { addBackendRows(); }
    void periodClickRegroupsAtOnce();
    void ranking_data();
    void ranking();
    void rankingCountMustBePositive_data();
    void rankingCountMustBePositive();
};

void tst_SalesCharts::windowsDeclared()
{
    TdmMain dm;
    registerChartWindows();
    for (const char *name : {"TfrmChartClassSaleQry", "TfrmChartSaleOrderQry"})
        QVERIFY2(workwindows::isRegistered(QString::fromLatin1(name)), name);
    std::unique_ptr<TfrmChartClassSaleQry> sales(
        qobject_cast<TfrmChartClassSaleQry *>(workwindows::create("TfrmChartClassSaleQry")));
    QVERIFY(sales);
    QCOMPARE(sales->windowTitle(), QStringLiteral("商品销售分析"));
    QCOMPARE(sales->BitBtn1->text(), QStringLiteral("分析图"));
    QCOMPARE(sales->BitBtn2->text(), QStringLiteral("× 取消"));
    QCOMPARE(sales->RPTCode(), QStringLiteral("ChartClassSale"));
    QCOMPARE(sales->cdsXMaster->RemoteServer(), dm.scRPT);
    QCOMPARE(sales->cdsXMaster->PacketRecords(), 10);
    QCOMPARE(sales->period(), TChartPeriod::cpDay);
    QCOMPARE(sales->measure(), TChartMeasure::cmQuantity);
    QStringList captions;
    for (QAbstractButton *b : sales->rgpPeriod->buttons())
        captions << b->text();
    QCOMPARE(captions, (QStringList{"按年度", "按季度", "按月度", "按每周", "按每日"}));
    QCOMPARE(sales->codeEditor("cnPdtCode")->ProviderName(), QStringLiteral("dspPdtCN"));
    QCOMPARE(sales->frmChart->windowTitle(), QStringLiteral("商品销售分析"));

    std::unique_ptr<TfrmChartSaleOrderQry> ranking(
        qobject_cast<TfrmChartSaleOrderQry *>(workwindows::create("TfrmChartSaleOrderQry")));
    QVERIFY(ranking);
    QCOMPARE(ranking->windowTitle(), QStringLiteral("货品销售排行"));
    QCOMPARE(ranking->BitBtn1->text(), QStringLiteral("分析图"));
    QCOMPARE(ranking->edtSelCount->text(), QStringLiteral("10"));
    QCOMPARE(ranking->measure(), TChartMeasure::cmQuantity);
    QCOMPARE(ranking->RPTCode(), QStringLiteral("ChartSaleOrder"));
}

void tst_SalesCharts::missingConditions_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const char *const Dates = "请先选择报表查询的时间段。";
    for (const QString &backend : testBackends()) {
        auto row = [&](const char *name, const char *b, const char *e, const char *p, const char *m,
                       const char *f) {
            QTest::addRow("%s/%s", qPrintable(backend), name)
                << backend << QString(b) << QString(e) << QString(p) << QString::fromUtf8(m)
                << QString(f);
        };
        row("no begin date", "", "2003-12-31", "H1", Dates, "edtBeginDate");
        row("no end date", "2003-01-01", "", "H1", Dates, "edtEndDate");
        row("no product", "2003-01-01", "2003-12-31", "", "请先进行销售分析的货品！", "cnPdtCode");
    }
}

void tst_SalesCharts::missingConditions()
{
    CLIENT(c);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, product);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Messages messages;
    auto window = openWindow<TfrmChartClassSaleQry>("TfrmChartClassSaleQry");
    setDates(*window, begin, end);
    pickProduct(*window, product);
    QVERIFY(!window->Generate());
    QCOMPARE(messages.texts, QStringList{message});
    QCOMPARE(messages.kinds, QList<int>{mkHint});
    QVERIFY(window->isVisible());
    QVERIFY(!window->cdsXMaster->Active());
    QVERIFY(!window->frmChart->isVisible());
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    QVERIFY2(focused->objectName() == focus || focused->parentWidget()->objectName() == focus,
             qPrintable(focused->objectName()));
}

void tst_SalesCharts::chartOfOneProduct_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<TChartPeriod>("period");
    QTest::addColumn<TChartMeasure>("measure");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("axis");
    QTest::addColumn<QStringList>("points");
    using P = TChartPeriod;
    using M = TChartMeasure;
    QStringList april;
    for (int day = 1; day <= 12; ++day)
        april << QStringLiteral("2003-04-%1=1").arg(day, 2, 10, QLatin1Char('0'));
    for (const QString &backend : testBackends()) {
        auto row = [&](const char *name, const char *product, const char *begin, const char *end,
                       P period, M measure, const char *title, const char *axis,
                       const QStringList &points) {
            QTest::addRow("%s/%s", qPrintable(backend), name)
                << backend << QString(product) << QString(begin) << QString(end) << period
                << measure << QString::fromUtf8(title) << QString::fromUtf8(axis) << points;
        };
        row("by month", "H1", "2003-01-01", "2003-02-28", P::cpMonth, M::cmQuantity,
            "彩电销售分析图(按月份)", "数量(个)", {"2003-01=12", "2003-02=4"});
        row("by day", "H1", "2003-01-01", "2003-02-28", P::cpDay, M::cmQuantity,
            "彩电销售分析图(按每日)", "数量(个)", {"2003-01-03=5", "2003-01-20=7", "2003-02-02=4"});
        row("by month, amount", "H1", "2003-01-01", "2003-02-28", P::cpMonth, M::cmAmount,
            "彩电销售分析图(按月份)", "销售额(元)", {"2003-01=134", "2003-02=40"});
        row("the range cuts by day", "H1", "2003-01-04", "2003-02-02", P::cpQuarter, M::cmQuantity,
            "彩电销售分析图(按季度)", "数量(个)", {"2003年第1季度=11"});
        row("two documents of one day", "H2", "2003-01-01", "2003-12-31", P::cpDay, M::cmQuantity,
            "冰柜销售分析图(按每日)", "数量(个)", {"2003-03-04=5"});
        row("more rows than a packet", "H3", "2003-04-01", "2003-04-30", P::cpDay, M::cmQuantity,
            "空调销售分析图(按每日)", "数量(个)", april);
        row("by week", "H3", "2003-04-01", "2003-04-30", P::cpWeek, M::cmAmount,
            "空调销售分析图(按每周)", "销售额(元)", {"2003年第14周=120", "2003年第15周=120"});
        row("no sales in the range", "H5", "2003-01-01", "2003-12-31", P::cpYear, M::cmQuantity,
            "音响销售分析图(按年度)", "数量", {});
    }
}

// Each run also starts with the bars though the last one left the curve shown.
void tst_SalesCharts::chartOfOneProduct()
{
    CLIENT(c);
    QFETCH(QString, product);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(TChartPeriod, period);
    QFETCH(TChartMeasure, measure);
    QFETCH(QString, title);
    QFETCH(QString, axis);
    QFETCH(QStringList, points);
    Messages messages;
    auto window = openWindow<TfrmChartClassSaleQry>("TfrmChartClassSaleQry");
    setDates(*window, begin, end);
    pickProduct(*window, product);
    window->setPeriod(period);
    window->setMeasure(measure);
    for (int run = 0; run < 2; ++run) {
        SeenChart shown;
        whenShown(window->frmChart, [&] {
            shown = seen(*window->frmChart, *window);
            window->frmChart->action(QStringLiteral("actCurve"))->trigger();
        });
        if (run == 1)
            window->show();
        QVERIFY(window->Generate());
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QCOMPARE(shown.title, title);
        QCOMPARE(shown.subTitle, begin + QStringLiteral(" 至 ") + end);
        QCOMPARE(shown.axis, axis);
        QCOMPARE(shown.points, points);
        QVERIFY(shown.bars);
        QVERIFY(shown.queryHidden);
        // The condition window closed with the chart, and its rows with it.
        QVERIFY(!window->isVisible());
        QVERIFY(!window->cdsXMaster->Active());
    }
    // The conditions are kept for the next run.
    QCOMPARE(window->period(), period);
    QCOMPARE(window->codeEditor("cnPdtCode")->Text(), product);
}

void tst_SalesCharts::periodClickRegroupsAtOnce()
{
    CLIENT(c);
    Messages messages;
    auto window = openWindow<TfrmChartClassSaleQry>("TfrmChartClassSaleQry");
    setDates(*window, "2003-01-01", "2003-02-28");
    pickProduct(*window, "H1");
    window->setPeriod(TChartPeriod::cpDay);
    SeenChart before, after;
    whenShown(window->frmChart, [&] {
        before = seen(*window->frmChart, *window);
        window->rgpPeriod->button(int(TChartPeriod::cpMonth))->click();
        after = seen(*window->frmChart, *window);
    });
    QVERIFY(window->Generate());
    QCOMPARE(before.points.size(), 3);
    QCOMPARE(after.points, (QStringList{"2003-01=12", "2003-02=4"}));
    QCOMPARE(after.title, QStringLiteral("彩电销售分析图(按月份)"));
    QCOMPARE(after.subTitle, before.subTitle);
}

void tst_SalesCharts::ranking_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("count");
    QTest::addColumn<TChartMeasure>("measure");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QString>("title");
    using M = TChartMeasure;
    for (const QString &backend : testBackends()) {
        auto row = [&](const char *name, const char *count, M measure, const QStringList &labels,
                       const QList<double> &values, const char *title) {
            QTest::addRow("%s/%s", qPrintable(backend), name)
                << backend << QString(count) << measure << labels << values
                << QString::fromUtf8(title);
        };
        row("top 10 by quantity", "10", M::cmQuantity, {"H1 彩电", "H3 空调", "H2 冰柜", "H4 风扇"},
            {16, 12, 5, 5}, "货品销售排行(前10位，按销售量)");
        row("top 2 by amount", "2", M::cmAmount, {"H3 空调", "H1 彩电"}, {240, 174},
            "货品销售排行(前2位，按销售额)");
        row("a tie at the cut goes by code", "3", M::cmAmount, {"H3 空调", "H1 彩电", "H2 冰柜"},
            {240, 174, 50}, "货品销售排行(前3位，按销售额)");
    }
}

void tst_SalesCharts::ranking()
{
    CLIENT(c);
    QFETCH(QString, count);
    QFETCH(TChartMeasure, measure);
    QFETCH(QStringList, labels);
    QFETCH(QList<double>, values);
    QFETCH(QString, title);
    Messages messages;
    auto window = openWindow<TfrmChartSaleOrderQry>("TfrmChartSaleOrderQry");
    setDates(*window, "2003-01-01", "2003-12-31");
    window->edtSelCount->setText(count);
    window->setMeasure(measure);
    QStringList shownLabels;
    QList<double> shownValues;
    QString shownTitle, shownSubTitle;
    whenShown(window->frmChart, [&] {
        const TfrmChartSaleOrder &chart = *window->frmChart;
        shownLabels = chart.productLabels();
        for (const TRankedProduct &p : chart.ranking())
            shownValues << p.value;
        shownTitle = chart.chartTitle();
        shownSubTitle = chart.subTitle();
    });
    QVERIFY(window->Generate());
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(shownLabels, labels);
    QCOMPARE(shownValues, values);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownSubTitle, QStringLiteral("2003-01-01 至 2003-12-31"));
    QVERIFY(!window->isVisible());
}

void tst_SalesCharts::rankingCountMustBePositive_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("count");
    for (const QString &backend : testBackends()) {
        for (const char *count : {"", "0", "-3", "abc", "2.5"})
            QTest::addRow("%s/\"%s\"", qPrintable(backend), count) << backend << QString(count);
    }
}

void tst_SalesCharts::rankingCountMustBePositive()
{
    CLIENT(c);
    QFETCH(QString, count);
    Messages messages;
    auto window = openWindow<TfrmChartSaleOrderQry>("TfrmChartSaleOrderQry");
    setDates(*window, "2003-01-01", "2003-12-31");
    window->edtSelCount->setText(count);
    QVERIFY(!window->Generate());
    QCOMPARE(messages.texts, QStringList{"请输入排行的位数（一个正整数）。"});
    QVERIFY(window->isVisible());
    QVERIFY(!window->cdsXMaster->Active());
    QCOMPARE(QApplication::focusWidget(), window->edtSelCount);
}

QTEST_MAIN(tst_SalesCharts)
#include "tst_SalesCharts.moc"
