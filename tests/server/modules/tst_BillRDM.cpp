// The document module in-process over the shipped account set: documents with their lines,
// the filters of every provider, numbering, key tests and the document check.

#include "AutoGainNO.h"
#include "LumoDatasetprovider.h"
#include "ModuleTestKit.h"
#include "UBillRDM.h"

#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

//! The filter parameters of a list: dates of March 2026, nothing picked, then the given ones.
Params paramsOf(const QVariantMap &given)
{
    return requestParams({{"BeginDate", "2026-03-01"}, {"EndDate", "2026-03-31"}},
                         {"StoreCode", "spCode", "DeptCode", "InOutFlag", "pdtcode", "pdtNo"},
                         given);
}

//! Each row's key, its key fields joined by '/'.
QStringList keysOf(const Packet &packet, const QStringList &keyFields)
{
    QStringList keys;
    for (const RowValues &row : packet.rows) {
        QStringList parts;
        for (const QString &f : keyFields)
            parts << row.at(packet.indexOf(f)).toString();
        keys << parts.join(QLatin1Char('/'));
    }
    return keys;
}

QVariant cell(const Packet &packet, const RowValues &row, const QString &field)
{
    return row.value(packet.indexOf(field));
}

} // namespace

class TestBillRDM : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { AutoGainNO::instance().setClock({}); }
    void cleanupTestCase() { m_shared.clear(); }

    void documentComesBackWithLinesAndNames_data() { addBackendRows(); }
    void documentComesBackWithLinesAndNames();
    void documentsNameTheirLines_data();
    void documentsNameTheirLines();
    void providerFilters_data();
    void providerFilters();
    void openAmountsCountWhatWasSettled_data() { addBackendRows(); }
    void openAmountsCountWhatWasSettled();
    void numberingAndKeyTests_data() { addBackendRows(); }
    void numberingAndKeyTests();
    void keyExistChecksNames_data();
    void keyExistChecksNames();
    void checkBillChangesNothing_data() { addBackendRows(); }
    void checkBillChangesNothing();
    void refusesWhatIsNotOffered_data() { addBackendRows(); }
    void refusesWhatIsNotOffered();

private:
    //! The documents account set of a backend, loaded once for the tests that only read.
    AccountSet &readOnlySet(const QString &backend)
    {
        std::unique_ptr<AccountSet> &set = m_shared[backend];
        if (!set) {
            set = std::make_unique<AccountSet>(backend);
            set->ok = set->ok && loadDocuments(set->scratch.db());
        }
        useAsRunTimeConnection(set->scratch);
        return *set;
    }

    std::map<QString, std::unique_ptr<AccountSet>> m_shared;
};

