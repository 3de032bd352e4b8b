-- Account set QUV: stock per store and the head/line tables of the business documents.
-- A document line names a product line that must exist, and a head names existing stores
-- and partners, so a product, store or partner in use cannot be deleted.

CREATE TABLE XStock (
    storecode VARCHAR(10) NOT NULL,
    pdtcode VARCHAR(30) NOT NULL,
    pdtno VARCHAR(4) NOT NULL,
    CalPrice DOUBLE PRECISION,
    StartDate VARCHAR(19),
    startnum DOUBLE PRECISION,
    startbad DOUBLE PRECISION,
    StartPrice DOUBLE PRECISION,
    CalDate VARCHAR(19),
    pqty DOUBLE PRECISION,
    badnum DOUBLE PRECISION,
    stdpqty DOUBLE PRECISION,
    lowpqty DOUBLE PRECISION,
    cntdate VARCHAR(19),
    Note VARCHAR(255),
    PRIMARY KEY (storecode, pdtcode, pdtno),
    FOREIGN KEY (storecode) REFERENCES XStore (code),
    FOREIGN KEY (pdtcode, pdtno) REFERENCES xprdtb (pdtcode, bodyno)
);

-- Stock documents of all nine kinds, told apart by Flag. The serial of headno is drawn
-- over all kinds, so headno alone finds a head's lines.
CREATE TABLE xStockChh (
    headno VARCHAR(15) NOT NULL,
    Flag VARCHAR(1) NOT NULL,
    InOutFlag VARCHAR(1),
    hdate VARCHAR(19),
    Storecode VARCHAR(10),
    StorecodeIn VARCHAR(10),
    spcode VARCHAR(10),
    deptcode VARCHAR(10),
    mcode VARCHAR(10),
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    PRIMARY KEY (headno, Flag),
    FOREIGN KEY (Storecode) REFERENCES XStore (code),
    FOREIGN KEY (StorecodeIn) REFERENCES XStore (code)
);

CREATE TABLE xStockChb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    LinkHeadno VARCHAR(15),
    LinkBodyno VARCHAR(4),
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    note VARCHAR(60),
    PRIMARY KEY (headno, bodyno),
    FOREIGN KEY (pdtcode, pdtno) REFERENCES xprdtb (pdtcode, bodyno)
);

-- Purchase orders.
CREATE TABLE XBuyh (
    headno VARCHAR(15) NOT NULL PRIMARY KEY,
    hdate VARCHAR(19),
    storecode VARCHAR(10),
    Addr VARCHAR(255),
    spcode VARCHAR(10),
    currency VARCHAR(4),
    exchgrate DOUBLE PRECISION,
    amt DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    taxamt DOUBLE PRECISION,
    mcode VARCHAR(10),
    deptcode VARCHAR(10),
    contman VARCHAR(20),
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    RMBtaxamt DOUBLE PRECISION,
    FOREIGN KEY (storecode) REFERENCES XStore (code),
    FOREIGN KEY (spcode) REFERENCES xFatBn (code),
    FOREIGN KEY (currency) REFERENCES XMoney (code)
);

CREATE TABLE XBuyb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    price DOUBLE PRECISION,
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    amount DOUBLE PRECISION,
    taxtype VARCHAR(4),
    taxrate DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    Taxamount DOUBLE PRECISION,
    getpqty DOUBLE PRECISION,
    getday VARCHAR(19),
    ifinish VARCHAR(1),
    note VARCHAR(60),
    getTaxamount DOUBLE PRECISION,
    getamtday VARCHAR(19),
    getamountpqty DOUBLE PRECISION,
    SaleHeadno VARCHAR(15),
    SaleBodyno VARCHAR(4),
    PRIMARY KEY (headno, bodyno),
    FOREIGN KEY (pdtcode, pdtno) REFERENCES xprdtb (pdtcode, bodyno)
);

-- Sales orders.
CREATE TABLE XSaleh (
    headno VARCHAR(15) NOT NULL PRIMARY KEY,
    hdate VARCHAR(19),
    storecode VARCHAR(10),
    Addr VARCHAR(255),
    spcode VARCHAR(10),
    currency VARCHAR(4),
    exchgrate DOUBLE PRECISION,
    amt DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    taxamt DOUBLE PRECISION,
    mcode VARCHAR(10),
    deptcode VARCHAR(10),
    contman VARCHAR(20),
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    RMBtaxamt DOUBLE PRECISION,
    FOREIGN KEY (storecode) REFERENCES XStore (code),
    FOREIGN KEY (spcode) REFERENCES xCustome (code),
    FOREIGN KEY (currency) REFERENCES XMoney (code)
);

