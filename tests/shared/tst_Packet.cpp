#include "Packet.h"
#include "TestDb.h"

#include <QSqlQuery>
#include <QTest>

using namespace korvane;

class tst_Packet : public QObject
{
    Q_OBJECT
private slots:
    void fieldNamesIgnoreCase();
    void typeNamesRoundTrip();
};

void tst_Packet::fieldNamesIgnoreCase()
{
    Packet p;
    p.fields = {FieldDef{QStringLiteral("Code")}, FieldDef{QStringLiteral("Name")}};
    QCOMPARE(p.indexOf(QStringLiteral("code")), 0);
    QCOMPARE(p.indexOf(QStringLiteral("NAME")), 1);
    QCOMPARE(p.indexOf(QStringLiteral("Other")), -1);
}

void tst_Packet::typeNamesRoundTrip()
{
    for (FieldType t : {FieldType::String, FieldType::Float, FieldType::Integer, FieldType::Boolean,
                        FieldType::Blob, FieldType::Nested}) {
        bool ok = false;
        QCOMPARE(fieldTypeFromName(fieldTypeName(t), &ok), t);
        QVERIFY(ok);
    }
    bool ok = true;
    fieldTypeFromName(QStringLiteral("decimal"), &ok);
    QVERIFY(!ok);
}

QTEST_GUILESS_MAIN(tst_Packet)
#include "tst_Packet.moc"
