#include "USysPara.h"

#include "LumoBtn.h"
#include "LumoLabel.h"
#include "UMsgBox.h"
#include "USettingsCommon.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using korvane::SystemParameters;
using korvane::settings::cellText;
using korvane::settings::setCellText;

namespace {

constexpr int DateColumn = 3;

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit *decimals(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(QStringLiteral("2"), parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFixedWidth(40);
    return edit;
}

} // namespace

TfrmSysPara::TfrmSysPara(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSysPara"));
    setWindowTitle(QStringLiteral("系统参数设置"));
    pcPara = new QTabWidget(this);
    pcPara->setObjectName(QStringLiteral("pcPara"));
    pcPara->addTab(buildCodeRules(), QStringLiteral("单据编码规则"));
    pcPara->addTab(buildOptions(), QStringLiteral("系统参数"));
    pcPara->addTab(buildReportFormat(), QStringLiteral("报表格式定义"));
    pcPara->setCurrentIndex(0);

    btnOK = korvane::settings::dialogButton(QStringLiteral("btnOK"), QStringLiteral("确定"), this);
    btnCancel =
        korvane::settings::dialogButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), this);
    connect(btnOK, &TLumoBtn::clicked, this, &TfrmSysPara::confirm);
    connect(btnCancel, &TLumoBtn::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcPara, 1);
    layout->addLayout(buttons);
    showParameters(SystemParameters());
    resize(560, 420);
}

QWidget *TfrmSysPara::buildCodeRules()
{
    auto *page = new QWidget(this);
    const QStringList kinds{"采购单",       "采购收货单", "收款单",        "采购退货单",
                            "销售单",       "销售出货单", "蓝字发票开列",  "付款单",
                            "红字发票开列", "销售退回单", "盘点单",        "调拨单",
                            "报废单",       "生产单",     "其它库存异动单"};
    sgCodeRule =
        korvane::settings::stringGrid(QStringLiteral("sgCodeRule"), int(kinds.size()) + 1, 5, page);
    const QStringList headers{"单据类别", "自动编码示例", "前缀+", "日期+", "流水号位数"};
    for (int c = 0; c < headers.size(); ++c)
        setCellText(sgCodeRule, 0, c, headers.at(c));
    for (int r = 0; r < kinds.size(); ++r)
        setCellText(sgCodeRule, r + 1, 0, kinds.at(r));
    for (int c = 0; c < headers.size(); ++c)
        sgCodeRule->setColumnWidth(c, c < 2 ? 110 : 80);
    // A press in "日期+" toggles its mark (the grid takes no typing).
    connect(sgCodeRule, &QTableWidget::cellPressed, this, [this](int row, int column) {
        if (row > 0 && column == DateColumn)
            toggleDateMark(row);
    });
    sgCodeRule->setEnabled(false);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(sgCodeRule, 1);
    layout->addWidget(new TLumoLabel(QStringLiteral("单据编码最长15位"), page));
    return page;
}

void TfrmSysPara::toggleDateMark(int row)
{
    const bool marked = cellText(sgCodeRule, row, DateColumn) == korvane::settings::Granted;
    setCellText(sgCodeRule, row, DateColumn, marked ? QString() : korvane::settings::Granted);
}

QWidget *TfrmSysPara::buildOptions()
{
    auto *page = new QWidget(this);
    cbAutoCheck = checkBox(QStringLiteral("cbAutoCheck"), QStringLiteral("单据自动审核"), page);
    auto *digits = new QGroupBox(QStringLiteral("小数位数"), page);
    edtPriceDec = decimals(QStringLiteral("edtPriceDec"), digits);
    edtAmountDec = decimals(QStringLiteral("edtAmountDec"), digits);
    edtQtyDec = decimals(QStringLiteral("edtQtyDec"), digits);
    auto *digitRow = new QHBoxLayout(digits);
    digitRow->addWidget(new TLumoLabel(QStringLiteral("单价位数"), digits));
    digitRow->addWidget(edtPriceDec);
    digitRow->addWidget(new TLumoLabel(QStringLiteral("价格位数"), digits));
    digitRow->addWidget(edtAmountDec);
    digitRow->addWidget(new TLumoLabel(QStringLiteral("数量位数"), digits));
    digitRow->addWidget(edtQtyDec);
    digitRow->addStretch();
    cbBuyPrice = checkBox(QStringLiteral("cbBuyPrice"),
                          QStringLiteral("用采购单中单价更新货物采购价格"), page);
    cbSalePrice = checkBox(QStringLiteral("cbSalePrice"),
                           QStringLiteral("用销售单中单价更新货物销售价格"), page);
    cbNegativeStock = checkBox(QStringLiteral("cbNegativeStock"),
                               QStringLiteral("允许负库存（出库可以先于入库登记）"), page);
    // Data scopes are shown as designed; they cannot be changed.
    cbCorpAll =
        checkBox(QStringLiteral("cbCorpAll"), QStringLiteral("总公司可操作分公司数据"), page);
    cbBranchAll =
        checkBox(QStringLiteral("cbBranchAll"), QStringLiteral("分公司可操作其它分公司数据"), page);
    cbDeptOnly =
        checkBox(QStringLiteral("cbDeptOnly"), QStringLiteral("人员只能使用本部门数据"), page);
    for (QCheckBox *scope : {cbCorpAll, cbBranchAll, cbDeptOnly}) {
        scope->setChecked(true);
        scope->setEnabled(false);
    }
    auto *layout = new QVBoxLayout(page);
    for (QWidget *w :
         std::initializer_list<QWidget *>{cbAutoCheck, digits, cbBuyPrice, cbSalePrice,
                                          cbNegativeStock, cbCorpAll, cbBranchAll, cbDeptOnly})
        layout->addWidget(w);
    layout->addStretch();
    return page;
}

