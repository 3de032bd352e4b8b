// Receipts and payments of money and blue and red invoices against the real server: the line
// money, the head totals and the home-currency total, the currency's rate, order lines read
// with their own figures, the invoice's tax rate and kinds, its type filter, and bad input.

#include "DocumentDesk.h"
#include "LumoComboBox.h"
#include "LumoDBGrid.h"
#include "LumoDataSetModel.h"
#include "LumobitBtn.h"
#include "UDocumentKinds.h"
#include "UInvoice.h"
#include "UMoneyKinds.h"
#include "UWorkWindows.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QStringList Settlements{"TfrmInCome", "TfrmOutCome"};
const QStringList MoneyWindows{"TfrmInCome", "TfrmOutCome", "TfrmInvoice"};

//! The backend's server without receipts, payments and invoices, with a second currency at
//! 6.5, a tax kind of 17 % and a way of payment.
TestServer *moneyServerFor(const QString &backend, QString *error)
{
    TestServer *server = documentServerFor(
        backend, {"XInComeb", "XIncomeh", "XoUTComeb", "XOutcomeh", "xInvoiceb", "xInvoiceh"},
        error);
    QSqlQuery q(server ? server->db().db() : QSqlDatabase());
    if (server && q.exec("SELECT count(*) FROM XTaxAttr") && q.next() && q.value(0).toInt() == 0) {
        sql(*server,
            "INSERT INTO XMoney (code, name, ename, rate) VALUES ('09', '美元', 'USD', 6.5)");
        sql(*server, "INSERT INTO XTaxAttr (Code, Name, taxrate) VALUES ('T17', '增值税', 17)");
        sql(*server, "INSERT INTO XPaykind (code, name) VALUES ('01', '现金')");
    }
    return server;
}

//! An invoice of the given kind and type dated today, stored behind the window's back.
bool storeInvoice(TestServer &server, const QString &headno, const QString &flag,
                  const QString &type)
{
    return sql(server, QStringLiteral("INSERT INTO xInvoiceh (headno, Flag, InOutFlag, hdate, "
                                      "spcode, deptcode, mcode, currency, State) VALUES ('%1', "
                                      "'%2', '%3', '%4 09:00:00', 'K1', '0001', '0001', '01', '1')")
                           .arg(headno, flag, type, today()));
}

double value(const TLumoCLientDataSet &ds, const char *field)
{
    return ds.FieldByName(QLatin1String(field)).AsFloat();
}

TfrmInvoice *invoiceOf(const Desk &d)
{
    return qobject_cast<TfrmInvoice *>(d.window.data());
}

//! An invoice window's kind set to blue before it is shown; other windows stay as they are.
void blue(TfrmMasterDetailtbl &window)
{
    window.setProperty(workwindows::InvoiceFlagProperty, 1);
}

} // namespace

//! The backend's server, without money documents, as `server`.
#define START_SERVER()                                                                             \
    QString serverError;                                                                           \
    TestServer *server = moneyServerFor(backend, &serverError);                                    \
    QVERIFY2(server, qPrintable(serverError))

//! A desk on the window; an invoice window gets the blue kind first.
#define OPEN_DESK(d, className)                                                                    \
    START_SERVER();                                                                                \
    Desk d(*server);                                                                               \
    QVERIFY(d.open(className, false, blue))

class tst_MoneyDocuments : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { stopDocumentServers(); }
    void registeredWithTheirComponents();
    void lineMoney_data() { addWindowRows(MoneyWindows); }
    void lineMoney();
    void settledAmountsMakeTheTotal_data() { addWindowRows(Settlements); }
    void settledAmountsMakeTheTotal();
    void currencyRateAndHomeTotal_data() { addWindowRows(MoneyWindows); }
    void currencyRateAndHomeTotal();
    void readOrderLinesKeepTheirFigures_data();
    void readOrderLinesKeepTheirFigures();
    void invoiceTaxRateRecomputesLines_data();
    void invoiceTaxRateRecomputesLines();
    void invoiceTypeFilter_data();
    void invoiceTypeFilter();
    void invoiceKinds_data() { addWindowRows({"TfrmInvoice"}); }
    void invoiceKinds();
    void badInputRefusedWhole_data();
    void badInputRefusedWhole();
};

