#pragma once
//! Posting: checked documents keep the balances current. Stock per store and product line
//! (XStock.pqty), what order lines have received or delivered (getpqty, ifinish) and settled
//! (getTaxamount), the quantity on order per store (stdpqty) and the last count (cntdate).
//!
//! An apply that touches documents reads their effect before and after it, inside its
//! transaction, and moves the balances by the difference: checking posts, deleting a checked
//! document takes its effect back, changing a checked one posts the change, and a refused or
//! rolled-back apply posts nothing. Balances move by relative updates taken in key order, so
//! two transactions never deadlock on each other.

#include "PostingEffect.h"
#include "PostingStatements.h"

#include <QSqlDatabase>
#include <QStringList>

namespace korvane {

class Posting
{
public:
    //! headTable: the update table of the apply (any case).
    Posting(QSqlDatabase db, const QString &headTable);

    //! Whether documents of this head table move balances.
    static bool posts(const QString &headTable);
    //! The document numbers a change set touches: its rows' old and new "headno".
    static QStringList touchedHeads(const ChangeSet &delta);

    //! What the change set's documents (or stock rows) do as they stand before it is applied.
    void before(const ChangeSet &delta);
    //! What they do after it, and the difference written to the balances. Throws ServerError.
    void after();

private:
    struct Opening
    {
        double startnum = 0;
        double pqty = 0;
    };
    std::map<StockKey, Opening> openingOf(const std::set<StockKey> &keys);
    void afterOpeningStock();

    QSqlDatabase m_db;
    // Prepared once for the apply: the same reads run before and after it.
    PostingStatements m_statements;
    PostingTable m_table;
    QStringList m_heads;
    Effect m_before;
    // Stock rows edited directly (the opening-stock window): their opening quantities before.
    std::set<StockKey> m_stockRows;
    std::map<StockKey, Opening> m_opening;
};

//! A balance whose stored value is not what the checked documents say.
struct BalanceDifference
{
    QString balance; // "XStock S01/E1001/0001 pqty"
    QVariant stored;
    QVariant recomputed;
};

//! Every balance worked out afresh from the opening stock and all checked documents, through
//! the same effects the applies post; with fix, the recomputed values are written (in one
//! transaction). Throws ServerError.
QList<BalanceDifference> recomputeBalances(QSqlDatabase db, bool fix);
//! The same inside a transaction the caller holds.
QList<BalanceDifference> auditBalances(QSqlDatabase db, bool fix);

} // namespace korvane
