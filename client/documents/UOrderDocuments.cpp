#include "UOrderDocuments.h"

#include "LumoBtn.h"
#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "UDMMain.h"
#include "UMsgBox.h"
#include "UOrderKinds.h"

namespace {

const TDocumentDecl &declOf(const char *className)
{
    return *orderDocumentDecl(QLatin1String(className));
}

double number(const TLumoCLientDataSet &ds, const char *field)
{
    return ds.FieldByName(QLatin1String(field)).AsFloat();
}

void set(TLumoCLientDataSet &ds, const char *field, const QVariant &value)
{
    ds.FieldByName(QLatin1String(field)).setValue(value);
}

void onChange(TLumoCLientDataSet &ds, const char *field, std::function<void()> rule)
{
    ds.FieldByName(QLatin1String(field)).OnChange = [rule = std::move(rule)](TLumoField &) {
        rule();
    };
}

bool editing(const TLumoCLientDataSet &ds)
{
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

//! The row of a shared list whose Code is code, made current; false when there is none.
TLumoCLientDataSet *listRow(const char *list, const QString &code)
{
    TLumoCLientDataSet *rows = dmMain ? dmMain->lookup(QLatin1String(list)) : nullptr;
    if (!rows || !rows->Active() || code.isEmpty() ||
        !rows->LocateValues(QStringLiteral("Code"), {code}, true))
        return nullptr;
    return rows;
}

//! While rows are imported, the fields the user completes afterwards are not required, so
//! that lines without prices can be posted; they are required again afterwards.
class TRequiredOff
{
public:
    TRequiredOff(TLumoCLientDataSet &heads, TLumoCLientDataSet &lines)
    {
        for (const char *name :
             {"StoreCode", "spCode", "mCode", "DeptCode", "currency", "exchgrate"})
            m_fields << &heads.FieldByName(QLatin1String(name));
        for (const char *name : {"pqty", "Amount", "Price", "TaxAmount", "getamtday"})
            m_fields << &lines.FieldByName(QLatin1String(name));
        for (TLumoField *field : std::as_const(m_fields))
            field->setRequired(false);
    }
    ~TRequiredOff()
    {
        for (TLumoField *field : std::as_const(m_fields))
            field->setRequired(true);
    }
    TRequiredOff(const TRequiredOff &) = delete;
    TRequiredOff &operator=(const TRequiredOff &) = delete;

private:
    QList<TLumoField *> m_fields;
};

QVariant valueOf(const TLumoCLientDataSet &rows, const char *field)
{
    const TLumoField *f = rows.FindField(QLatin1String(field));
    return f ? f->Value() : QVariant();
}

//! One imported line of a sales order line: the line it names, its product and the
//! quantity still missing.
void fillFromSalesLine(TLumoCLientDataSet &line, const TLumoCLientDataSet &row)
{
    const QString salesOrder = valueOf(row, "HeadNO").toString();
    set(line, "SaleHeadno", salesOrder);
    set(line, "SaleBodyno", valueOf(row, "BodyNO"));
    set(line, "pdtcode", valueOf(row, "pdtcode"));
    set(line, "PdtName", valueOf(row, "pdtName"));
    set(line, "pdtNO", valueOf(row, "pdtNo"));
    set(line, "SpecName", valueOf(row, "SpecName"));
    // Quantity per package first: packages without it would be refused with a message.
    set(line, "PackNum", valueOf(row, "PackNum"));
    if (line.FieldByName(QStringLiteral("PackNum")).AsFloat() != 0)
        set(line, "BigPackNum", valueOf(row, "BigPackNum"));
    set(line, "pqty", valueOf(row, "Needpqty"));
    set(line, "getday", valueOf(row, "getday"));
    set(line, "note", QStringLiteral("由销售单") + salesOrder + QStringLiteral("导入！"));
}

void fillFromShortage(TLumoCLientDataSet &line, const TLumoCLientDataSet &row)
{
    set(line, "pdtCode", valueOf(row, "pdtCode"));
    set(line, "pdtName", valueOf(row, "pdtName"));
    set(line, "pdtNo", valueOf(row, "pdtno"));
    set(line, "SpecName", valueOf(row, "SpecName"));
    set(line, "pqty", valueOf(row, "Needpqty"));
    set(line, "note", QStringLiteral("库存不足转采购"));
}

} // namespace

// ---- both orders ----------------------------------------------------------------------------

TfrmOrderDocument::TfrmOrderDocument(const char *className, QWidget *parent)
    : TfrmMasterDetailtbl(declOf(className), parent)
{
    onChange(*CDSXMaster, "currency", [this] { currencyChanged(); });
    onChange(*CDSXMaster, "exchgrate", [this] { rateChanged(); });
    m_packageRule = cdsXDetail->FieldByName(QStringLiteral("pqty")).OnChange;
    onChange(*cdsXDetail, "pqty", [this] { quantityChanged(); });
    onChange(*cdsXDetail, "price", [this] { lineMoney(); });
    onChange(*cdsXDetail, "taxrate", [this] { lineMoney(); });
    onChange(*cdsXDetail, "taxtype", [this] { taxKindChanged(); });
    cdsXDetail->BeforePost = [this](TLumoCLientDataSet &) {
        if (!quantityAllowed())
            Abort();
    };
    cdsXDetail->AfterPost = [this](TLumoCLientDataSet &) { headTotals(); };
    // A head is saved with the totals of the lines it has, also after a line was deleted.
    CDSXMaster->BeforePost = [this](TLumoCLientDataSet &) { headTotals(); };
}

void TfrmOrderDocument::currencyChanged()
{
    const QString code = CDSXMaster->FieldByName(QStringLiteral("currency")).AsString();
    if (const TLumoCLientDataSet *money = listRow("dspMoney", code)) {
        if (const TLumoField *rate = money->FindField(QStringLiteral("Rate")))
            set(*CDSXMaster, "exchgrate", rate->Value());
    }
}

void TfrmOrderDocument::rateChanged()
{
    homeTotal();
}

void TfrmOrderDocument::taxKindChanged()
{
    const QString code = cdsXDetail->FieldByName(QStringLiteral("taxType")).AsString();
    if (code.isEmpty()) {
        set(*cdsXDetail, "taxrate", 0.0);
        return;
    }
    if (const TLumoCLientDataSet *taxes = listRow("cdsXTaxAttr", code))
        set(*cdsXDetail, "taxrate", taxes->FieldByName(QStringLiteral("TaxRate")).Value());
}

void TfrmOrderDocument::lineMoney()
{
    const double amount = number(*cdsXDetail, "pqty") * number(*cdsXDetail, "price");
    const double tax = amount * number(*cdsXDetail, "taxrate") / 100;
    set(*cdsXDetail, "amount", amount);
    set(*cdsXDetail, "Tax", tax);
    set(*cdsXDetail, "Taxamount", amount + tax);
}

void TfrmOrderDocument::headTotals()
{
    if (!CDSXMaster->Active() || CDSXMaster->IsEmpty())
        return;
    if (!editing(*CDSXMaster) && !CDSXMaster->Edit())
        return;
    const auto sum = [this](const char *name) {
        return cdsXDetail->FieldByName(QLatin1String(name)).Value().toDouble();
    };
    set(*CDSXMaster, "amt", sum("SumOfAmount"));
    set(*CDSXMaster, "Tax", sum("SumOfTax"));
    set(*CDSXMaster, "taxamt", sum("SumOfTaxAmount"));
    homeTotal();
}

void TfrmOrderDocument::homeTotal()
{
    if (!editing(*CDSXMaster))
        return;
    const double total = number(*CDSXMaster, "taxamt");
    const double home = number(*CDSXMaster, "exchgrate") * total;
    set(*CDSXMaster, "RMBtaxamt", home == 0 ? total : home);
}

bool TfrmOrderDocument::quantityAllowed()
{
    // An order of less than nothing would count against the stock on order.
    if (number(*cdsXDetail, "pqty") >= 0)
        return true;
    MsgBox(QStringLiteral("数量不能为负数！"), mkHint);
    return false;
}

// ---- purchase order ---------------------------------------------------------------------------

TfrmXBuyh::TfrmXBuyh(QWidget *parent) : TfrmOrderDocument("TfrmXBuyh", parent)
{
    // The item picker also brings the purchase price before tax.
    cnSpecName->setLinkDataField({QStringLiteral("specName"), QStringLiteral("packNum"), QString(),
                                  QString(), QStringLiteral("price")});
    for (TLumoCodeName *picker : {cnPdtCode, cnSpecName})
        picker->BeforeActive = [this, picker](bool &canActive) {
            canActive = pickerAllowed(*picker);
        };
}

void TfrmXBuyh::quantityChanged()
{
    if (m_packageRule)
        m_packageRule(cdsXDetail->FieldByName(QStringLiteral("pqty")));
    lineMoney();
}

bool TfrmXBuyh::pickerAllowed(TLumoCodeName &picker)
{
    if (!cdsXDetail->Active() ||
        cdsXDetail->FieldByName(QStringLiteral("SaleHeadno")).AsString().isEmpty())
        return true;
    // Opening the list, or leaving the cell with another code, is refused with the reason;
    // passing through the cell with the line's own code changes nothing and says nothing.
    const bool picking = !picker.pickButton()->isHidden();
    const QString code = cdsXDetail->FieldByName(picker.CodeDataField()).AsString();
    if (picking || picker.Text() != code)
        MsgBox(QStringLiteral("由销售单产生的采购不能修改货品资料，以保持与销售单的一致！"),
               mkHint);
    return false;
}

bool TfrmXBuyh::ImportSale2Buy(const QVariant &rows)
{
    return import(rows, true);
}

bool TfrmXBuyh::ImportStockToBuy(const QVariant &rows)
{
    return import(rows, false);
}

bool TfrmXBuyh::import(const QVariant &rows, bool fromSales)
{
    if (!LumoChild->Initialized())
        activateWorkWindow();
    // A new document must not carry away what is being typed into the current one.
    if (editing(*CDSXMaster) || CDSXMaster->ChangeCount() > 0) {
        MsgBox(QStringLiteral("请先保存当前数据！"), mkHint);
        return false;
    }
    TLumoCLientDataSet source;
    source.setData(rows.value<korvane::Packet>());
    if (source.IsEmpty())
        return false;
    component(QStringLiteral("edtnote"))->setFocus(Qt::OtherFocusReason);
    if (LumoChild->CurrentDataSet() != CDSXMaster || !LumoChild->ExecCommand(TLumoChild::cmNew))
        return false;
    const TRequiredOff relaxed(*CDSXMaster, *cdsXDetail);
    if (!fromSales) {
        source.First();
        set(*CDSXMaster, "StoreCode", valueOf(source, "StoreCode"));
        set(*CDSXMaster, "StoreName", valueOf(source, "StoreName"));
    }
    GridXDetail->setFocus(Qt::OtherFocusReason);
    for (int row = 1; row <= source.RecordCount(); ++row) {
        if (!source.setRecNo(row) || !LumoChild->ExecCommand(TLumoChild::cmNew))
            break;
        if (fromSales)
            fillFromSalesLine(*cdsXDetail, source);
        else
            fillFromShortage(*cdsXDetail, source);
        if (!cdsXDetail->Post())
            break; // the line stays on screen with its message
    }
    return true;
}

// ---- sales order ------------------------------------------------------------------------------

TfrmXSale::TfrmXSale(QWidget *parent) : TfrmOrderDocument("TfrmXSale", parent)
{
    // The item picker brings the list price before tax; the discount makes the price.
    cnSpecName->setLinkDataField({QStringLiteral("specName"), QStringLiteral("packNum"), QString(),
                                  QString(), QString(), QString(), QStringLiteral("oldPrice")});
    onChange(*cdsXDetail, "oldPrice", [this] { listPriceChanged(); });
    onChange(*cdsXDetail, "disCount", [this] { discountChanged(); });
}

void TfrmXSale::listPriceChanged()
{
    // A line without a list price keeps the price typed: a post fills blank numbers with
    // zero, and that must not wipe it out.
    if (number(*cdsXDetail, "oldPrice") == 0)
        return;
    if (number(*cdsXDetail, "disCount") == 0)
        set(*cdsXDetail, "disCount", 100.0);
    discountChanged();
}

void TfrmXSale::discountChanged()
{
    if (number(*cdsXDetail, "oldPrice") == 0)
        return;
    set(*cdsXDetail, "price",
        number(*cdsXDetail, "oldPrice") * number(*cdsXDetail, "disCount") / 100);
}