void TestBillRDM::documentComesBackWithLinesAndNames()
{
    QFETCH(QString, backend);
    AccountSet db(backend);
    QVERIFY(db.ok && loadDocuments(db.scratch.db()));
    AutoGainNO::instance().clear();
    AutoGainNO::instance().setClock([] { return QDate(2026, 3, 10); });
    TBillRDM bill;

    const Params query =
        paramsOf({{"BeginDate", "2026-03-10"}, {"EndDate", "2026-03-10"}, {"Flag", "1"}});
    const Packet empty = records(bill, "dspBuyInOut", query);
    QVERIFY(empty.rows.isEmpty());
    const int nested = empty.indexOf("qryBuyInOutD");
    QVERIFY(nested >= 0);
    const Fields lineFields = empty.fields.at(nested).fields;

    const QString headno = bill.call("GetHeadNO", {"xStockChh"}, nullptr).toString();
    QCOMPARE(headno, QString("202603100001"));
    ChangeSet save = insertion(empty.fields, {{"headno", headno},
                                              {"Flag", "1"},
                                              {"InOutFlag", "1"},
                                              {"hdate", "2026-03-10 14:30:00"},
                                              {"Storecode", "W1"},
                                              {"spcode", "S1"},
                                              {"deptcode", "0001"},
                                              {"mcode", "0001"},
                                              {"State", "1"},
                                              {"StoreName", "not stored"}});
    ChangeSet lines = insertion(lineFields, {{"headno", headno},
                                             {"bodyno", "0001"},
                                             {"LinkHeadno", "202603010001"},
                                             {"LinkBodyno", "0002"},
                                             {"pdtcode", "P2"},
                                             {"pdtno", "0001"},
                                             {"pqty", 1.0}});
    lines.rows << insertion(lineFields, {{"headno", headno},
                                         {"bodyno", "0002"},
                                         {"pdtcode", "P1"},
                                         {"pdtno", "0001"},
                                         {"pqty", 2.5}})
                      .rows;
    save.rows[0].details << qMakePair(nested, lines);
    const ApplyResult applied = bill.applyUpdates("dspBuyInOut", save, 0);
    QVERIFY2(applied.errorCount == 0, qPrintable(errorsOf(applied)));

    const Packet back = records(bill, "dspBuyInOut", query);
    QCOMPARE(back.rows.size(), 1);
    const PacketRow head = back.rows.first();
    QCOMPARE(cell(back, head, "headno").toString(), headno);
    QCOMPARE(cell(back, head, "StoreName").toString(), QString("一号仓"));
    QCOMPARE(cell(back, head, "Spname").toString(), QString("供应商一"));
    QCOMPARE(cell(back, head, "DeptName").toString(), QString("总部"));
    QCOMPARE(cell(back, head, "MName").toString(), QString("系统管理员"));

    Packet linePacket;
    linePacket.fields = back.fields.at(back.indexOf("qryBuyInOutD")).fields;
    linePacket.rows = head.detailRows(back.indexOf("qryBuyInOutD"));
    QCOMPARE(keysOf(linePacket, {"bodyno", "PdtName", "specname", "LinkHeadno"}),
             QStringList({"0001/冰箱/双门/202603010001", "0002/电视/32寸/"}));
    QCOMPARE(cell(linePacket, linePacket.rows.at(1), "pqty").toDouble(), 2.5);

    // The joined store name went nowhere; the next number follows the saved one.
    QCOMPARE(db.scalar("SELECT count(*) FROM xStockChb WHERE headno = '202603100001'").toInt(), 2);
    AutoGainNO::instance().clear();
    QCOMPARE(bill.call("GetHeadno", {"XSTOCKCHH"}, nullptr).toString(), QString("202603100002"));
}

void TestBillRDM::documentsNameTheirLines_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("nested");
    QTest::addColumn<QStringList>("names"); // joined name columns of the head
    // Three providers share one line table: the name of their lines is declared, not derived.
    const QList<std::tuple<const char *, const char *, QStringList>> cases{
        {"dspBuyInOut", "qryBuyInOutD", {"StoreName", "Spname", "DeptName", "MName"}},
        {"dspSaleInOut", "qrySaleInOutD", {"StoreName", "Spname", "DeptName", "MName"}},
        {"dspStockch", "qryStockChD", {"StoreName", "StoreNameIn", "Spname", "DeptName", "MName"}},
        {"dspIncome", "qryInComeD", {"Spname", "DeptName", "MName"}},
        {"dspOutCome", "qryOutComeD", {"Spname", "DeptName", "MName"}},
        {"dspBuy", "qryBuyD", {"StoreName", "Spname", "DeptName", "MName"}},
        {"dspSale", "qrySaleD", {"StoreName", "Spname", "DeptName", "MName"}},
        {"dspInvoice", "qryInvoiceD", {"spName", "DeptName", "MName"}},
    };
    for (const QString &backend : backends()) {
        for (const auto &[provider, nested, names] : cases)
            QTest::addRow("%s %s", qPrintable(backend), provider)
                << backend << QString(provider) << QString(nested) << names;
    }
}

