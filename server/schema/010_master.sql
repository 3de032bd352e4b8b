-- Account set QUV: code tables, attribute tables, organisation, partners, products.
-- Portable SQL for SQLite and PostgreSQL: every statement ends with a semicolon at the end
-- of a line, and no other semicolon appears in this folder (the restore splits on it).
-- Texts are VARCHAR of the width the operators know, floats DOUBLE PRECISION, pictures BYTEA.
-- Foreign keys keep a code that is still referenced from being deleted, and refuse a
-- reference to a code that does not exist. A cleared reference is NULL.

CREATE TABLE XCI (
    Code VARCHAR(4) NOT NULL PRIMARY KEY,
    Name VARCHAR(20)
);

CREATE TABLE XLocal (
    code VARCHAR(4) NOT NULL PRIMARY KEY,
    name VARCHAR(20)
);

CREATE TABLE XMoney (
    code VARCHAR(4) NOT NULL PRIMARY KEY,
    name VARCHAR(20),
    ename VARCHAR(20),
    rate DOUBLE PRECISION
);

CREATE TABLE XPaykind (
    code VARCHAR(4) NOT NULL PRIMARY KEY,
    name VARCHAR(20)
);

CREATE TABLE XMeasure (
    code VARCHAR(4) NOT NULL PRIMARY KEY,
    name VARCHAR(20)
);

CREATE TABLE XTaxAttr (
    Code VARCHAR(4) NOT NULL PRIMARY KEY,
    Name VARCHAR(30),
    taxrate DOUBLE PRECISION
);

CREATE TABLE xcredit (
    Code VARCHAR(4) NOT NULL PRIMARY KEY,
    Name VARCHAR(20),
    CNum DOUBLE PRECISION
);

CREATE TABLE XDuty (
    Code VARCHAR(4) NOT NULL PRIMARY KEY,
    Name VARCHAR(20),
    BaseSal DOUBLE PRECISION,
    Addsal DOUBLE PRECISION,
    Note VARCHAR(100)
);

CREATE TABLE XEdu (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10),
    note VARCHAR(30)
);