void tst_MoneyDocuments::registeredWithTheirComponents()
{
    TdmMain dm;
    registerDocumentWindows();
    struct Expected
    {
        const char *className, *caption, *table, *read;
        QStringList components;
    };
    const QStringList settlement{
        "cnSpCode", "cnDeptCode",     "cnMCode",           "cbMoney",       "edtexchgrate",
        "cbRate",   "edtTotalTaxamt", "edtTotalRMBTaxamt", "cnDeptCodeSel", "cnSpCodeSel"};
    const QList<Expected> windows{
        {"TfrmInCome", "收款单", "xInComeh", "读销售单", settlement},
        {"TfrmOutCome", "付款单", "xOutComeh", "读采购单", settlement},
        {"TfrmInvoice",
         "发票开据",
         "xInvoiceh",
         "读销售单",
         {"cbInOutFlag", "cnSpCode", "cnDeptCode", "cnMCode", "cbMoney", "edtexchgrate",
          "edtInVoiceNO", "cbTaxType", "edttaxrate", "cbInOurFlag", "edtTotalamt", "edtTotalTax",
          "edtTotalTaxamt", "edtTotalRMBTaxamt", "cnDeptCodeSel", "cnSpCodeSel"}},
    };
    for (const Expected &e : windows) {
        const QString className = QLatin1String(e.className);
        QVERIFY2(workwindows::isRegistered(className), e.className);
        std::unique_ptr<QWidget> window(workwindows::create(className));
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        auto *frame = qobject_cast<TfrmMasterDetailtbl *>(window.get());
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), QString::fromUtf8(e.caption));
        QCOMPARE(frame->CDSXMaster->TableName(), QLatin1String(e.table));
        QVERIFY(frame->LumoChild->AutoNO());
        QVERIFY(frame->btnReadBuy);
        QCOMPARE(frame->btnReadBuy->text(), QString::fromUtf8(e.read));
        for (const QString &name : e.components)
            QVERIFY2(frame->component(name) || window->findChild<QObject *>(name),
                     qPrintable(className + ' ' + name));
    }
}

// 3 at 2.5 is 7.5, with a tax of 1.2 it is 8.7 in all; the quantity makes the number of
// packages only on the invoice. A posted line moves the head's totals.
void tst_MoneyDocuments::lineMoney()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    const bool invoice = className == QLatin1String("TfrmInvoice");
    QVERIFY2(!d.newHead().isEmpty(), qPrintable(d.messages.texts.join('|')));
    d.focus(d.window->GridXDetail);
    QVERIFY2(d.exec(TLumoChild::cmNew), qPrintable(d.messages.texts.join('|')));
    d.setLine("pdtcode", "P1");
    d.setLine("pdtno", "0001");
    d.setLine("PackNum", 1.5);
    d.setLine("pqty", 3);
    d.setLine("price", 2.5);
    QCOMPARE(value(d.lines(), "amount"), 7.5);
    d.setLine("Tax", 1.2);
    QCOMPARE(value(d.lines(), "Taxamount"), 8.7);
    QCOMPARE(d.lines().FieldByName("BigPackNum").AsInteger(), invoice ? 2 : 0);
    if (!invoice)
        d.setLine("GetTaxamount", 5);
    QVERIFY2(d.lines().Post(), qPrintable(d.messages.texts.join('|')));
    if (invoice) {
        QCOMPARE(value(d.heads(), "amt"), 7.5);
        QCOMPARE(value(d.heads(), "Tax"), 1.2);
        QCOMPARE(value(d.heads(), "Taxamt"), 8.7);
    } else {
        QCOMPARE(value(d.heads(), "Taxamt"), 5.0);
    }
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));
}

