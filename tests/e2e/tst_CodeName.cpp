// The code/name editor against a running server: codes resolved through the code/name
// module's providers, unknown codes cleared, a specification editor that needs its product,
// the pick list, and companion columns copied by LinkDataField.

#include "../lumo/CodeNameTestSupport.h"
#include "../lumo/LumoTestSupport.h"
#include "LumoCodeName.h"
#include "LumoEdit.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"
#include "UCodeName.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QVBoxLayout>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;
using korvane::FieldType;
using lumo::test::MessageLog;
using lumo::test::whenPickWindowShows;

namespace {

// A class, a unit, two products with one specification line each, and a store.
const char *const kSeed[] = {
    "INSERT INTO XPrdtClass (Code, name) VALUES ('C01', '五金')",
    "INSERT INTO XMeasure (code, name) VALUES ('01', '个')",
    "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('P01', '螺丝', 'C01')",
    "INSERT INTO xprdth (pdtcode, name, classcode) VALUES ('P02', '螺母', 'C01')",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure, PackNum, TInprice) "
    "VALUES ('P01', '0001', '小号', '01', 10, 1.5)",
    "INSERT INTO xprdtb (pdtcode, bodyno, SpecName, measure, PackNum, TInprice) "
    "VALUES ('P02', '0001', '大号', '01', 20, 2.5)",
    "INSERT INTO XStore (code, name, parentc) VALUES ('S01', '总仓', '0001')",
};

//! A running server with the seed rows and a logged-in connection to the code/name module.
struct Lookups
{
    TestServer server;
    TLumoSocketConnection base;
    TLumoSocketConnection codeName;
    QString error;

    explicit Lookups(const QString &backend) : server(backend) {}

    bool open()
    {
        if (!server.start())
            return fail(server.error());
        QSqlQuery q(server.db().db());
        for (const char *sql : kSeed) {
            if (!q.exec(QString::fromUtf8(sql)))
                return fail(q.lastError().text());
        }
        try {
            base.setPort(server.port());
            base.setServerName(QStringLiteral("Korvane.BaseRDM"));
            QString session, info, sysSet, purView, para;
            base.callWithOutputs(QStringLiteral("LogIn"),
                                 {QStringLiteral("0001"), QStringLiteral("0001"),
                                  QStringLiteral("127.0.0.1"), QStringLiteral("pc")},
                                 {&session, &info, &sysSet, &purView, &para});
            codeName.setPort(server.port());
            codeName.setServerName(QStringLiteral("Korvane.CodeNameRDM"));
            codeName.setSession(session);
        } catch (const TLumoRemoteError &e) {
            return fail(e.text());
        }
        return true;
    }
    bool fail(const QString &text)
    {
        error = text;
        return false;
    }
};

//! A line of a document: product, specification line with its name, pack and price, store.
struct Line
{
    TLumoCLientDataSet dataSet;
    TLumoDataSource source;

    Line()
    {
        dataSet.addDataField(QStringLiteral("pdtcode"), FieldType::String, 30)
            .setDisplayLabel(QStringLiteral("商品代码"));
        dataSet.addDataField(QStringLiteral("Name"), FieldType::String, 60);
        dataSet.addDataField(QStringLiteral("bodyno"), FieldType::String, 4)
            .setDisplayLabel(QStringLiteral("项次"));
        dataSet.addDataField(QStringLiteral("SpecName"), FieldType::String, 255);
        dataSet.addDataField(QStringLiteral("PackNum"), FieldType::Float);
        dataSet.addDataField(QStringLiteral("MeasureName"), FieldType::String, 20);
        dataSet.addDataField(QStringLiteral("TInprice"), FieldType::Float);
        dataSet.addDataField(QStringLiteral("StoreCode"), FieldType::String, 10)
            .setDisplayLabel(QStringLiteral("仓库"));
        dataSet.addDataField(QStringLiteral("StoreName"), FieldType::String, 100);
        dataSet.CreateDataSet();
        dataSet.Append();
        source.setDataSet(&dataSet);
    }
    QVariant value(const QString &field) const { return dataSet.FieldByName(field).Value(); }
};

