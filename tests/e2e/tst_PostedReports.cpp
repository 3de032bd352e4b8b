// Through the real server and relay, on both databases: the reports and read providers built
// on the posted columns follow a checked purchase receipt, a sales delivery and a payment,
// and go back when the receipt is deleted. (Stock detail by quantities; its store column is
// not what is looked at.)

#include "../server/ModuleTestKit.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"

#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A logged-in client with its document and report modules.
struct Client
{
    explicit Client(quint16 port)
    {
        const auto open = [port](TLumoSocketConnection &c, const char *name,
                                 const QString &session) {
            c.setPort(port);
            c.setServerName(QLatin1String(name));
            c.setSession(session);
            c.Open();
        };
        open(base, "Korvane.BaseRDM", QString());
        QString session, userInfo, sysSet, purView, para1;
        base.callWithOutputs(QStringLiteral("LogIn"), {"0001", "0001", "127.0.0.1", "e2e"},
                             {&session, &userInfo, &sysSet, &purView, &para1});
        open(bill, "Korvane.BillRDM", session);
        open(rpt, "Korvane.RPTRDM", session);
    }

    //! A new document with one line, as its window saves it.
    ChangeSet document(const QString &provider, const QVariantMap &head, const QVariantMap &line)
    {
        const Packet shape =
            bill.getRecords(provider, 0, grMetaData | grReset,
                            requestParams({{"BeginDate", "2000-01-01"},
                                           {"EndDate", "2000-01-01"},
                                           {"Flag", head.value("Flag", "1")}},
                                          {"StoreCode", "spCode", "DeptCode"}, {}));
        int nested = -1;
        for (int i = 0; i < shape.fields.size(); ++i) {
            if (shape.fields[i].type == FieldType::Nested)
                nested = i;
        }
        ChangeSet save = insertion(shape.fields, head);
        save.rows[0].details << qMakePair(nested, insertion(shape.fields.at(nested).fields, line));
        return save;
    }
    QString save(const QString &provider, const ChangeSet &delta)
    {
        return errorsOf(bill.applyUpdates(provider, delta, 0));
    }

    Packet report(const QString &flag)
    {
        return rpt.getRecords(QStringLiteral("dspXMaster"), -1, grMetaData | grReset,
                              requestParams({{"SQLFLAG", flag},
                                             {"BeginDate", "2026-03-01"},
                                             {"EndDate", "2026-03-31"},
                                             {"State", "1"},
                                             {"CorpCode", "0001"}},
                                            {"pdtCode", "spCode", "DeptCode", "pdtno", "StoreCode"},
                                            {{"StoreCode", "W1"}, {"tmpStoreCode", "W1"}}));
    }
    Packet provider(const QString &name, const QVariantMap &fixed, const QStringList &pairs,
                    const QVariantMap &given = {})
    {
        return bill.getRecords(name, -1, grMetaData | grReset, requestParams(fixed, pairs, given));
    }

    TLumoSocketConnection base;
    TLumoSocketConnection bill;
    TLumoSocketConnection rpt;
};

//! The value in column of the row whose cells match; null when no row matches.
QVariant cell(const Packet &packet, const QVariantMap &match, const QString &column)
{
    const int wanted = packet.indexOf(column);
    for (const PacketRow &row : packet.rows) {
        bool all = true;
        for (auto it = match.begin(); it != match.end() && all; ++it) {
            const int i = packet.indexOf(it.key());
            all = i >= 0 && row.at(i).toString().trimmed() == it.value().toString();
        }
        if (all && wanted >= 0)
            return row.at(wanted);
    }
    return QVariant();
}

//! What the windows show of the posted columns for the fixture's first purchase and sales
//! orders and stock row W1/P1/0001.
struct Shown
{
    double stockDetail = 0; // 库存明细: W1 P1/0001
    double arrived = 0;     // 采购在途量: order 202603010001, P1/0001 arrived
    double notArrived = 0;  // and still on its way
    QVariant toBuyForSale; // 销售转采购: 202603020001/0001 still to deliver (null: not listed)
    double toBuyForStock = 0; // 库存不足转采购: W1 P1/0001
    double pickerArrived = 0; // the purchase-order picker's "已到货" of 202603010001/0001
    double pickerPaid = 0;    // and what is paid of 202603010001/0002

