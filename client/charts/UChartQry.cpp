#include "UChartQry.h"

#include "LumoCLientDataSet.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumobitBtn.h"
#include "UChartClassSale.h"
#include "UChartSaleOrder.h"
#include "UMsgBox.h"
#include "UWorkWindows.h"

#include <QButtonGroup>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace {

using Cond = TRPTCondDecl;

const QString ChartSaleCode = QStringLiteral("ChartClassSale");
const QString RankingCode = QStringLiteral("ChartSaleOrder");
const QString MissingDates = QStringLiteral("请先选择报表查询的时间段。");

Cond dates(const char *label)
{
    return {.kind = Cond::ckDates,
            .name = QStringLiteral("dtDates"),
            .label = QString::fromUtf8(label),
            .label2 = QStringLiteral("到"),
            .missing = MissingDates};
}

TRPTQryDecl chartSaleDecl()
{
    const Cond product{.kind = Cond::ckCode,
                       .name = QStringLiteral("cnPdtCode"),
                       .label = QStringLiteral("货品代码"),
                       .provider = QStringLiteral("dspPdtCN"),
                       .titles = {"货品代码", "名称", "大类", "品牌"},
                       .param = QStringLiteral("pdtCode"),
                       .missing = QStringLiteral("请先进行销售分析的货品！")};
    return {.className = QStringLiteral("TfrmChartClassSaleQry"),
            .caption = QStringLiteral("商品销售分析"),
            .reports = {{.code = ChartSaleCode}},
            .conditions = {dates("时 间 从"), product}};
}

TRPTQryDecl rankingDecl()
{
    return {.className = QStringLiteral("TfrmChartSaleOrderQry"),
            .caption = QStringLiteral("货品销售排行"),
            .reports = {{.code = RankingCode}},
            .conditions = {dates("时间从")}};
}

//! A row of radio buttons, one per caption, the button ids their positions.
QWidget *choices(const char *name, const QStringList &captions, int checked, QButtonGroup *&group)
{
    auto *box = new QWidget;
    box->setObjectName(QString::fromLatin1(name));
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    group = new QButtonGroup(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto *button = new QRadioButton(captions.at(i), box);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch();
    group->button(checked)->setChecked(true);
    return box;
}

//! The column the chosen measure ranks and sums.
QString measureField(TChartMeasure measure)
{
    return measure == TChartMeasure::cmAmount ? QStringLiteral("TotalAmount")
                                              : QStringLiteral("TotalPqty");
}

} // namespace

// ---- the sales chart ----------------------------------------------------------------------

TfrmChartClassSaleQry::TfrmChartClassSaleQry(QWidget *parent) : TfrmRPTQry(chartSaleDecl(), parent)
{
    BitBtn1->setText(QStringLiteral("分析图"));
    addConditionRow(QStringLiteral("分析时段"),
                    choices("rgpPeriod", periodCaptions(), int(TChartPeriod::cpDay), rgpPeriod));
    addConditionRow(
        QStringLiteral("分析内容"),
        choices("rgpMeasure", measureCaptions(), int(TChartMeasure::cmQuantity), rgpMeasure));
    setRPTCode(ChartSaleCode);
    cdsXMaster->setPacketRecords(10);
    cdsXMaster->addCalcField(QStringLiteral("CalcSortDate"), korvane::FieldType::String,
                             [](const TLumoRecordView &row) -> QVariant {
                                 return QDate::fromString(
                                     row.value(QStringLiteral("SortDate")).toString().left(10),
                                     QStringLiteral("yyyy-MM-dd"));
                             });
    frmChart = new TfrmChartClassSale(this);
    // A click on the period regroups the rows at once.
    connect(rgpPeriod, &QButtonGroup::idClicked, this, [this] {
        if (cdsXMaster->Active())
            applyChart();
    });
}

TChartPeriod TfrmChartClassSaleQry::period() const
{
    return TChartPeriod(rgpPeriod->checkedId());
}

void TfrmChartClassSaleQry::setPeriod(TChartPeriod period)
{
    rgpPeriod->button(int(period))->click();
}

TChartMeasure TfrmChartClassSaleQry::measure() const
{
    return TChartMeasure(rgpMeasure->checkedId());
}

void TfrmChartClassSaleQry::setMeasure(TChartMeasure measure)
{
    rgpMeasure->button(int(measure))->click();
}

bool TfrmChartClassSaleQry::Generate()
{
    if (!checkConditions())
        return false;
    fillParams();
    if (!fetch())
        return false;
    hide();
    frmChart->setSubTitle(dateText(edtBeginDate) + QStringLiteral(" 至 ") + dateText(edtEndDate));
    applyChart();
    frmChart->exec();
    done(QDialog::Accepted);
    return true;
}

