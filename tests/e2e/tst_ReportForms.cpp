// Report forms over rows fetched from the real server's report module, on both backends:
// the rows arrive in packets, the forms read every one, and the computed columns and sums
// come out of what the statements return.

#include "../lumo/LumoTestSupport.h"
#include "../server/ModuleTestKit.h"
#include "DeskLogIn.h"
#include "LoginUserInfo.h"
#include "LumoCLientDataSet.h"
#include "LumoSocketConnection.h"
#include "ReportLayout.h"
#include "TestServer.h"
#include "UDMMain.h"
#include "UParentInfo.h"
#include "URPTForm.h"

#include <QTest>

#include <map>
#include <memory>

using namespace korvane;
using namespace korvane::test;
using namespace korvane::report;
using namespace korvane::reports;

namespace {

std::map<QString, std::unique_ptr<TestServer>> servers;

TestServer *serverFor(const QString &backend, QString *error)
{
    auto &server = servers[backend];
    if (!server) {
        server = std::make_unique<TestServer>(backend);
        if (!server->start() || !loadDocuments(server->db().db())) {
            *error = server->error();
            server.reset();
        }
    }
    return server.get();
}

//! A logged-in data module; the report rows come through its report connection.
struct Desk
{
    TdmMain dm;
    TLumoCLientDataSet rows;

    bool logIn(TestServer &server)
    {
        if (!logInDesk(dm, server.port(), false))
            return false;
        rows.setRemoteServer(dm.scRPT);
        rows.setProviderName(QStringLiteral("dspXMaster"));
        return true;
    }

    //! Fetches a report as a condition window does, nothing picked, in packets of two rows.
    bool fetch(const QString &code)
    {
        rows.Close();
        rows.Params().clear();
        rows.Params().setValue(QStringLiteral("SQLFLAG"), code);
        for (const char *pair : {"spCode", "DeptCode", "pdtCode", "StoreCode", "pdtno"}) {
            rows.Params().setValue(QString::fromLatin1(pair), QStringLiteral(" "));
            rows.Params().setValue(QStringLiteral("tmp") + QString::fromLatin1(pair),
                                   QStringLiteral(" "));
        }
        rows.Params().setValue(QStringLiteral("State"), QStringLiteral("1"));
        rows.setPacketRecords(2);
        rows.setFetchOnDemand(true);
        rows.Open();
        return rows.Active();
    }
};

QStringList pageTexts(const QVector<ReportPage> &pages)
{
    QStringList texts;
    for (const ReportPage &page : pages)
        for (const Primitive &p : page.items)
            if (p.kind == PrimitiveKind::Text)
                texts << p.text;
    return texts;
}

} // namespace

class tst_ReportForms : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { servers.clear(); }
    void formsPrintTheFetchedRows_data();
    void formsPrintTheFetchedRows();
};

void tst_ReportForms::formsPrintTheFetchedRows_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("texts"); //!< printed in this order
    for (const QString &backend : backends()) {
        // Three store rows in two packets; the store's name, the sums of good, defective
        // and both.
        QTest::addRow("%s stock", qPrintable(backend))
            << backend << "RPTSTOCKDETAIL"
            << QStringList{"一号仓", "电视",   "5.00",  "1.00", "6.00",
                           "二号仓", "合计：", "57.00", "1.00", "58.00"};
        // Three orders; the one without any receipt is owed in full.
        QTest::addRow("%s receivables", qPrintable(backend))
            << backend << "RPTGATHERCUST"
            << QStringList{"客户一",       "202603020001", "702.00", "300.00", "402.00",
                           "202603020003", "234.00",       "0.00",   "234.00", "小计：",
                           "客户二",       "202603020002", "234.00", "0.00",   "234.00",
                           "合计：",       "1170.00",      "300.00", "870.00"};
    }
}

void tst_ReportForms::formsPrintTheFetchedRows()
{
    QFETCH(QString, backend);
    QFETCH(QString, code);
    QFETCH(QStringList, texts);
    QString error;
    TestServer *server = serverFor(backend, &error);
    QVERIFY2(server, qPrintable(error));
    Desk desk;
    QVERIFY(desk.logIn(*server));
    QVERIFY(desk.fetch(code));
    QCOMPARE(desk.rows.RecordCount(), 2); // the first packet only

    auto &form = static_cast<TfrmRPTForm &>(*reportForm(code));
    DataSetCursor cursor(desk.rows);
    ReportLayout layout(form.definition(), cursor, form.context());
    const QStringList printed = pageTexts(layout.remainingPages());
    QCOMPARE(desk.rows.RecordCount(), 3);
    // The expected texts appear in print order.
    qsizetype at = 0;
    for (const QString &text : texts) {
        at = printed.indexOf(text, at);
        QVERIFY2(at >= 0, qPrintable(text + QStringLiteral(" in ") + printed.join(u'|')));
        ++at;
    }
    QVERIFY(printed.contains(QStringLiteral("制单：") + ParentInfo.Log.UserName));
}

QTEST_MAIN(tst_ReportForms)
#include "tst_ReportForms.moc"
