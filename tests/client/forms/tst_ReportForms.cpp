// The report forms over small data sets: every form's pages against a golden dump, the
// cases each family must get right (groups, the price reports' closing line, computed
// receivables and stock), the forms made once per code, and what the preview exports.
// KORVANE_UPDATE_GOLDEN=1 rewrites the goldens; KORVANE_REPORT_OUT=dir keeps the exports
// and a PDF of each golden's pages, to look at them.

#include "reports/GoldenPages.h"
#include "reports/SheetReadBack.h"

#include "LumoCLientDataSet.h"
#include "ReportLayout.h"
#include "ReportPainter.h"
#include "UParentInfo.h"
#include "URPTForm.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace korvane;
using namespace korvane::report;
using namespace korvane::reports;

namespace {

const QString kGoldenDir = QStringLiteral(KORVANE_FIXTURES_DIR "/reports/forms/");

using Rows = QVector<QVariantList>;

struct Table
{
    QStringList fields;
    Rows rows;
};

//! A data set holding the rows, as a condition window's fetch leaves it.
std::unique_ptr<TLumoCLientDataSet> dataSet(const Table &table)
{
    Packet packet;
    for (int f = 0; f < table.fields.size(); ++f) {
        const bool number =
            !table.rows.isEmpty() && table.rows.first().value(f).typeId() == QMetaType::Double;
        packet.fields << FieldDef{table.fields.at(f), number ? FieldType::Float : FieldType::String,
                                  number ? 0 : 60};
    }
    for (const QVariantList &row : table.rows)
        packet.rows << PacketRow(RowValues(row.begin(), row.end()));
    auto rows = std::make_unique<TLumoCLientDataSet>();
    rows->setData(packet);
    return rows;
}

TfrmRPTForm &formOf(const QString &code)
{
    TfrmRPT *form = reportForm(code);
    Q_ASSERT(form);
    return static_cast<TfrmRPTForm &>(*form);
}

//! The run's facts fixed, so that the pages compare with a golden dump.
ReportContext fixedContext(const TfrmRPTForm &form)
{
    ReportContext c = form.context();
    c.printTime = QDateTime(QDate(2026, 4, 1), QTime(9, 30));
    return c;
}

QVector<ReportPage> layOut(const TfrmRPTForm &form, TLumoCLientDataSet &rows)
{
    DataSetCursor cursor(rows);
    ReportLayout layout(form.definition(), cursor, fixedContext(form));
    return layout.remainingPages();
}

int countText(const QVector<ReportPage> &pages, const QString &text)
{
    int count = 0;
    for (const ReportPage &page : pages)
        for (const Primitive &p : page.items)
            count += p.kind == PrimitiveKind::Text && p.text == text;
    return count;
}

//! Three rows of a form's own fields, the first two in one group, the third in the next.
Table sampleRows(const ReportDefinition &definition)
{
    Table table;
    QStringList grouping = definition.outerGroupKeys;
    grouping << definition.groupKey;
    for (const ReportColumn &c : definition.columns)
        if (!c.field.isEmpty())
            table.fields << c.field;
    for (const QString &key : grouping)
        if (!key.isEmpty() && !table.fields.contains(key, Qt::CaseInsensitive))
            table.fields << key;
    for (const QString &f : {QStringLiteral("SaleRMTTaxAmt"), QStringLiteral("RMBTaxamt"),
                             QStringLiteral("TotalPqty"), QStringLiteral("TotalBadNum")})
        if (!table.fields.contains(f, Qt::CaseInsensitive))
            table.fields << f; // read by computed columns
    for (int i = 0; i < 3; ++i) {
        const int group = i < 2 ? 1 : 2;
        QVariantList row;
        for (const QString &f : table.fields) {
            const auto column = std::find_if(
                definition.columns.begin(), definition.columns.end(), [&](const ReportColumn &c) {
                    return c.field.compare(f, Qt::CaseInsensitive) == 0;
                });
            const bool number = column == definition.columns.end()
                                    ? f.startsWith(QStringLiteral("Total")) || f.contains("Amt")
                                    : !column->format.isEmpty();
            if (number)
                row << 10.0 * (i + 1) + 0.25;
            else if (grouping.contains(f, Qt::CaseInsensitive) ||
                     (column != definition.columns.end() && column->shownOnce))
                row << QStringLiteral("%1-%2").arg(f).arg(group);
            else
                row << QStringLiteral("%1-%2").arg(f).arg(i + 1);
        }
        table.rows << row;
    }
    return table;
}

const QStringList PurchaseFields{"pdtcode",     "PdtName",   "PdtNO",      "PdtSpecName",
                                 "MeasureName", "TotalPqty", "TotalAmount"};

//! Two lines of product A and one of product B.
Table twoProducts()
{
    return {PurchaseFields,
            {{"A001", "圆珠笔", "0001", "蓝色", "支", 10.0, 15.0},
             {"A001", "圆珠笔", "0002", "红色", "支", 5.0, 7.5},
             {"B002", "笔记本", "0001", "A5", "本", 2.0, 9.0}}};
}

Table threePrices()
{
    const QStringList fields{"Headno",       "hdate",       "spName",  "deptName",
                             "currencyname", "pdtcode",     "PdtName", "PdtNO",
                             "PdtSpecName",  "MeasureName", "Price",   "TotalPqty"};
    Rows rows;
    const double prices[] = {10, 12, 11};
    for (int i = 0; i < 3; ++i)
        rows << QVariantList{QStringLiteral("20260301000%1").arg(i + 1),
                             QStringLiteral("2026-03-0%1").arg(i + 1),
                             "华东文具厂",
                             "采购部",
                             "人民币",
                             "A001",
                             "圆珠笔",
                             "0001",
                             "蓝色",
                             "支",
                             prices[i],
                             100.0};
    return {fields, rows};
}

//! One customer owing 600 of 1000, another who has paid 500 in full.
Table receivables()
{
    return {{"spName", "SaleHeadno", "SaleRMTTaxAmt", "hDate", "Deptname", "RMBTaxamt"},
            {{"东方商场", "202603020001", 1000.0, "2026-03-02 11:00:00", "销售部", 400.0},
             {"西湖百货", "202603030001", 500.0, "2026-03-03 10:00:00", "销售部", 500.0}}};
}

//! The last product of one store is the first of the next.
Table stock()
{
    return {{"StoreName", "pdtcode", "pdtname", "specname", "TotalPqty", "TotalBadNum"},
            {{"一号仓", "P1", "电视", "32寸", 5.0, 1.0},
             {"一号仓", "P2", "冰箱", "双门", 50.0, 0.0},
             {"二号仓", "P2", "冰箱", "双门", 2.0, 1.0}}};
}

//! Sales orders of four lines each, enough for several landscape pages.
Table manySalesLines(int orders)
{
    const QStringList fields{"Headno",      "hdate",     "spName",     "deptName",
                             "pdtcode",     "PdtName",   "PdtNO",      "PdtSpecName",
                             "MeasureName", "TotalPqty", "TotalAmount"};
    Rows rows;
    for (int o = 0; o < orders; ++o)
        for (int l = 0; l < 4; ++l)
            rows << QVariantList{
                QStringLiteral("2026030%1%2").arg(1 + o % 9).arg(o, 4, 10, QLatin1Char('0')),
                QStringLiteral("2026-03-0%1").arg(1 + o % 9),
                "东方商场",
                "销售部",
                QStringLiteral("P%1").arg(l + 1),
                QStringLiteral("货品%1").arg(l + 1),
                "0001",
                "标准",
                "个",
                1.0 + l,
                10.0 * (1 + l)};
    return {fields, rows};
}

} // namespace

