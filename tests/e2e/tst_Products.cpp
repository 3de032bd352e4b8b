// The variant and product windows against the real server: item numbers, the search by
// brand and class, the prices including tax, new lines from the line before, the variant
// chooser on a line, pictures per line and the refusals of bad input.

#include "../lumo/LumoChildTestSupport.h"
#include "../lumo/LumoTestSupport.h"
#include "LumoCLientDataSet.h"
#include "LumoCheckBox.h"
#include "LumoChild.h"
#include "LumoCodeName.h"
#include "LumoDBGrid.h"
#include "LumoDBImage.h"
#include "LumoDataSetModel.h"
#include "LumoEdit.h"
#include "LumoListBox.h"
#include "LumoPageControl.h"
#include "LumoSocketConnection.h"
#include "LumoUpdateError.h"
#include "LumobitBtn.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "UMasterData.h"
#include "UMsgBox.h"
#include "UPicture.h"
#include "USpecedt.h"
#include "UWorkWindows.h"
#include "UXPrdth.h"
#include "UXSpecH.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace korvane;
using namespace korvane::test;

namespace {

bool sql(TestServer &server, const QStringList &statements)
{
    QSqlQuery q(server.db().db());
    for (const QString &statement : statements) {
        if (!q.exec(statement)) {
            qWarning() << statement << q.lastError().text();
            return false;
        }
    }
    return true;
}

//! A class "服装" whose first two heads are a colour and a size list, and a brand.
QStringList clothing(const QString &p)
{
    const QString colour = p + QStringLiteral("C"), size = p + QStringLiteral("S");
    return {
        QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('%1', '颜色')").arg(colour),
        QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('%1', '尺码')").arg(size),
        QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('%1', '0001', 'red')")
            .arg(colour),
        QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('%1', '0002', 'blue')")
            .arg(colour),
        QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('%1', '0001', 'L')")
            .arg(size),
        QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('%1', '0002', 'XL')")
            .arg(size),
        QStringLiteral("INSERT INTO XPrdtClass (Code, name, hspecno1, hspecno2) "
                       "VALUES ('%1', '服装', '%2', '%3')")
            .arg(p, colour, size),
        QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('%1N', '杂项')").arg(p),
    };
}

//! What the frame says of a required field left empty.
QString requiredText(const QString &label)
{
    return label + QStringLiteral("不能为空！请先填") + label;
}

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

//! The client as after login, with one of the two windows opened as the main window does.
struct Client
{
    TestServer &server;
    TdmMain dm;
    QPointer<TfrmMasterDetailtbl> window;
    bool ready = false;

    explicit Client(TestServer &s) : server(s)
    {
        ready = logInDataModule(dm, server.port());
        registerMasterDataWindows();
    }
    ~Client()
    {
        delete window.data();
        TLumoUpdateError::setHook({});
    }