void TestBillRDM::documentsNameTheirLines()
{
    QFETCH(QString, backend);
    QFETCH(QString, provider);
    QFETCH(QString, nested);
    QFETCH(QStringList, names);
    AccountSet &db = readOnlySet(backend);
    QVERIFY(db.ok);
    TBillRDM bill;
    const Packet packet =
        records(bill, provider, paramsOf({{"Flag", "6"}, {"BeginDate", "2026-03-01"}}));
    const int lines = packet.indexOf(nested);
    QVERIFY(lines >= 0);
    QCOMPARE(packet.fields.at(lines).type, FieldType::Nested);
    QVERIFY(packet.fields.at(lines).fields.size() > 3);
    for (const QString &name : names) {
        const int column = packet.indexOf(name);
        QVERIFY2(column >= 0, qPrintable(name));
        QCOMPARE(packet.fields.at(column).name, name); // the spelling the windows declare
        QCOMPARE(packet.fields.at(column).flags & pfInUpdate, 0); // never written back
    }
    if (provider == QLatin1String("dspStockch")) {
        // A transfer names both stores and no partner.
        QCOMPARE(packet.rows.size(), 1);
        QCOMPARE(cell(packet, packet.rows.first(), "Spname").toString(), QString());
        QVERIFY(!cell(packet, packet.rows.first(), "StoreNameIn").toString().isEmpty());
    }
}

void TestBillRDM::providerFilters_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<QStringList>("keyFields");
    QTest::addColumn<QStringList>("expected");

    const QStringList head{"headno"};
    const QStringList line{"headno", "bodyno"};
    struct Case
    {
        const char *tag;
        const char *provider;
        QVariantMap given;
        QStringList keyFields;
        QStringList expected;
    };
    const QList<Case> cases{
        {"receipts", "dspBuyInOut", {{"Flag", "1"}}, head, {"202603030001"}},
        {"deliveries", "dspSaleInOut", {{"Flag", "3"}}, head, {"202603040001"}},
        {"transfers", "dspStockch", {{"Flag", "6"}}, head, {"202603040002"}},
        {"kind without documents", "dspStockch", {{"Flag", "9"}}, head, {}},
        {"orders of all suppliers", "dspBuy", {}, head, {"202603010001", "202603050001"}},
        {"orders of one supplier",
         "dspBuy",
         {{"spCode", "S2"}, {"tmpspCode", "S2"}},
         head,
         {"202603050001"}},
        {"empty twin ignores the value",
         "dspBuy",
         {{"spCode", "S2"}, {"tmpspCode", ""}},
         head,
         {"202603010001", "202603050001"}},
        {"blank twin ignores the value",
         "dspBuy",
         {{"spCode", "S2"}, {"tmpspCode", " "}},
         head,
         {"202603010001", "202603050001"}},
        {"one day holds every time of it",
         "dspBuy",
         {{"BeginDate", "2026-03-05"}, {"EndDate", "2026-03-05"}},
         head,
         {"202603050001"}},
        {"orders of one store",
         "dspSale",
         {{"StoreCode", "W1"}, {"tmpStoreCode", "W1"}},
         head,
         {"202603020001", "202603020002", "202603020003"}},
        {"orders of an unknown department",
         "dspSale",
         {{"DeptCode", "9999"}, {"tmpDeptCode", "9999"}},
         head,
         {}},
        {"receipts of money", "dspIncome", {}, head, {"202603060001"}},
        {"payments", "dspOutCome", {}, head, {"202603060002"}},
        {"blue invoices", "dspInvoice", {{"Flag", "1"}}, head, {"202603070001"}},
        {"blue invoices of a sub-kind",
         "dspInvoice",
         {{"Flag", "1"}, {"InOutFlag", "2"}, {"tmpInOutFlag", "2"}},
         head,
         {}},
        {"checked purchase-order lines",
         "dspXBuy",
         {{"spCode", "S1"}},
         line,
         {"202603010001/0001", "202603010001/0002"}},
        {"entered orders are not read", "dspXBuy", {{"spCode", "S2"}}, line, {}},
        {"checked sales-order lines",
         "dspXSale",
         {{"spCode", "K1"}},
         line,
         {"202603020001/0001", "202603020003/0001"}},
        {"sales-order lines still to deliver", "dspSale2Buy", {}, line, {"202603020001/0001"}},
        {"stock short of its safety level",
         "dspStock2Buy",
         {{"StoreCode", "W1"}},
         {"storecode", "pdtcode", "pdtno", "Needpqty"},
         {"W1/P1/0001/12"}},
        {"stock short in one product line",
         "dspStock2Buy",
         {{"StoreCode", "W2"}, {"pdtNo", "0002"}, {"tmppdtNo", "0002"}},
         {"storecode", "pdtcode", "pdtno", "Needpqty"},
         {"W2/P1/0002/2"}},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases) {
            QTest::addRow("%s %s", qPrintable(backend), c.tag)
                << backend << QString(c.provider) << c.given << c.keyFields << c.expected;
        }
    }
}