Q_DECLARE_METATYPE(Table)

class tst_ReportForms : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyFormMatchesItsGolden_data();
    void everyFormMatchesItsGolden();
    void printsWhatTheFamilyNeeds_data();
    void printsWhatTheFamilyNeeds();
    void headersAndFootersOnEveryPage();
    void salesEnquiryHeaderSpansItsColumns();
    void formsAreMadeOncePerCode_data();
    void formsAreMadeOncePerCode();
    void customersAndSuppliersShareTheForm();
    void titleBlockTakesTheRunsLines();
    void previewReadsTheDataSetWithoutMovingIt();
    void spreadsheetHoldsTheComputedSums_data();
    void spreadsheetHoldsTheComputedSums();

private:
    std::unique_ptr<QTemporaryDir> temp_;
    QString outputPath(const QString &name) const;
};

void tst_ReportForms::initTestCase()
{
    ParentInfo.Log.ReportCorpName = QStringLiteral("演示贸易有限公司");
    ParentInfo.Log.DeptName = QStringLiteral("销售部");
    ParentInfo.Log.UserName = QStringLiteral("管理员");
    temp_ = std::make_unique<QTemporaryDir>();
}

QString tst_ReportForms::outputPath(const QString &name) const
{
    const QString keep = qEnvironmentVariable("KORVANE_REPORT_OUT");
    if (keep.isEmpty())
        return temp_->filePath(name);
    QDir().mkpath(keep);
    return QDir(keep).filePath(name);
}