// The head's total is the money settled by this document: the sum of the lines' received or
// paid amounts, kept after every posted or deleted line, and stored so.
void tst_MoneyDocuments::settledAmountsMakeTheTotal()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    const QString number = d.newHead();
    for (double settled : {100.0, 50.25}) {
        d.addLine(1);
        d.setLine("price", 234);
        d.setLine("GetTaxamount", settled);
        QVERIFY(d.lines().Post());
    }
    QCOMPARE(value(d.heads(), "Taxamt"), 150.25);
    QCOMPARE(value(d.heads(), "RMBTaxamt"), 150.25);
    QCOMPARE(value(d.lines(), "sumofGetTaxamount"), 150.25);
    d.focusHead();
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(d.stored("Taxamt", number).toDouble(), 150.25);

    // A line deleted takes its amount out of the stored total.
    d.focus(d.window->GridXDetail);
    QVERIFY(d.lines().Last());
    d.messages.answers = {LumoMsg::Yes};
    QVERIFY(d.exec(TLumoChild::cmDelete));
    QCOMPARE(value(d.heads(), "Taxamt"), 100.0);
    d.focusHead();
    QVERIFY(d.heads().ChangeCount() == 0 || d.exec(TLumoChild::cmSave));
    QCOMPARE(d.stored("Taxamt", number).toDouble(), 100.0);
    QCOMPARE(d.stored("RMBTaxamt", number).toDouble(), 100.0);
    QCOMPARE(d.count(QStringLiteral("SELECT count(*) FROM %1 WHERE headno = '%2'")
                         .arg(d.window->decl().lineTable, number)),
             1);
}

// A currency switch takes that currency's rate and the home total follows; a rate of 0
// leaves the receipt's home total at the total, the invoice's at 0.
void tst_MoneyDocuments::currencyRateAndHomeTotal()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    const bool invoice = className == QLatin1String("TfrmInvoice");
    d.newHead();
    d.addLine(2);
    d.setLine("price", 10);
    if (!invoice)
        d.setLine("GetTaxamount", 20);
    QVERIFY(d.lines().Post());
    QCOMPARE(value(d.heads(), "Taxamt"), 20.0);
    d.setHead("currency", "09");
    QCOMPARE(value(d.heads(), "exchgrate"), 6.5);
    QCOMPARE(value(d.heads(), "RMBTaxamt"), 130.0);
    d.setHead("exchgrate", 0);
    QCOMPARE(value(d.heads(), "RMBTaxamt"), invoice ? 0.0 : 20.0);
    d.setHead("currency", "01");
    QCOMPARE(value(d.heads(), "exchgrate"), 1.0);
    QCOMPARE(value(d.heads(), "RMBTaxamt"), 20.0);
    d.setHead("currency", "09");
    d.focusHead();
    QVERIFY(d.exec(TLumoChild::cmSave));
    const QString number = d.heads().FieldByName("headno").AsString();
    QCOMPARE(d.stored("exchgrate", number).toDouble(), 6.5);
    QCOMPARE(d.stored("RMBTaxamt", number).toDouble(), 130.0);
}

void tst_MoneyDocuments::readOrderLinesKeepTheirFigures_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("kind");
    for (const QString &backend : backends()) {
        for (const QString &className : Settlements)
            QTest::addRow("%s/%s", qPrintable(backend), qPrintable(className))
                << backend << className << 0;
        QTest::addRow("%s/blue invoice", qPrintable(backend))
            << backend << QStringLiteral("TfrmInvoice") << 1;
        QTest::addRow("%s/red invoice", qPrintable(backend))
            << backend << QStringLiteral("TfrmInvoice") << 2;
    }
}

