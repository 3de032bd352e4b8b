#include "UReadOrder.h"

#include "LumoCLientDataSet.h"
#include "LumoDBGrid.h"
#include "LumoDataSource.h"
#include "LumoDateEdit.h"
#include "LumoEdit.h"
#include "LumoLabel.h"
#include "LumobitBtn.h"
#include "UDocEditors.h"
#include "UMsgBox.h"

#include <QCoreApplication>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TfrmReadOrder::THook pickerHook;

QList<QPair<QString, QString>>
columns(std::initializer_list<std::pair<const char *, const char *>> list)
{
    QList<QPair<QString, QString>> result;
    for (const auto &[field, title] : list)
        result << qMakePair(QLatin1String(field), QString::fromUtf8(title));
    return result;
}

TReadOrderDecl buyDecl()
{
    return {QStringLiteral("读采购单"),
            QStringLiteral("dspXBuy"),
            QStringLiteral("请先选择采购单日期！"),
            QStringLiteral("厂商代码"),
            QStringLiteral("厂商"),
            QStringLiteral("仓库  代码"),
            QStringLiteral("仓库"),
            columns({{"hdate", "日期"},
                     {"headno", "单号"},
                     {"bodyno", "项次"},
                     {"PdtName", "货品"},
                     {"specname", "规格"},
                     {"BigPackNum", "包装数"},
                     {"pqty", "数量"},
                     {"getpqty", "已到货"},
                     {"note", "备注"}})};
}

TReadOrderDecl saleDecl()
{
    return {QStringLiteral("读销售单"),
            QStringLiteral("dspXSale"),
            QStringLiteral("请先选择销售单日期！"),
            QStringLiteral("客 户代码"),
            QStringLiteral("客  户"),
            QStringLiteral("仓库 代码"),
            QStringLiteral("仓  库"),
            columns({{"hdate", "日期"},
                     {"headno", "单号"},
                     {"bodyno", "项次"},
                     {"PdtName", "货品"},
                     {"specname", "规格"},
                     {"BigPackNum", "包装数"},
                     {"pqty", "数量"},
                     {"amount", "金额"},
                     {"Tax", "税额"},
                     {"Taxamount", "价税合计"},
                     {"getpqty", "已发货数"},
                     {"getTaxamount", "已收款"},
                     {"note", "备注"}})};
}

TLumoEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *edit = new TLumoEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setTagStr(QStringLiteral("R"));
    return edit;
}

} // namespace

TfrmReadOrder::TfrmReadOrder(const TReadOrderDecl &decl, QWidget *parent)
    : QDialog(parent), m_decl(decl)
{
    setWindowTitle(decl.caption);
    cds = new TLumoCLientDataSet(this);
    cds->setObjectName(QStringLiteral("cds"));
    cds->IndexDefs() = {{QStringLiteral("idxKey"), QStringLiteral("headno;bodyno")}};
    // Quantities and amounts read as on the documents they are copied into.
    cds->setFloatFormat(doceditors::moneyFormat());
    ds = new TLumoDataSource(this);
    ds->setObjectName(QStringLiteral("ds"));
    ds->setDataSet(cds);
    buildLayout();
    resize(980, 460);
}

