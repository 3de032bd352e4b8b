// A module as its clients see it: providers and own methods found by name without regard
// to case, and clear refusals for names and argument counts it does not know.

#include "ProviderModule.h"

#include <QTest>

using namespace korvane;

namespace {

ProviderDef listOf(const QString &name)
{
    ProviderDef def;
    def.name = name;
    def.sql = QStringLiteral("select code, name from xstore where code = :Code");
    return def;
}

class TestRDM : public ProviderModule
{
public:
    // The type library's base module: its methods' arguments are the library's to check.
    TestRDM() : ProviderModule(QStringLiteral("BaseRDM"), {listOf("dspStore"), listOf("dspCI")})
    {
        addMethod(QStringLiteral("GetSpec"), [](const QVariantList &args, QVariantList *) {
            return QVariant(args[0].toString() + QStringLiteral("-0001"));
        });
        addMethod(QStringLiteral("LogIn"), [](const QVariantList &args, QVariantList *out) {
            *out = {args[0].toString() + QStringLiteral("-session")};
            return QVariant();
        });
    }
};

QString failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const ServerError &e) {
        return e.text();
    }
    return QString();
}

} // namespace

class tst_ProviderModule : public QObject
{
    Q_OBJECT
private slots:
    void providerNamesInDeclaredOrder();
    void unknownProvider_data();
    void unknownProvider();
    void methodsByNameWithoutRegardToCase();
    void methodRefusals();
};

void tst_ProviderModule::providerNamesInDeclaredOrder()
{
    TestRDM module;
    QCOMPARE(module.providerNames(), QStringList({"dspStore", "dspCI"}));
    QCOMPARE(module.getParams("DSPSTORE").value(0).name, QStringLiteral("Code"));
}

void tst_ProviderModule::unknownProvider_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("records") << "records";
    QTest::newRow("apply") << "apply";
    QTest::newRow("params") << "params";
    QTest::newRow("execute") << "execute";
}

void tst_ProviderModule::unknownProvider()
{
    QFETCH(QString, operation);
    TestRDM module;
    const QString name = QStringLiteral("dspBuyInOut");
    const QString text = failureOf([&] {
        if (operation == "records") {
            GetRecordsRequest r;
            r.provider = name;
            module.getRecords(r);
        } else if (operation == "apply") {
            module.applyUpdates(name, ChangeSet(), 0);
        } else if (operation == "params") {
            module.getParams(name);
        } else {
            module.execute(name, QString(), {});
        }
    });
    QCOMPARE(text, QStringLiteral("Provider not exported: dspBuyInOut"));
}

void tst_ProviderModule::methodsByNameWithoutRegardToCase()
{
    TestRDM module;
    QCOMPARE(module.call("GETSPEC", {"xBuyh"}, nullptr).toString(), QStringLiteral("xBuyh-0001"));
    QCOMPARE(module.call("getspec", {"x"}, nullptr).toString(), QStringLiteral("x-0001"));
    QVariantList out;
    module.call("LOGIN", {"0001", "pwd", "127.0.0.1", "pc"}, &out);
    QCOMPARE(out, QVariantList({"0001-session"}));
}

void tst_ProviderModule::methodRefusals()
{
    TestRDM module;
    QString text = failureOf([&] { module.call("SetPWD", {"a", "b"}, nullptr); });
    QVERIFY2(text.contains("SetPWD"), qPrintable(text));
    text = failureOf([&] { module.call("GetSpec", {}, nullptr); });
    QVERIFY2(text.contains("GetSpec") && text.contains('1') && text.contains('0'),
             qPrintable(text));
    text = failureOf([&] { module.call("GetSpec", {"a", "b"}, nullptr); });
    QVERIFY2(text.contains('2'), qPrintable(text));
}

QTEST_GUILESS_MAIN(tst_ProviderModule)
#include "tst_ProviderModule.moc"
