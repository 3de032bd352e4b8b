// Purchase and sales orders against the real server: priced lines, tax kinds, currencies
// and head totals, the sales order's discount, and the two demand lists that turn sales
// order lines and stock shortages into a purchase order.

#include "../lumo/LumoTestSupport.h"
#include "../server/DocumentFixture.h"
#include "DeskLogIn.h"
#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoDataSetModel.h"
#include "LumoDateEdit.h"
#include "LumobitBtn.h"
#include "TestServer.h"
#include "UDocuments.h"
#include "UMasterData.h"
#include "UMasterDetailTBL.h"
#include "UOrderDocuments.h"
#include "UOrderKinds.h"
#include "USale2Buy.h"
#include "UStockToBuy.h"
#include "UWorkWindows.h"
#include "WindowTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

using namespace korvane;
using namespace korvane::test;

namespace {

// Beside the shared fixture: a second currency, a tax kind, two sales orders of 10 April
// with three lines still to deliver, and a second short product in store W2.
const char *const OrderFixtureSql = R"(
INSERT INTO XMoney (code, name, ename, rate) VALUES ('02', '美元', 'USD', 7.1);
INSERT INTO XTaxAttr (Code, Name, taxrate) VALUES ('T17', '增值税', 17);
INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, mcode, deptcode, State) VALUES ('202604100001', '2026-04-10 09:00:00', 'W1', 'K1', '01', 1, '0001', '0001', '2');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, PackNum, pqty, getpqty, getday) VALUES ('202604100001', '0001', 'P1', '0001', 1, 5, 2, '2026-04-20 00:00:00');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, pqty, getpqty) VALUES ('202604100001', '0002', 'P2', '0001', 4, 0);
INSERT INTO XSaleh (headno, hdate, storecode, spcode, currency, exchgrate, mcode, deptcode, State) VALUES ('202604100002', '2026-04-10 14:00:00', 'W1', 'K2', '01', 1, '0001', '0001', '1');
INSERT INTO XSaleb (headno, bodyno, pdtcode, pdtno, pqty, getpqty) VALUES ('202604100002', '0001', 'P1', '0002', 6, 1);
INSERT INTO XStock (storecode, pdtcode, pdtno, pqty, badnum, stdpqty, lowpqty) VALUES ('W2', 'P2', '0001', 1, 0, 0, 5);
)";

bool runStatements(const QSqlDatabase &db, const char *sql)
{
    QSqlQuery q(db);
    for (const QString &statement : QString::fromUtf8(sql).split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty() && !q.exec(statement)) {
            qWarning() << statement.trimmed() << q.lastError().text();
            return false;
        }
    }
    return true;
}

std::map<QString, std::unique_ptr<TestServer>> orderServers;

//! The backend's server with both fixtures; each test starts without orders of its own.
TestServer *orderServer(const QString &backend, QString *error)
{
    auto &server = orderServers[backend];
    if (!server) {
        server = std::make_unique<TestServer>(backend);
        if (!server->start() || !loadDocuments(server->db().db()) ||
            !runStatements(server->db().db(), OrderFixtureSql)) {
            *error = server->error();
            server.reset();
            return nullptr;
        }
    }
    runStatements(server->db().db(), R"(
DELETE FROM XBuyb WHERE headno NOT LIKE '202603%';
DELETE FROM XBuyh WHERE headno NOT LIKE '202603%';
DELETE FROM XSaleb WHERE headno NOT LIKE '202603%' AND headno NOT LIKE '202604%';
DELETE FROM XSaleh WHERE headno NOT LIKE '202603%' AND headno NOT LIKE '202604%')");
    return server.get();
}

QStringList backends()
{
    QStringList list{QStringLiteral("sqlite")};
    if (!pgHost().isEmpty())
        list << QStringLiteral("postgresql");
    return list;
}

void addRows(const QStringList &classes)
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    for (const QString &backend : backends()) {
        for (const QString &className : classes)
            QTest::addRow("%s/%s", qPrintable(backend), qPrintable(className))
                << backend << className;
    }
}

const QStringList Orders{"TfrmXBuyh", "TfrmXSale"};

//! A logged-in client with an order window and, where a test needs one, a demand list.
struct Desk
{
    TestServer &server;
    Messages messages;
    TdmMain dm;
    QPointer<TfrmMasterDetailtbl> window;
    QPointer<TfrmToBuyList> list;

