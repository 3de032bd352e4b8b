#pragma once
//! Writing the difference of two effects into the balances, a few statements over all the
//! rows touched: the stock rows are locked first, in key order, so two transactions never
//! deadlock on each other; each kind of balance then moves by one relative update.

#include "PostingEffect.h"
#include "PostingStatements.h"

namespace korvane {

//! Moves the balances by the difference, creating stock rows that do not exist yet with
//! zero opening values, then works out the derived balances (quantity on order, finished
//! marks, count dates) of what it touched. Throws ServerError.
void writeDifference(PostingStatements &statements, const Effect &difference);

//! Locks the stock rows in key order and creates those of create that are not there yet,
//! with zero opening values. Throws ServerError.
void lockStock(PostingStatements &statements, const std::set<StockKey> &keys,
               const std::set<StockKey> &create);
//! Sets the stock rows' quantity on hand. Throws ServerError.
void setOnHand(PostingStatements &statements, const std::map<StockKey, double> &pqty);
//! Works out the stock rows' quantity on order again: the open quantity of their checked
//! purchase lines. Lock the rows beforehand, so that a concurrent apply's committed lines
//! are counted. Throws ServerError.
void writeOnOrder(PostingStatements &statements, const std::set<StockKey> &keys);

//! The VALUES row of a stock key and its marks.
QVariantList stockKeyValues(const StockKey &key);
extern const QString kStockKeyMarks;
//! "(VALUES %1) AS v JOIN XStock s …": the stock rows of a list of keys.
QString stockRowsOfValues();
//! A stock key as a statement returns it in its first three columns (not trimmed: the key
//! the rows were found by).
StockKey stockKeyOf(const QSqlQuery &query);

} // namespace korvane