QWidget *TfrmSysPara::buildReportFormat()
{
    auto *page = new QWidget(this);
    edtCorpName1 = new QLineEdit(page);
    edtCorpName1->setObjectName(QStringLiteral("edtCorpName1"));
    edtCorpName2 = new QLineEdit(page);
    edtCorpName2->setObjectName(QStringLiteral("edtCorpName2"));
    btnLogo =
        korvane::settings::dialogButton(QStringLiteral("btnLogo"), QStringLiteral("..."), page);
    btnLogo->setFixedWidth(30);
    imgLogo = new QLabel(page);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setFixedSize(SystemParameters::LogoSize + 2, SystemParameters::LogoSize + 2);
    imgLogo->setFrameShape(QFrame::Box);
    connect(btnLogo, &TLumoBtn::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, QStringLiteral("报表表头图标"), QString(),
            QStringLiteral("图片 (*.png *.jpg *.jpeg *.bmp);;所有文件 (*)"));
        if (!file.isEmpty())
            loadLogo(file);
    });
    cbHeadLine = checkBox(QStringLiteral("cbHeadLine"), QStringLiteral("表头横线"), page);
    cbFootLine = checkBox(QStringLiteral("cbFootLine"), QStringLiteral("表尾横线"), page);
    cbPrintTime = checkBox(QStringLiteral("cbPrintTime"), QStringLiteral("打印时间"), page);

    auto *grid = new QGridLayout(page);
    grid->addWidget(new TLumoLabel(QStringLiteral("报表表头公司名称："), page), 0, 0);
    grid->addWidget(edtCorpName1, 0, 1, 1, 2);
    grid->addWidget(edtCorpName2, 1, 1, 1, 2);
    grid->addWidget(new TLumoLabel(QStringLiteral("报表表头图标(最大32×32)："), page), 2, 0);
    grid->addWidget(imgLogo, 2, 1);
    grid->addWidget(btnLogo, 2, 2, Qt::AlignLeft);
    auto *lines = new QHBoxLayout;
    lines->addWidget(cbHeadLine);
    lines->addWidget(cbFootLine);
    lines->addWidget(cbPrintTime);
    lines->addStretch();
    grid->addLayout(lines, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

SystemParameters TfrmSysPara::shownParameters() const
{
    SystemParameters p;
    p.autoCheck = cbAutoCheck->isChecked();
    p.buyPriceUpdate = cbBuyPrice->isChecked();
    p.salePriceUpdate = cbSalePrice->isChecked();
    p.negativeStock = cbNegativeStock->isChecked();
    p.reportCorpName1 = edtCorpName1->text();
    p.reportCorpName2 = edtCorpName2->text();
    p.reportLogo = m_logo;
    p.reportHeadLine = cbHeadLine->isChecked();
    p.reportFootLine = cbFootLine->isChecked();
    p.reportPrintTime = cbPrintTime->isChecked();
    return p;
}

void TfrmSysPara::showParameters(const SystemParameters &p)
{
    cbAutoCheck->setChecked(p.autoCheck);
    cbBuyPrice->setChecked(p.buyPriceUpdate);
    cbSalePrice->setChecked(p.salePriceUpdate);
    cbNegativeStock->setChecked(p.negativeStock);
    edtCorpName1->setText(p.reportCorpName1);
    edtCorpName2->setText(p.reportCorpName2);
    cbHeadLine->setChecked(p.reportHeadLine);
    cbFootLine->setChecked(p.reportFootLine);
    cbPrintTime->setChecked(p.reportPrintTime);
    m_logo = p.reportLogo;
    QPixmap picture;
    if (!m_logo.isEmpty())
        picture.loadFromData(m_logo);
    imgLogo->setPixmap(picture);
}

bool TfrmSysPara::loadLogo(const QString &fileName)
{
    QImageReader reader(fileName);
    const QImage image = reader.read();
    if (image.isNull()) {
        MsgBox(QStringLiteral("所选文件不是图片，报表表头图标未更改！"), mkHint);
        return false;
    }
    const int side = SystemParameters::LogoSize;
    const QImage logo =
        image.width() > side || image.height() > side
            ? image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    m_logo = png;
    imgLogo->setPixmap(QPixmap::fromImage(logo));
    return true;
}

void TfrmSysPara::showEvent(QShowEvent *event)
{
    QVariant text;
    if (korvane::settings::callShowingRefusal(QStringLiteral("GetSysPara"), {}, &text))
        showParameters(SystemParameters::fromText(text.toString()));
    pcPara->setCurrentIndex(0);
    QDialog::showEvent(event);
}

bool TfrmSysPara::confirm()
{
    const SystemParameters parameters = shownParameters();
    if (!korvane::settings::callShowingRefusal(QStringLiteral("SetSysPara"), {parameters.toText()}))
        return false;
    accept();
    return true;
}
