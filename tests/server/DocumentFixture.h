#pragma once
// A small account set with orders, deliveries, receipts, payments and stock, shared by the
// document and report module tests. The account set is the shipped backup DB/BK; the rows
// below come on top of its initial rows (currency 01, company and department 0001,
// employee 0001).

#include "Packet.h"
#include "RunTimeConnection.h"
#include "TestDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace korvane::test {

// Documents of March 2026:
//  purchase orders  202603010001 checked (S1, two lines), 202603050001 entered (S2)
//  sales orders     202603020001 checked (K1), 202603020002 entered and fully delivered (K2),
//                   202603020003 checked, without salesman
//  stock documents  202603030001 receipt (Flag 1) of the first purchase-order line,
//                   202603040001 delivery (Flag 3) of the first sales-order line,
//                   202603040002 transfer (Flag 6) from W1 to W2, entered
//  receipt          202603060001 settles 300 of the first sales order
//  payment          202603060002 settles 100 of the first purchase-order line (entered)
//  invoice          202603070001 blue, sub-kind 1, for K1
inline const char *const DocumentFixtureSql = R"(
INSERT INTO XLocal (code, name) VALUES ('L1', '华东');
INSERT INTO XMeasure (code, name) VALUES ('PCS', '个');
INSERT INTO XPrdtClass (Code, name) VALUES ('C1', '电器');
INSERT INTO XCI (Code, Name) VALUES ('B1', '牌子');
INSERT INTO xFatBn (code, name, localcode, deptcode, connectname, telephone) VALUES ('S1', '供应商一', 'L1', '0001', '张三', '021-1');
INSERT INTO xFatBn (code, name, localcode, deptcode) VALUES ('S2', '供应商二', 'L1', '0001');
INSERT INTO xCustome (code, name, localcode, deptcode, connectname, telephone) VALUES ('K1', '客户一', 'L1', '0001', '李四', '010-1');
INSERT INTO xCustome (code, name, localcode, deptcode) VALUES ('K2', '客户二', 'L1', '0001');
INSERT INTO XStore (code, name, parentc) VALUES ('W1', '一号仓', '0001');
INSERT INTO XStore (code, name, parentc) VALUES ('W2', '二号仓', '0001');
INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('P1', '电视', 'C1', 'B1');
INSERT INTO xprdth (pdtcode, name, classcode, cicode) VALUES ('P2', '冰箱', 'C1', 'B1');
INSERT INTO xprdtb (pdtcode, bodyno, SpecName, spcode, measure, TInprice, Inprice, TSalePrice, SalePrice) VALUES ('P1', '0001', '32寸', 'S1', 'PCS', 117, 100, 234, 200);
INSERT INTO xprdtb (pdtcode, bodyno, SpecName, spcode, measure, TInprice, Inprice, TSalePrice, SalePrice) VALUES ('P1', '0002', '40寸', 'S1', 'PCS', 234, 200, 351, 300);
INSERT INTO xprdtb (pdtcode, bodyno, SpecName, spcode, measure, TInprice, Inprice, TSalePrice, SalePrice) VALUES ('P2', '0001', '双门', 'S2', 'PCS', 117, 100, 234, 200);
INSERT INTO XStock (storecode, pdtcode, pdtno, pqty, badnum, stdpqty, lowpqty) VALUES ('W1', 'P1', '0001', 5, 1, 3, 20);
INSERT INTO XStock (storecode, pdtcode, pdtno, pqty, badnum, stdpqty, lowpqty) VALUES ('W1', 'P2', '0001', 50, 0, 0, 10);
INSERT INTO XStock (storecode, pdtcode, pdtno, pqty, badnum, stdpqty, lowpqty) VALUES ('W2', 'P1', '0002', 2, 0, 0, 4);
INSERT INTO XBuyh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt, RMBtaxamt, mcode, deptcode, State) VALUES ('202603010001', '2026-03-01 09:00:00', 'W1', 'S1', '01', 1, 300, 51, 351, 351, '0001', '0001', '2');
INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount, getpqty) VALUES ('202603010001', '0001', 'P1', '0001', 100, 2, 200, 34, 234, 1);
INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount, getpqty) VALUES ('202603010001', '0002', 'P2', '0001', 100, 1, 100, 17, 117, 0);
INSERT INTO XBuyh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt, RMBtaxamt, mcode, deptcode, State) VALUES ('202603050001', '2026-03-05 10:00:00', 'W1', 'S2', '01', 1, 100, 17, 117, 117, '0001', '0001', '1');
INSERT INTO XBuyb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount) VALUES ('202603050001', '0001', 'P1', '0001', 90, 1, 100, 17, 117);
INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt, RMBtaxamt, mcode, deptcode, State) VALUES ('202603020001', '2026-03-02 11:00:00', 'W1', 'K1', '01', 1, 600, 102, 702, 702, '0001', '0001', '2');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount, getpqty) VALUES ('202603020001', '0001', 'P1', '0001', 200, 3, 600, 102, 702, 1);
INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt, RMBtaxamt, mcode, deptcode, State) VALUES ('202603020002', '2026-03-02 15:00:00', 'W1', 'K2', '01', 1, 200, 34, 234, 234, '0001', '0001', '1');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount, getpqty) VALUES ('202603020002', '0001', 'P1', '0002', 200, 1, 200, 34, 234, 1);
INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, amt, Tax, taxamt, RMBtaxamt, deptcode, State) VALUES ('202603020003', '2026-03-02 16:00:00', 'W1', 'K1', '01', 1, 200, 34, 234, 234, '0001', '2');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, price, pqty, amount, Tax, Taxamount, getpqty) VALUES ('202603020003', '0001', 'P2', '0001', 200, 1, 200, 34, 234, 0);
INSERT INTO xStockChh (headno, Flag, InOutFlag, hdate, Storecode, spcode, deptcode, mcode, State) VALUES ('202603030001', '1', '1', '2026-03-03 08:00:00', 'W1', 'S1', '0001', '0001', '2');
INSERT INTO xStockChb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty) VALUES ('202603030001', '0001', '202603010001', '0001', 'P1', '0001', 1);
INSERT INTO xStockChh (headno, Flag, InOutFlag, hdate, Storecode, spcode, deptcode, mcode, State) VALUES ('202603040001', '3', '1', '2026-03-04 08:00:00', 'W1', 'K1', '0001', '0001', '2');
INSERT INTO xStockChb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty) VALUES ('202603040001', '0001', '202603020001', '0001', 'P1', '0001', 1);
INSERT INTO xStockChh (headno, Flag, InOutFlag, hdate, Storecode, StorecodeIn, deptcode, mcode, State) VALUES ('202603040002', '6', '0', '2026-03-04 09:00:00', 'W1', 'W2', '0001', '0001', '1');
INSERT INTO xStockChb (headno, bodyno, pdtcode, pdtno, pqty) VALUES ('202603040002', '0001', 'P2', '0001', 2);
INSERT INTO XIncomeh (headno, hdate, currency, exchgrate, Taxamt, RMBTaxamt, spcode, deptcode, mcode, State) VALUES ('202603060001', '2026-03-06 10:00:00', '01', 1, 300, 300, 'K1', '0001', '0001', '2');
INSERT INTO XInComeb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty, Taxamount, GetTaxamount) VALUES ('202603060001', '0001', '202603020001', '0001', 'P1', '0001', 3, 702, 300);
INSERT INTO XOutcomeh (headno, hdate, currency, exchgrate, Taxamt, RMBTaxamt, spcode, deptcode, mcode, State) VALUES ('202603060002', '2026-03-06 11:00:00', '01', 1, 100, 100, 'S1', '0001', '0001', '1');
INSERT INTO XoUTComeb (headno, bodyno, LinkHeadno, LinkBodyno, pdtcode, pdtno, pqty, Taxamount, GetTaxamount) VALUES ('202603060002', '0001', '202603010001', '0001', 'P1', '0001', 2, 234, 100);
INSERT INTO xInvoiceh (headno, Flag, InOutFlag, hdate, spcode, deptcode, mcode, currency, Taxamt, State) VALUES ('202603070001', '1', '1', '2026-03-07 10:00:00', 'K1', '0001', '0001', '01', 234, '1');
INSERT INTO xInvoiceb (headno, bodyno, pdtcode, pdtno, pqty, price, amount, Taxamount) VALUES ('202603070001', '0001', 'P1', '0001', 1, 200, 200, 234);
)";

