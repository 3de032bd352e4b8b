#include "ClassRegistry.h"
#include "Korvane_TLB.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;

class tst_Korvane_TLB : public QObject
{
    Q_OBJECT
private slots:
    void classLookup_data();
    void classLookup();
    void interfacesDescribeThemselves();
    void methodLookupIgnoresCase_data();
    void methodLookupIgnoresCase();
    void lookupModuleHasNoLowDispids();
    void logInSignature();
    void registrationForSockets();
    void inputArguments_data();
    void inputArguments();
    void operationNames();
};

void tst_Korvane_TLB::classLookup_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("className");
    QTest::newRow("class id") << "{C7DBC45F-B050-4354-8B9A-F0C56755846F}"
                              << "BillRDM";
    QTest::newRow("lower case, no braces") << "b586527d-d13d-45b1-bd0a-84352aa79f5d"
                                           << "CodeNameRDM";
    QTest::newRow("prog id") << "Korvane.LookupRDM"
                             << "LookupRDM";
    QTest::newRow("prog id, any case") << "KORVANE.RPTRDM"
                                       << "RPTRDM";
    QTest::newRow("interface id is no class") << "{60D2509E-62B2-494A-9412-2C194A9CE4B0}"
                                              << "";
    QTest::newRow("unknown prog id") << "Korvane.Other"
                                     << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Korvane_TLB::classLookup()
{
    QFETCH(QString, key);
    QFETCH(QString, className);
    const tlb::ClassDef *def = tlb::findClass(key);
    QCOMPARE(def ? def->name : QString(), className);
}

void tst_Korvane_TLB::interfacesDescribeThemselves()
{
    QCOMPARE(tlb::classes().size(), 5);
    for (const tlb::ClassDef &c : tlb::classes()) {
        QCOMPARE(c.interfaceName, QLatin1Char('I') + c.name);
        QCOMPARE(c.implementation, QLatin1Char('T') + c.name);
        QCOMPARE(c.progId, QStringLiteral("Korvane.") + c.name);
        QCOMPARE(c.interfaceDocString(),
                 QStringLiteral("Dispatch interface for %1 Object").arg(c.name));
    }
    QCOMPARE(tlb::appServerOperations().first(), QStringLiteral("AS_ApplyUpdates"));
    QCOMPARE(tlb::appServerOperations().size(), 7);
}

void tst_Korvane_TLB::methodLookupIgnoresCase_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("called");
    QTest::addColumn<int>("dispid");
    QTest::newRow("GetHeadNO") << "BillRDM"
                               << "GetHeadNO" << 304;
    QTest::newRow("CancelHeadNO") << "BillRDM"
                                  << "CancelHeadNO" << 302;
    QTest::newRow("KeyExist on base") << "BaseRDM"
                                      << "KeyExist" << 305;
    QTest::newRow("KeyExist on lookup") << "LookupRDM"
                                        << "KeyExist" << 303;
    QTest::newRow("login") << "BaseRDM"
                           << "login" << 303;
    QTest::newRow("CheckBill is not on base") << "BaseRDM"
                                              << "CheckBill" << 0;
    QTest::newRow("no own methods") << "RPTRDM"
                                    << "GetHeadno" << 0;
}

void tst_Korvane_TLB::methodLookupIgnoresCase()
{
    QFETCH(QString, className);
    QFETCH(QString, called);
    QFETCH(int, dispid);
    const tlb::MethodDef *m = tlb::findClass(className)->method(called);
    QCOMPARE(m ? m->dispid : 0, dispid);
}

void tst_Korvane_TLB::lookupModuleHasNoLowDispids()
{
    const tlb::ClassDef *lookup = tlb::findClass(QStringLiteral("LookupRDM"));
    QVERIFY(!lookup->method(301));
    QVERIFY(!lookup->method(302));
    const tlb::MethodDef *keyExist = lookup->method(303);
    QVERIFY(keyExist);
    QCOMPARE(keyExist->args.size(), 2);
    QCOMPARE(keyExist->args[1].type, tlb::ArgType::Integer);
}

void tst_Korvane_TLB::logInSignature()
{
    const tlb::MethodDef *logIn =
        tlb::findClass(QStringLiteral("BaseRDM"))->method(QStringLiteral("LogIn"));
    QCOMPARE(logIn->inCount(), 4);
    QCOMPARE(logIn->outCount(), 5);
    QVERIFY(!logIn->hasResult);
    QCOMPARE(logIn->args[4].name, QStringLiteral("id"));
    const tlb::MethodDef *checkBill = tlb::findClass(QStringLiteral("BillRDM"))->method(301);
    QCOMPARE(checkBill->inCount(), 13);
    QCOMPARE(checkBill->result, tlb::ArgType::Boolean);
}

