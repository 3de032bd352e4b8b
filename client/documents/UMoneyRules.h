#pragma once
//! The money arithmetic of priced documents: the exchange rate that follows the currency,
//! the home-currency total, and a line's amount and total with tax.

class TLumoCLientDataSet;

namespace moneyrules {

//! A change of `currency` sets `exchgrate` to that currency's rate in the shared list.
void bindCurrencyRate(TLumoCLientDataSet &heads);

//! A change of `Taxamt` or `exchgrate` sets `RMBTaxamt` = `Taxamt` × `exchgrate`; with
//! zeroTakesTotal, a product of zero gives `Taxamt` itself.
void bindHomeTotal(TLumoCLientDataSet &heads, bool zeroTakesTotal);

//! `pqty` or `price` changed: `amount` = `pqty` × `price`, after what `pqty` already did
//! when keepQuantityRule (the package rule), instead of it otherwise; `amount` or `Tax`
//! changed: `Taxamount` = `amount` + `Tax`.
void bindLineMoney(TLumoCLientDataSet &lines, bool keepQuantityRule);

//! The head ready to take totals: put in edit when it is browsing. False when it refused.
bool headEditable(TLumoCLientDataSet &heads);

} // namespace moneyrules