CREATE TABLE XPolity (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

-- Attribute tables: fixed lists read in full by the lookup module, kept by no window.

CREATE TABLE XMarryAttr (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE XSexAttr (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE XSalType (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE xempType (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE XOverType (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE xInvoiceType (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE xDocState (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE xDisattr (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE xBoolAttr (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(10)
);

CREATE TABLE XUPEAttr (
    Code VARCHAR(1) NOT NULL PRIMARY KEY,
    Name VARCHAR(4)
);

CREATE TABLE XStockChAttr (
    Flag VARCHAR(1) NOT NULL,
    InOutFlag VARCHAR(1) NOT NULL,
    Name VARCHAR(40),
    InOut VARCHAR(1),
    PRIMARY KEY (Flag, InOutFlag)
);

CREATE TABLE XInvoiceAttr (
    Flag VARCHAR(1) NOT NULL,
    InOutFlag VARCHAR(1) NOT NULL,
    Name VARCHAR(40),
    PRIMARY KEY (Flag, InOutFlag)
);

-- Organisation.

CREATE TABLE xcorp (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(100),
    ename VARCHAR(100),
    address VARCHAR(100),
    zipcode VARCHAR(6),
    Tel VARCHAR(30),
    fax VARCHAR(30),
    serno VARCHAR(20),
    taxno VARCHAR(20),
    bank VARCHAR(100),
    bankid VARCHAR(20),
    manager VARCHAR(10),
    opendate VARCHAR(19),
    parent VARCHAR(10)
);

CREATE TABLE xDept (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(100),
    ename VARCHAR(100),
    address VARCHAR(100),
    zipcode VARCHAR(6),
    Tel VARCHAR(30),
    fax VARCHAR(30),
    manager VARCHAR(10),
    opendate VARCHAR(19),
    CorpCode VARCHAR(10),
    FOREIGN KEY (CorpCode) REFERENCES xcorp (code)
);

CREATE TABLE XStore (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(100),
    address VARCHAR(120),
    serno VARCHAR(10),
    manager VARCHAR(10),
    parentc VARCHAR(10),
    caldate VARCHAR(19),
    NOTe VARCHAR(100),
    FOREIGN KEY (parentc) REFERENCES xDept (code)
);

-- Employees are also the users. PWD holds the salted hash of the password (see README),
-- hence wider than the 16 characters an operator may type.
CREATE TABLE XPSEmp (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(10),
    pic BYTEA,
    PicDir VARCHAR(100),
    bdate VARCHAR(19),
    ifmar VARCHAR(1),
    educode VARCHAR(1),
    polityCode VARCHAR(1),
    native VARCHAR(100),
    splace VARCHAR(100),
    idno VARCHAR(18),
    sexb VARCHAR(1),
    upe VARCHAR(1),
    addr VARCHAR(100),
    zip VARCHAR(6),
    tel1 VARCHAR(16),
    tel2 VARCHAR(16),
    email VARCHAR(100),
    deptcode VARCHAR(10),
    Corpcode VARCHAR(10),
    telman VARCHAR(10),
    skill1 VARCHAR(100),
    skill2 VARCHAR(100),
    emptype VARCHAR(1),
    startday VARCHAR(19),
    saltype VARCHAR(1),
    duticode VARCHAR(4),
    basesary DOUBLE PRECISION,
    addsary DOUBLE PRECISION,
    bankno VARCHAR(18),
    overtype VARCHAR(1),
    safeno VARCHAR(20),
    specdays DOUBLE PRECISION,
    note VARCHAR(48),
    PWD VARCHAR(128),
    FOREIGN KEY (deptcode) REFERENCES xDept (code),
    FOREIGN KEY (Corpcode) REFERENCES xcorp (code),
    FOREIGN KEY (duticode) REFERENCES XDuty (Code)
);

-- Partners: customers and suppliers share one layout.

CREATE TABLE xCustome (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(140),
    sname VARCHAR(60),
    address VARCHAR(255),
    zip VARCHAR(6),
    localcode VARCHAR(4),
    connectname VARCHAR(20),
    Decription VARCHAR(20),
    telephone VARCHAR(30),
    mobileno VARCHAR(30),
    fax VARCHAR(30),
    url VARCHAR(50),
    email VARCHAR(100),
    deptcode VARCHAR(10),
    capital DOUBLE PRECISION,
    staffnum BIGINT,
    taxno VARCHAR(15),
    bank VARCHAR(50),
    bankid VARCHAR(20),
    moneycode VARCHAR(4),
    creditcode VARCHAR(4),
    creditrm DOUBLE PRECISION,
    opendate VARCHAR(19),
    overdate VARCHAR(19),
    spec1 VARCHAR(40),
    spec2 VARCHAR(40),
    note VARCHAR(100),
    FOREIGN KEY (localcode) REFERENCES XLocal (code),
    FOREIGN KEY (deptcode) REFERENCES xDept (code),
    FOREIGN KEY (moneycode) REFERENCES XMoney (code),
    FOREIGN KEY (creditcode) REFERENCES xcredit (Code)
);

CREATE TABLE xFatBn (
    code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(140),
    sname VARCHAR(60),
    address VARCHAR(255),
    zip VARCHAR(6),
    localcode VARCHAR(4),
    connectname VARCHAR(20),
    Decription VARCHAR(20),
    telephone VARCHAR(30),
    mobileno VARCHAR(30),
    fax VARCHAR(30),
    url VARCHAR(50),
    email VARCHAR(100),
    deptcode VARCHAR(10),
    capital DOUBLE PRECISION,
    staffnum BIGINT,
    taxno VARCHAR(15),
    bank VARCHAR(50),
    bankid VARCHAR(20),
    moneycode VARCHAR(4),
    creditcode VARCHAR(4),
    creditrm DOUBLE PRECISION,
    opendate VARCHAR(19),
    overdate VARCHAR(19),
    spec1 VARCHAR(40),
    spec2 VARCHAR(40),
    note VARCHAR(100),
    FOREIGN KEY (localcode) REFERENCES XLocal (code),
    FOREIGN KEY (deptcode) REFERENCES xDept (code),
    FOREIGN KEY (moneycode) REFERENCES XMoney (code),
    FOREIGN KEY (creditcode) REFERENCES xcredit (Code)
);

-- Products and their variants.

CREATE TABLE XSpech (
    hcode VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(40),
    name_e VARCHAR(40)
);

CREATE TABLE XSpecb (
    hcode VARCHAR(10) NOT NULL,
    bcode VARCHAR(10) NOT NULL,
    name VARCHAR(40),
    name_e VARCHAR(40),
    PRIMARY KEY (hcode, bcode)
);

CREATE TABLE XPrdtClass (
    Code VARCHAR(10) NOT NULL PRIMARY KEY,
    name VARCHAR(40),
    name_e VARCHAR(40),
    hspecno1 VARCHAR(10),
    hspecno2 VARCHAR(10),
    hspecno3 VARCHAR(10),
    hspecno4 VARCHAR(10),
    hspecno5 VARCHAR(10),
    hspecno6 VARCHAR(10)
);

CREATE TABLE xprdth (
    pdtcode VARCHAR(30) NOT NULL PRIMARY KEY,
    name VARCHAR(60),
    name_e VARCHAR(60),
    classcode VARCHAR(10),
    cicode VARCHAR(4),
    FOREIGN KEY (classcode) REFERENCES XPrdtClass (Code),
    FOREIGN KEY (cicode) REFERENCES XCI (Code)
);

CREATE TABLE xprdtb (
    pdtcode VARCHAR(30) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    SpecName VARCHAR(255),
    barcode VARCHAR(30),
    spcode VARCHAR(10),
    measure VARCHAR(4),
    BigPack VARCHAR(4),
    PackNum DOUBLE PRECISION,
    TInprice DOUBLE PRECISION,
    Inprice DOUBLE PRECISION,
    Intaxtype VARCHAR(4),
    Intaxrate DOUBLE PRECISION,
    TSalePrice DOUBLE PRECISION,
    SalePrice DOUBLE PRECISION,
    SaleTaxtype VARCHAR(4),
    SaleTaxrate DOUBLE PRECISION,
    cuft VARCHAR(30),
    nweight DOUBLE PRECISION,
    gweight DOUBLE PRECISION,
    Pic BYTEA,
    PicDir VARCHAR(100),
    Note VARCHAR(255),
    PRIMARY KEY (pdtcode, bodyno)
);