void TestBillRDM::providerFilters()
{
    QFETCH(QString, backend);
    QFETCH(QString, provider);
    QFETCH(QVariantMap, given);
    QFETCH(QStringList, keyFields);
    QFETCH(QStringList, expected);

    AccountSet &db = readOnlySet(backend);
    QVERIFY(db.ok);
    TBillRDM bill;
    QCOMPARE(keysOf(records(bill, provider, paramsOf(given)), keyFields), expected);
}

void TestBillRDM::openAmountsCountWhatWasSettled()
{
    QFETCH(QString, backend);
    AccountSet db(backend);
    QVERIFY(db.ok && loadDocuments(db.scratch.db()));
    TBillRDM bill;

    // A payment line copies the whole order line (234) but settles only 100 of it.
    const Packet payables =
        records(bill, "dspXBuyamt", paramsOf({{"spCode", "S1"}, {"currency", "01"}}));
    QCOMPARE(keysOf(payables, {"headno", "Payed", "NeedPay", "Storename", "DeptName"}),
             QStringList({"202603010001/100/251/一号仓/总部"}));

    const Packet receivables =
        records(bill, "dspXSaleamt", paramsOf({{"spCode", "K1"}, {"currency", "01"}}));
    QCOMPARE(keysOf(receivables, {"headno", "Payed", "NeedPay"}),
             QStringList({"202603020001/300/402", "202603020003/0/234"}));

    // Settled in full: the order is no longer offered.
    QVERIFY(db.exec("UPDATE XoUTComeb SET GetTaxamount = 234"));
    QVERIFY(db.exec("INSERT INTO XoUTComeb (headno, bodyno, LinkHeadno, LinkBodyno, "
                    "GetTaxamount) VALUES ('202603060002', '0002', '202603010001', '0002', 117)"));
    QVERIFY(records(bill, "dspXBuyamt", paramsOf({{"spCode", "S1"}, {"currency", "01"}}))
                .rows.isEmpty());
}

void TestBillRDM::numberingAndKeyTests()
{
    QFETCH(QString, backend);
    AccountSet db(backend);
    QVERIFY(db.ok && loadDocuments(db.scratch.db()));
    AutoGainNO::instance().clear();
    AutoGainNO::instance().setClock([] { return QDate(2026, 3, 4); });
    TBillRDM bill;

    // Two stock documents of the day are stored; the serial runs over all kinds.
    QCOMPARE(bill.call("GetHeadNO", {"xStockChh"}, nullptr).toString(), QString("202603040003"));
    // A cancelled number is not handed out again.
    QVERIFY(!bill.call("CancelHeadNO", {"202603040003"}, nullptr).isValid());
    QCOMPARE(bill.call("GetHeadno", {"XSTOCKCHH"}, nullptr).toString(), QString("202603040004"));
    // An unknown table numbers from the cache alone.
    QCOMPARE(bill.call("GetHeadno", {"NoSuchTable"}, nullptr).toString(), QString("202603040001"));
    QCOMPARE(bill.call("KeyExist", {"xStockChh", "headno", "202603040002"}, nullptr),
             QVariant(true));
    QCOMPARE(bill.call("keyExist", {"xStockChh", "headno", "202603040003"}, nullptr),
             QVariant(false));
}