    explicit Desk(TestServer &s) : server(s) {}
    ~Desk()
    {
        delete list.data();
        delete window.data();
        TfrmToBuyList::setHandOver({});
    }

    bool open(const QString &className, bool checkOnSave = false)
    {
        if (!logInDesk(dm, server.port(), checkOnSave))
            return false;
        messages.texts.clear();
        window = createDocumentWindow(className);
        return window && lumo::test::showActive(window) && heads().Active();
    }
    //! The demand list of that class, shown; its rows go to the order window.
    bool openList(const QString &className)
    {
        registerMasterDataWindows();
        list = qobject_cast<TfrmToBuyList *>(workwindows::create(className));
        if (!list)
            return false;
        TfrmToBuyList::setHandOver([this](const char *method, const QVariant &rows) {
            bool imported = false;
            handedOver << rows.value<Packet>().rows.size();
            if (!lumo::test::showActive(window))
                return false;
            QMetaObject::invokeMethod(window, method, Q_RETURN_ARG(bool, imported),
                                      Q_ARG(QVariant, rows));
            return imported;
        });
        return lumo::test::showActive(list);
    }
    QList<qsizetype> handedOver; // rows in each hand-over

    TLumoCLientDataSet &heads() const { return *window->CDSXMaster; }
    TLumoCLientDataSet &lines() const { return *window->cdsXDetail; }
    bool exec(int command)
    {
        const bool done = window->LumoChild->ExecCommand(command);
        QCoreApplication::processEvents();
        return done;
    }
    void focusHead() { window->component(QStringLiteral("edtnote"))->setFocus(); }
    void setHead(const char *field, const QVariant &value)
    {
        heads().FieldByName(QLatin1String(field)).setValue(value);
    }
    void setLine(const char *field, const QVariant &value)
    {
        lines().FieldByName(QLatin1String(field)).setValue(value);
    }
    double head(const char *field) const
    {
        return heads().FieldByName(QLatin1String(field)).AsFloat();
    }
    double line(const char *field) const
    {
        return lines().FieldByName(QLatin1String(field)).AsFloat();
    }
    //! A new head with everything an order requires; its number.
    QString newHead()
    {
        focusHead();
        if (!exec(TLumoChild::cmNew))
            return QString();
        const bool sale = window->decl().provider == QLatin1String("dspSale");
        setHead("storecode", QStringLiteral("W1"));
        setHead("StoreName", QStringLiteral("一号仓"));
        setHead("spcode", sale ? QStringLiteral("K1") : QStringLiteral("S1"));
        setHead("Deptcode", QStringLiteral("0001"));
        setHead("mcode", QStringLiteral("0001"));
        return heads().FieldByName(QStringLiteral("headno")).AsString();
    }
    //! A new line of P1/0001 with its dates; not posted.
    void newLine()
    {
        window->GridXDetail->setFocus();
        exec(TLumoChild::cmNew);
        setLine("pdtcode", QStringLiteral("P1"));
        setLine("pdtno", QStringLiteral("0001"));
        setLine("getday", QStringLiteral("2026-05-01 00:00:00"));
        setLine("getamtday", QStringLiteral("2026-05-31 00:00:00"));
    }
    //! A posted line: quantity, price and tax rate typed in this order.
    bool addLine(double pqty, double price, double taxrate)
    {
        newLine();
        setLine("pqty", pqty);
        setLine("price", price);
        setLine("taxrate", taxrate);
        return lines().Post();
    }
    //! What the server has stored for a column of a head or line table.
    QVariant stored(const QString &sql) const
    {
        QSqlQuery q(server.db().db());
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    //! A label or box as the operator sees it, once the window has shown what changed.
    QString text(const QString &name) const
    {
        QCoreApplication::processEvents();
        if (auto *label = window->findChild<QLabel *>(name))
            return label->text();
        auto *box = window->findChild<QLineEdit *>(name);
        return box ? box->text() : QStringLiteral("<none>");
    }
};

//! The listed rows of a data set, some fields of each joined by "/".
QStringList rowsOf(const TLumoCLientDataSet &ds, const QStringList &fields)
{
    QStringList rows;
    for (int row = 0; row < ds.RecordCount(); ++row) {
        QStringList parts;
        for (const QString &f : fields)
            parts << ds.FieldByName(f).valueAt(row).toString();
        rows << parts.join(QLatin1Char('/'));
    }
    return rows;
}

int columnOf(Tlumodbgrid *grid, const char *field)
{
    return grid->dataModel()->columnOf(QLatin1String(field));
}

//! Types text into a cell of the current line of the line grid as the operator would.
bool typeIntoLine(Desk &d, const char *field, const QVariant &value)
{
    TLumoDataSetModel *model = d.window->GridXDetail->dataModel();
    const QModelIndex cell =
        model->index(d.lines().RecNo() - 1, columnOf(d.window->GridXDetail, field));
    return model->setData(cell, value, Qt::EditRole);
}

} // namespace

