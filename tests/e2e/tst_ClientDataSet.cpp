#include "Korvane_TLB.h"
#include "LumoCLientDataSet.h"
#include "LumoSocketConnection.h"
#include "TestServer.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

int count(TestServer &server, const QString &sql)
{
    QSqlQuery q(server.db().db());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

QString nameOf(TestServer &server, const QString &sql)
{
    QSqlQuery q(server.db().db());
    if (!q.exec(sql) || !q.next())
        return QStringLiteral("<none>");
    return q.value(0).toString();
}

// The product variants: heads (hcode, name) with their lines (hcode, bcode, name)
// nested, on the base module.
struct Specs
{
    TLumoSocketConnection base;
    TLumoCLientDataSet heads;
    TLumoCLientDataSet lines;

    explicit Specs(TestServer &server)
    {
        base.setPort(server.port());
        for (const tlb::ClassDef &def : tlb::classes()) {
            if (def.name == QLatin1String("BaseRDM"))
                base.setServerGUID(def.classId);
        }
        QString session, info, sysSet, purView, para;
        base.callWithOutputs(QStringLiteral("LogIn"),
                             {QStringLiteral("0001"), QStringLiteral("0001"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("e2e")},
                             {&session, &info, &sysSet, &purView, &para});
        base.setSession(session);
        heads.setObjectName(QStringLiteral("CDSXMaster"));
        heads.setRemoteServer(&base);
        heads.setProviderName(QStringLiteral("dspSpec"));
        heads.setTableName(QStringLiteral("XSpech"));
        heads.addDataField(QStringLiteral("qrySpecD"), FieldType::Nested);
        lines.setObjectName(QStringLiteral("cdsXDetail"));
        lines.setDataSetField(&heads.FieldByName(QStringLiteral("qrySpecD")));
    }

    void setHead(const QString &code, const QString &name)
    {
        heads.FieldByName(QStringLiteral("hcode")).setValue(code);
        heads.FieldByName(QStringLiteral("name")).setValue(name);
    }

    void addLine(const QString &code, const QString &b, const QString &name)
    {
        QVERIFY(lines.Append());
        lines.FieldByName(QStringLiteral("hcode")).setValue(code);
        lines.FieldByName(QStringLiteral("bcode")).setValue(b);
        lines.FieldByName(QStringLiteral("name")).setValue(name);
        QVERIFY(lines.Post());
    }
};

} // namespace

class tst_ClientDataSet : public QObject
{
    Q_OBJECT
private slots:
    void changeLogRoundTrip_data() { addBackendRows(); }
    void changeLogRoundTrip();
    void fetchOnDemand_data() { addBackendRows(); }
    void fetchOnDemand();
    void integersKeepAllBits_data() { addBackendRows(); }
    void integersKeepAllBits();
};

void tst_ClientDataSet::changeLogRoundTrip()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    try {
        Specs s(server);
        s.heads.Open();
        QVERIFY(s.lines.Active());
        const int before = s.heads.RecordCount();

        // A new head with two lines, applied as one change set.
        QVERIFY(s.heads.Append());
        s.setHead(QStringLiteral("T1"), QStringLiteral("颜色"));
        s.addLine(QStringLiteral("T1"), QStringLiteral("R"), QStringLiteral("红"));
        s.addLine(QStringLiteral("T1"), QStringLiteral("G"), QStringLiteral("绿"));
        QVERIFY(s.heads.Post());
        QVERIFY(s.heads.Append());
        s.setHead(QStringLiteral("T2"), QStringLiteral("尺寸"));
        QVERIFY(s.heads.Post());
        QCOMPARE(s.heads.ChangeCount(), 4);
        QCOMPARE(s.heads.ApplyUpdates(0), 0);
        QCOMPARE(s.heads.ChangeCount(), 0);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = 'T1'")),
                 2);

        // A changed key, a renamed line and a removed line.
        QVERIFY(s.heads.LocateValues(QStringLiteral("hcode"), {QStringLiteral("T2")}, true));
        QVERIFY(s.heads.Edit());
        s.heads.FieldByName(QStringLiteral("hcode")).setValue(QStringLiteral("T3"));
        QVERIFY(s.heads.Post());
        QVERIFY(s.heads.LocateValues(QStringLiteral("hcode"), {QStringLiteral("T1")}, true));
        QCOMPARE(s.lines.RecordCount(), 2);
        QVERIFY(s.lines.LocateValues(QStringLiteral("bcode"), {QStringLiteral("R")}, true));
        QVERIFY(s.lines.Edit());
        s.lines.FieldByName(QStringLiteral("name")).setValue(QStringLiteral("大红"));
        QVERIFY(s.lines.Post());
        QVERIFY(s.lines.LocateValues(QStringLiteral("bcode"), {QStringLiteral("G")}, true));
        QVERIFY(s.lines.Delete());
        QVERIFY(s.heads.Post());
        QCOMPARE(s.heads.ApplyUpdates(0), 0);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = 'T3'")),
                 1);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = 'T2'")),
                 0);
        QCOMPARE(nameOf(server, QStringLiteral("SELECT name FROM XSpecb WHERE hcode = 'T1'")),
                 QStringLiteral("大红"));

        // A duplicate key is refused by the database: reconciled, kept, corrected, applied.
        QString seen;
        s.heads.OnReconcileError = [&](TLumoCLientDataSet &ds, const TLumoReconcileError &e,
                                       TUpdateKind kind) {
            seen = ds.FieldByName(QStringLiteral("hcode")).AsString();
            return !e.Message.isEmpty() && kind == TUpdateKind::ukInsert
                       ? TReconcileAction::raCorrect
                       : TReconcileAction::raSkip;
        };
        QVERIFY(s.heads.Append());
        s.setHead(QStringLiteral("T1"), QStringLiteral("重复"));
        QVERIFY(s.heads.Post());
        QCOMPARE(s.heads.ApplyUpdates(0), 1);
        QCOMPARE(seen, QStringLiteral("T1"));
        QCOMPARE(s.heads.ChangeCount(), 1);
        QCOMPARE(s.heads.FieldByName(QStringLiteral("hcode")).AsString(), QStringLiteral("T1"));
        QVERIFY(s.heads.Edit());
        s.heads.FieldByName(QStringLiteral("hcode")).setValue(QStringLiteral("T4"));
        QVERIFY(s.heads.Post());
        QCOMPARE(s.heads.ApplyUpdates(0), 0);
        QCOMPARE(s.heads.ChangeCount(), 0);
        QCOMPARE(nameOf(server, QStringLiteral("SELECT name FROM XSpech WHERE hcode = 'T4'")),
                 QStringLiteral("重复"));

        // A head goes with its lines: the lines first, then the head, in one apply.
        QVERIFY(s.heads.LocateValues(QStringLiteral("hcode"), {QStringLiteral("T1")}, true));
        while (!s.lines.IsEmpty())
            QVERIFY(s.lines.Delete());
        QVERIFY(s.heads.Delete());
        QCOMPARE(s.heads.ApplyUpdates(0), 0);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpech WHERE hcode = 'T1'")),
                 0);
        QCOMPARE(count(server, QStringLiteral("SELECT count(*) FROM XSpecb WHERE hcode = 'T1'")),
                 0);

        // What the server holds now is what the data set shows after reopening.
        s.heads.Close();
        s.heads.Open();
        QCOMPARE(s.heads.RecordCount(), before + 2);
        QVERIFY(s.heads.LocateValues(QStringLiteral("hcode"), {QStringLiteral("T3")}, true));
        QCOMPARE(s.lines.RecordCount(), 0);
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text() + QLatin1Char('\n') + server.output()));
    } catch (const TLumoDataSetError &e) {
        QFAIL(qPrintable(e.text()));
    }
}