QList<TChartSale> TfrmChartClassSaleQry::sales()
{
    QList<TChartSale> rows;
    if (cdsXMaster->IsEmpty())
        return rows;
    for (cdsXMaster->First(); !cdsXMaster->Eof(); cdsXMaster->Next()) {
        rows.append({cdsXMaster->FieldByName(QStringLiteral("CalcSortDate")).Value().toDate(),
                     cdsXMaster->FieldByName(QStringLiteral("TotalPqty")).AsFloat(),
                     cdsXMaster->FieldByName(QStringLiteral("TotalAmount")).AsFloat()});
    }
    cdsXMaster->First();
    return rows;
}

void TfrmChartClassSaleQry::applyChart()
{
    const QList<TChartSale> rows = sales(); // leaves the first row current
    if (measure() == TChartMeasure::cmAmount || rows.isEmpty()) {
        frmChart->setLeftAxisTitle(rows.isEmpty() && measure() == TChartMeasure::cmQuantity
                                       ? QStringLiteral("数量")
                                       : measureAxisTitle(measure(), QString()));
    } else {
        frmChart->setLeftAxisTitle(measureAxisTitle(
            measure(), cdsXMaster->FieldByName(QStringLiteral("MeasureName")).AsString()));
    }
    frmChart->setChartTitle(nameBox(QStringLiteral("cnPdtCode"))->text() + periodTitle(period()));
    frmChart->setPoints(groupSales(rows, period(), measure()));
}

// ---- the ranking --------------------------------------------------------------------------

TfrmChartSaleOrderQry::TfrmChartSaleOrderQry(QWidget *parent) : TfrmRPTQry(rankingDecl(), parent)
{
    BitBtn1->setText(QStringLiteral("分析图"));
    auto *count = new QWidget;
    count->setObjectName(QStringLiteral("pnlSelCount"));
    auto *row = new QHBoxLayout(count);
    row->setContentsMargins(0, 0, 0, 0);
    edtSelCount = new TLumoEdit(count);
    edtSelCount->setObjectName(QStringLiteral("edtSelCount"));
    edtSelCount->setText(QStringLiteral("10"));
    edtSelCount->setMaxLength(4);
    edtSelCount->setFixedWidth(edtSelCount->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6);
    row->addWidget(edtSelCount);
    row->addWidget(new QLabel(QStringLiteral("位"), count));
    row->addStretch();
    addConditionRow(QStringLiteral("排行前"), count);
    addConditionRow(
        QStringLiteral("分析内容"),
        choices("rgpMeasure", measureCaptions(), int(TChartMeasure::cmQuantity), rgpMeasure));
    setRPTCode(RankingCode);
    frmChart = new TfrmChartSaleOrder(this);
}

TChartMeasure TfrmChartSaleOrderQry::measure() const
{
    return TChartMeasure(rgpMeasure->checkedId());
}

void TfrmChartSaleOrderQry::setMeasure(TChartMeasure measure)
{
    rgpMeasure->button(int(measure))->click();
}

bool TfrmChartSaleOrderQry::checkCount()
{
    bool number = false;
    const int count = edtSelCount->text().trimmed().toInt(&number);
    if (number && count > 0)
        return true;
    MsgBox(QStringLiteral("请输入排行的位数（一个正整数）。"), mkHint);
    edtSelCount->setFocus();
    edtSelCount->selectAll();
    return false;
}

bool TfrmChartSaleOrderQry::Generate()
{
    if (!checkConditions() || !checkCount())
        return false;
    fillParams();
    const int count = edtSelCount->text().trimmed().toInt();
    cdsXMaster->Params().setValue(QStringLiteral("SelCount"), QString::number(count));
    cdsXMaster->Params().setValue(QStringLiteral("Measure"), measureField(measure()));
    if (!fetch())
        return false;
    hide();
    QList<TRankedProduct> ranked;
    for (cdsXMaster->First(); !cdsXMaster->IsEmpty() && !cdsXMaster->Eof(); cdsXMaster->Next()) {
        ranked.append({cdsXMaster->FieldByName(QStringLiteral("pdtCode")).AsString(),
                       cdsXMaster->FieldByName(QStringLiteral("PdtName")).AsString(),
                       cdsXMaster->FieldByName(measureField(measure())).AsFloat()});
    }
    frmChart->setRanking(ranked, count, measure());
    frmChart->setSubTitle(dateText(edtBeginDate) + QStringLiteral(" 至 ") + dateText(edtEndDate));
    frmChart->exec();
    done(QDialog::Accepted);
    return true;
}

// ---- registration -------------------------------------------------------------------------

void registerChartWindows()
{
    using korvane::workwindows::registerWindow;
    registerWindow(QStringLiteral("TfrmChartClassSaleQry"),
                   [](QWidget *parent) { return new TfrmChartClassSaleQry(parent); });
    registerWindow(QStringLiteral("TfrmChartSaleOrderQry"),
                   [](QWidget *parent) { return new TfrmChartSaleOrderQry(parent); });
}