void TestBillRDM::keyExistChecksNames_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("exists");
    struct Case
    {
        const char *tag, *table, *field, *value;
        bool exists;
    };
    const QList<Case> cases{
        {"existing number", "XBuyh", "headno", "202603010001", true},
        {"names in any case", "XBUYH", "HeadNo", "202603010001", true},
        {"missing number", "XBuyh", "headno", "202603019999", false},
        {"field list", "XBuyh", "headno,State", "202603010001", false},
        {"unknown table", "XNoSuch", "headno", "202603010001", false},
        {"unknown field", "XBuyh", "nosuch", "202603010001", false},
        {"statement in the table", "XBuyh; DROP TABLE XCI", "headno", "202603010001", false},
        {"statement in the field", "XBuyh", "headno='x' OR 1=1 --", "x", false},
        {"quote in the value", "XBuyh", "headno", "' OR '1'='1", false},
        {"value longer than its column", "XBuyh", "headno", "2026030100011234567890", false},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases)
            QTest::addRow("%s %s", qPrintable(backend), c.tag)
                << backend << c.table << c.field << c.value << c.exists;
    }
}

void TestBillRDM::keyExistChecksNames()
{
    QFETCH(QString, backend);
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, exists);

    AccountSet &db = readOnlySet(backend);
    QVERIFY(db.ok);
    TBillRDM bill;
    QCOMPARE(bill.call("keyExist", {table, field, value}, nullptr), QVariant(exists));
    QCOMPARE(db.scalar("SELECT count(*) FROM XCI").toInt(), 1);
    QCOMPARE(db.scalar("SELECT count(*) FROM XBuyh").toInt(), 2);
}

void TestBillRDM::checkBillChangesNothing()
{
    QFETCH(QString, backend);
    AccountSet db(backend);
    QVERIFY(db.ok && loadDocuments(db.scratch.db()));
    TBillRDM bill;

    const auto snapshot = [&db] {
        return QStringList{
            db.scalar("SELECT sum(pqty) FROM XStock").toString(),
            db.scalar("SELECT sum(getpqty) FROM XBuyb").toString(),
            db.scalar("SELECT sum(getpqty) FROM XSaleb").toString(),
            db.scalar("SELECT count(*) FROM xStockChh WHERE State = '2'").toString(),
        };
    };
    const QStringList before = snapshot();
    const QVariantList empties(13, QString());
    QCOMPARE(bill.call("CheckBill", empties, nullptr), QVariant(true));
    // A receipt line as the client sends it when the receipt is checked.
    const QVariantList line{
        "BILLBUY", "202603010001", "0001", "", "1", "W1", "P1", "0001", "", "", "", "", ""};
    QCOMPARE(bill.call("checkbill", line, nullptr), QVariant(true));
    QCOMPARE(snapshot(), before);

    QVERIFY_THROWS_EXCEPTION(ServerError, bill.call("CheckBill", line.mid(0, 12), nullptr));
}

void TestBillRDM::refusesWhatIsNotOffered()
{
    QFETCH(QString, backend);
    AccountSet db(backend);
    QVERIFY(db.ok);
    TBillRDM bill;

    const QStringList names = bill.providerNames();
    QCOMPARE(names.size(), 15);
    QVERIFY(names.contains("dspBuyInOut") && names.contains("dspQry"));
    QVERIFY_THROWS_EXCEPTION(ServerError, records(bill, "dspCI"));
    try {
        records(bill, "dspCI");
    } catch (const ServerError &e) {
        QCOMPARE(e.text(), QString("Provider not exported: dspCI"));
    }

    // The free-query provider runs nothing a client sends unless an administrator allows it.
    setCommandTextAllowed(false);
    GetRecordsRequest free;
    free.provider = "DSPQRY";
    free.commandText = "SELECT PWD FROM XPSEmp";
    QVERIFY_THROWS_EXCEPTION(ServerError, bill.getRecords(free));
    free.commandText.clear();
    QVERIFY_THROWS_EXCEPTION(ServerError, bill.getRecords(free));

    QVERIFY_THROWS_EXCEPTION(ServerError, bill.call("GetHeadno", {}, nullptr));
    QVERIFY_THROWS_EXCEPTION(ServerError, bill.call("LogIn", {"0001"}, nullptr));
}

QTEST_GUILESS_MAIN(TestBillRDM)
#include "tst_BillRDM.moc"
