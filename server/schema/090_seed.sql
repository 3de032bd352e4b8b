-- Initial rows of a new account set: the attribute lists, the sub-kinds of stock documents
-- and invoices, the home currency, one company, one department and the administrator.

INSERT INTO XMarryAttr (Code, Name) VALUES ('1', '未婚'), ('2', '已婚'), ('3', '离异'), ('4', '丧偶');
INSERT INTO XSexAttr (Code, Name) VALUES ('1', '男'), ('2', '女');
INSERT INTO XUPEAttr (Code, Name) VALUES ('1', 'A'), ('2', 'B'), ('3', 'AB'), ('4', 'O');
INSERT INTO XSalType (Code, Name) VALUES ('1', '月薪'), ('2', '计时'), ('3', '计件');
INSERT INTO xempType (Code, Name) VALUES ('1', '正式'), ('2', '试用'), ('3', '临时');
INSERT INTO XOverType (Code, Name) VALUES ('1', '不计加班'), ('2', '按小时计'), ('3', '按天计');
INSERT INTO xInvoiceType (Code, Name) VALUES ('1', '蓝字发票'), ('2', '红字发票');
INSERT INTO xDocState (Code, Name) VALUES ('1', '未审核'), ('2', '已审核');
INSERT INTO xDisattr (Code, Name) VALUES ('1', '折扣率'), ('2', '折扣额');
INSERT INTO xBoolAttr (Code, Name) VALUES ('0', '否'), ('1', '是');

-- Sub-kinds of the stock documents by Flag. InOut tells what the sub-kind does to the
-- stock of the document's store: I into stock, O out of stock (a transfer takes from
-- the issuing store and puts into the receiving one).
INSERT INTO XStockChAttr (Flag, InOutFlag, Name, InOut) VALUES
    ('1', '1', '采购入库', 'I'),
    ('2', '1', '采购退货', 'O'),
    ('3', '1', '销售出库', 'O'),
    ('4', '1', '销售退货', 'I'),
    ('5', '0', '盘亏', 'O'),
    ('5', '1', '盘盈', 'I'),
    ('6', '0', '调拨', 'O'),
    ('7', '0', '报废', 'O'),
    ('8', '0', '生产领料', 'O'),
    ('8', '1', '生产退料', 'I'),
    ('9', '0', '其他出库', 'O'),
    ('9', '1', '其他入库', 'I');

-- Invoice sub-kinds for blue (1) and red (2) invoices: 0 ordinary, 1 value-added tax.
INSERT INTO XInvoiceAttr (Flag, InOutFlag, Name) VALUES
    ('1', '0', '普通发票'),
    ('1', '1', '增值税发票'),
    ('2', '0', '普通发票（红字）'),
    ('2', '1', '增值税发票（红字）');

INSERT INTO XMoney (code, name, ename, rate) VALUES ('01', '人民币', 'RMB', 1);

INSERT INTO xcorp (code, name) VALUES ('0001', '本公司');
INSERT INTO xDept (code, name, CorpCode) VALUES ('0001', '总部', '0001');

-- The administrator: code 0001, password 0001, stored as its salted hash.
INSERT INTO XPSEmp (code, name, deptcode, Corpcode, PWD) VALUES ('0001', '系统管理员', '0001', '0001',
    'pbkdf2-sha256$600000$Zgol6LYwImu5mbrT7Dz9qg==$uFKWxX5wXVTTQMUJFVJDl9VwFyy0ZKbNbMpLp5wTVOk=');

-- The administrator holds every right: the 4 system rights, the 4 operations of the 35
-- function rights and the 41 report rights.
INSERT INTO XRight (EmpCode, RightList, RowNo, Op)
WITH RECURSIVE n (i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 41)
SELECT '0001', 'SYS', i, 0 FROM n WHERE i <= 4
UNION ALL
SELECT '0001', 'FUNC', r.i, o.i - 1 FROM n r, n o WHERE r.i <= 35 AND o.i <= 4
UNION ALL
SELECT '0001', 'RPT', i, 0 FROM n;