//! A line panel: product editor, its dependent specification editor, a store editor.
struct LinePanel
{
    Line line;
    QWidget window;
    TLumoCodeName *cnPdtCode = new TLumoCodeName(&window);
    TLumoCodeName *cnSpecName = new TLumoCodeName(&window);
    TLumoCodeName *cnStoreCode = new TLumoCodeName(&window);
    TLumoEdit *edtNote = new TLumoEdit(&window);

    explicit LinePanel(TLumoRemoteServer *codeName)
    {
        auto *layout = new QVBoxLayout(&window);
        const struct
        {
            TLumoCodeName *editor;
            const char *name, *provider, *field;
        } editors[] = {{cnPdtCode, "cnPdtCode", "dspPdtCN", "pdtcode"},
                       {cnSpecName, "cnSpecName", "dspSpecCN", "bodyno"},
                       {cnStoreCode, "cnStoreCode", "dspStoreCN", "StoreCode"}};
        for (const auto &e : editors) {
            e.editor->setObjectName(QLatin1String(e.name));
            e.editor->setRemoteServer(codeName);
            e.editor->setProviderName(QLatin1String(e.provider));
            e.editor->setDataSource(&line.source);
            e.editor->setCodeDataField(QLatin1String(e.field));
            layout->addWidget(e.editor);
        }
        layout->addWidget(edtNote);
        cnPdtCode->setTitlesList({QStringLiteral("商品代码"), QStringLiteral("商品名称")});
        cnSpecName->setPreCodeName(cnPdtCode);
        cnSpecName->setLinkDataField({QStringLiteral("SpecName"), QStringLiteral("PackNum"),
                                      QString(), QStringLiteral("TInprice")});
        cnStoreCode->setLinkDataField({QStringLiteral("StoreName")});
    }
    bool show() { return lumo::test::showActive(&window); }
    void type(TLumoCodeName *editor, const QString &text)
    {
        editor->activeEdit()->setFocus(Qt::TabFocusReason);
        editor->activeEdit()->selectAll();
        QTest::keyClicks(editor->activeEdit(), text);
    }
    void leave() { edtNote->setFocus(Qt::TabFocusReason); }
};

} // namespace

class tst_CodeName : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { addBackendRows(); }
    void typedLowerCaseCodeResolvesUpperCase();
    void unknownCodeClearedWithMessage();
    void specificationNeedsItsProduct();
    void specificationOfProductCopiedByLinkDataField();
    void pickListCancelledChangesNothing();
    void pickListOkTakesChosenRow();

private:
    //! The server of the current backend, started once for all cases.
    Lookups *lookups();
    std::map<QString, std::unique_ptr<Lookups>> m_lookups;
};

Lookups *tst_CodeName::lookups()
{
    QFETCH_GLOBAL(QString, backend);
    std::unique_ptr<Lookups> &slot = m_lookups[backend];
    if (!slot) {
        slot = std::make_unique<Lookups>(backend);
        if (!slot->open()) {
            QTest::qFail(qPrintable(slot->error), __FILE__, __LINE__);
            return nullptr;
        }
    }
    return slot->error.isEmpty() ? slot.get() : nullptr;
}

void tst_CodeName::typedLowerCaseCodeResolvesUpperCase()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    QVERIFY(panel.show());
    panel.type(panel.cnStoreCode, QStringLiteral("s01"));
    QCOMPARE(panel.cnStoreCode->Text(), QStringLiteral("S01"));
    panel.leave();
    QCOMPARE(panel.line.value(QStringLiteral("StoreCode")).toString(), QStringLiteral("S01"));
    QCOMPARE(panel.line.value(QStringLiteral("StoreName")).toString(), QStringLiteral("总仓"));
    QCOMPARE(panel.cnStoreCode->Text(), QStringLiteral("S01"));
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
}

