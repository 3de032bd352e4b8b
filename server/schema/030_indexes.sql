-- Indexes for the lists and reports. Document lists walk their heads in number order (of
-- one kind where a table holds several) and test the date in the same index, so the first
-- rows come without sorting the range. The reports compare the first ten characters of the
-- date, so their index is on that expression. No other index leads with a column the lists
-- filter on optionally: a planner that knows how few partners or stores there are would skip
-- through it and sort the range instead. Then partners, stores, departments, product lines
-- and the links that settle order lines.

CREATE INDEX ixStockChhDate ON xStockChh ((substr(hdate, 1, 10)), Flag);
CREATE INDEX ixStockChhFlag ON xStockChh (Flag, headno, hdate);
CREATE INDEX ixStockChhSp ON xStockChh (spcode);
CREATE INDEX ixStockChhStore ON xStockChh (Storecode);
CREATE INDEX ixStockChhDept ON xStockChh (deptcode);
CREATE INDEX ixStockChbPdt ON xStockChb (pdtcode, pdtno);
CREATE INDEX ixStockChbLink ON xStockChb (LinkHeadno, LinkBodyno);

CREATE INDEX ixBuyhDate ON XBuyh ((substr(hdate, 1, 10)));
CREATE INDEX ixBuyhList ON XBuyh (headno, hdate);
CREATE INDEX ixBuyhSp ON XBuyh (spcode);
CREATE INDEX ixBuyhStore ON XBuyh (storecode);
CREATE INDEX ixBuyhDept ON XBuyh (deptcode);
CREATE INDEX ixBuybPdt ON XBuyb (pdtcode, pdtno);
CREATE INDEX ixBuybSale ON XBuyb (SaleHeadno, SaleBodyno);

CREATE INDEX ixSalehDate ON XSaleh ((substr(hdate, 1, 10)));
CREATE INDEX ixSalehList ON XSaleh (headno, hdate);
CREATE INDEX ixSalehSp ON XSaleh (spcode);
CREATE INDEX ixSalehStore ON XSaleh (storecode);
CREATE INDEX ixSalehDept ON XSaleh (deptcode);
CREATE INDEX ixSalebPdt ON XSaleb (pdtcode, pdtno);

CREATE INDEX ixIncomehDate ON XIncomeh ((substr(hdate, 1, 10)));
CREATE INDEX ixIncomehList ON XIncomeh (headno, hdate);
CREATE INDEX ixIncomehSp ON XIncomeh (spcode);
CREATE INDEX ixIncomehDept ON XIncomeh (deptcode);
CREATE INDEX ixIncomebLink ON XInComeb (LinkHeadno, LinkBodyno);

CREATE INDEX ixOutcomehDate ON XOutcomeh ((substr(hdate, 1, 10)));
CREATE INDEX ixOutcomehList ON XOutcomeh (headno, hdate);
CREATE INDEX ixOutcomehSp ON XOutcomeh (spcode);
CREATE INDEX ixOutcomehDept ON XOutcomeh (deptcode);
CREATE INDEX ixOutcomebLink ON XoUTComeb (LinkHeadno, LinkBodyno);

CREATE INDEX ixInvoicehDate ON xInvoiceh ((substr(hdate, 1, 10)), Flag);
CREATE INDEX ixInvoicehList ON xInvoiceh (Flag, headno, hdate);
CREATE INDEX ixInvoicehSp ON xInvoiceh (spcode);
CREATE INDEX ixInvoicehDept ON xInvoiceh (deptcode);
CREATE INDEX ixInvoicebPdt ON xInvoiceb (pdtcode, pdtno);

CREATE INDEX ixStockPdt ON XStock (pdtcode, pdtno);

CREATE INDEX ixPrdthClass ON xprdth (classcode);
CREATE INDEX ixPsEmpDept ON XPSEmp (deptcode);
CREATE INDEX ixDeptCorp ON xDept (CorpCode);
CREATE INDEX ixStoreDept ON XStore (parentc);
CREATE INDEX ixCustomeDept ON xCustome (deptcode);
CREATE INDEX ixFatBnDept ON xFatBn (deptcode);