// Two order lines chosen: two lines with the order's own amounts, taxes and totals (even
// where they are not quantity × price), no amount received yet, and the kind's remark.
void tst_MoneyDocuments::readOrderLinesKeepTheirFigures()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(int, kind);
    START_SERVER();
    // A checked order of each partner with a discounted line: 2 at 10 made 19.
    for (const auto &[head, body, partner, number] :
         {std::tuple{"XBuyh", "XBuyb", "S1", "202603080001"},
          std::tuple{"XSaleh", "XSaleb", "K1", "202603080002"}}) {
        sql(*server, QStringLiteral("DELETE FROM %1 WHERE headno = '%2'").arg(body, number));
        sql(*server, QStringLiteral("DELETE FROM %1 WHERE headno = '%2'").arg(head, number));
        QVERIFY(sql(*server, QStringLiteral("INSERT INTO %1 (headno, hdate, storecode, spcode, "
                                            "currency, exchgrate, mcode, deptcode, State) VALUES "
                                            "('%2', '2026-03-08 09:00:00', 'W1', '%3', '01', 1, "
                                            "'0001', '0001', '2')")
                                 .arg(head, number, partner)));
        QVERIFY(sql(*server, QStringLiteral("INSERT INTO %1 (headno, bodyno, pdtcode, pdtno, "
                                            "price, pqty, amount, Tax, Taxamount) VALUES ('%2', "
                                            "'0001', 'P1', '0002', 10, 2, 19, 3, 22.5)")
                                 .arg(body, number)));
    }
    Desk d(*server);
    QVERIFY(d.open(className, false, [kind](TfrmMasterDetailtbl &window) {
        window.setProperty(workwindows::InvoiceFlagProperty, kind);
    }));
    const TDocumentDecl &decl = d.window->decl();
    const bool sale = decl.read.provider == QLatin1String("dspXSale");
    d.newHead();
    QStringList shown;
    TfrmReadOrder::setHook([&](TfrmReadOrder &picker) {
        shown << picker.windowTitle() << picker.edtspCode->text() << picker.edtStoreCode->text();
        picker.deBegin->SetDateTimeText(QStringLiteral("2026-03-01 00:00:00"));
        picker.deEnd->SetDateTimeText(QStringLiteral("2026-03-31 00:00:00"));
        picker.btnQryClick();
        // The first and the last of the three lines.
        QItemSelectionModel *selection = picker.dbGridFpo->selectionModel();
        const QAbstractItemModel *model = selection->model();
        for (int row : {0, model->rowCount() - 1})
            selection->select(model->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        // Figures with two decimals, the date and time whole in its column.
        const int qty = picker.dbGridFpo->dataModel()->columnOf(QStringLiteral("pqty"));
        shown << model->index(0, qty).data().toString();
        const QString date = model->index(0, 0).data().toString();
        if (picker.dbGridFpo->columnWidth(0) <
            picker.dbGridFpo->fontMetrics().horizontalAdvance(date))
            shown << QStringLiteral("date cut: ") + date;
        picker.BitBtn1Click();
        return picker.result();
    });
    d.window->btnReadBuyClick();
    QCOMPARE(shown,
             (QStringList{decl.read.sourceKind, sale ? "K1" : "S1", "", sale ? "3.00" : "2.00"}));
    QCOMPARE(d.lines().RecordCount(), 2);
    QStringList got;
    for (int row = 0; row < d.lines().RecordCount(); ++row) {
        QStringList parts;
        for (const char *f : {"bodyno", "LinkHeadno", "LinkBodyno", "pqty", "price", "amount",
                              "Tax", "Taxamount", "note"})
            parts << d.lines().FieldByName(QLatin1String(f)).valueAt(row).toString();
        if (const TLumoField *settled = d.lines().FindField("GetTaxamount"))
            parts << settled->valueAt(row).toString();
        got << parts.join(QLatin1Char('/'));
    }
    const QString remark = decl.read.sourceKind + QStringLiteral("%1") + decl.read.remarkEnd;
    const QString first = sale ? "202603020001" : "202603010001";
    const QString discounted = sale ? "202603080002" : "202603080001";
    QString expectedFirst =
        sale ? "0001/%1/0001/3/200/600/102/702/" : "0001/%1/0001/2/100/200/34/234/";
    QString expectedLast = "0002/%1/0001/2/10/19/3/22.5/";
    expectedFirst = expectedFirst.arg(first) + remark.arg(first);
    expectedLast = expectedLast.arg(discounted) + remark.arg(discounted);
    if (d.lines().FindField("GetTaxamount")) {
        expectedFirst += "/0"; // left for the operator: blank, posted as 0
        expectedLast += "/0";
    }
    QCOMPARE(got, (QStringList{expectedFirst, expectedLast}));
    if (className == QLatin1String("TfrmInvoice")) {
        QCOMPARE(value(d.heads(), "amt"), 600.0 + 19);
        QCOMPARE(value(d.heads(), "Tax"), 102.0 + 3);
        QCOMPARE(value(d.heads(), "Taxamt"), 702 + 22.5);
    } else {
        QCOMPARE(value(d.heads(), "Taxamt"), 0.0);
    }
    d.focusHead();
    QVERIFY2(d.exec(TLumoChild::cmSave), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(d.count(QStringLiteral("SELECT count(*) FROM %1 WHERE LinkHeadno IS NOT NULL")
                         .arg(decl.lineTable)),
             2);
}

void tst_MoneyDocuments::invoiceTaxRateRecomputesLines_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("by");
    for (const QString &backend : backends()) {
        QTest::addRow("%s/typed rate", qPrintable(backend)) << backend << "taxrate";
        QTest::addRow("%s/tax kind", qPrintable(backend)) << backend << "taxtype";
    }
}