void tst_ReportForms::everyFormMatchesItsGolden_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<Table>("table");
    for (const FormDecl &decl : formDecls())
        QTest::newRow(qPrintable(decl.className))
            << decl.codes.first() << sampleRows(decl.definition);
    QTest::newRow("grouped") << "RPTBUY" << twoProducts();
    QTest::newRow("closing") << "RPTBUYPRICE" << threePrices();
    QTest::newRow("receivables") << "RPTGATHERCUST" << receivables();
    QTest::newRow("stock") << "RPTSTOCKDETAIL" << stock();
    QTest::newRow("empty") << "RPTSALE" << Table{PurchaseFields, {}};
    QTest::newRow("pages") << "RPTSALEDETAIL" << manySalesLines(18);
}

void tst_ReportForms::everyFormMatchesItsGolden()
{
    QFETCH(QString, code);
    QFETCH(Table, table);
    auto rows = dataSet(table);
    TfrmRPTForm &form = formOf(code);
    form.setTitle(formDeclFor(code)->definition.title);
    form.setDateLine(QStringLiteral("日期：2026-03-01~2026-03-31"));
    form.setConditionLines(
        {QStringLiteral("货    品: 【 全 部 】"), QStringLiteral("部    门: 【 全 部 】")});
    const QVector<ReportPage> pages = layOut(form, *rows);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (qEnvironmentVariableIsSet("KORVANE_REPORT_OUT"))
        QVERIFY(writePdf(outputPath(tag + QStringLiteral(".pdf")), report::pagesOf(pages), tag));
    fixtures::compareWithGolden(pages, kGoldenDir + tag + QStringLiteral(".txt"));
}

void tst_ReportForms::printsWhatTheFamilyNeeds_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<Table>("table");
    QTest::addColumn<QStringList>("texts"); //!< each with the times it must print
    QTest::addColumn<QList<int>>("counts");

    // A's code and name on its first line only; a subtotal per product; the total is
    // the sum of the subtotals.
    QTest::newRow("grouped") << "RPTBUY" << twoProducts()
                             << QStringList{"A001",   "圆珠笔", "小计：", "22.50",
                                            "合计：", "17.00",  "31.50"}
                             << QList<int>{1, 1, 2, 1, 1, 1, 1};
    QTest::newRow("closing") << "RPTBUYPRICE" << threePrices()
                             << QStringList{"历史最高价格：12.00    最低价格：10.00    "
                                            "平均价格：11.00",
                                            "小计：", "合计："}
                             << QList<int>{1, 0, 0};
    QTest::newRow("sales closing") << "RPTSALEPRICE" << threePrices()
                                   << QStringList{"历史最高价格：12.00    最低价格：10.00    "
                                                  "平均价格：11.00",
                                                  "客户", "销售数量"}
                                   << QList<int>{1, 1, 1};
    // 1000 − 400 owed in the line, the customer's subtotal and the total; the customer
    // who paid in full owes 0.
    QTest::newRow("receivables") << "RPTGATHERCUST" << receivables()
                                 << QStringList{"600.00", "0.00", "1500.00", "900.00"}
                                 << QList<int>{3, 2, 1, 1};
    // Owed to the cent as the line prints its amounts: 702.00 − 300.01; an order paid in
    // binary fractions that cancel owes 0.00 both ways round, never -0.00.
    QTest::newRow("receivables to the cent")
        << "RPTGATHERCUST"
        << Table{{"spName", "SaleHeadno", "SaleRMTTaxAmt", "hDate", "Deptname", "RMBTaxamt"},
                 {{"东方商场", "202603020001", 702.004, "2026-03-02", "销售部", 300.006},
                  {"东方商场", "202603020002", 0.1 + 0.2, "2026-03-02", "销售部", 0.3},
                  {"东方商场", "202603020003", 0.3, "2026-03-02", "销售部", 0.1 + 0.2}}}
        << QStringList{"702.00", "300.01", "401.99", "0.00", "-0.00"} << QList<int>{1, 1, 3, 2, 0};
    // Good, defective and both, per line, per product and store, and in the total; the
    // store's name on each of its products' first line, the second store's too though its
    // product ended the first store.
    QTest::newRow("stock") << "RPTSTOCKDETAIL" << stock()
                           << QStringList{"一号仓", "二号仓", "小计：", "6.00",
                                          "3.00",   "57.00",  "2.00",   "59.00"}
                           << QList<int>{2, 1, 3, 2, 2, 1, 3, 1};
    QTest::newRow("empty") << "RPTSALE" << Table{PurchaseFields, {}}
                           << QStringList{"销售汇总表", "销售数量", "小计：",
                                          "合计：",     "0.00",     "页次：1"}
                           << QList<int>{1, 1, 0, 1, 2, 1};
    QTest::newRow("staff")
        << "RPTPSEMP"
        << Table{{"DeptName", "Code", "EmpName"},
                 {{"总部", "0001", "张三"}, {"总部", "0003", "李四"}, {"销售部", "0002", "王五"}}}
        << QStringList{"总部", "销售部", "小计：", "合计："} << QList<int>{1, 1, 0, 0};
}