#define START_SERVER()                                                                             \
    QString serverError;                                                                           \
    TestServer *server = orderServer(backend, &serverError);                                       \
    QVERIFY2(server, qPrintable(serverError))

#define OPEN_DESK(d, className)                                                                    \
    START_SERVER();                                                                                \
    Desk d(*server);                                                                               \
    QVERIFY(d.open(className))

class tst_Orders : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { orderServers.clear(); }
    void registeredWithTheirComponents();
    void lineMoneyAndHeadTotals_data() { addRows(Orders); }
    void lineMoneyAndHeadTotals();
    void homeTotalFollowsTheRate_data();
    void homeTotalFollowsTheRate();
    void currencyTakesItsRate_data() { addRows(Orders); }
    void currencyTakesItsRate();
    void taxKindTakesItsRate_data() { addRows(Orders); }
    void taxKindTakesItsRate();
    void listPriceAndDiscount_data();
    void listPriceAndDiscount();
    void badInputRefusedWhole_data();
    void badInputRefusedWhole();
    void savedOrderIsChecked_data() { addRows(Orders); }
    void savedOrderIsChecked();
    void convertedLineKeepsItsProduct_data() { addRows({"TfrmXBuyh"}); }
    void convertedLineKeepsItsProduct();
    void salesLinesBecomeOnePurchaseOrder_data() { addRows({"TfrmXBuyh"}); }
    void salesLinesBecomeOnePurchaseOrder();
    void shortageQueryNeedsAStore_data() { addRows({"TfrmXBuyh"}); }
    void shortageQueryNeedsAStore();
    void shortageLimitedByProduct_data();
    void shortageLimitedByProduct();
    void shortagesBecomeAPurchaseOrder_data() { addRows({"TfrmXBuyh"}); }
    void shortagesBecomeAPurchaseOrder();
    void emptyListConvertsNothing_data();
    void emptyListConvertsNothing();
};

void tst_Orders::registeredWithTheirComponents()
{
    TdmMain dm;
    registerDocumentWindows();
    registerMasterDataWindows();
    for (const QString &className : orderDocumentClasses()) {
        std::unique_ptr<QWidget> window(workwindows::create(className));
        QVERIFY2(window, qPrintable(className));
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
        for (const char *name :
             {"cbCurrency", "edtexchgrate", "cnSpCode", "cnStoreCode", "edtTotalamt", "edtTotalTax",
              "edtTotaltaxamt", "edtTotalRMBtaxamt"})
            QVERIFY2(window->findChild<QObject *>(QLatin1String(name)), name);
        const bool imports = window->metaObject()->indexOfMethod("ImportSale2Buy(QVariant)") >= 0;
        QCOMPARE(imports, className == QLatin1String("TfrmXBuyh"));
    }
    for (const char *className : {"TfrmSale2Buy", "TfrmStockToBuy"}) {
        std::unique_ptr<QWidget> window(workwindows::create(QLatin1String(className)));
        auto *list = qobject_cast<TfrmToBuyList *>(window.get());
        QVERIFY2(list, className);
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), QLatin1String(className));
        QVERIFY(list->GridXMaster->MultiSelect());
        QVERIFY(list->GridXMaster->ReadOnly());
        QCOMPARE(list->LumoChild->Options(),
                 TLumoChild::TOptions(TLumoChild::AutoNav | TLumoChild::AutoReturn));
        QVERIFY(list->CDS && list->LumoBtn1);
    }
}