//! Makes the scratch database the run-time connection of the modules created from now on.
inline void useAsRunTimeConnection(const ScratchDb &scratch)
{
    DbConnectionInfo info;
    info.driver = scratch.driver();
    info.databaseName = scratch.databaseName();
    if (scratch.isPostgres()) {
        info.hostName = pgHost();
        info.port = pgPort();
        info.userName = QStringLiteral("postgres");
    }
    setRunTimeConnection(info);
}

//! Runs the shipped backup into the scratch database and makes it the modules' connection.
inline bool loadAccountSet(ScratchDb &scratch)
{
    if (!scratch.runScript(QStringLiteral(KORVANE_DB_DIR "/BK")))
        return false;
    useAsRunTimeConnection(scratch);
    return true;
}

//! Adds the documents above; false with a warning naming the refused statement.
inline bool loadDocuments(const QSqlDatabase &db)
{
    const QStringList statements =
        QString::fromUtf8(DocumentFixtureSql).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QSqlQuery q(db);
    for (const QString &statement : statements) {
        if (statement.trimmed().isEmpty())
            continue;
        if (!q.exec(statement)) {
            qWarning() << statement.trimmed() << q.lastError().text();
            return false;
        }
    }
    return true;
}

//! Request parameters as the client windows send them: the fixed values, every filter pair
//! with both value and twin blank (nothing picked), then the given values, which win.
inline Params requestParams(const QVariantMap &fixed, const QStringList &pairs,
                            const QVariantMap &given)
{
    QVariantMap all = fixed;
    for (const QString &pair : pairs) {
        all.insert(pair, QStringLiteral(" "));
        all.insert(QStringLiteral("tmp") + pair, QStringLiteral(" "));
    }
    for (auto it = given.begin(); it != given.end(); ++it)
        all.insert(it.key(), it.value());
    Params params;
    for (auto it = all.begin(); it != all.end(); ++it)
        params << Param{it.key(), it.value()};
    return params;
}

} // namespace korvane::test