// Lines of 100 and 50, the rate from 0 to 17: taxes 17 and 8.5, totals 117 and 58.5, head
// 150, 25.5 and 175.5; the rate comes typed or with the tax kind.
void tst_MoneyDocuments::invoiceTaxRateRecomputesLines()
{
    QFETCH(QString, backend);
    QFETCH(QString, by);
    OPEN_DESK(d, "TfrmInvoice");
    const QString number = d.newHead();
    d.setHead("taxrate", 0);
    for (const auto &[pqty, price] : {std::pair{1.0, 100.0}, std::pair{2.0, 25.0}}) {
        d.addLine(pqty);
        d.setLine("price", price);
        QVERIFY(d.lines().Post());
    }
    QCOMPARE(value(d.heads(), "Tax"), 0.0);
    if (by == QLatin1String("taxtype"))
        d.setHead("taxtype", "T17");
    else
        d.setHead("taxrate", 17);
    QCOMPARE(value(d.heads(), "taxrate"), 17.0);
    QStringList lines;
    for (int row = 0; row < d.lines().RecordCount(); ++row)
        lines << d.lines().FieldByName("Tax").valueAt(row).toString() + '/' +
                     d.lines().FieldByName("Taxamount").valueAt(row).toString();
    QCOMPARE(lines, (QStringList{"17/117", "8.5/58.5"}));
    QCOMPARE(d.lines().State(), TDataSetState::dsBrowse);
    QCOMPARE(value(d.heads(), "amt"), 150.0);
    QCOMPARE(value(d.heads(), "Tax"), 25.5);
    QCOMPARE(value(d.heads(), "Taxamt"), 175.5);
    QCOMPARE(value(d.heads(), "RMBTaxamt"), 175.5);
    d.focusHead();
    QVERIFY(d.exec(TLumoChild::cmSave));
    QCOMPARE(d.stored("Tax", number).toDouble(), 25.5);
    QCOMPARE(d.stored("Taxamt", number).toDouble(), 175.5);
    QCOMPARE(d.count("SELECT count(*) FROM xInvoiceb WHERE Tax = 17 AND Taxamount = 117"), 1);
}