// 10 at 3 with 17 % makes 30, 5.1 and 35.1; each posted line brings the head's totals,
// shown with two decimals, and the save stores them as computed.
void tst_Orders::lineMoneyAndHeadTotals()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    const QString number = d.newHead();
    d.newLine();
    d.setLine("pqty", 10);
    d.setLine("price", 3);
    d.setLine("taxrate", 17);
    QCOMPARE(d.line("amount"), 30.0);
    QCOMPARE(d.line("Tax"), 5.1);
    QCOMPARE(d.line("Taxamount"), 35.1);
    QCOMPARE(d.head("taxamt"), 0.0); // not before the line is posted
    QVERIFY(d.lines().Post());
    QCOMPARE(d.head("amt"), 30.0);
    QCOMPARE(d.head("Tax"), 5.1);
    QCOMPARE(d.head("taxamt"), 35.1);
    QCOMPARE(d.head("RMBtaxamt"), 35.1);
    QVERIFY(d.addLine(3, 2.5, 0));
    QCOMPARE(d.head("amt"), 37.5);
    QCOMPARE(d.head("taxamt"), 42.6);
    QCOMPARE(d.text("edtTotaltaxamt"), QStringLiteral("42.60"));
    QCOMPARE(d.text("edtTotalTax"), QStringLiteral("5.10"));
    // A price of three decimals is kept and shown rounded.
    QVERIFY(d.addLine(1, 0.126, 0));
    QCOMPARE(d.head("amt"), 37.626);
    QCOMPARE(d.text("edtTotalamt"), QStringLiteral("37.63"));
    const QModelIndex price =
        d.window->GridXDetail->dataModel()->index(2, columnOf(d.window->GridXDetail, "price"));
    QCOMPARE(price.data(Qt::DisplayRole).toString(), QStringLiteral("0.13"));
    QCOMPARE(price.data(Qt::EditRole).toDouble(), 0.126);
    d.focusHead();
    QVERIFY2(d.exec(TLumoChild::cmSave), qPrintable(d.messages.texts.join('|')));
    const QString table = d.window->decl().headTable;
    QCOMPARE(d.stored(QStringLiteral("SELECT amt FROM %1 WHERE headno = '%2'").arg(table, number))
                 .toDouble(),
             37.626);
    QCOMPARE(
        d.stored(QStringLiteral("SELECT taxamt FROM %1 WHERE headno = '%2'").arg(table, number))
            .toDouble(),
        42.726);
}

void tst_Orders::homeTotalFollowsTheRate_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("home");
    for (const QString &backend : backends()) {
        QTest::addRow("%s rate 1", qPrintable(backend)) << backend << 1.0 << 35.1;
        QTest::addRow("%s rate 7.1", qPrintable(backend)) << backend << 7.1 << 7.1 * 35.1;
        QTest::addRow("%s rate 0 keeps the total", qPrintable(backend)) << backend << 0.0 << 35.1;
    }
}

// The home-currency total is the rate times the total, or the total when that is zero;
// a rate changed after the lines recomputes it.
void tst_Orders::homeTotalFollowsTheRate()
{
    QFETCH(QString, backend);
    QFETCH(double, rate);
    QFETCH(double, home);
    OPEN_DESK(d, "TfrmXBuyh");
    d.newHead();
    d.setHead("exchgrate", rate);
    QVERIFY(d.addLine(10, 3, 17));
    QCOMPARE(d.head("RMBtaxamt"), home);
    d.setHead("exchgrate", 2.0);
    QCOMPARE(d.head("RMBtaxamt"), 70.2);
    d.setHead("exchgrate", rate);
    QCOMPARE(d.head("RMBtaxamt"), home);
}

// Choosing a currency takes its rate from the currency list.
void tst_Orders::currencyTakesItsRate()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    d.newHead();
    QCOMPARE(d.heads().FieldByName("currency").AsString(), QStringLiteral("01"));
    QCOMPARE(d.head("exchgrate"), 1.0);
    d.setHead("currency", QStringLiteral("02"));
    QCOMPARE(d.head("exchgrate"), 7.1);
    QVERIFY(d.addLine(1, 100, 0));
    QCOMPARE(d.head("RMBtaxamt"), 710.0);
    d.setHead("currency", QStringLiteral("01"));
    QCOMPARE(d.head("exchgrate"), 1.0);
    QCOMPARE(d.head("RMBtaxamt"), 100.0);
}

