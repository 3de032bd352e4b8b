#include "ULookupRDM.h"

#include "AutoGainNO.h"
#include "LumoDatasetprovider.h"
#include "ReadOnlyTransaction.h"

#include <QSqlQuery>

namespace korvane {

namespace {

struct ListDef
{
    const char *provider;
    const char *table;
    ProviderOptions options;
};

// Whole tables in code order.
const ListDef CodeLists[] = {
    {"dspXMarryAttr", "XMarryAttr", ProviderOptions::A},
    {"dspXUPEAttr", "XUPEAttr", ProviderOptions::A},
    {"dspXSexAttr", "XSexAttr", ProviderOptions::A},
    {"dspXSalType", "XSalType", ProviderOptions::A},
    {"dspEmptype", "xempType", ProviderOptions::A},
    {"dspOvertype", "XOverType", ProviderOptions::A},
    {"dspXboolAttr", "xBoolAttr", ProviderOptions::A},
    {"dspxPolity", "XPolity", ProviderOptions::B},
    {"dspXEdu", "XEdu", ProviderOptions::B},
    {"dspxInvoiceType", "xInvoiceType", ProviderOptions::B},
    {"dspXDocState", "xDocState", ProviderOptions::B},
    {"dspXmoney", "XMoney", ProviderOptions::B},
    {"dspLocal", "XLocal", ProviderOptions::B},
    {"dspxmeasure", "XMeasure", ProviderOptions::B},
    {"dspXCi", "XCI", ProviderOptions::B},
    {"dspXPayKind", "XPaykind", ProviderOptions::B},
    {"dspxCredit", "xcredit", ProviderOptions::B},
    {"dspXTaxAttr", "XTaxAttr", ProviderOptions::B},
    {"dspDisType", "xDisattr", ProviderOptions::B},
    {"dspXDuty", "XDuty", ProviderOptions::B},
};

// Sub-kinds by document kind.
const ListDef KindLists[] = {
    {"dspXStockChAttr", "XStockChAttr", ProviderOptions::B},
    {"dspInvoiceAttr", "XInvoiceAttr", ProviderOptions::B},
};

// The users' list carries an empty password column: passwords never leave the server.
const QString UsersSql =
    QStringLiteral("SELECT Code, Name, CAST('' AS VARCHAR(16)) AS pwd FROM XPSEmp ORDER BY Code");

} // namespace

ProviderDefs TLookupRDM::providerDefs()
{
    ProviderDefs defs;
    for (const ListDef &l : CodeLists)
        defs << ProviderDef{.name = l.provider,
                            .sql = QStringLiteral("SELECT * FROM %1 ORDER BY Code").arg(l.table),
                            .options = l.options};
    for (const ListDef &l : KindLists)
        defs << ProviderDef{
            .name = l.provider,
            .sql = QStringLiteral("SELECT * FROM %1 ORDER BY Flag, InOutFlag").arg(l.table),
            .options = l.options};
    defs << ProviderDef{.name = "dspPrdt",
                        .sql = QStringLiteral("SELECT pdtcode, Name FROM xprdth ORDER BY pdtcode"),
                        .options = ProviderOptions::B}
         << ProviderDef{.name = "dspXpsEmp", .sql = UsersSql, .options = ProviderOptions::B}
         << ProviderDef{.name = "dspXCorp",
                        .sql = QStringLiteral("SELECT Code, Name FROM xcorp ORDER BY Code"),
                        .options = ProviderOptions::B}
         // The free-query provider has no statement of its own.
         << ProviderDef{.name = "dspQry"};
    return defs;
}

TLookupRDM::TLookupRDM(QObject *parent)
    : ProviderModule(QStringLiteral("LookupRDM"), providerDefs(), parent)
{
    addMethod(QStringLiteral("keyExist"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(keyExist(args.at(0).toString(), args.at(1).toInt()));
    });
    addMethod(QStringLiteral("GetHeadno"), [this](const QVariantList &args, QVariantList *) {
        return QVariant(GetHeadno(database(), args.at(0).toString()));
    });
}

bool TLookupRDM::keyExist(const QString &sqlStr, int state)
{
    Q_UNUSED(state);
    if (!commandTextAllowed())
        throw ServerError(QStringLiteral(
            "Statements sent by a client are refused; an administrator can allow them "
            "with AllowCommandText=1 in section KORVANE of Plant.ini"));
    if (!isOneStatement(sqlStr))
        throw ServerError(
            QStringLiteral("keyExist runs one statement; a ';' may only end the text"));
    QVariant first;
    bool hasRow = false;
    {
        // A test only reads: the database refuses writes, and the transaction goes back.
        const QSqlDatabase db = database();
        const ReadOnlyTransaction readOnly(db);
        QSqlQuery q(db);
        if (q.exec(sqlStr) && q.isSelect() && q.next()) {
            hasRow = true;
            first = q.value(0);
        }
    }
    if (!hasRow || first.isNull())
        return false;
    if (first.typeId() == QMetaType::Double)
        return qRound64(first.toDouble()) > 0;
    bool ok = false;
    const qlonglong value = first.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ServerError(
            QStringLiteral("'%1' is not a valid integer value").arg(first.toString()));
    return value > 0;
}

} // namespace korvane