void tst_ClientDataSet::fetchOnDemand()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    try {
        Specs s(server);
        s.heads.Open();
        const int all = s.heads.RecordCount();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(s.heads.Append());
            s.setHead(QStringLiteral("P%1").arg(i), QStringLiteral("分页"));
            QVERIFY(s.heads.Post());
        }
        QCOMPARE(s.heads.ApplyUpdates(0), 0);
        s.heads.Close();

        s.heads.setPacketRecords(2);
        s.heads.Open();
        QCOMPARE(s.heads.RecordCount(), 2);
        QVERIFY(s.heads.canFetchMore());
        s.heads.Next();
        s.heads.Next();
        QCOMPARE(s.heads.RecordCount(), std::min(4, all + 3));
        s.heads.Last();
        QCOMPARE(s.heads.RecordCount(), all + 3);
        QVERIFY(!s.heads.canFetchMore());
        // Reopening starts from the first packet again.
        s.heads.Close();
        s.heads.Open();
        QCOMPARE(s.heads.RecordCount(), 2);
    } catch (const TLumoRemoteError &e) {
        QFAIL(qPrintable(e.text() + QLatin1Char('\n') + server.output()));
    } catch (const TLumoDataSetError &e) {
        QFAIL(qPrintable(e.text()));
    }
}