    bool open(const QString &className)
    {
        delete window.data();
        window = qobject_cast<TfrmMasterDetailtbl *>(workwindows::create(className));
        return window && lumo::test::showActive(window) && heads().Active();
    }
    TfrmXPrdth *products() const { return qobject_cast<TfrmXPrdth *>(window.data()); }
    TLumoCLientDataSet &heads() const { return *window->CDSXMaster; }
    TLumoCLientDataSet &lines() const { return *window->cdsXDetail; }
    QString head(const QString &name) const { return heads().FieldByName(name).AsString(); }
    TLumoField &line(const QString &name) const { return lines().FieldByName(name); }
    bool exec(int command)
    {
        const bool done = window->LumoChild->ExecCommand(command);
        QCoreApplication::processEvents();
        return done;
    }
    template <class T> T *child(const QString &name) const { return window->findChild<T *>(name); }
    void focus(const QString &name)
    {
        QWidget *widget = child<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        widget->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }
    //! Types into a line edit of the window as the operator would.
    void type(const QString &editor, const QString &text)
    {
        auto *edit = child<QLineEdit>(editor);
        QVERIFY2(edit, qPrintable(editor));
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    bool findHead(const QString &code)
    {
        return heads().LocateValues(window->decl().headKey, {code}, true);
    }
    //! A new product head of a class, typed into its editors.
    bool newProduct(const QString &code, const QString &classCode, const QString &brand = {})
    {
        focus(QStringLiteral("edtpdtcode"));
        if (!exec(TLumoChild::cmNew))
            return false;
        heads().FieldByName(QStringLiteral("pdtcode")).setValue(code);
        heads().FieldByName(QStringLiteral("name")).setValue(QStringLiteral("衬衫"));
        heads().FieldByName(QStringLiteral("classcode")).setValue(classCode);
        if (!brand.isEmpty())
            heads().FieldByName(QStringLiteral("cicode")).setValue(brand);
        return true;
    }
    bool newLine()
    {
        focus(QStringLiteral("GridXDetail"));
        return exec(TLumoChild::cmNew) && lines().State() == TDataSetState::dsInsert;
    }
    QVariant stored(const QString &statement) const
    {
        QSqlQuery q(server.db().db());
        if (!q.exec(statement) || !q.next())
            return QVariant();
        return q.value(0);
    }
    int count(const QString &statement) const { return stored(statement).toInt(); }
};

} // namespace

#define CLIENT(c)                                                                                  \
    QFETCH(QString, backend);                                                                      \
    QString serverError;                                                                           \
    TestServer *server = serverFor(backend, &serverError);                                         \
    QVERIFY2(server, qPrintable(serverError))

#define LOGGED_IN(c)                                                                               \
    Client c(*server);                                                                             \
    QVERIFY(c.ready)

class tst_Products : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { stopServers(); }
    void windowsOpen_data() { addBackendRows(); }
    void windowsOpen();
    void variantItemsNumbered_data() { addBackendRows(); }
    void variantItemsNumbered();
    void variantHeadRefusals_data() { addBackendRows(); }
    void variantHeadRefusals();
    void searchByBrandAndClass_data() { addBackendRows(); }
    void searchByBrandAndClass();
    void pricesWithTax_data() { addBackendRows(); }
    void pricesWithTax();
    void newLineFromPreviousLine_data() { addBackendRows(); }
    void newLineFromPreviousLine();
    void chooserBuildsVariantText_data() { addBackendRows(); }
    void chooserBuildsVariantText();
    void picturePerLine_data() { addBackendRows(); }
    void picturePerLine();
    void productRefusals_data() { addBackendRows(); }
    void productRefusals();
};

// Both windows by their class names, on the master-detail frame: the products open on the
// product page with the search panel, the variants on their list without a query panel.
void tst_Products::windowsOpen()
{
    Messages messages;
    CLIENT(c);
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXSpecH")));
    QCOMPARE(c.window->windowTitle(), QStringLiteral("规格定义"));
    QCOMPARE(c.window->pcMain->tabText(0), QStringLiteral("产品规格列表"));
    QCOMPARE(c.window->pcMain->tabText(1), QStringLiteral("产品规格详细信息"));
    QCOMPARE(c.window->pcMain->currentWidget(), c.window->tsXMasterList);
    QVERIFY(c.window->pnlQuery->isHidden());
    QVERIFY(c.window->pnlDetailEdt->isHidden()); // items are edited in the grid
    QVERIFY(!c.window->cnPdtCode);

    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    QVERIFY(c.products());
    QCOMPARE(c.window->windowTitle(), QStringLiteral("货品资料"));
    QCOMPARE(c.window->pcMain->currentWidget(), c.window->tsXMasterDetail);
    QVERIFY(!c.window->pnlQuery->isHidden());
    QVERIFY(c.window->deBegin->isHidden());
    QCOMPARE(c.window->btnQry->text(), QStringLiteral("搜索"));
    QVERIFY(c.products()->chkCopy->isChecked());
    QCOMPARE(c.products()->chkCopy->text(), QStringLiteral("以下资料新增时自动从前一条拷贝"));
    QVERIFY(c.child<QWidget>(QStringLiteral("imgPic")));
    QCOMPARE(c.child<QWidget>(QStringLiteral("btnSpecName"))->toolTip(),
             QStringLiteral("货品规格详细信息"));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// Items take the lowest free number: 0001, 0002, 0004 give 0003, then 0005; head and
// items are saved as one change set.
void tst_Products::variantItemsNumbered()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(
        *server,
        {QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('VN1', '颜色')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('VN1', '0001', 'red')"),
         QStringLiteral("INSERT INTO XSpecb (hcode, bcode, name) VALUES ('VN1', '0002', 'blue')"),
         QStringLiteral(
             "INSERT INTO XSpecb (hcode, bcode, name) VALUES ('VN1', '0004', 'black')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXSpecH")));
    QVERIFY(c.findHead(QStringLiteral("VN1")));
    QCOMPARE(c.lines().RecordCount(), 3);
    for (const char *expected : {"0003", "0005"}) {
        QVERIFY(c.newLine());
        QCOMPARE(c.line(QStringLiteral("bcode")).AsString(), QLatin1String(expected));
        QCOMPARE(c.line(QStringLiteral("hcode")).AsString(), QStringLiteral("VN1"));
        c.line(QStringLiteral("name")).setValue(QStringLiteral("白") + QLatin1String(expected));
        c.lines().Post();
    }
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM XSpecb WHERE hcode = 'VN1'")), 5);
    QCOMPARE(c.stored(QStringLiteral("SELECT name FROM XSpecb WHERE hcode = 'VN1' AND bcode = "
                                     "'0005'"))
                 .toString(),
             QStringLiteral("白0005"));

    // A new head: its code typed in capitals, its first item 0001, all in one save.
    c.focus(QStringLiteral("edthcode"));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.type(QStringLiteral("edthcode"), QStringLiteral("vn2"));
    c.heads().FieldByName(QStringLiteral("name")).setValue(QStringLiteral("尺码"));
    QVERIFY(c.newLine());
    QCOMPARE(c.line(QStringLiteral("bcode")).AsString(), QStringLiteral("0001"));
    c.line(QStringLiteral("name")).setValue(QStringLiteral("XL"));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(c.stored(QStringLiteral("SELECT name FROM XSpecb WHERE hcode = 'VN2'")).toString(),
             QStringLiteral("XL"));
}