void tst_MoneyDocuments::invoiceTypeFilter_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QStringList>("listed");
    for (const QString &backend : backends()) {
        QTest::addRow("%s/all", qPrintable(backend))
            << backend << 0 << QStringLiteral(" ") << QStringList{"B0", "B1"};
        QTest::addRow("%s/ordinary", qPrintable(backend))
            << backend << 1 << QStringLiteral("0") << QStringList{"B0"};
        QTest::addRow("%s/with tax", qPrintable(backend))
            << backend << 2 << QStringLiteral("1") << QStringList{"B1"};
    }
}

// "全部" sends a single blank in both type parameters; the others send their type.
void tst_MoneyDocuments::invoiceTypeFilter()
{
    QFETCH(QString, backend);
    QFETCH(int, index);
    QFETCH(QString, sent);
    QFETCH(QStringList, listed);
    START_SERVER();
    QVERIFY(storeInvoice(*server, "B0", "1", "0"));
    QVERIFY(storeInvoice(*server, "B1", "1", "1"));
    QVERIFY(storeInvoice(*server, "R0", "2", "0"));
    Desk d(*server);
    QVERIFY(d.open("TfrmInvoice", false, blue));
    TfrmInvoice *invoice = invoiceOf(d);
    invoice->cbInOurFlag->setCurrentIndex(index);
    invoice->btnQryClick();
    QCOMPARE(d.bill->param("InOutFlag"), sent);
    QCOMPARE(d.bill->param("tmpInOutFlag"), sent);
    QCOMPARE(d.bill->param("Flag"), QStringLiteral("1"));
    QVERIFY(d.bill->filtersOff({"spCode", "DeptCode"}));
    QCOMPARE(d.listed(), listed);
}

// Opened before its kind is set the window lists nothing; the first kind lists today's of
// that kind; switching to red relabels the read button, refills the type lists with red
// types only and keeps the list until the next query; new heads take the kind.
void tst_MoneyDocuments::invoiceKinds()
{
    QFETCH(QString, backend);
    START_SERVER();
    QVERIFY(storeInvoice(*server, "B0", "1", "0"));
    QVERIFY(storeInvoice(*server, "R0", "2", "1"));
    Desk d(*server);
    QVERIFY(d.open("TfrmInvoice"));
    TfrmInvoice *invoice = invoiceOf(d);
    QCOMPARE(invoice->Flag(), 0);
    QCOMPARE(d.listed(), QStringList());
    QCOMPARE(d.bill->param("Flag"), QStringLiteral(" "));

    const auto types = [&] {
        QStringList items;
        for (int i = 0; i < invoice->cbInOurFlag->count(); ++i)
            items << invoice->cbInOurFlag->itemText(i);
        return items;
    };
    const auto headTypes = [&] {
        TLumoCLientDataSet *attr = d.dm.lookup("cdsInvoiceAttr");
        QStringList kinds;
        for (int row = 0; row < attr->RecordCount(); ++row)
            kinds << attr->FieldByName("Flag").valueAt(row).toString() +
                         attr->FieldByName("InOutFlag").valueAt(row).toString();
        auto *box = qobject_cast<TLumoDBLookupCombobox *>(invoice->component("cbInOutFlag"));
        box->showPopup(); // the box reads its list again when it opens
        box->hidePopup();
        kinds << QString::number(box->count());
        return kinds;
    };
    invoice->setProperty(workwindows::InvoiceFlagProperty, 1);
    QCOMPARE(invoice->Flag(), 1);
    QCOMPARE(d.listed(), QStringList{"B0"});
    QCOMPARE(invoice->btnReadBuy->text(), QStringLiteral("读销售单"));
    QCOMPARE(types(), (QStringList{"全部", "蓝字普通发票", "蓝字增值税发票"}));
    QCOMPARE(invoice->cbInOurFlag->currentIndex(), 0);
    QCOMPARE(headTypes(), (QStringList{"10", "11", "2"}));

    invoice->setProperty(workwindows::InvoiceFlagProperty, 2);
    QCOMPARE(invoice->btnReadBuy->text(), QStringLiteral("读退返单"));
    QCOMPARE(types(), (QStringList{"全部", "红字普通发票", "红字增值税发票"}));
    QCOMPARE(headTypes(), (QStringList{"20", "21", "2"}));
    QCOMPARE(d.listed(), QStringList{"B0"}); // until the next query
    invoice->btnQryClick();
    QCOMPARE(d.listed(), QStringList{"R0"});
    QVERIFY(lumo::test::showActive(d.window)); // after the wait window

    const QString number = d.saveDocument({1});
    QVERIFY2(!number.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(d.stored("Flag", number).toString(), QStringLiteral("2"));
    QCOMPARE(d.stored("InOutFlag", number).toString(), QStringLiteral("0"));
}

void tst_MoneyDocuments::badInputRefusedWhole_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // "" clears the field, else typed into its editor
    QTest::addColumn<QString>("message");
    struct Case
    {
        const char *tag, *className, *field, *typed, *message;
    };
    const QList<Case> cases{
        {"receipt without currency", "TfrmInCome", "currency", "", "币别不能为空！请先填币别"},
        {"payment without rate", "TfrmOutCome", "exchgrate", "", "汇率不能为空！请先填汇率"},
        {"invoice without number", "TfrmInvoice", "InVoiceNO", "",
         "发票号码不能为空！请先填发票号码"},
        {"invoice without type", "TfrmInvoice", "InOutFlag", "", "类型不能为空！请先填类型"},
        {"invoice without rate", "TfrmInvoice", "exchgrate", "", "汇率不能为空！请先填汇率"},
        {"receipt rate not a number", "TfrmInCome", "exchgrate", "x1",
         "'x1'不是字段'exchgrate'的有效数值"},
        {"invoice tax rate not a number", "TfrmInvoice", "taxrate", "abc",
         "'abc'不是字段'taxrate'的有效数值"},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases)
            QTest::addRow("%s %s", qPrintable(backend), c.tag)
                << backend << QString(c.className) << QString(c.field) << QString(c.typed)
                << QString::fromUtf8(c.message);
    }
}