// A tax kind picked in the grid brings its rate and the line's money; none means 0 %.
void tst_Orders::taxKindTakesItsRate()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    d.newHead();
    d.newLine();
    d.setLine("pqty", 10);
    d.setLine("price", 3);
    QVERIFY(typeIntoLine(d, "TaxName", QStringLiteral("增值税")));
    QCOMPARE(d.lines().FieldByName("taxtype").AsString(), QStringLiteral("T17"));
    QCOMPARE(d.line("taxrate"), 17.0);
    QCOMPARE(d.line("Taxamount"), 35.1);
    QVERIFY(!typeIntoLine(d, "TaxName", QStringLiteral("没有的税别")));
    QCOMPARE(d.lines().FieldByName("taxtype").AsString(), QStringLiteral("T17"));
    QVERIFY(typeIntoLine(d, "TaxName", QString()));
    QCOMPARE(d.lines().FieldByName("taxtype").AsString(), QString());
    QCOMPARE(d.line("taxrate"), 0.0);
    QCOMPARE(d.line("Taxamount"), 30.0);
}

void tst_Orders::listPriceAndDiscount_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<double>("discountFirst"); // typed before the list price; 0 for none
    QTest::addColumn<double>("listPrice");
    QTest::addColumn<double>("discountAfter"); // typed after it; 0 for none
    QTest::addColumn<double>("discount");
    QTest::addColumn<double>("price");
    for (const QString &backend : backends()) {
        const char *b = qPrintable(backend);
        QTest::addRow("%s no discount is 100 %%", b)
            << backend << 0.0 << 50.0 << 0.0 << 100.0 << 50.0;
        QTest::addRow("%s discount 80 after", b) << backend << 0.0 << 50.0 << 80.0 << 80.0 << 40.0;
        QTest::addRow("%s discount 80 before", b) << backend << 80.0 << 50.0 << 0.0 << 80.0 << 40.0;
        QTest::addRow("%s no list price keeps the price", b)
            << backend << 0.0 << 0.0 << 0.0 << 0.0 << 3.0;
    }
}

// The sales order's price is the list price at its discount, and the line money follows.
void tst_Orders::listPriceAndDiscount()
{
    QFETCH(QString, backend);
    QFETCH(double, discountFirst);
    QFETCH(double, listPrice);
    QFETCH(double, discountAfter);
    QFETCH(double, discount);
    QFETCH(double, price);
    OPEN_DESK(d, "TfrmXSale");
    d.newHead();
    d.newLine();
    d.setLine("pqty", 2);
    if (listPrice == 0)
        d.setLine("price", 3.0); // typed
    if (discountFirst != 0)
        d.setLine("disCount", discountFirst);
    if (listPrice != 0)
        d.setLine("oldPrice", listPrice);
    if (discountAfter != 0)
        d.setLine("disCount", discountAfter);
    QVERIFY(d.lines().Post()); // posting fills blank numbers with zero
    QCOMPARE(d.line("disCount"), discount);
    QCOMPARE(d.line("price"), price);
    QCOMPARE(d.line("amount"), 2 * price);
}

void tst_Orders::badInputRefusedWhole_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    struct Case
    {
        const char *tag, *className, *field;
        QVariant value;
        const char *message;
    };
    const QList<Case> cases{
        {"no currency", "TfrmXBuyh", "currency", QString(), "币别不能为空！"},
        {"no rate", "TfrmXSale", "exchgrate", QVariant(), "汇率不能为空！"},
        {"no supplier", "TfrmXBuyh", "spcode", QString(), "厂商不能为空！"},
        {"negative quantity", "TfrmXBuyh", "pqty", -1.0, "数量不能为负数！"},
        {"negative quantity", "TfrmXSale", "pqty", -2.0, "数量不能为负数！"},
        {"no payment date", "TfrmXBuyh", "getamtday", QString(), "预定付款日期不能为空！"},
    };
    for (const QString &backend : backends()) {
        for (const Case &c : cases)
            QTest::addRow("%s %s %s", qPrintable(backend), c.className, c.tag)
                << backend << QString(c.className) << QString(c.field) << c.value
                << QString::fromUtf8(c.message);
    }
}