void tst_ClientDataSet::integersKeepAllBits()
{
    QFETCH(QString, backend);
    TestServer server(backend);
    QVERIFY2(server.start(), qPrintable(server.error()));
    // Beyond 2^31 on every leg: database, provider, packet, data set, change set, resolver.
    const qlonglong stored = (qlonglong(1) << 40) + 3;
    const qlonglong edited = -(qlonglong(1) << 33) - 5;
    const qlonglong inserted = (qlonglong(1) << 52) + 1;
    auto staffOf = [&](const char *code) {
        QSqlQuery q(server.db().db());
        q.prepare(QStringLiteral("SELECT staffnum FROM xFatBn WHERE code = ?"));
        q.addBindValue(QString::fromLatin1(code));
        return q.exec() && q.next() ? q.value(0).toLongLong() : qlonglong(0);
    };
    {
        QSqlQuery q(server.db().db());
        q.prepare(QStringLiteral("INSERT INTO xFatBn (code, name, staffnum) VALUES (?, ?, ?)"));
        q.addBindValue(QStringLiteral("B64"));
        q.addBindValue(QStringLiteral("大厂"));
        q.addBindValue(stored);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    try {
        Specs s(server);
        TLumoCLientDataSet partners;
        partners.setRemoteServer(&s.base);
        partners.setProviderName(QStringLiteral("dspFatbn"));
        partners.setTableName(QStringLiteral("xFatBn"));
        partners.Open();
        QVERIFY(partners.LocateValues(QStringLiteral("code"), {QStringLiteral("B64")}, true));
        TLumoField &staff = partners.FieldByName(QStringLiteral("staffnum"));
        QCOMPARE(staff.AsInteger(), stored);

        QVERIFY(partners.Edit());
        staff.setValue(edited);
        QVERIFY(partners.Post());
        QVERIFY(partners.Append());
        partners.FieldByName(QStringLiteral("code")).setValue(QStringLiteral("B65"));
        partners.FieldByName(QStringLiteral("staffnum")).setValue(inserted);
        QVERIFY(partners.Post());
        QCOMPARE(partners.ApplyUpdates(0), 0);
        QCOMPARE(staffOf("B64"), edited);
        QCOMPARE(staffOf("B65"), inserted);

        partners.Close();
        partners.Open();
        QVERIFY(partners.LocateValues(QStringLiteral("code"), {QStringLiteral("B65")}, true));
        QCOMPARE(partners.FieldByName(QStringLiteral("staffnum")).AsInteger(), inserted);
    } catch (const korvane::OperatorError &e) {
        QFAIL(qPrintable(e.text() + QLatin1Char('\n') + server.output()));
    }
}

QTEST_MAIN(tst_ClientDataSet)
#include "tst_ClientDataSet.moc"
