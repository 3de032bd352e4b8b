#include "UDMMain.h"

#include "UCertificatePins.h"

#include "Korvane_TLB.h"
#include "LumoCLientDataSet.h"
#include "LumoDataSource.h"
#include "LumoSocketConnection.h"
#include "PlantIni.h"
#include "ShellMessages.h"

QPointer<TdmMain> dmMain;

namespace {

struct LookupField
{
    const char *name;
    korvane::FieldType type;
    int size;
    const char *label;
};

struct LookupDef
{
    const char *name;     // the data set's component name
    const char *provider; // provider of the lookup module
    const char *source;   // the data source beside it
    QList<LookupField> fields;
};

constexpr auto S = korvane::FieldType::String;
constexpr auto F = korvane::FieldType::Float;

// The shared lookup lists, in creation order (the order they open in).
const QList<LookupDef> &lookupTable()
{
    static const QList<LookupDef> table = {
        {"dspEmpType", "dspEmptype", "dsEmpType", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspLocal", "dspLocal", "dsLocal", {{"Code", S, 4}, {"Name", S, 20}}},
        {"dspOverType", "dspOvertype", "dsOverType", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspCI", "dspXCi", "dsci", {{"Code", S, 4}, {"Name", S, 20}}},
        {"dspDocState", "dspXDocState", "dsDocState", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspEdu", "dspXEdu", "dsEdu", {{"Code", S, 1}, {"Name", S, 10}, {"note", S, 30}}},
        {"dspInvoiceType", "dspxInvoiceType", "dsInvoiceType", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspMarryAttr", "dspXMarryAttr", "dsMarryAttr", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspMeasure", "dspxmeasure", "dsMeasure", {{"Code", S, 4}, {"Name", S, 20}}},
        {"dspMoney", "dspXmoney", "dsMoney", {{"Code", S, 4}, {"Name", S, 20}}},
        {"dspPayKind", "dspXPayKind", "dsPayKind", {{"Code", S, 4}, {"Name", S, 20}}},
        {"dspPolity", "dspxPolity", "dsPolity", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspSalType", "dspXSalType", "dsSalType", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspSexAttr", "dspXSexAttr", "dsSexAttr", {{"Code", S, 1}, {"Name", S, 10}}},
        {"dspUPEAttr", "dspXUPEAttr", "dsUPEAttr", {{"Code", S, 1}, {"Name", S, 4}}},
        {"cdsxCredit",
         "dspxCredit",
         "dsxCredit",
         {{"Code", S, 4}, {"Name", S, 20}, {"CNum", F, 0}}},
        {"cdsXTaxAttr",
         "dspXTaxAttr",
         "dsXTaxAttr",
         {{"Code", S, 4}, {"Name", S, 30}, {"taxrate", F, 0}}},
        {"cdsXDisType", "dspDisType", "dsXDisType", {{"Code", S, 1}, {"Name", S, 10}}},
        {"cdsPrdt", "dspprdt", "dsprdt", {{"pdtcode", S, 30}, {"Name", S, 60}}},
        {"cdsXDuty",
         "dspXDuty",
         "dsXDuty",
         {{"Code", S, 4}, {"Name", S, 20}, {"BaseSal", F, 0}, {"Addsal", F, 0}, {"Note", S, 100}}},
        {"cdsXpsEmp",
         "dspXpsEmp",
         "dsXpsEmp",
         {{"Code", S, 10, "代码"}, {"Name", S, 10, "姓名"}, {"pwd", S, 16, "密码"}}},
        {"cdsXStockChAttr",
         "dspXStockChAttr",
         "dsXStockChAttr",
         {{"Flag", S, 1}, {"InOutFlag", S, 1}, {"Name", S, 40}, {"InOut", S, 1}}},
        {"cdsXCorp", "dspXCorp", "dsXCorp", {{"Code", S, 10, "代码"}, {"Name", S, 10, "姓名"}}},
        {"cdsXBoolAttr", "dspXboolAttr", "dsXBoolAttr", {{"Code", S, 1}, {"Name", S, 10}}},
        {"cdsInvoiceAttr",
         "dspInvoiceAttr",
         "dsInvoiceAttr",
         {{"Flag", S, 1}, {"InOutFlag", S, 1}, {"Name", S, 40}}},
    };
    return table;
}

//! Why the list did not open; empty when it did.
QString openLookup(TLumoCLientDataSet *dataSet)
{
    try {
        dataSet->setActive(true);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return dataSet->Active() ? QString() : QStringLiteral("its opening was cancelled");
}

TLumoSocketConnection *makeConnection(QObject *parent, const char *name, const char *className)
{
    auto *connection = new TLumoSocketConnection(parent);
    connection->setObjectName(QString::fromLatin1(name));
    connection->setServerName(QString());
    if (const korvane::tlb::ClassDef *def = korvane::tlb::findClass(QString::fromLatin1(className)))
        connection->setServerGUID(def->classId);
    return connection;
}

} // namespace

TdmMain::TdmMain(korvane::ShellMessages *shell, QObject *parent) : QObject(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("dmMain"));
    createConnections();
    createLookups();
    dmMain = this;
}

TdmMain::~TdmMain()
{
    CloseAllLookups();
    disconnectAll();
    // The server ends together with its client.
    if (m_shell)
        m_shell->broadcast(korvane::ShellMessages::KorvaneClose, 1, 0);
}

void TdmMain::createConnections()
{
    SCBase = makeConnection(this, "SCBase", "BaseRDM");
    scBill = makeConnection(this, "scBill", "BillRDM");
    scLookup = makeConnection(this, "scLookup", "LookupRDM");
    scRPT = makeConnection(this, "scRPT", "RPTRDM");
    scCodeName = makeConnection(this, "scCodeName", "CodeNameRDM");
    // Ports below 1024 need privileges here, so a site may move the relay.
    const int port = korvane::ReadPlantIni(QStringLiteral("KORVANEQUV"), QStringLiteral("Port"),
                                           QString::number(TLumoSocketConnection::DefaultPort))
                         .toInt();
    // Encrypted unless the site has switched it off (the relay must allow plain peers then).
    const bool tls = korvane::PlantIni(korvane::plantIniPath())
                         .readBool(QStringLiteral("KORVANEQUV"), QStringLiteral("Tls"), true);
    static TPlantIniCertificatePins pins(korvane::plantIniPath());
    for (TLumoSocketConnection *connection : connections()) {
        connection->setPort(port > 0 ? port : TLumoSocketConnection::DefaultPort);
        connection->setTls(tls);
        connection->setCertificatePins(&pins);
    }
}

void TdmMain::createLookups()
{
    for (const LookupDef &def : lookupTable()) {
        auto *dataSet = new TLumoCLientDataSet(this);
        dataSet->setObjectName(QString::fromLatin1(def.name));
        dataSet->setTagStr(QStringLiteral("D0"));
        dataSet->setPacketRecords(10);
        dataSet->setProviderName(QString::fromLatin1(def.provider));
        dataSet->setRemoteServer(scLookup);
        for (const LookupField &field : def.fields) {
            TLumoField &f =
                dataSet->addDataField(QString::fromLatin1(field.name), field.type, field.size);
            if (field.label)
                f.setDisplayLabel(QString::fromUtf8(field.label));
        }
        auto *source = new TLumoDataSource(this);
        source->setObjectName(QString::fromLatin1(def.source));
        source->setDataSet(dataSet);
        m_lookups << dataSet;
        m_sources << source;
    }
}

QList<TLumoSocketConnection *> TdmMain::connections() const
{
    return {SCBase, scBill, scLookup, scRPT, scCodeName};
}

TLumoCLientDataSet *TdmMain::lookup(const QString &name) const
{
    for (TLumoCLientDataSet *dataSet : m_lookups) {
        if (dataSet->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return dataSet;
    }
    return nullptr;
}

TLumoDataSource *TdmMain::source(const QString &name) const
{
    for (TLumoDataSource *source : m_sources) {
        if (source->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return source;
    }
    return nullptr;
}

QStringList TdmMain::OpenAllLookups()
{
    QStringList failures;
    for (TLumoCLientDataSet *dataSet : m_lookups) {
        const QString reason = openLookup(dataSet);
        if (reason.isEmpty())
            continue;
        failures << dataSet->objectName() + QStringLiteral(": ") + reason;
        qWarning("shared list %s did not open: %s", qPrintable(dataSet->objectName()),
                 qPrintable(reason));
    }
    return failures;
}

void TdmMain::CloseAllLookups()
{
    for (TLumoCLientDataSet *dataSet : m_lookups) {
        try {
            dataSet->setActive(false);
        } catch (const std::exception &) {
            // closing at the end is never reported
        }
    }
}

void TdmMain::setServerHost(const QString &host)
{
    for (TLumoSocketConnection *connection : connections())
        connection->setHost(host);
}

void TdmMain::disconnectAll()
{
    for (TLumoSocketConnection *connection : connections()) {
        try {
            connection->setConnected(false);
        } catch (const std::exception &) {
        }
    }
}
