#pragma once
// Small report forms and rows the engine's tests share.

#include "ReportCursor.h"
#include "ReportDefinition.h"

#include <memory>

namespace fixtures {

using namespace korvane::report;

inline ReportColumn column(const QString &title, const QString &field, double width,
                           Qt::Alignment align = Qt::AlignLeft, const QString &format = {})
{
    ReportColumn c;
    c.title = title;
    c.field = field;
    c.widthMm = width;
    c.align = align;
    c.format = format;
    return c;
}

inline ReportColumn amount(const QString &title, const QString &field, double width = 25)
{
    ReportColumn c = column(title, field, width, Qt::AlignRight, QStringLiteral("0.00"));
    c.summed = true;
    return c;
}

inline ReportContext context()
{
    ReportContext c;
    c.companyName = QStringLiteral("演示贸易有限公司");
    c.deptName = QStringLiteral("采购部");
    c.userName = QStringLiteral("管理员");
    c.dateLine = QStringLiteral("日期：2003-01-01~2003-01-31");
    c.conditionLines = {QStringLiteral("货    品: 【 全 部 】"),
                        QStringLiteral("供 应 商: 【 全 部 】"),
                        QStringLiteral("采购部门: 【 全 部 】")};
    c.printTime = QDateTime(QDate(2003, 2, 1), QTime(9, 30));
    return c;
}

//! A purchase summary: grouped by product, code and name shown once, quantity and amount summed.
inline ReportDefinition purchaseSummary()
{
    ReportDefinition d;
    d.title = QStringLiteral("采购汇总表");
    d.groupKey = QStringLiteral("pdtcode");
    d.columns = {
        column(QStringLiteral("货品编码"), QStringLiteral("pdtcode"), 25),
        column(QStringLiteral("货品名称"), QStringLiteral("PdtName"), 40),
        column(QStringLiteral("规格型号"), QStringLiteral("PdtSpecName"), 35),
        column(QStringLiteral("单位"), QStringLiteral("MeasureName"), 15, Qt::AlignHCenter),
        amount(QStringLiteral("采购数量"), QStringLiteral("TotalPqty")),
        amount(QStringLiteral("金额"), QStringLiteral("TotalAmount"), 30)};
    d.columns[0].shownOnce = true;
    d.columns[1].shownOnce = true;
    return d;
}

inline QStringList purchaseFields()
{
    return {QStringLiteral("pdtcode"),     QStringLiteral("PdtName"),
            QStringLiteral("PdtSpecName"), QStringLiteral("MeasureName"),
            QStringLiteral("TotalPqty"),   QStringLiteral("TotalAmount")};
}

inline QVariantList purchaseRow(const QString &code, const QString &name, double qty, double amt)
{
    return {code, name, QStringLiteral("标准"), QStringLiteral("个"), qty, amt};
}

//! Two lines of product A and one of product B.
inline std::unique_ptr<RowsCursor> twoProducts()
{
    return std::make_unique<RowsCursor>(
        purchaseFields(),
        QVector<QVariantList>{purchaseRow(QStringLiteral("A001"), QStringLiteral("圆珠笔"), 10, 15),
                              purchaseRow(QStringLiteral("A001"), QStringLiteral("圆珠笔"), 5, 7.5),
                              purchaseRow(QStringLiteral("B002"), QStringLiteral("笔记本"), 2, 9)});
}

//! A product whose name needs three lines in a narrow column.
inline std::unique_ptr<RowsCursor> longName()
{
    return std::make_unique<RowsCursor>(
        purchaseFields(),
        QVector<QVariantList>{purchaseRow(QStringLiteral("A001"),
                                          QStringLiteral("得力0.5mm黑色中性笔（按动式，十二支装）"),
                                          10, 15),
                              purchaseRow(QStringLiteral("B002"), QStringLiteral("笔记本"), 2, 9)});
}

//! Enough rows for several pages: products of four lines each.
inline std::unique_ptr<RowsCursor> manyProducts(int rows)
{
    QVector<QVariantList> data;
    for (int i = 0; i < rows; ++i)
        data << purchaseRow(QStringLiteral("P%1").arg(i / 4, 4, 10, QLatin1Char('0')),
                            QStringLiteral("货品%1").arg(i / 4), 1 + i % 4, 2.5 * (1 + i % 4));
    return std::make_unique<RowsCursor>(purchaseFields(), data);
}

//! A price report: no groups, a closing line over the price.
inline ReportDefinition purchasePrices()
{
    ReportDefinition d;
    d.title = QStringLiteral("采购历史价格分析");
    d.columns = {column(QStringLiteral("采购单号"), QStringLiteral("Headno"), 30),
                 column(QStringLiteral("采购时间"), QStringLiteral("hdate"), 25),
                 column(QStringLiteral("厂商"), QStringLiteral("spName"), 40),
                 column(QStringLiteral("采购数量"), QStringLiteral("TotalPqty"), 25, Qt::AlignRight,
                        QStringLiteral("0.00")),
                 column(QStringLiteral("单价"), QStringLiteral("price"), 25, Qt::AlignRight,
                        QStringLiteral("0.00"))};
    d.closing = true;
    d.closingLine.field = QStringLiteral("Price");
    return d;
}

inline std::unique_ptr<RowsCursor> threePrices()
{
    const QStringList fields{QStringLiteral("Headno"), QStringLiteral("hdate"),
                             QStringLiteral("spName"), QStringLiteral("TotalPqty"),
                             QStringLiteral("price")};
    QVector<QVariantList> rows;
    const double prices[] = {10, 12, 11};
    for (int i = 0; i < 3; ++i)
        rows << QVariantList{QStringLiteral("CG2003010%1").arg(i + 1), QDate(2003, 1, 5 + i),
                             QStringLiteral("华东文具厂"), 100.0, prices[i]};
    return std::make_unique<RowsCursor>(fields, rows);
}

//! Receivables: the outstanding amount is computed from the row.
inline ReportDefinition receivables()
{
    ReportDefinition d;
    d.title = QStringLiteral("客户应收汇总");
    d.groupKey = QStringLiteral("spName");
    ReportColumn owed = amount(QStringLiteral("应收（尚欠）"), QString());
    owed.compute = [](const ReportRow &row) {
        return QVariant(row.number(QStringLiteral("SaleRMTTaxAmt")) -
                        row.number(QStringLiteral("RMBTaxamt")));
    };
    d.columns = {column(QStringLiteral("客户"), QStringLiteral("spName"), 40),
                 column(QStringLiteral("销售单号"), QStringLiteral("SaleHeadno"), 30),
                 amount(QStringLiteral("销售金额"), QStringLiteral("SaleRMTTaxAmt")),
                 amount(QStringLiteral("已收金额"), QStringLiteral("RMBTaxamt")), owed};
    d.columns[0].shownOnce = true;
    return d;
}

inline std::unique_ptr<RowsCursor> oneReceivable()
{
    return std::make_unique<RowsCursor>(
        QStringList{QStringLiteral("spName"), QStringLiteral("SaleHeadno"),
                    QStringLiteral("SaleRMTTaxAmt"), QStringLiteral("RMBTaxamt")},
        QVector<QVariantList>{
            {QStringLiteral("东方商场"), QStringLiteral("XS20030101"), 1000.0, 400.0}});
}

} // namespace fixtures

Q_DECLARE_METATYPE(korvane::report::ReportDefinition)
Q_DECLARE_METATYPE(std::shared_ptr<korvane::report::ReportCursor>)