    bool operator==(const Shown &o) const
    {
        return stockDetail == o.stockDetail && arrived == o.arrived && notArrived == o.notArrived &&
               toBuyForSale == o.toBuyForSale && toBuyForStock == o.toBuyForStock &&
               pickerArrived == o.pickerArrived && pickerPaid == o.pickerPaid;
    }
};

char *toString(const Shown &s)
{
    return qstrdup(qPrintable(
        QStringLiteral("detail %1, arrived %2, on the way %3, sale to buy "
                       "%4, stock to buy %5, picker %6 / paid %7")
            .arg(s.stockDetail)
            .arg(s.arrived)
            .arg(s.notArrived)
            .arg(s.toBuyForSale.isNull() ? QStringLiteral("-") : s.toBuyForSale.toString())
            .arg(s.toBuyForStock)
            .arg(s.pickerArrived)
            .arg(s.pickerPaid)));
}

Shown shown(Client &c)
{
    const QVariantMap line{{"pdtcode", "P1"}, {"PdtNO", "0001"}};
    const Packet detail = c.report(QStringLiteral("RPTSTOCKDETAIL"));
    const Packet onTheWay = c.report(QStringLiteral("RPTBUYSTAT"));
    QVariantMap ordered = line;
    ordered.insert("Headno", "202603010001");
    const Packet saleToBuy = c.provider(QStringLiteral("dspSale2Buy"),
                                        {{"beginDate", "2026-03-01"}, {"EndDate", "2026-03-31"}},
                                        {"StoreCode", "spCode", "DeptCode"});
    const Packet stockToBuy =
        c.provider(QStringLiteral("dspStock2Buy"), {{"Storecode", "W1"}}, {"pdtcode", "pdtNo"});
    const Packet picker = c.provider(
        QStringLiteral("dspXBuy"),
        {{"beginDate", "2026-03-01"}, {"EndDate", "2026-03-31"}, {"spCode", "S1"}}, {"StoreCode"});
    Shown s;
    s.stockDetail = cell(detail, {{"pdtcode", "P1"}, {"specname", "32寸"}}, "TotalPqty").toDouble();
    s.arrived = cell(onTheWay, ordered, "TotalGetPqty").toDouble();
    s.notArrived = cell(onTheWay, ordered, "TotalNotArrive").toDouble();
    s.toBuyForSale = cell(saleToBuy, {{"headno", "202603020001"}, {"bodyno", "0001"}}, "Needpqty");
    if (!s.toBuyForSale.isNull())
        s.toBuyForSale = s.toBuyForSale.toDouble();
    s.toBuyForStock =
        cell(stockToBuy, {{"pdtcode", "P1"}, {"pdtno", "0001"}}, "Needpqty").toDouble();
    s.pickerArrived =
        cell(picker, {{"headno", "202603010001"}, {"bodyno", "0001"}}, "getpqty").toDouble();
    s.pickerPaid =
        cell(picker, {{"headno", "202603010001"}, {"bodyno", "0002"}}, "getTaxamount").toDouble();
    return s;
}

Shown expected(double detail, double arrived, double notArrived, const QVariant &forSale,
               double forStock, double paid)
{
    return Shown{detail, arrived, notArrived, forSale, forStock, arrived, paid};
}

ChangeSet deletion(ChangeSet save)
{
    save.rows[0].op = ChangeOp::Delete;
    save.rows[0].oldValues = save.rows[0].newValues;
    for (auto &[field, lines] : save.rows[0].details) {
        Q_UNUSED(field);
        for (ChangeRow &row : lines.rows) {
            row.op = ChangeOp::Delete;
            row.oldValues = row.newValues;
        }
    }
    return save;
}

} // namespace