void tst_CodeName::unknownCodeClearedWithMessage()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    QVERIFY(panel.show());
    panel.type(panel.cnPdtCode, QStringLiteral("p01"));
    panel.leave();
    QCOMPARE(panel.line.value(QStringLiteral("Name")).toString(), QStringLiteral("螺丝"));

    panel.type(panel.cnPdtCode, QStringLiteral("p99"));
    panel.leave();
    QCOMPARE(messages.texts, QStringList{QStringLiteral("没有'P99'这一商品代码")});
    QVERIFY(panel.line.value(QStringLiteral("pdtcode")).isNull());
    QVERIFY(panel.line.value(QStringLiteral("Name")).isNull());
    QCOMPARE(panel.cnPdtCode->Text(), QString());
}

void tst_CodeName::specificationNeedsItsProduct()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    QVERIFY(panel.show());
    panel.type(panel.cnSpecName, QStringLiteral("0001"));
    panel.leave();
    QCOMPARE(messages.texts, QStringList{QStringLiteral("请先选择商品代码")});
    QCOMPARE(panel.cnSpecName->Text(), QStringLiteral("0001"));
    QVERIFY(panel.line.value(QStringLiteral("SpecName")).isNull());
    QVERIFY(!panel.cnSpecName->lookupDataSet()->Active());
}

void tst_CodeName::specificationOfProductCopiedByLinkDataField()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    QVERIFY(panel.show());
    panel.type(panel.cnPdtCode, QStringLiteral("P02"));
    panel.leave();
    panel.type(panel.cnSpecName, QStringLiteral("0001"));
    panel.leave();
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    QCOMPARE(panel.line.value(QStringLiteral("bodyno")).toString(), QStringLiteral("0001"));
    QCOMPARE(panel.line.value(QStringLiteral("SpecName")).toString(), QStringLiteral("大号"));
    QCOMPARE(panel.line.value(QStringLiteral("PackNum")).toDouble(), 20.0);
    QVERIFY2(panel.line.value(QStringLiteral("MeasureName")).isNull(), "an empty entry skips");
    QCOMPARE(panel.line.value(QStringLiteral("TInprice")).toDouble(), 2.5);
}

void tst_CodeName::pickListCancelledChangesNothing()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    QVERIFY(panel.show());
    panel.cnPdtCode->activeEdit()->setFocus(Qt::TabFocusReason);
    int rows = -1;
    whenPickWindowShows([&rows](TfrmCodeName *pick) {
        rows = pick->dbGridCodeName->model()->rowCount();
        pick->btnCancel->click();
    });
    QTest::keyClick(panel.cnPdtCode->activeEdit(), Qt::Key_Down);
    QCOMPARE(rows, 2);
    QVERIFY(panel.line.value(QStringLiteral("pdtcode")).isNull());
    QVERIFY(panel.line.value(QStringLiteral("Name")).isNull());
    QCOMPARE(panel.window.focusWidget(), panel.cnPdtCode->activeEdit());
    QVERIFY(messages.texts.isEmpty());
}

void tst_CodeName::pickListOkTakesChosenRow()
{
    Lookups *server = lookups();
    QVERIFY(server);
    MessageLog messages;
    LinePanel panel(&server->codeName);
    whenPickWindowShows([](TfrmCodeName *pick) {
        pick->dbGridCodeName->setCurrentIndex(pick->dbGridCodeName->model()->index(1, 0));
        pick->btnOK->click();
    });
    panel.cnPdtCode->Pick();
    QCOMPARE(panel.line.value(QStringLiteral("pdtcode")).toString(), QStringLiteral("P02"));
    QCOMPARE(panel.line.value(QStringLiteral("Name")).toString(), QStringLiteral("螺母"));
}

QTEST_MAIN(tst_CodeName)
#include "tst_CodeName.moc"
