#include "SystemParameters.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace korvane {

namespace {

const char *const AutoCheck = "AutoCheck";
// Read by posting itself (AccountSettings): "0" refuses an apply that leaves stock below zero.
const char *const NegativeStock = "NegativeStock";
const char *const BuyPriceUpdate = "BuyPriceUpdate";
const char *const SalePriceUpdate = "SalePriceUpdate";
const char *const CorpName1 = "ReportCorpName1";
const char *const CorpName2 = "ReportCorpName2";
const char *const HeadLine = "ReportHeadLine";
const char *const FootLine = "ReportFootLine";
const char *const PrintTime = "ReportPrintTime";

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool flagOf(const QMap<QString, QString> &values, const char *name, bool fallback)
{
    const auto it = values.constFind(QLatin1String(name));
    return it == values.cend() ? fallback : it->trimmed() == QLatin1String("1");
}

} // namespace

QMap<QString, QString> SystemParameters::toValues() const
{
    return {{AutoCheck, flag(autoCheck)},
            {BuyPriceUpdate, flag(buyPriceUpdate)},
            {SalePriceUpdate, flag(salePriceUpdate)},
            {NegativeStock, flag(negativeStock)},
            {CorpName1, reportCorpName1},
            {CorpName2, reportCorpName2},
            {HeadLine, flag(reportHeadLine)},
            {FootLine, flag(reportFootLine)},
            {PrintTime, flag(reportPrintTime)}};
}

SystemParameters SystemParameters::fromValues(const QMap<QString, QString> &values, QByteArray logo)
{
    SystemParameters p;
    p.autoCheck = flagOf(values, AutoCheck, p.autoCheck);
    p.buyPriceUpdate = flagOf(values, BuyPriceUpdate, p.buyPriceUpdate);
    p.salePriceUpdate = flagOf(values, SalePriceUpdate, p.salePriceUpdate);
    p.negativeStock = flagOf(values, NegativeStock, p.negativeStock);
    p.reportCorpName1 = values.value(QLatin1String(CorpName1));
    p.reportCorpName2 = values.value(QLatin1String(CorpName2));
    p.reportHeadLine = flagOf(values, HeadLine, p.reportHeadLine);
    p.reportFootLine = flagOf(values, FootLine, p.reportFootLine);
    p.reportPrintTime = flagOf(values, PrintTime, p.reportPrintTime);
    p.reportLogo = std::move(logo);
    return p;
}

QString SystemParameters::toText() const
{
    QJsonObject object;
    const QMap<QString, QString> values = toValues();
    for (auto it = values.begin(); it != values.end(); ++it)
        object.insert(it.key(), it.value());
    object.insert(logoName(), QString::fromLatin1(reportLogo.toBase64()));
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

SystemParameters SystemParameters::fromText(const QString &text, bool *ok)
{
    if (ok)
        *ok = true;
    if (text.trimmed().isEmpty())
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    if (!doc.isObject()) {
        if (ok)
            *ok = false;
        return {};
    }
    const QJsonObject object = doc.object();
    QMap<QString, QString> values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != logoName())
            values.insert(it.key(), it.value().toString());
    }
    return fromValues(values,
                      QByteArray::fromBase64(object.value(logoName()).toString().toLatin1()));
}

bool SystemParameters::isStorableLogo(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    if (bytes.size() > MaxLogoBytes)
        return false;
    static const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    static const QByteArray jpeg("\xff\xd8\xff", 3);
    return bytes.startsWith(png) || bytes.startsWith(jpeg);
}

} // namespace korvane