void tst_ReportForms::printsWhatTheFamilyNeeds()
{
    QFETCH(QString, code);
    QFETCH(Table, table);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, counts);
    auto rows = dataSet(table);
    const QVector<ReportPage> pages = layOut(formOf(code), *rows);
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY2(countText(pages, texts.at(i)) == counts.at(i),
                 qPrintable(
                     QStringLiteral("%1: %2").arg(texts.at(i)).arg(countText(pages, texts.at(i)))));
}

void tst_ReportForms::headersAndFootersOnEveryPage()
{
    auto rows = dataSet(manySalesLines(30));
    const QVector<ReportPage> pages = layOut(formOf("RPTSALEDETAIL"), *rows);
    QVERIFY(pages.size() >= 3);
    for (const ReportPage &page : pages) {
        const QVector<ReportPage> one{page};
        QCOMPARE(page.sizeMm.toSize(), QSize(297, 210));
        QCOMPARE(countText(one, QStringLiteral("销售单号")), 1);
        QCOMPARE(countText(one, QStringLiteral("销售明细表")), page.number == 1 ? 1 : 0);
        QCOMPARE(countText(one, QStringLiteral("编制单位：【销售部】")), page.number == 1 ? 1 : 0);
        QCOMPARE(countText(one, QStringLiteral("页次：%1").arg(page.number)), 1);
        QCOMPARE(countText(one, QStringLiteral("制单：管理员")), 1);
        QCOMPARE(countText(one, QStringLiteral("打印时间：2026-04-01 09:30:00")), 1);
    }
    QCOMPARE(countText(pages, QStringLiteral("小计：")), 30);
    QCOMPARE(countText(pages, QStringLiteral("合计：")), 1);
    QCOMPARE(countText({pages.last()}, QStringLiteral("合计：")), 1);
}

void tst_ReportForms::salesEnquiryHeaderSpansItsColumns()
{
    const ReportDefinition &d = formOf("RPTSALEALL").definition();
    QCOMPARE(d.headerRows(), 2);
    QCOMPARE(d.orientation, QPageLayout::Landscape);
    // Every header cell lies over columns the printed line fills, and the line fits the
    // landscape page.
    QVERIFY(d.tableWidthMm() <= 277.0);
    QStringList headings;
    for (const HeaderCell &cell : d.header) {
        QVERIFY(cell.column + cell.columnSpan <= d.columns.size());
        if (cell.row == 0 && cell.rowSpan == 1)
            headings << QStringLiteral("%1:%2").arg(cell.text).arg(cell.columnSpan);
    }
    QCOMPARE(headings, (QStringList{"货品销售情况:5", "发票情况:4", "已收:2", "应收:1"}));
    QStringList fields;
    for (const ReportColumn &c : d.columns)
        fields << c.field;
    QCOMPARE(fields.mid(9, 7),
             (QStringList{"InvoiceDate", "InvoiceNO", "InvoicePqty", "InvoiceAmount", "GatherDate",
                          "GatherAmount", "NotGatherAmount"}));
}