// A head or line the order cannot take is refused with its message, and nothing of the
// document reaches the server.
void tst_Orders::badInputRefusedWhole()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    OPEN_DESK(d, className);
    const QString number = d.newHead();
    d.newLine();
    d.setLine("pqty", 1);
    d.setLine("price", 3);
    TLumoCLientDataSet &ds = d.heads().FindField(field) ? d.heads() : d.lines();
    ds.FieldByName(field).setValue(value);
    d.focusHead();
    d.exec(TLumoChild::cmSave);
    const bool said = std::any_of(d.messages.texts.cbegin(), d.messages.texts.cend(),
                                  [&](const QString &text) { return text.startsWith(message); });
    QVERIFY2(said, qPrintable(d.messages.texts.join('|')));
    const QString head = d.window->decl().headTable, body = d.window->decl().lineTable;
    QCOMPARE(
        d.stored(QStringLiteral("SELECT count(*) FROM %1 WHERE headno = '%2'").arg(head, number))
            .toInt(),
        0);
    QCOMPARE(
        d.stored(QStringLiteral("SELECT count(*) FROM %1 WHERE headno = '%2'").arg(body, number))
            .toInt(),
        0);
}

// Text where a number belongs is refused in the grid and the line keeps its values and its
// money; with the check-on-save switch on, the saved order is checked with its totals.
void tst_Orders::savedOrderIsChecked()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    START_SERVER();
    Desk d(*server);
    QVERIFY(d.open(className, true));
    const QString number = d.newHead();
    d.newLine();
    d.setLine("pqty", 4);
    d.setLine("price", 2);
    for (const char *field : {"price", "taxrate", "pqty"})
        QVERIFY2(!typeIntoLine(d, field, QStringLiteral("abc")), field);
    QCOMPARE(d.line("price"), 2.0);
    QCOMPARE(d.line("amount"), 8.0);
    QVERIFY(d.lines().Post());
    d.focusHead();
    QVERIFY2(d.exec(TLumoChild::cmSave), qPrintable(d.messages.texts.join('|')));
    const QString head = d.window->decl().headTable;
    QCOMPARE(d.stored(QStringLiteral("SELECT State FROM %1 WHERE headno = '%2'").arg(head, number))
                 .toString(),
             QStringLiteral("2"));
    QCOMPARE(d.stored(QStringLiteral("SELECT amt FROM %1 WHERE headno = '%2'").arg(head, number))
                 .toDouble(),
             8.0);
}

// A purchase line made from a sales order line keeps its product: both pickers refuse.
void tst_Orders::convertedLineKeepsItsProduct()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    d.newHead();
    d.newLine();
    d.setLine("SaleHeadno", QStringLiteral("202604100001"));
    const QString refusal =
        QStringLiteral("由销售单产生的采购不能修改货品资料，以保持与销售单的一致！");
    for (TLumoCodeName *picker : {d.window->cnPdtCode, d.window->cnSpecName}) {
        d.messages.texts.clear();
        picker->Pick();
        QCOMPARE(d.messages.texts, QStringList{refusal});
    }
    QCOMPARE(d.lines().FieldByName("pdtcode").AsString(), QStringLiteral("P1"));
}