// A duplicate head code, an item without its text and a code over its width: the message,
// and nothing of the head or its items reaches the database.
void tst_Products::variantHeadRefusals()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(
        sql(*server, {QStringLiteral("INSERT INTO XSpech (hcode, name) VALUES ('VR1', '颜色')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXSpecH")));
    QCOMPARE(c.child<QLineEdit>(QStringLiteral("edthcode"))->maxLength(), 10);
    c.focus(QStringLiteral("edthcode"));
    QVERIFY(c.exec(TLumoChild::cmNew));
    c.type(QStringLiteral("edthcode"), QStringLiteral("VR1234567890"));
    QCOMPARE(c.head(QStringLiteral("hcode")), QStringLiteral("VR12345678"));
    c.type(QStringLiteral("edthcode"), QStringLiteral("vr1"));
    c.heads().FieldByName(QStringLiteral("name")).setValue(QStringLiteral("重复"));
    QVERIFY(c.newLine());
    c.line(QStringLiteral("name")).setValue(QStringLiteral("green"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts,
             QStringList{QStringLiteral("规格代码为'VR1'的资料已经存在。请检查！")});
    messages.texts.clear();

    c.type(QStringLiteral("edthcode"), QStringLiteral("VR2"));
    QVERIFY(c.newLine());
    QCOMPARE(c.line(QStringLiteral("bcode")).AsString(), QStringLiteral("0002"));
    QVERIFY(!c.exec(TLumoChild::cmSave)); // the second item has no text
    QCOMPARE(messages.texts, QStringList{requiredText(QStringLiteral("规格描述"))});
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM XSpech WHERE hcode = 'VR2'")), 0);
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM XSpecb WHERE hcode LIKE 'VR%'")), 0);
    QCOMPARE(c.stored(QStringLiteral("SELECT name FROM XSpech WHERE hcode = 'VR1'")).toString(),
             QStringLiteral("颜色"));
}

// With neither brand nor class every product is listed; a brand lists only its products,
// brand and class together only theirs. Each pick goes into its parameter and the twin.
void tst_Products::searchByBrandAndClass()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(
        sql(*server, {QStringLiteral("INSERT INTO XCI (Code, Name) VALUES ('SB1', '甲牌')"),
                      QStringLiteral("INSERT INTO XCI (Code, Name) VALUES ('SB2', '乙牌')"),
                      QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('SBA', '灯具')"),
                      QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('SBB', '家具')"),
                      QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode, cicode) "
                                     "VALUES ('SBP1', '台灯', 'SBA', 'SB1')"),
                      QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode, cicode) "
                                     "VALUES ('SBP2', '椅子', 'SBB', 'SB1')"),
                      QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode, cicode) "
                                     "VALUES ('SBP3', '落地灯', 'SBA', 'SB2')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    const auto listed = [&c] {
        QStringList codes;
        const TLumoField &code = c.heads().FieldByName(QStringLiteral("pdtcode"));
        for (int row = 0; row < c.heads().RecordCount(); ++row) {
            if (code.valueAt(row).toString().startsWith(QLatin1String("SBP")))
                codes << code.valueAt(row).toString();
        }
        return codes;
    };
    const auto search = [&c](const QString &brand, const QString &classCode) {
        for (const auto &[name, code] : {std::pair{QStringLiteral("cnCICodeSel"), brand},
                                         std::pair{QStringLiteral("cnClassCodeSel"), classCode}}) {
            TLumoCodeName *selector = c.window->selector(name);
            selector->activeEdit()->setText(code);
            selector->Resolve();
        }
        c.window->btnQryClick();
    };
    QCOMPARE(listed(), (QStringList{"SBP1", "SBP2", "SBP3"}));
    for (const char *param : {"CICode", "tmpCICode", "ClassCode", "tmpClassCode"})
        QCOMPARE(c.heads().Params().value(QLatin1String(param)).toString(), QStringLiteral(" "));
    search(QStringLiteral("SB1"), QString());
    QCOMPARE(listed(), (QStringList{"SBP1", "SBP2"}));
    QCOMPARE(c.heads().Params().value(QStringLiteral("tmpCICode")).toString(),
             QStringLiteral("SB1"));
    search(QStringLiteral("SB1"), QStringLiteral("SBA"));
    QCOMPARE(listed(), QStringList{"SBP1"});
    search(QString(), QString());
    QCOMPARE(listed(), (QStringList{"SBP1", "SBP2", "SBP3"}));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// Price 100 at 17 % gives 117, at 13 % 113; a typed price including tax is left alone; a
