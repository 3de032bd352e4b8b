#include "UPrdtLine.h"

#include "LumoCLientDataSet.h"
#include "LumoField.h"

namespace prdtline {

namespace {

//! A price, its rate, the price including tax and the tax type that brings the rate.
struct TPriceFields
{
    const char *price, *rate, *withTax, *type;
};

constexpr TPriceFields Purchase{"Inprice", "Intaxrate", "TInprice", "Intaxtype"};
constexpr TPriceFields Sale{"SalePrice", "SaleTaxrate", "TSalePrice", "SaleTaxtype"};

TLumoField &fieldOf(const TLumoCLientDataSet &lines, const char *name)
{
    return lines.FieldByName(QLatin1String(name));
}

double number(const TLumoCLientDataSet &lines, const char *name)
{
    return fieldOf(lines, name).Value().toDouble();
}

QString text(const TLumoCLientDataSet &lines, const char *name)
{
    return fieldOf(lines, name).AsString();
}

void bindPrice(TLumoCLientDataSet &lines, const TPriceFields &f, const TLumoCLientDataSet *taxes)
{
    const auto recompute = [&lines, f](TLumoField &) {
        fieldOf(lines, f.withTax).setValue(withTax(number(lines, f.price), number(lines, f.rate)));
    };
    fieldOf(lines, f.price).OnChange = recompute;
    fieldOf(lines, f.rate).OnChange = recompute;
    // The line's own type decides its rate; an empty or unknown type leaves the rate alone.
    fieldOf(lines, f.type).OnChange = [&lines, f, taxes](TLumoField &type) {
        double rate = 0;
        if (taxes && rateOf(*taxes, type.AsString(), &rate))
            fieldOf(lines, f.rate).setValue(rate);
    };
}

} // namespace

double withTax(double price, double rate)
{
    return (rate + 100) * price / 100;
}

TPrdt read(const TLumoCLientDataSet &lines)
{
    TPrdt r;
    r.SpCode = text(lines, "SpCode");
    r.SPName = text(lines, "SPName");
    r.BigPack = text(lines, "BigPack");
    r.PackNum = number(lines, "PackNum");
    r.Measure = text(lines, "Measure");
    r.TInPrice = number(lines, "TInPrice");
    r.InTaxType = text(lines, "InTaxType");
    r.InTaxRate = number(lines, "InTaxRate");
    r.InPrice = number(lines, "InPrice");
    r.TSalePrice = number(lines, "TSalePrice");
    r.SaleTaxType = text(lines, "SaleTaxType");
    r.SaleTaxRate = number(lines, "SaleTaxRate");
    r.SalePrice = number(lines, "SalePrice");
    r.NWeight = number(lines, "NWeight");
    r.GWeight = number(lines, "GWeight");
    r.Cuft = text(lines, "Cuft");
    return r;
}

void assign(TLumoCLientDataSet &lines, const TPrdt &v)
{
    // In this order: the prices including tax come last, so that they keep what the
    // previous line had even where it was typed over.
    const auto set = [&lines](const char *name, const QVariant &value) {
        fieldOf(lines, name).setValue(value);
    };
    set("BigPack", v.BigPack);
    set("Cuft", v.Cuft);
    set("GWeight", v.GWeight);
    set("InPrice", v.InPrice);
    set("InTaxRate", v.InTaxRate);
    set("InTaxType", v.InTaxType);
    set("Measure", v.Measure);
    set("NWeight", v.NWeight);
    set("PackNum", v.PackNum);
    set("SalePrice", v.SalePrice);
    set("SaleTaxRate", v.SaleTaxRate);
    set("SaleTaxType", v.SaleTaxType);
    set("SpCode", v.SpCode);
    set("SPName", v.SPName);
    set("TInPrice", v.TInPrice);
    set("TSalePrice", v.TSalePrice);
}

bool rateOf(const TLumoCLientDataSet &taxes, const QString &type, double *rate)
{
    const TLumoField *code = taxes.FindField(QStringLiteral("Code"));
    const TLumoField *taxRate = taxes.FindField(QStringLiteral("taxrate"));
    if (!code || !taxRate || type.trimmed().isEmpty())
        return false;
    for (int row = 0; row < taxes.RecordCount(); ++row) {
        if (code->valueAt(row).toString().trimmed() == type.trimmed()) {
            *rate = taxRate->valueAt(row).toDouble();
            return true;
        }
    }
    return false;
}

void bindPriceRules(TLumoCLientDataSet &lines, const TLumoCLientDataSet *taxes)
{
    bindPrice(lines, Purchase, taxes);
    bindPrice(lines, Sale, taxes);
}

} // namespace prdtline