// Three lines of two sales orders become one purchase order of three lines, each naming
// its sales line with the missing quantity and no supplier; the collecting set is empty
// after each conversion, and a second conversion into the unsaved order is refused.
void tst_Orders::salesLinesBecomeOnePurchaseOrder()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    QVERIFY(d.openList(QStringLiteral("TfrmSale2Buy")));
    TfrmToBuyList &list = *d.list;
    QVERIFY(!list.CDSXMaster->Active()); // nothing until the first query
    list.deBegin->SetDateTimeText(QStringLiteral("2026-04-10 00:00:00"));
    list.deEnd->SetDateTimeText(QStringLiteral("2026-04-10 00:00:00"));
    list.Search();
    QCOMPARE(rowsOf(*list.CDSXMaster, {"headno", "bodyno", "Needpqty"}),
             (QStringList{"202604100001/0001/3", "202604100001/0002/4", "202604100002/0001/5"}));
    list.GridXMaster->selectAll();
    list.LumoBtn1Click();
    QCOMPARE(d.handedOver, QList<qsizetype>{3});
    QVERIFY(list.CDS->IsEmpty());
    QVERIFY(d.heads().State() != TDataSetState::dsBrowse || d.heads().ChangeCount() > 0);
    QCOMPARE(d.heads().FieldByName("spcode").AsString(), QString());
    QCOMPARE(rowsOf(d.lines(),
                    {"bodyno", "SaleHeadno", "Salebodyno", "pdtcode", "pdtno", "pqty", "note"}),
             (QStringList{"0001/202604100001/0001/P1/0001/3/由销售单202604100001导入！",
                          "0002/202604100001/0002/P2/0001/4/由销售单202604100001导入！",
                          "0003/202604100002/0001/P1/0002/5/由销售单202604100002导入！"}));
    QCOMPARE(d.lines().FieldByName("getday").valueAt(0).toString(),
             QStringLiteral("2026-04-20 00:00:00"));
    QCOMPARE(d.lines().FieldByName("BigPackNum").valueAt(0).toInt(), 3); // 3 packages of 1
    for (const char *required : {"spcode", "currency", "exchgrate"})
        QVERIFY2(d.heads().FieldByName(required).Required(), required);
    for (const char *required : {"price", "amount", "Taxamount", "getamtday"})
        QVERIFY2(d.lines().FieldByName(required).Required(), required);

    // One more row, from an empty collecting set, into the order still being typed.
    d.messages.texts.clear();
    list.GridXMaster->clearSelection();
    QVERIFY(list.CDSXMaster->setRecNo(2));
    list.LumoBtn1Click();
    QCOMPARE(d.handedOver, (QList<qsizetype>{3, 1}));
    QVERIFY(list.CDS->IsEmpty());
    QCOMPARE(d.messages.texts, QStringList{QStringLiteral("请先保存当前数据！")});
    QCOMPARE(d.lines().RecordCount(), 3);

    // Saved only once the user has completed store, supplier, prices and payment dates.
    const QString number = d.heads().FieldByName("headno").AsString();
    d.messages.texts.clear();
    d.focusHead();
    QVERIFY(!d.exec(TLumoChild::cmSave));
    QCOMPARE(d.messages.texts.value(0), QStringLiteral("仓库不能为空！请先填仓库"));
    QCOMPARE(d.stored(QStringLiteral("SELECT count(*) FROM XBuyh WHERE headno = '%1'").arg(number))
                 .toInt(),
             0);
    d.setHead("storecode", QStringLiteral("W1"));
    d.setHead("spcode", QStringLiteral("S1"));
    d.setHead("Deptcode", QStringLiteral("0001"));
    d.setHead("mcode", QStringLiteral("0001"));
    for (int row = 1; row <= 3; ++row) {
        QVERIFY(d.lines().setRecNo(row));
        QVERIFY(d.lines().Edit());
        d.setLine("price", 10.0 * row);
        d.setLine("getamtday", QStringLiteral("2026-05-31 00:00:00"));
        QVERIFY(d.lines().Post());
    }
    QCOMPARE(d.head("amt"), 30.0 + 80 + 150);
    d.focusHead();
    QVERIFY2(d.exec(TLumoChild::cmSave), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(
        d.stored(QStringLiteral("SELECT count(*) FROM XBuyb WHERE headno = '%1' AND SaleHeadno "
                                "IS NOT NULL")
                     .arg(number))
            .toInt(),
        3);
}

// The shortage list needs a store first.
void tst_Orders::shortageQueryNeedsAStore()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    QVERIFY(d.openList(QStringLiteral("TfrmStockToBuy")));
    d.list->Search();
    QCOMPARE(d.messages.texts, QStringList{QStringLiteral("请现选择查询仓库！")});
    QVERIFY(!d.list->CDSXMaster->Active());
}

void tst_Orders::shortageLimitedByProduct_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("listed");
    for (const QString &backend : backends()) {
        const char *b = qPrintable(backend);
        QTest::addRow("%s whole store", b)
            << backend << QString() << QString() << QStringList{"P1/0002/2", "P2/0001/4"};
        QTest::addRow("%s one product", b)
            << backend << "P2" << QString() << QStringList{"P2/0001/4"};
        QTest::addRow("%s one variant", b) << backend << "P1"
                                           << "0002" << QStringList{"P1/0002/2"};
        QTest::addRow("%s a variant with enough stock", b) << backend << "P1"
                                                           << "0001" << QStringList();
    }
}