// tax type brings its own rate, on the purchase and on the sales side alike.
void tst_Products::pricesWithTax()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(*server,
                {QStringLiteral("INSERT INTO XTaxAttr (Code, Name, taxrate) VALUES ('PT17', "
                                "'增值税17', 17)"),
                 QStringLiteral("INSERT INTO XTaxAttr (Code, Name, taxrate) VALUES ('PT13', "
                                "'增值税13', 13)"),
                 QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('PTC', '灯具')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    QVERIFY(c.newProduct(QStringLiteral("PTP1"), QStringLiteral("PTC")));
    QVERIFY2(c.newLine(), qPrintable(messages.texts.join(QLatin1Char(0x7c))));
    struct Side
    {
        const char *price, *rate, *withTax, *type;
    };
    for (const Side &s : {Side{"Inprice", "Intaxrate", "TInprice", "Intaxtype"},
                          Side{"SalePrice", "SaleTaxrate", "TSalePrice", "SaleTaxtype"}}) {
        const auto value = [&c](const char *name) {
            return c.line(QLatin1String(name)).Value().toDouble();
        };
        c.line(QLatin1String(s.price)).setValue(100);
        c.line(QLatin1String(s.rate)).setValue(17);
        QCOMPARE(value(s.withTax), 117.0);
        c.line(QLatin1String(s.rate)).setValue(13);
        QCOMPARE(value(s.withTax), 113.0);
        c.line(QLatin1String(s.withTax)).setValue(120);
        QCOMPARE(value(s.price), 100.0);
        QCOMPARE(value(s.rate), 13.0);
        QCOMPARE(value(s.withTax), 120.0);
        c.line(QLatin1String(s.type)).setValue(QStringLiteral("PT17"));
        QCOMPARE(value(s.rate), 17.0);
        QCOMPARE(value(s.withTax), 117.0);
        c.line(QLatin1String(s.price)).setValue(200);
        QCOMPARE(value(s.withTax), 234.0);
        // A type the list does not know leaves the rate as it is.
        c.line(QLatin1String(s.type)).setValue(QStringLiteral("PT99"));
        QCOMPARE(value(s.rate), 17.0);
    }
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

// The first line of a new product starts empty even with the copy box ticked; the second
// copies supplier, units, packing, prices, tax types, weights and dimensions of the first,
// never its variant, bar code, note or picture; without the tick a line starts empty.
void tst_Products::newLineFromPreviousLine()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(
        sql(*server, {QStringLiteral("INSERT INTO XTaxAttr (Code, Name, taxrate) VALUES ('CT17', "
                                     "'增值税17', 17)"),
                      QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('CPC', '灯具')"),
                      QStringLiteral("INSERT INTO XMeasure (Code, Name) VALUES ('CM1', '个')"),
                      QStringLiteral("INSERT INTO XMeasure (Code, Name) VALUES ('CM2', '箱')"),
                      QStringLiteral("INSERT INTO xFatBn (code, name, LocalCode) "
                                     "VALUES ('CS1', '华东灯饰', NULL)")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    TfrmXPrdth *window = c.products();
    // A product with lines listed first leaves its line in the record ...
    QVERIFY(c.newProduct(QStringLiteral("CPP1"), QStringLiteral("CPC")));
    QVERIFY(c.newLine());
    QCOMPARE(prdtline::read(c.lines()), TPrdt());
    for (const char *name : {"SpecName", "barcode", "Note", "measure"})
        QVERIFY(c.line(QLatin1String(name)).AsString().isEmpty());

    const QList<std::pair<const char *, QVariant>> first{
        {"SpecName", "red,XL"}, {"barcode", "6901234567892"},
        {"Note", "样品"},       {"measure", "CM1"},
        {"BigPack", "CM2"},     {"PackNum", 12},
        {"spcode", "CS1"},      {"SpName", "华东灯饰"},
        {"Inprice", 100},       {"Intaxtype", "CT17"},
        {"SalePrice", 150},     {"SaleTaxtype", "CT17"},
        {"cuft", "30x20x10"},   {"nweight", 1.5},
        {"gweight", 2.0}};
    for (const auto &[name, value] : first)
        c.line(QLatin1String(name)).setValue(value);
    c.line(QStringLiteral("Pic")).setValue(jpegBytes(40, 30));
    c.line(QStringLiteral("TSalePrice")).setValue(180); // typed over
    const TPrdt firstLine = prdtline::read(c.lines());
    QCOMPARE(firstLine.TInPrice, 117.0);
    QCOMPARE(firstLine.InTaxRate, 17.0);

    QVERIFY(c.newLine());
    QCOMPARE(c.line(QStringLiteral("bodyno")).AsString(), QStringLiteral("0002"));
    QCOMPARE(prdtline::read(c.lines()), firstLine);
    QCOMPARE(c.line(QStringLiteral("TSalePrice")).Value().toDouble(), 180.0);
    for (const char *name : {"SpecName", "barcode", "Note"})
        QVERIFY2(c.line(QLatin1String(name)).AsString().isEmpty(), name);
    QVERIFY(c.line(QStringLiteral("Pic")).IsNull());
    c.line(QStringLiteral("SpecName")).setValue(QStringLiteral("blue,XL"));
    // The copied line changed before the next insert: the next copies what it holds now.
    c.line(QStringLiteral("Inprice")).setValue(90);

    window->chkCopy->setChecked(false);
    QVERIFY(c.newLine());
    QCOMPARE(prdtline::read(c.lines()), TPrdt());
    c.line(QStringLiteral("SpecName")).setValue(QStringLiteral("red,L"));
    c.line(QStringLiteral("measure")).setValue(QStringLiteral("CM1"));
    window->chkCopy->setChecked(true);
    QCOMPARE(window->previousLine().InPrice, 90.0);
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdtb WHERE pdtcode = 'CPP1'")), 3);
    QCOMPARE(c.stored(QStringLiteral("SELECT TInprice FROM xprdtb WHERE pdtcode = 'CPP1' AND "
                                     "bodyno = '0002'"))
                 .toDouble(),
             105.3);
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdtb WHERE pdtcode = 'CPP1' AND "
                                    "Pic IS NOT NULL")),
             1);

    // A new product: its first line starts empty although the record holds a line.
    QVERIFY(c.newProduct(QStringLiteral("CPP2"), QStringLiteral("CPC")));
    QVERIFY(!(window->previousLine() == TPrdt()));
    QVERIFY(c.newLine());
    QCOMPARE(prdtline::read(c.lines()), TPrdt());
}

// The chooser on a line of a class with a colour and a size list: red and XL give
// "red,XL", XL alone "XL"; the ellipsis of the grid's cell opens it too; a class without
// heads says so and leaves the line as it was, in edit.
void tst_Products::chooserBuildsVariantText()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(sql(*server,
                clothing(QStringLiteral("VC")) +
                    QStringList{QStringLiteral("INSERT INTO XMeasure (Code, Name) VALUES "
                                               "('VCM', '件')"),
                                QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode) "
                                               "VALUES ('VCP1', '衬衫', 'VC')"),
                                QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, "
                                               "measure) VALUES ('VCP1', '0001', '旧', 'VCM')"),
                                QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode) "
                                               "VALUES ('VCP2', '杂物', 'VCN')"),
                                QStringLiteral("INSERT INTO xprdtb (pdtcode, bodyno, SpecName, "
                                               "measure) VALUES ('VCP2', '0001', '旧', 'VCM')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    TfrmXPrdth *window = c.products();
    // Picks in the chooser once it is shown, then "确定".
    const auto pickThenAccept = [window](const QList<std::pair<int, QString>> &picks) {
        auto *timer = new QTimer(window);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, picks] {
            TfrmSpecedt &chooser = frmSpecedt();
            if (!chooser.isVisible())
                return;
            timer->deleteLater();
            for (const auto &[n, text] : picks) {
                TLumoListBox *list = chooser.list(n);
                const auto items = list->findItems(text, Qt::MatchExactly);
                if (items.size() == 1)
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualItemRect(items.first()).center());
            }
            chooser.accept();
        });
        timer->start();
    };
    QVERIFY(c.findHead(QStringLiteral("VCP1")));
    QCOMPARE(c.lines().State(), TDataSetState::dsBrowse);
    pickThenAccept({{1, "red"}, {2, "XL"}});
    window->chooseVariant();
    QCOMPARE(c.line(QStringLiteral("SpecName")).AsString(), QStringLiteral("red,XL"));
    QCOMPARE(c.lines().State(), TDataSetState::dsEdit);

    // The grid's cell: its button closes the cell editor, then the chooser opens.
    const int column = window->GridXDetail->dataModel()->columnOf(QStringLiteral("SpecName"));
    QVERIFY(column >= 0);
    window->GridXDetail->setFocus();
    const QModelIndex cell = window->GridXDetail->model()->index(0, column);
    window->GridXDetail->setCurrentIndex(cell);
    window->GridXDetail->edit(cell);
    auto *ellipsis = window->GridXDetail->findChild<QToolButton *>(QStringLiteral("btnEllipsis"));
    QVERIFY(ellipsis);
    pickThenAccept({{2, "XL"}});
    ellipsis->click();
    QTRY_COMPARE(c.line(QStringLiteral("SpecName")).AsString(), QStringLiteral("XL"));
    QVERIFY(c.exec(TLumoChild::cmSave));
    QCOMPARE(
        c.stored(QStringLiteral("SELECT SpecName FROM xprdtb WHERE pdtcode = 'VCP1'")).toString(),
        QStringLiteral("XL"));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));

    QVERIFY(c.findHead(QStringLiteral("VCP2")));
    window->chooseVariant();
    QCOMPARE(messages.texts, QStringList{QStringLiteral("此大类产品没有规格可选择！")});
    QCOMPARE(c.line(QStringLiteral("SpecName")).AsString(), QStringLiteral("旧"));
    QCOMPARE(c.lines().State(), TDataSetState::dsEdit);
}