void tst_ReportForms::formsAreMadeOncePerCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("formName");
    QTest::addColumn<QString>("title");
    const char *const forms[][3] = {
        {"RPTBUY", "TfrmRPTBuy", "采购汇总表"},
        {"RPTBUYDETAIL", "TfrmRPTBuyDetail", "采购明细表"},
        {"RPTBUYSTAT", "TfrmRPTBuyStat", "采购在途量查询"},
        {"RPTBUYIN", "TfrmRPTBuyIn", "采购入库汇总表"},
        {"RPTBUYINDETAIL", "TfrmRPTBuyInDetail", "采购入库明细表"},
        {"RPTBUYPRICE", "TfrmRPTBuyPrice", "采购历史价格分析"},
        {"RPTSALE", "TfrmRPTSale", "销售汇总表"},
        {"RPTSALEDETAIL", "TfrmRPTSaleDetail", "销售明细表"},
        {"RPTCUSTSALE", "TfrmRPTCustSale", "客户销售分析表"},
        {"RPTSALEOUT", "TfrmRPTSaleOut", "销售出库汇总表"},
        {"RPTSALEOUTDETAIL", "TfrmRPTSaleOutDetail", "销售出库明细表"},
        {"RPTSALEALL", "TfrmRPTSaleAll", "销售综合查询"},
        {"RPTSALEPRICE", "TfrmRPTSalePrice", "销售历史价格分析"},
        {"RPTEMPGAIN", "TfrmRPTempGain", "销售人员业绩报表"},
        {"RPTGATHERDETAIL", "TfrmRPTGatherDetail", "已收帐款明细表"},
        {"RPTGATHERCUST", "TfrmRPTGatherCust", "客户应收汇总"},
        {"RPTSTOCKDETAIL", "TfrmRPTStockDetail", "库存明细表"},
        {"RPTPRDT", "TfrmRPTPrdt", "产品资料表"},
        {"RPTPSEMP", "TfrmRPTemp", "员工资料表"},
    };
    for (const auto &f : forms)
        QTest::newRow(f[0]) << QString(f[0]) << QString(f[1]) << QString::fromUtf8(f[2]);
}

void tst_ReportForms::formsAreMadeOncePerCode()
{
    QFETCH(QString, code);
    QFETCH(QString, formName);
    QFETCH(QString, title);
    TfrmRPT *form = reportForm(code);
    QVERIFY(form);
    QCOMPARE(formOf(code).formName(), formName);
    QCOMPARE(formOf(code).definition().title, title);
    // The same form every time, whatever the case of the code.
    QCOMPARE(reportForm(code.toLower()), form);
    QCOMPARE(reportForm(code), form);
}

void tst_ReportForms::customersAndSuppliersShareTheForm()
{
    QVERIFY(!reportForm(QStringLiteral("NOSUCHREPORT")));
    QVERIFY(!reportForm(QString()));
    TfrmRPT *customers = reportForm(QStringLiteral("RPTCUST"));
    QVERIFY(customers);
    QCOMPARE(reportForm(QStringLiteral("RPTFATBN")), customers);
    QCOMPARE(formOf("RPTFATBN").formName(), QStringLiteral("TfrmRPTCust"));
    // The condition window names the report; the title block prints it.
    customers->setTitle(QStringLiteral("厂商资料报表"));
    auto rows = dataSet({{"code", "name"}, {{"S1", "供应商一"}}});
    const QVector<ReportPage> pages = layOut(formOf("RPTFATBN"), *rows);
    QCOMPARE(countText(pages, QStringLiteral("厂商资料报表")), 1);
    QCOMPARE(countText(pages, QStringLiteral("纳税号")), 1);
    customers->setTitle(QStringLiteral("客户资料报表"));
    QCOMPARE(countText(layOut(formOf("RPTCUST"), *rows), QStringLiteral("客户资料报表")), 1);
}