void TfrmReadOrder::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QGridLayout;
    const auto label = [this](const QString &text) { return new TLumoLabel(text, this); };
    deBegin = new TLumoDateEdit(this);
    deBegin->setObjectName(QStringLiteral("deBegin"));
    deEnd = new TLumoDateEdit(this);
    deEnd->setObjectName(QStringLiteral("deEnd"));
    edtspCode = readOnlyBox(this, "edtspCode");
    edtspName = readOnlyBox(this, "edtspName");
    edtStoreCode = readOnlyBox(this, "edtStoreCode");
    edtStoreName = readOnlyBox(this, "edtStoreName");
    // A partner's or store's whole name, not only its first characters.
    for (TLumoEdit *name : {edtspName, edtStoreName})
        name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QString(16, QChar(0x5382))));
    btnQry = new TLumobitBtn(QStringLiteral("查询"), this);
    btnQry->setObjectName(QStringLiteral("btnQry"));
    top->addWidget(label(QStringLiteral("订单日期从")), 0, 0);
    top->addWidget(deBegin, 0, 1);
    top->addWidget(label(QStringLiteral("到")), 0, 2);
    top->addWidget(deEnd, 0, 3);
    top->addWidget(btnQry, 0, 5);
    top->addWidget(label(m_decl.partnerCodeCaption), 1, 0);
    top->addWidget(edtspCode, 1, 1);
    top->addWidget(label(m_decl.partnerCaption), 1, 2);
    top->addWidget(edtspName, 1, 3);
    top->addWidget(label(m_decl.storeCodeCaption), 2, 0);
    top->addWidget(edtStoreCode, 2, 1);
    top->addWidget(label(m_decl.storeCaption), 2, 2);
    top->addWidget(edtStoreName, 2, 3);
    top->setColumnStretch(4, 1);
    layout->addLayout(top);

    dbGridFpo = new Tlumodbgrid(this);
    dbGridFpo->setObjectName(QStringLiteral("dbGridFpo"));
    dbGridFpo->setReadOnly(true);
    dbGridFpo->setRowSelect(true);
    dbGridFpo->setMultiSelect(true);
    dbGridFpo->setDataSource(ds);
    dbGridFpo->setColumns(columnFields());
    dbGridFpo->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(dbGridFpo, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(label(QStringLiteral("可以多选")));
    buttons->addStretch(1);
    BitBtn1 = new TLumobitBtn(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new TLumobitBtn(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);

    connect(btnQry, &QPushButton::clicked, this, &TfrmReadOrder::btnQryClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmReadOrder::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TfrmReadOrder::columnFields() const
{
    QStringList fields;
    for (const auto &column : std::as_const(m_decl.columns))
        fields << column.first;
    return fields;
}

void TfrmReadOrder::bindSource(TLumoRemoteServer *server, const QString &provider)
{
    cds->setRemoteServer(server);
    cds->setProviderName(provider);
}

void TfrmReadOrder::setHook(THook hook)
{
    pickerHook = std::move(hook);
}

int TfrmReadOrder::run()
{
    if (pickerHook) {
        FormActivate();
        return pickerHook(*this);
    }
    return exec();
}

void TfrmReadOrder::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmReadOrder::FormActivate()
{
    cds->Close();
    deBegin->SetDateTimeText(doceditors::todayText());
    deEnd->SetDateTimeText(doceditors::todayText());
}

void TfrmReadOrder::btnQryClick()
{
    const QString begin = deBegin->GetDateTimeText();
    const QString end = deEnd->GetDateTimeText();
    if (begin.isEmpty() || end.isEmpty()) {
        MsgBox(m_decl.datePrompt, mkHint);
        deBegin->setFocus();
        return;
    }
    TLumoParams &params = cds->Params();
    params.setValue(QStringLiteral("BeginDate"), begin.left(10));
    params.setValue(QStringLiteral("EndDate"), end.left(10));
    // The partner always filters; the store only when the document names one.
    params.setValue(QStringLiteral("spCode"), edtspCode->text());
    const QString store =
        edtStoreCode->text().isEmpty() ? QStringLiteral(" ") : edtStoreCode->text();
    params.setValue(QStringLiteral("StoreCode"), store);
    params.setValue(QStringLiteral("tmpStoreCode"), store);
    cds->Close();
    QCoreApplication::processEvents();
    doceditors::openOrSay(*cds);
    for (int i = 0; i < m_decl.columns.size(); ++i) {
        if (TLumoField *field = cds->FindField(m_decl.columns[i].first))
            field->setDisplayLabel(m_decl.columns[i].second);
    }
    dbGridFpo->setColumns(columnFields()); // the titles are read again
    dbGridFpo->fitColumnsToContents();     // dates, numbers and names whole
}

void TfrmReadOrder::BitBtn1Click()
{
    if (cds->Active() && !cds->IsEmpty())
        accept();
}

QList<int> TfrmReadOrder::chosenRows() const
{
    QList<int> rows;
    if (dbGridFpo->selectionModel()) {
        for (const QModelIndex &index : dbGridFpo->selectionModel()->selectedRows())
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && cds->RecNo() > 0)
        rows << cds->RecNo() - 1;
    return rows;
}

bool TfrmReadOrder::copyChosen(TLumoCLientDataSet &lines, const TDocReadDecl &read)
{
    bool first = true;
    for (int row : chosenRows()) {
        if (!cds->setRecNo(row + 1) || (!first && !lines.Append()))
            return !first;
        first = false;
        const auto source = [this](const char *field) {
            return cds->FieldByName(QLatin1String(field)).Value();
        };
        const auto copy = [&lines](const char *field, const QVariant &value) {
            lines.FieldByName(QLatin1String(field)).setValue(value);
        };
        copy("LinkHeadno", source("HeadNO"));
        copy("LinkBodyno", source("BodyNO"));
        copy("pdtcode", source("pdtcode"));
        copy("PdtName", source("pdtName"));
        copy("pdtNO", source("pdtNo"));
        copy("SpecName", source("SpecName"));
        // In this order the package rules leave the line with the ordered quantity.
        copy("PackNum", source("PackNum"));
        copy("BigPackNum", source("BigPackNum"));
        copy("pqty", source("pqty"));
        if (read.copiesMoney) {
            // The order's own figures, whatever the line's money rules made of them.
            copy("price", source("price"));
            for (const char *money : {"amount", "Tax", "TaxAmount"})
                copy(money, source(money).isNull() ? QVariant() : source(money).toDouble());
        }
        copy("note", read.sourceKind + source("HeadNO").toString() + read.remarkEnd);
        if (!lines.Post())
            return true; // the line stays on screen with its message
    }
    return true;
}

TfrmReadBuy::TfrmReadBuy(QWidget *parent) : TfrmReadOrder(buyDecl(), parent) {}

TfrmReadSale::TfrmReadSale(QWidget *parent) : TfrmReadOrder(saleDecl(), parent) {}

TfrmReadOrder *createReadOrder(const QString &className, QWidget *parent)
{
    if (className == QLatin1String("TfrmReadBuy"))
        return new TfrmReadBuy(parent);
    if (className == QLatin1String("TfrmReadSale"))
        return new TfrmReadSale(parent);
    return nullptr;
}