// Each line keeps its own picture, stored as JPEG no larger than the stored side; the
// picture window's answer goes into the current line, and clearing it empties the field.
void tst_Products::picturePerLine()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(
        sql(*server, {QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('PPC', '灯具')"),
                      QStringLiteral("INSERT INTO XMeasure (Code, Name) VALUES ('PPM', '个')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    QByteArray chosen;
    TLumoDBImage::setPictureDialog([&chosen](QWidget *, QByteArray &picture) {
        picture = chosen;
        return true;
    });
    auto *image = c.child<TLumoDBImage>(QStringLiteral("imgPic"));
    QVERIFY(image);
    QVERIFY(c.newProduct(QStringLiteral("PPP1"), QStringLiteral("PPC")));
    for (const char *spec : {"大", "小"}) {
        QVERIFY(c.newLine());
        c.line(QStringLiteral("SpecName")).setValue(QString::fromUtf8(spec));
        c.line(QStringLiteral("measure")).setValue(QStringLiteral("PPM"));
    }
    chosen = picture::storedPicture(QImage::fromData(jpegBytes(2000, 1000)));
    QVERIFY(!chosen.isEmpty());
    QTest::mouseDClick(image, Qt::LeftButton);
    QCOMPARE(c.line(QStringLiteral("Pic")).Value().toByteArray(), chosen);
    QVERIFY(!image->pixmap().isNull());
    QVERIFY(c.exec(TLumoChild::cmSave));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    const QByteArray stored =
        c.stored(
             QStringLiteral("SELECT Pic FROM xprdtb WHERE pdtcode = 'PPP1' AND bodyno = '0002'"))
            .toByteArray();
    QCOMPARE(stored, chosen);
    QCOMPARE(QImage::fromData(stored).size(), QSize(1024, 512));
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdtb WHERE pdtcode = 'PPP1' AND "
                                    "bodyno = '0001' AND Pic IS NOT NULL")),
             0);

    // Cleared in the picture window: the line keeps no picture.
    QVERIFY(c.lines().LocateValues(QStringLiteral("bodyno"), {QStringLiteral("0002")}, true));
    QVERIFY(!c.line(QStringLiteral("Pic")).IsNull());
    chosen.clear();
    QTest::mouseDClick(image, Qt::LeftButton);
    QVERIFY(c.line(QStringLiteral("Pic")).IsNull());
    QVERIFY(c.exec(TLumoChild::cmSave));
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdtb WHERE pdtcode = 'PPP1' AND "
                                    "Pic IS NOT NULL")),
             0);
    TLumoDBImage::setPictureDialog({});
}