void tst_ReportForms::titleBlockTakesTheRunsLines()
{
    TfrmRPTForm &form = formOf("RPTGATHERCUST");
    form.setDateLine(QStringLiteral("日期：2026-03-01~2026-03-31"));
    form.setConditionLines(
        {QStringLiteral("客    户: 【 全 部 】"), QStringLiteral("销售部门: 【 全 部 】")});
    const ReportContext c = form.context();
    QCOMPARE(c.companyName, QStringLiteral("演示贸易有限公司"));
    QCOMPARE(c.deptName, QStringLiteral("销售部"));
    QCOMPARE(c.userName, QStringLiteral("管理员"));
    QVERIFY(qAbs(c.printTime.secsTo(QDateTime::currentDateTime())) < 60);
    auto rows = dataSet(receivables());
    const QVector<ReportPage> pages = layOut(form, *rows);
    for (const QString &text :
         {QStringLiteral("演示贸易有限公司"), QStringLiteral("编制单位：【销售部】"),
          QStringLiteral("日期：2026-03-01~2026-03-31"), QStringLiteral("客    户: 【 全 部 】"),
          QStringLiteral("销售部门: 【 全 部 】")})
        QVERIFY2(countText(pages, text) == 1, qPrintable(text));
    // The next run rewrites them.
    form.setDateLine(QString());
    form.setConditionLines({QStringLiteral("客    户:东方商场")});
    const QVector<ReportPage> next = layOut(form, *rows);
    QCOMPARE(countText(next, QStringLiteral("销售部门: 【 全 部 】")), 0);
    QCOMPARE(countText(next, QStringLiteral("客    户:东方商场")), 1);
}

void tst_ReportForms::previewReadsTheDataSetWithoutMovingIt()
{
    auto rows = dataSet(manySalesLines(30));
    rows->setRecNo(7);
    FormPreview preview = formOf("RPTSALEDETAIL").makePreview(*rows, nullptr);
    preview.window->finishLayout();
    QVERIFY(preview.window->layoutDone());
    QVERIFY(preview.window->pageCount() >= 3);
    QCOMPARE(rows->RecNo(), 7);
    const QString pdf = outputPath(QStringLiteral("sales-detail.pdf"));
    QVERIFY(preview.window->savePdf(pdf));
    QVERIFY(QFile(pdf).size() > 1000);
}

void tst_ReportForms::spreadsheetHoldsTheComputedSums_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<Table>("table");
    QTest::addColumn<QStringList>("cells"); //!< "ref=value"
    // Title block of seven lines (title, company, department, date, two condition lines),
    // a blank row, the header in row 8; the lines from row 9.
    QTest::newRow("receivables") << "RPTGATHERCUST" << receivables()
                                 << QStringList{"A8=客户",    "G8=应收（尚欠）", "A9=东方商场",
                                                "E9=1000",    "F9=400",          "G9=600",
                                                "A10=小计：", "G10=600",         "G12=0",
                                                "A13=合计：", "E13=1500",        "F13=900",
                                                "G13=600"};
    QTest::newRow("stock") << "RPTSTOCKDETAIL" << stock()
                           << QStringList{"G8=合计",    "G9=6",   "A13=二号仓", "G13=3",
                                          "A15=合计：", "E15=57", "F15=2",      "G15=59"};
}

void tst_ReportForms::spreadsheetHoldsTheComputedSums()
{
    QFETCH(QString, code);
    QFETCH(Table, table);
    QFETCH(QStringList, cells);
    TfrmRPTForm &form = formOf(code);
    form.setDateLine(QStringLiteral("日期：2026-03-01~2026-03-31"));
    form.setConditionLines(
        {QStringLiteral("客    户: 【 全 部 】"), QStringLiteral("销售部门: 【 全 部 】")});
    auto rows = dataSet(table);
    FormPreview preview = form.makePreview(*rows, nullptr);
    const QString file = outputPath(QStringLiteral("%1.xlsx").arg(code));
    QVERIFY(preview.window->saveXlsx(file));
    const QHash<QString, QVariant> sheet =
        fixtures::sheetCells(fixtures::unzipped(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    for (const QString &cell : cells) {
        const QString ref = cell.section(QLatin1Char('='), 0, 0);
        const QString expected = cell.section(QLatin1Char('='), 1);
        const QVariant actual = sheet.value(ref);
        bool isNumber = false;
        const double number = expected.toDouble(&isNumber);
        if (isNumber) {
            QVERIFY2(actual.typeId() == QMetaType::Double, qPrintable(ref));
            QVERIFY2(qFuzzyCompare(actual.toDouble() + 1, number + 1), qPrintable(cell));
        } else {
            QVERIFY2(actual.toString() == expected,
                     qPrintable(ref + QLatin1Char(' ') + actual.toString()));
        }
    }
}

QTEST_MAIN(tst_ReportForms)
#include "tst_ReportForms.moc"
