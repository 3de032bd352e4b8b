// The client's data module opening its shared lookup lists: a list the server refuses is
// named with the reason, and the lists after it still open.

#include "UDMMain.h"

#include "../lumo/FakeRemoteServer.h"
#include "LumoCLientDataSet.h"

#include <QRegularExpression>
#include <QTest>

namespace {

//! Serves every list from one table holding all their columns; refuses the listed providers.
class ListServer : public FakeRemoteServer
{
public:
    QStringList refused;

    ListServer()
    {
        using korvane::FieldType;
        for (const char *name :
             {"Code", "Name", "note", "pdtcode", "pwd", "Flag", "InOutFlag", "InOut"})
            table.fields << korvane::FieldDef{QString::fromLatin1(name), FieldType::String, 60};
        for (const char *name : {"CNum", "taxrate", "BaseSal", "Addsal"})
            table.fields << korvane::FieldDef{QString::fromLatin1(name), FieldType::Float};
    }

    korvane::Packet getRecords(const QString &provider, int count, int options,
                               const korvane::Params &params) override
    {
        if (refused.contains(provider, Qt::CaseInsensitive))
            throw TLumoRemoteError(QStringLiteral("Provider not exported: %1").arg(provider));
        return FakeRemoteServer::getRecords(provider, count, options, params);
    }
};

} // namespace

class tst_DMMain : public QObject
{
    Q_OBJECT
private slots:
    void refusedListsAreNamedAndTheOthersOpen_data()
    {
        QTest::addColumn<QStringList>("refused"); // providers
        QTest::addColumn<QStringList>("failures");
        QTest::newRow("none") << QStringList() << QStringList();
        QTest::newRow("the first") << QStringList{"dspEmptype"}
                                   << QStringList{"dspEmpType: Provider not exported: dspEmptype"};
        QTest::newRow("the first and one in the middle")
            << QStringList{"dspEmptype", "dspXCi"}
            << QStringList{"dspEmpType: Provider not exported: dspEmptype",
                           "dspCI: Provider not exported: dspXCi"};
    }
    void refusedListsAreNamedAndTheOthersOpen()
    {
        QFETCH(QStringList, refused);
        QFETCH(QStringList, failures);
        ListServer server;
        server.refused = refused;
        TdmMain dm;
        for (TLumoCLientDataSet *list : dm.lookups())
            list->setRemoteServer(&server);
        for (const QString &failure : failures) { // "name: reason" is logged as well
            const qsizetype colon = failure.indexOf(QLatin1String(": "));
            const QString logged = QStringLiteral("shared list %1 did not open%2")
                                       .arg(failure.left(colon), failure.mid(colon));
            QTest::ignoreMessage(QtWarningMsg, qPrintable(logged));
        }
        QCOMPARE(dm.OpenAllLookups(), failures);
        for (TLumoCLientDataSet *list : dm.lookups()) {
            const bool wasRefused = refused.contains(list->ProviderName(), Qt::CaseInsensitive);
            QVERIFY2(list->Active() != wasRefused, qPrintable(list->objectName()));
        }
    }
};

QTEST_GUILESS_MAIN(tst_DMMain)
#include "tst_DMMain.moc"