// A product code over its width, a line without its variant or unit, a product without a
// class and a duplicate product code: the message, and nothing half saved.
void tst_Products::productRefusals()
{
    Messages messages;
    CLIENT(c);
    QVERIFY(
        sql(*server, {QStringLiteral("INSERT INTO XPrdtClass (Code, name) VALUES ('PRC', '灯具')"),
                      QStringLiteral("INSERT INTO XMeasure (Code, Name) VALUES ('PRM', '个')"),
                      QStringLiteral("INSERT INTO xprdth (pdtcode, name, classcode) "
                                     "VALUES ('PRP1', '台灯', 'PRC')")}));
    LOGGED_IN(c);
    QVERIFY(c.open(QStringLiteral("TfrmXPrdth")));
    QCOMPARE(c.child<QLineEdit>(QStringLiteral("edtpdtcode"))->maxLength(), 30);
    QVERIFY(c.newProduct(QString(), QStringLiteral("PRC")));
    c.type(QStringLiteral("edtpdtcode"), QStringLiteral("prp2") + QString(40, QLatin1Char('x')));
    QCOMPARE(c.head(QStringLiteral("pdtcode")).size(), 30);
    c.type(QStringLiteral("edtpdtcode"), QStringLiteral("prp2"));
    QCOMPARE(c.head(QStringLiteral("pdtcode")), QStringLiteral("PRP2"));
    QVERIFY(c.newLine());
    c.line(QStringLiteral("measure")).setValue(QStringLiteral("PRM"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{requiredText(QStringLiteral("规格型号"))});
    messages.texts.clear();
    c.line(QStringLiteral("SpecName")).setValue(QStringLiteral("大号"));
    c.line(QStringLiteral("measure")).setValue(QVariant());
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{requiredText(QStringLiteral("计量单位"))});
    messages.texts.clear();
    c.line(QStringLiteral("measure")).setValue(QStringLiteral("PRM"));
    c.heads().FieldByName(QStringLiteral("classcode")).setValue(QVariant());
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts, QStringList{requiredText(QStringLiteral("货品大类"))});
    messages.texts.clear();
    c.heads().FieldByName(QStringLiteral("classcode")).setValue(QStringLiteral("PRC"));
    c.type(QStringLiteral("edtpdtcode"), QStringLiteral("PRP1"));
    QVERIFY(!c.exec(TLumoChild::cmSave));
    QCOMPARE(messages.texts,
             QStringList{QStringLiteral("货品代码为'PRP1'的资料已经存在。请检查！")});
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdtb WHERE pdtcode LIKE 'PRP%'")), 0);
    QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM xprdth WHERE pdtcode LIKE 'PRP%'")), 1);
    c.exec(TLumoChild::cmCancel);
}

QTEST_MAIN(tst_Products)
#include "tst_Products.moc"