CREATE TABLE XSaleb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    price DOUBLE PRECISION,
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    amount DOUBLE PRECISION,
    taxtype VARCHAR(4),
    taxrate DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    Taxamount DOUBLE PRECISION,
    getpqty DOUBLE PRECISION,
    getday VARCHAR(19),
    ifinish VARCHAR(1),
    note VARCHAR(60),
    getTaxamount DOUBLE PRECISION,
    getamtday VARCHAR(19),
    getamountpqty DOUBLE PRECISION,
    oldPrice DOUBLE PRECISION,
    disCount DOUBLE PRECISION,
    PRIMARY KEY (headno, bodyno),
    FOREIGN KEY (pdtcode, pdtno) REFERENCES xprdtb (pdtcode, bodyno)
);

-- Receipts from customers.
CREATE TABLE XIncomeh (
    headno VARCHAR(15) NOT NULL PRIMARY KEY,
    hdate VARCHAR(19),
    currency VARCHAR(4),
    exchgrate DOUBLE PRECISION,
    Taxamt DOUBLE PRECISION,
    PayKind VARCHAR(4),
    spcode VARCHAR(10),
    deptcode VARCHAR(10),
    mcode VARCHAR(10),
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    RMBTaxamt DOUBLE PRECISION,
    FOREIGN KEY (spcode) REFERENCES xCustome (code),
    FOREIGN KEY (currency) REFERENCES XMoney (code),
    FOREIGN KEY (PayKind) REFERENCES XPaykind (code)
);

CREATE TABLE XInComeb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    LinkHeadno VARCHAR(15),
    LinkBodyno VARCHAR(4),
    Flag VARCHAR(1),
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    price DOUBLE PRECISION,
    amount DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    Taxamount DOUBLE PRECISION,
    GetTaxamount DOUBLE PRECISION,
    note VARCHAR(60),
    PRIMARY KEY (headno, bodyno)
);

-- Payments to suppliers.
CREATE TABLE XOutcomeh (
    headno VARCHAR(15) NOT NULL PRIMARY KEY,
    hdate VARCHAR(19),
    currency VARCHAR(4),
    exchgrate DOUBLE PRECISION,
    Taxamt DOUBLE PRECISION,
    PayKind VARCHAR(4),
    spcode VARCHAR(10),
    deptcode VARCHAR(10),
    mcode VARCHAR(10),
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    RMBTaxamt DOUBLE PRECISION,
    FOREIGN KEY (spcode) REFERENCES xFatBn (code),
    FOREIGN KEY (currency) REFERENCES XMoney (code),
    FOREIGN KEY (PayKind) REFERENCES XPaykind (code)
);

CREATE TABLE XoUTComeb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    LinkHeadno VARCHAR(15),
    LinkBodyno VARCHAR(4),
    Flag VARCHAR(1),
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    price DOUBLE PRECISION,
    amount DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    Taxamount DOUBLE PRECISION,
    GetTaxamount DOUBLE PRECISION,
    note VARCHAR(60),
    PRIMARY KEY (headno, bodyno)
);

-- Invoices, blue (Flag 1) and red (Flag 2).
CREATE TABLE xInvoiceh (
    headno VARCHAR(15) NOT NULL PRIMARY KEY,
    Flag VARCHAR(1),
    InOutFlag VARCHAR(1),
    InVoiceNO VARCHAR(20),
    hdate VARCHAR(19),
    spcode VARCHAR(10),
    deptcode VARCHAR(10),
    mcode VARCHAR(10),
    currency VARCHAR(4),
    exchgrate DOUBLE PRECISION,
    amt DOUBLE PRECISION,
    Tax DOUBLE PRECISION,
    Taxamt DOUBLE PRECISION,
    RMBTaxamt DOUBLE PRECISION,
    taxtype VARCHAR(4),
    taxrate DOUBLE PRECISION,
    inputer VARCHAR(10),
    Assessorcode VARCHAR(10),
    AssessorDate VARCHAR(19),
    State VARCHAR(1),
    note VARCHAR(100),
    FOREIGN KEY (currency) REFERENCES XMoney (code)
);

CREATE TABLE xInvoiceb (
    headno VARCHAR(15) NOT NULL,
    bodyno VARCHAR(4) NOT NULL,
    LinkHeadno VARCHAR(15),
    LinkBodyno VARCHAR(4),
    pdtcode VARCHAR(30),
    pdtno VARCHAR(4),
    BigPackNum BIGINT,
    PackNum DOUBLE PRECISION,
    pqty DOUBLE PRECISION,
    price DOUBLE PRECISION,
    amount DOUBLE PRECISION,
    note VARCHAR(60),
    Tax DOUBLE PRECISION,
    Taxamount DOUBLE PRECISION,
    PRIMARY KEY (headno, bodyno)
);