// Store W2 is short of two products; a chosen product (and variant) limits the list.
void tst_Orders::shortageLimitedByProduct()
{
    QFETCH(QString, backend);
    QFETCH(QString, product);
    QFETCH(QString, variant);
    QFETCH(QStringList, listed);
    OPEN_DESK(d, "TfrmXBuyh");
    QVERIFY(d.openList(QStringLiteral("TfrmStockToBuy")));
    d.list->searchEditor(QStringLiteral("cnStoreCodeSel"))->setText(QStringLiteral("W2"));
    d.list->searchEditor(QStringLiteral("cnPdtcode"))->setText(product);
    d.list->searchEditor(QStringLiteral("cnSpecCode"))->setText(variant);
    d.list->Search();
    QVERIFY2(d.messages.texts.isEmpty(), qPrintable(d.messages.texts.join('|')));
    QCOMPARE(rowsOf(*d.list->CDSXMaster, {"pdtcode", "pdtno", "Needpqty"}), listed);
}

// The chosen shortages become a purchase order of their store, one line each.
void tst_Orders::shortagesBecomeAPurchaseOrder()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    OPEN_DESK(d, className);
    QVERIFY(d.openList(QStringLiteral("TfrmStockToBuy")));
    d.list->searchEditor(QStringLiteral("cnStoreCodeSel"))->setText(QStringLiteral("W2"));
    d.list->Search();
    d.list->GridXMaster->selectAll();
    d.list->LumoBtn1Click();
    QCOMPARE(d.handedOver, QList<qsizetype>{2});
    QVERIFY(d.list->CDS->IsEmpty());
    QCOMPARE(d.heads().FieldByName("StoreCode").AsString(), QStringLiteral("W2"));
    QCOMPARE(d.heads().FieldByName("StoreName").AsString(), QStringLiteral("二号仓"));
    QCOMPARE(rowsOf(d.lines(), {"pdtcode", "pdtno", "SpecName", "pqty", "note"}),
             (QStringList{"P1/0002/40寸/2/库存不足转采购", "P2/0001/双门/4/库存不足转采购"}));
    QCOMPARE(d.lines().FieldByName("SaleHeadno").valueAt(0).toString(), QString());
}

void tst_Orders::emptyListConvertsNothing_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("queried");
    QTest::addColumn<QString>("message");
    for (const QString &backend : backends()) {
        const char *b = qPrintable(backend);
        for (bool queried : {false, true}) {
            const char *when = queried ? "queried to nothing" : "before the query";
            QTest::addRow("%s sales %s", b, when)
                << backend << "TfrmSale2Buy" << queried << "无销售单货品需要转采购单！";
            QTest::addRow("%s shortage %s", b, when)
                << backend << "TfrmStockToBuy" << queried << "无库存不足货品需要转采购单！";
        }
    }
}

// A closed or empty list says so and hands nothing over.
void tst_Orders::emptyListConvertsNothing()
{
    QFETCH(QString, backend);
    QFETCH(QString, className);
    QFETCH(bool, queried);
    QFETCH(QString, message);
    OPEN_DESK(d, "TfrmXBuyh");
    QVERIFY(d.openList(className));
    if (queried) {
        if (d.list->deBegin) { // a day without sales orders
            d.list->deBegin->SetDateTimeText(QStringLiteral("2020-01-01 00:00:00"));
            d.list->deEnd->SetDateTimeText(QStringLiteral("2020-01-01 00:00:00"));
        } else { // a store without shortages
            d.list->searchEditor(QStringLiteral("cnStoreCodeSel"))->setText(QStringLiteral("W9"));
        }
        d.list->Search();
        QVERIFY(d.list->CDSXMaster->Active());
    }
    d.messages.texts.clear();
    d.list->LumoBtn1Click();
    QCOMPARE(d.messages.texts, QStringList{message});
    QVERIFY(d.handedOver.isEmpty());
    QCOMPARE(d.heads().State(), TDataSetState::dsBrowse);
}

QTEST_MAIN(tst_Orders)
#include "tst_Orders.moc"
