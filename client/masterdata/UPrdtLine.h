#pragma once
//! The rules of a product line: prices including tax follow price and rate, a tax type
//! brings its rate, and a new line may start from the values of the line before it.

#include <QString>

class TLumoCLientDataSet;

//! The values a new product line takes from the line before it (or the empty line).
struct TPrdt
{
    QString SpCode;
    QString SPName;
    QString BigPack;
    double PackNum = 0;
    QString Measure;
    double TInPrice = 0;
    QString InTaxType;
    double InTaxRate = 0;
    double InPrice = 0;
    double TSalePrice = 0;
    QString SaleTaxType;
    double SaleTaxRate = 0;
    double SalePrice = 0;
    double NWeight = 0;
    double GWeight = 0;
    QString Cuft;

    bool operator==(const TPrdt &) const = default;
};

namespace prdtline {

//! A price including tax: (rate + 100) × price ÷ 100.
double withTax(double price, double rate);

//! The current line's values.
TPrdt read(const TLumoCLientDataSet &lines);
//! Gives the current line the values, each assignment applying the price rules.
void assign(TLumoCLientDataSet &lines, const TPrdt &values);

//! The rate of a tax type in the tax list (Code, taxrate); false when the list lacks it.
bool rateOf(const TLumoCLientDataSet &taxes, const QString &type, double *rate);

//! Binds the price rules to the line fields: price or rate changed recomputes the price
//! including tax; a tax type changed takes its rate from the tax list, when it has one.
void bindPriceRules(TLumoCLientDataSet &lines, const TLumoCLientDataSet *taxes);

} // namespace prdtline
