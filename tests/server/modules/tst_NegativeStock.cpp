// The account set's negative-stock setting: allowed by default; switched off, an apply that
// would leave a stock row it lowers below zero is refused whole, with a message naming the
// row, what is on hand and what was needed.

#include "AccountSettings.h"
#include "ModuleTestKit.h"
#include "Posting.h"
#include "SysParaStore.h"
#include "UBaseRDM.h"
#include "UBillRDM.h"

using namespace korvane;
using namespace korvane::test;

namespace {

//! The fixture's account set, with its stock rows set to chosen quantities.
struct Site
{
    explicit Site(const QString &backend) : db(backend)
    {
        ok = db.ok && loadDocuments(db.scratch.db());
    }
    double onHand(const QString &store, const QString &pdtcode, const QString &pdtno) const
    {
        return db
            .scalar(QStringLiteral("SELECT pqty FROM XStock WHERE storecode = '%1' AND "
                                   "pdtcode = '%2' AND pdtno = '%3'")
                        .arg(store, pdtcode, pdtno))
            .toDouble();
    }
    bool exists(const QString &headno) const
    {
        return db.scalar(QStringLiteral("SELECT count(*) FROM xStockChh WHERE headno = '%1'")
                             .arg(headno))
                   .toInt() > 0;
    }
    AccountSet db;
    bool ok = false;
};

QString providerOf(const QString &flag)
{
    if (flag <= QLatin1String("2"))
        return QStringLiteral("dspBuyInOut");
    if (flag <= QLatin1String("4"))
        return QStringLiteral("dspSaleInOut");
    return QStringLiteral("dspStockch");
}

//! A checked one-line stock document as its window saves it.
ChangeSet checkedDocument(TBillRDM &bill, const QString &headno, const QString &flag,
                          const QString &inOutFlag, const QString &store, const QString &storeIn,
                          const QString &pdtcode, const QString &pdtno, double pqty)
{
    const Packet shape = records(
        bill, providerOf(flag),
        requestParams({{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", flag}},
                      {"StoreCode", "spCode", "DeptCode"}, {}),
        0);
    int nested = -1;
    for (int i = 0; i < shape.fields.size(); ++i) {
        if (shape.fields[i].type == FieldType::Nested)
            nested = i;
    }
    QVariantMap head{{"headno", headno},       {"Flag", flag},
                     {"InOutFlag", inOutFlag}, {"hdate", "2026-03-10 10:00:00"},
                     {"Storecode", store},     {"deptcode", "0001"},
                     {"mcode", "0001"},        {"State", "2"}};
    if (!storeIn.isEmpty())
        head.insert("StorecodeIn", storeIn);
    ChangeSet save = insertion(shape.fields, head);
    save.rows[0].details << qMakePair(
        nested, insertion(shape.fields.at(nested).fields, {{"headno", headno},
                                                           {"bodyno", "0001"},
                                                           {"pdtcode", pdtcode},
                                                           {"pdtno", pdtno},
                                                           {"pqty", pqty}}));
    return save;
}

//! A change set of one stored row of a provider that sets one field.
ChangeSet changeOf(const Packet &shape, const QVariantMap &stored, const QString &field,
                   const QVariant &value)
{
    ChangeSet set;
    set.fields = shape.fields;
    ChangeRow row;
    row.op = ChangeOp::Modify;
    row.oldValues = rowOf(set.fields, stored);
    row.newValues = row.oldValues;
    row.changed = QBitArray(set.fields.size());
    const int i = indexOfField(set.fields, field);
    row.newValues[i] = value;
    row.changed.setBit(i);
    set.rows << row;
    return set;
}

} // namespace

class tst_NegativeStock : public QObject
{
    Q_OBJECT

private slots:
    // The fixture has 5 of P1/0001 in W1 and 2 of P1/0002 in W2.
    void documentsThatEmptyStock_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("inOutFlag");
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("storeIn");
        QTest::addColumn<QString>("pdtno");
        QTest::addColumn<double>("startPqty"); // on hand in the issuing store beforehand
        QTest::addColumn<double>("pqty");
        QTest::addColumn<QString>("message"); // empty: the document is saved
        const QString short8 =
            QStringLiteral("库存不足，不能保存：仓库 W1（一号仓）货品 P1（电视）项次 0001 "
                           "现有 5，需要 8。");
        for (const QString &b : backends()) {
            const auto row = [&](const char *name) -> QTestData & {
                return QTest::newRow(qPrintable(b + QLatin1String(": ") + QLatin1String(name)))
                       << b;
            };
            row("delivery beyond stock, allowed by default") << false << "3"
                                                             << "1"
                                                             << "W1"
                                                             << ""
                                                             << "0001" << 5.0 << 8.0 << "";
            row("delivery beyond stock, refused") << true << "3"
                                                  << "1"
                                                  << "W1"
                                                  << ""
                                                  << "0001" << 5.0 << 8.0 << short8;
            row("delivery of all there is") << true << "3"
                                            << "1"
                                            << "W1"
                                            << ""
                                            << "0001" << 5.0 << 5.0 << "";
            row("scrapping beyond stock") << true << "7"
                                          << "0"
                                          << "W1"
                                          << ""
                                          << "0001" << 5.0 << 8.0 << short8;
            row("transfer beyond the issuing store's stock")
                << true << "6"
                << "0"
                << "W2"
                << "W1"
                << "0002" << 2.0 << 3.0
                << "库存不足，不能保存：仓库 W2（二号仓）货品 P1（电视）项次 0002 现有 2，需要 3。";
            // A receipt raises a row that is already short; refusing it would keep it short.
            row("receipt into a row below zero") << true << "1"
                                                 << "1"
                                                 << "W1"
                                                 << ""
                                                 << "0001" << -10.0 << 4.0 << "";
            row("fractional quantity beyond stock")
                << true << "9"
                << "0"
                << "W1"
                << ""
                << "0001" << 0.5 << 0.75
                << "库存不足，不能保存：仓库 W1（一号仓）货品 P1（电视）项次 0001 现有 0.5，"
                   "需要 0.75。";
        }
    }
    void documentsThatEmptyStock()
    {
        QFETCH(QString, backend);
        QFETCH(bool, refuse);
        QFETCH(QString, flag);
        QFETCH(QString, inOutFlag);
        QFETCH(QString, store);
        QFETCH(QString, storeIn);
        QFETCH(QString, pdtno);
        QFETCH(double, startPqty);
        QFETCH(double, pqty);
        QFETCH(QString, message);
        Site site(backend);
        QVERIFY(site.ok);
        QVERIFY(site.db.exec(QStringLiteral("UPDATE XStock SET pqty = %1 WHERE storecode = '%2' "
                                            "AND pdtcode = 'P1' AND pdtno = '%3'")
                                 .arg(startPqty)
                                 .arg(store, pdtno)));
        if (refuse)
            setNegativeStockAllowed(site.db.scratch.db(), false);
        const double intoBefore = storeIn.isEmpty() ? 0 : site.onHand(storeIn, "P1", pdtno);

        TBillRDM bill;
        const ChangeSet save = checkedDocument(bill, "209903100001", flag, inOutFlag, store,
                                               storeIn, "P1", pdtno, pqty);
        const QString error = errorOf([&] {
            const ApplyResult result = bill.applyUpdates(providerOf(flag), save, 0);
            QVERIFY2(result.errorCount == 0, qPrintable(errorsOf(result)));
        });
        QCOMPARE(error, message);
        const bool saved = message.isEmpty();
        QCOMPARE(site.exists("209903100001"), saved);
        const bool in = flag == QLatin1String("1");
        QCOMPARE(site.onHand(store, "P1", pdtno),
                 saved ? startPqty + (in ? pqty : -pqty) : startPqty);
        if (!storeIn.isEmpty())
            QCOMPARE(site.onHand(storeIn, "P1", pdtno), saved ? intoBefore + pqty : intoBefore);
    }

    // Taking a checked receipt back is refused once its goods have left the store.
    void deletingAReceiptWhoseGoodsAreGone_data() { addBackendRows(); }
    void deletingAReceiptWhoseGoodsAreGone()
    {
        QFETCH(QString, backend);
        Site site(backend);
        QVERIFY(site.ok);
        TBillRDM bill;
        const ChangeSet save =
            checkedDocument(bill, "209903100002", "1", "1", "W1", "", "P1", "0001", 4.0);
        QVERIFY(errorOf([&] { bill.applyUpdates("dspBuyInOut", save, 0); }).isEmpty());
        QVERIFY(site.db.exec("UPDATE XStock SET pqty = 1 WHERE storecode = 'W1' AND "
                             "pdtcode = 'P1' AND pdtno = '0001'"));
        setNegativeStockAllowed(site.db.scratch.db(), false);

        ChangeSet removal = save;
        removal.rows[0].op = ChangeOp::Delete;
        removal.rows[0].oldValues = removal.rows[0].newValues;
        ChangeSet &lines = removal.rows[0].details[0].second;
        lines.rows[0].op = ChangeOp::Delete;
        lines.rows[0].oldValues = lines.rows[0].newValues;
        QCOMPARE(errorOf([&] { bill.applyUpdates("dspBuyInOut", removal, 0); }),
                 QStringLiteral("库存不足，不能保存：仓库 W1（一号仓）货品 P1（电视）项次 0001 "
                                "现有 1，需要 4。"));
        QVERIFY(site.exists("209903100002"));
        QCOMPARE(site.onHand("W1", "P1", "0001"), 1.0);
    }

    // Lowering the opening quantity lowers the stock on hand with it.
    void openingStockLoweredBelowWhatIsOnHand_data() { addBackendRows(); }
    void openingStockLoweredBelowWhatIsOnHand()
    {
        QFETCH(QString, backend);
        Site site(backend);
        QVERIFY(site.ok);
        QVERIFY(site.db.exec("UPDATE XStock SET startnum = 5 WHERE storecode = 'W1' AND "
                             "pdtcode = 'P1' AND pdtno = '0001'"));
        setNegativeStockAllowed(site.db.scratch.db(), false);
        TBaseRDM base;
        QVariantList out;
        base.call(QStringLiteral("LogIn"), {"0001", "0001", "127.0.0.1", "pc"}, &out);
        Packet stock;
        const QString opened = errorOf([&] {
            stock = records(base, QStringLiteral("dspStock"),
                            requestParams({{"StoreCode", "W1"}}, {"Pdtcode"},
                                          {{"Pdtcode", "P1"}, {"tmpPdtCode", "P1"}}));
        });
        QVERIFY2(opened.isEmpty(), qPrintable(opened));
        const PacketRow row = findRow(stock, "pdtno", "0001");
        QVERIFY(!row.isEmpty());
        QVariantMap stored;
        for (int i = 0; i < stock.fields.size(); ++i)
            stored.insert(stock.fields[i].name, row.at(i));

        const ChangeSet tooLow = changeOf(stock, stored, "startnum", -1.0);
        QCOMPARE(errorOf([&] { base.applyUpdates("dspStock", tooLow, 0); }),
                 QStringLiteral("库存不足，不能保存：仓库 W1（一号仓）货品 P1（电视）项次 0001 "
                                "现有 5，需要 6。"));
        QCOMPARE(site.onHand("W1", "P1", "0001"), 5.0);
        const ChangeSet toZero = changeOf(stock, stored, "startnum", 0.0);
        QVERIFY(errorOf([&] { base.applyUpdates("dspStock", toZero, 0); }).isEmpty());
        QCOMPARE(site.onHand("W1", "P1", "0001"), 0.0);
    }

    // An account set made before the settings table reads the default; switching the
    // setting creates the table, and switching back allows again.
    void settingOfAnOlderAccountSet_data() { addBackendRows(); }
    void settingOfAnOlderAccountSet()
    {
        QFETCH(QString, backend);
        Site site(backend);
        QVERIFY(site.ok);
        const QSqlDatabase db = site.db.scratch.db();
        QVERIFY(negativeStockAllowed(db));
        QVERIFY(site.db.exec("DROP TABLE XSysPara"));
        QVERIFY(negativeStockAllowed(db));
        TBillRDM bill;
        const auto deliver = [&](const QString &headno) {
            return errorOf([&] {
                bill.applyUpdates(
                    "dspSaleInOut",
                    checkedDocument(bill, headno, "3", "1", "W1", "", "P1", "0001", 4.0), 0);
            });
        };
        QVERIFY(deliver("209903100003").isEmpty()); // 1 left
        const QString set = errorOf([&] { setNegativeStockAllowed(db, false); });
        QVERIFY2(set.isEmpty(), qPrintable(set));
        QVERIFY(!negativeStockAllowed(db));
        QVERIFY(!deliver("209903100004").isEmpty());
        setNegativeStockAllowed(db, true);
        QVERIFY(negativeStockAllowed(db));
        QVERIFY(deliver("209903100005").isEmpty());
        // The parameter dialog's box is the same setting.
        SystemParameters parameters = SysParaStore::load(db);
        QVERIFY(parameters.negativeStock);
        parameters.negativeStock = false;
        SysParaStore::store(db, parameters);
        QVERIFY(!negativeStockAllowed(db));
        QVERIFY(!SysParaStore::load(db).negativeStock);
        QVERIFY(!deliver("209903100006").isEmpty());
        QCOMPARE(site.onHand("W1", "P1", "0001"), -3.0);
    }
};

QTEST_GUILESS_MAIN(tst_NegativeStock)
#include "tst_NegativeStock.moc"
