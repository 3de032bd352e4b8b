#include "UMoneyRules.h"

#include "LumoCLientDataSet.h"
#include "UDMMain.h"

namespace moneyrules {

namespace {

double number(const TLumoCLientDataSet &ds, const char *name)
{
    return ds.FieldByName(QLatin1String(name)).AsFloat();
}

void set(TLumoCLientDataSet &ds, const char *name, double value)
{
    ds.FieldByName(QLatin1String(name)).setValue(value);
}

//! The rate of a currency in the data module's currency list; null when it is not there.
QVariant rateOf(const QString &currency)
{
    TLumoCLientDataSet *money = dmMain ? dmMain->lookup(QStringLiteral("dspMoney")) : nullptr;
    if (!money || !money->Active() || currency.isEmpty())
        return {};
    // The list box positions the list on the chosen row; a code set otherwise is found.
    if (money->FieldByName(QStringLiteral("Code")).AsString() != currency &&
        !money->LocateValues(QStringLiteral("Code"), {currency}, true))
        return {};
    const TLumoField *rate = money->FindField(QStringLiteral("Rate"));
    return rate ? rate->Value() : QVariant();
}

} // namespace

void bindCurrencyRate(TLumoCLientDataSet &heads)
{
    TLumoCLientDataSet *ds = &heads;
    heads.FieldByName(QStringLiteral("currency")).OnChange = [ds](TLumoField &currency) {
        const QVariant rate = rateOf(currency.AsString());
        if (!rate.isNull())
            ds->FieldByName(QStringLiteral("exchgrate")).setValue(rate.toDouble());
    };
}

void bindHomeTotal(TLumoCLientDataSet &heads, bool zeroTakesTotal)
{
    TLumoCLientDataSet *ds = &heads;
    const auto homeTotal = [ds, zeroTakesTotal](TLumoField &) {
        const double total = number(*ds, "Taxamt");
        const double home = total * number(*ds, "exchgrate");
        set(*ds, "RMBTaxamt", home == 0 && zeroTakesTotal ? total : home);
    };
    heads.FieldByName(QStringLiteral("Taxamt")).OnChange = homeTotal;
    heads.FieldByName(QStringLiteral("exchgrate")).OnChange = homeTotal;
}

void bindLineMoney(TLumoCLientDataSet &lines, bool keepQuantityRule)
{
    TLumoCLientDataSet *ds = &lines;
    TLumoField &quantity = lines.FieldByName(QStringLiteral("pqty"));
    const TFieldNotifyEvent quantityRule = keepQuantityRule ? quantity.OnChange : nullptr;
    const auto amount = [ds](TLumoField &) {
        set(*ds, "amount", number(*ds, "pqty") * number(*ds, "price"));
    };
    quantity.OnChange = [quantityRule, amount](TLumoField &field) {
        if (quantityRule)
            quantityRule(field);
        amount(field);
    };
    lines.FieldByName(QStringLiteral("price")).OnChange = amount;
    const auto total = [ds](TLumoField &) {
        set(*ds, "Taxamount", number(*ds, "amount") + number(*ds, "Tax"));
    };
    lines.FieldByName(QStringLiteral("amount")).OnChange = total;
    lines.FieldByName(QStringLiteral("Tax")).OnChange = total;
}

bool headEditable(TLumoCLientDataSet &heads)
{
    if (heads.State() == TDataSetState::dsBrowse)
        return heads.Edit();
    return heads.State() != TDataSetState::dsInactive;
}

} // namespace moneyrules