class tst_PostedReports : public QObject
{
    Q_OBJECT

private slots:
    void reportsFollowPostedDocuments_data() { addBackendRows(); }
    void reportsFollowPostedDocuments()
    {
        QFETCH(QString, backend);
        TestServer server(backend);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(loadDocuments(server.db().db()));
        // The fixture's balances are typed in; from here on the documents decide them: W1
        // holds none of P1/0001 (one received, one delivered), one is still on order, two
        // of the sales-order line are still to deliver; safety stock 20.
        recomputeBalances(server.db().db(), true);
        Client c(server.port());
        QCOMPARE(shown(c), expected(0, 1, 1, 2.0, 19, 0));

        const QVariantMap head{{"hdate", "2026-03-10 09:00:00"},
                               {"Storecode", "W1"},
                               {"deptcode", "0001"},
                               {"mcode", "0001"},
                               {"State", "2"}};
        QVariantMap receiptHead = head;
        receiptHead.insert(
            {{"headno", "202603100001"}, {"Flag", "1"}, {"InOutFlag", "1"}, {"spcode", "S1"}});
        const ChangeSet receipt = c.document("dspBuyInOut", receiptHead,
                                             {{"headno", "202603100001"},
                                              {"bodyno", "0001"},
                                              {"LinkHeadno", "202603010001"},
                                              {"LinkBodyno", "0001"},
                                              {"pdtcode", "P1"},
                                              {"pdtno", "0001"},
                                              {"pqty", 1.0}});
        QCOMPARE(c.save("dspBuyInOut", receipt), QString());
        // Received: on hand, the order's arrived quantity up, nothing left on order.
        QCOMPARE(shown(c), expected(1, 2, 0, 2.0, 19, 0));

        QVariantMap deliveryHead = head;
        deliveryHead.insert(
            {{"headno", "202603100002"}, {"Flag", "3"}, {"InOutFlag", "1"}, {"spcode", "K1"}});
        QCOMPARE(c.save("dspSaleInOut", c.document("dspSaleInOut", deliveryHead,
                                                   {{"headno", "202603100002"},
                                                    {"bodyno", "0001"},
                                                    {"LinkHeadno", "202603020001"},
                                                    {"LinkBodyno", "0001"},
                                                    {"pdtcode", "P1"},
                                                    {"pdtno", "0001"},
                                                    {"pqty", 2.0}})),
                 QString());
        // Delivered beyond what is there (allowed): the sales line is complete.
        QCOMPARE(shown(c), expected(-1, 2, 0, QVariant(), 21, 0));

        const ChangeSet payment = c.document("dspOutCome",
                                             {{"headno", "202603100003"},
                                              {"hdate", "2026-03-10 11:00:00"},
                                              {"currency", "01"},
                                              {"exchgrate", 1.0},
                                              {"Taxamt", 50.0},
                                              {"spcode", "S1"},
                                              {"deptcode", "0001"},
                                              {"mcode", "0001"},
                                              {"State", "2"}},
                                             {{"headno", "202603100003"},
                                              {"bodyno", "0001"},
                                              {"LinkHeadno", "202603010001"},
                                              {"LinkBodyno", "0002"},
                                              {"pdtcode", "P2"},
                                              {"pdtno", "0001"},
                                              {"Taxamount", 117.0},
                                              {"GetTaxamount", 50.0}});
        QCOMPARE(c.save("dspOutCome", payment), QString());
        QCOMPARE(shown(c), expected(-1, 2, 0, QVariant(), 21, 50));

        // The receipt deleted: its stock and arrival go back, the line is on order again.
        QCOMPARE(c.save("dspBuyInOut", deletion(receipt)), QString());
        QCOMPARE(shown(c), expected(-2, 1, 1, QVariant(), 21, 50));
        QCOMPARE(c.save("dspOutCome", deletion(payment)), QString());
        QCOMPARE(shown(c).pickerPaid, 0.0);
        QVERIFY(recomputeBalances(server.db().db(), false).isEmpty());
    }
};

QTEST_MAIN(tst_PostedReports)
#include "tst_PostedReports.moc"