// Each bad input gets its message, nothing reaches the database, and the document stays on
// screen as it was typed.
void tst_MoneyDocuments::badInputRefusedWhole()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    OPEN_DESK(d, className);
    const TDocumentDecl &decl = d.window->decl();
    d.newHead();
    d.addLine(4);
    d.setLine("price", 5);
    QVERIFY(d.lines().Post());
    if (d.heads().FindField("taxrate"))
        d.setHead("taxrate", 10); // it stays 10 when a rate typed is refused
    d.messages.texts.clear();
    const QVariant before = d.heads().FieldByName(field).Value();
    if (typed.isEmpty()) {
        d.setHead(field, QVariant());
        d.focusHead();
        QVERIFY(!d.exec(TLumoChild::cmSave));
    } else {
        auto *edit = qobject_cast<QLineEdit *>(d.window->component("edt" + field));
        QVERIFY(edit);
        d.focus(edit);
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        d.focusHead();
        QCOMPARE(d.heads().FieldByName(field).Value(), before);
        if (const TLumoField *tax = d.lines().FindField("Tax"); tax && field == "taxrate")
            QCOMPARE(tax->AsFloat(), 2.0); // 20 at 10 %
    }
    QCOMPARE(d.messages.texts, QStringList{message});
    QCOMPARE(d.count("SELECT count(*) FROM " + decl.headTable), 0);
    QCOMPARE(d.count("SELECT count(*) FROM " + decl.lineTable), 0);
    QVERIFY(d.heads().State() == TDataSetState::dsInsert || d.heads().ChangeCount() > 0);
    QCOMPARE(d.lines().RecordCount(), 1);
}

QTEST_MAIN(tst_MoneyDocuments)
#include "tst_MoneyDocuments.moc"