void tst_Korvane_TLB::registrationForSockets()
{
    QTemporaryDir bin;
    const QString base = QStringLiteral("{73ED6494-2AF7-4A76-AFA5-8887B0642D6D}");
    QVERIFY(!isClassRegisteredForSockets(bin.path(), base));
    QVERIFY(writeClassRegistry(bin.path(), true));
    for (const tlb::ClassDef &c : tlb::classes()) {
        QVERIFY(isClassRegisteredForSockets(bin.path(), c.classId.toLower()));
        QVERIFY(isClassRegisteredForSockets(bin.path(), c.progId));
    }
    // A class whose registration says Sockets=0 is not served through the relay.
    QFile file(classRegistryPath(bin.path()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    text.replace("[{73ED6494-2AF7-4A76-AFA5-8887B0642D6D}]\nProgID=Korvane.BaseRDM\nName=BaseRDM "
                 "Object\nSockets=1",
                 "[{73ED6494-2AF7-4A76-AFA5-8887B0642D6D}]\nProgID=Korvane.BaseRDM\nName=BaseRDM "
                 "Object\nSockets=0");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QVERIFY(!isClassRegisteredForSockets(bin.path(), base));
    QVERIFY(isClassRegisteredForSockets(bin.path(), QStringLiteral("Korvane.BillRDM")));
    QVERIFY(!isClassRegisteredForSockets(bin.path(), QStringLiteral("Korvane.Unknown")));

    QVERIFY(writeClassRegistry(bin.path(), false));
    QVERIFY(!QFile::exists(classRegistryPath(bin.path())));
    QVERIFY(!isClassRegisteredForSockets(bin.path(), QStringLiteral("Korvane.BillRDM")));
}

void tst_Korvane_TLB::inputArguments_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QVariantList>("inputs");
    QTest::addColumn<QString>("error");
    const QVariantList logIn{"0001", "pw", "127.0.0.1", "pc"};
    QTest::newRow("inputs only") << "BaseRDM"
                                 << "LogIn" << logIn << logIn << "";
    QTest::newRow("placeholders for outputs")
        << "BaseRDM"
        << "LogIn" << (logIn + QVariantList(5)) << logIn << "";
    QTest::newRow("null text is empty")
        << "BaseRDM"
        << "CancelHeadno" << QVariantList{QVariant()} << QVariantList{QString()} << "";
    // The state reaches the module with all its bits, not cut to 32.
    const qlonglong beyond32 = (qlonglong(1) << 40) + 7;
    QTest::newRow("64-bit integer") << "LookupRDM"
                                    << "keyExist" << QVariantList{"SELECT 1", beyond32}
                                    << QVariantList{"SELECT 1", beyond32} << "";
    QTest::newRow("negative 64-bit integer") << "LookupRDM"
                                             << "keyExist" << QVariantList{"SELECT 1", -beyond32}
                                             << QVariantList{"SELECT 1", -beyond32} << "";
    QTest::newRow("text for integer")
        << "LookupRDM"
        << "keyExist" << QVariantList{"SELECT 1", "1"} << QVariantList()
        << "Argument 2 (State) of keyExist must be integer";
    QTest::newRow("number for text") << "BaseRDM"
                                     << "keyExist" << QVariantList{"XCI", 5, "01"} << QVariantList()
                                     << "Argument 2 (FieldName) of keyExist must be text";
    QTest::newRow("too few") << "BillRDM"
                             << "GetHeadno" << QVariantList() << QVariantList()
                             << "GetHeadno takes 1 arguments, 0 given";
}

void tst_Korvane_TLB::inputArguments()
{
    QFETCH(QString, className);
    QFETCH(QString, method);
    QFETCH(QVariantList, args);
    QFETCH(QVariantList, inputs);
    QFETCH(QString, error);
    const tlb::MethodDef *def = tlb::findClass(className)->method(method);
    QVERIFY(def);
    QString text;
    const QVariantList checked = tlb::inputArguments(*def, args, &text);
    QCOMPARE(text, error);
    QCOMPARE(checked, inputs);
    for (int i = 0; i < checked.size(); ++i)
        QCOMPARE(checked[i].typeId(), inputs[i].typeId());
}

void tst_Korvane_TLB::operationNames()
{
    for (const QString &name : tlb::appServerOperations() + QStringList{"open", "call"}) {
        tlb::Operation op;
        QVERIFY2(tlb::operationFromName(name, &op), qPrintable(name));
        QCOMPARE(tlb::operationName(op), name);
    }
    tlb::Operation op;
    QVERIFY(!tlb::operationFromName(QStringLiteral("as_getrecords"), &op));
}

QTEST_GUILESS_MAIN(tst_Korvane_TLB)
#include "tst_Korvane_TLB.moc"
