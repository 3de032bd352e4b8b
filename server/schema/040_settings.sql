-- Settings of the account set: the operators' rights and the named system parameters.

-- One row per granted right: the list (SYS, FUNC, RPT), the row of that list's catalogue
-- (from 1) and, for function rights, the operation (0 新增, 1 修改, 2 删除, 3 审核).
-- An employee's rights go with the employee.
CREATE TABLE XRight (
    EmpCode VARCHAR(10) NOT NULL,
    RightList VARCHAR(4) NOT NULL,
    RowNo INTEGER NOT NULL,
    Op INTEGER NOT NULL,
    PRIMARY KEY (EmpCode, RightList, RowNo, Op),
    FOREIGN KEY (EmpCode) REFERENCES XPSEmp (code) ON DELETE CASCADE
);

-- System parameters by name: a parameter without a row has its designed default.
--   NegativeStock: 1 (the default) lets an apply leave stock on hand below zero, 0 refuses it.
CREATE TABLE XSysPara (
    Name VARCHAR(40) NOT NULL PRIMARY KEY,
    Value VARCHAR(255),
    Pic BYTEA
);
