#include "UPackRules.h"

#include "LumoCLientDataSet.h"
#include "UMsgBox.h"

#include <cmath>

namespace packrules {

namespace {

double number(const TLumoCLientDataSet &lines, const char *name)
{
    return lines.FieldByName(QLatin1String(name)).AsFloat();
}

void set(TLumoCLientDataSet &lines, const char *name, const QVariant &value)
{
    lines.FieldByName(QLatin1String(name)).setValue(value);
}

void perPackageChanged(TLumoCLientDataSet &lines)
{
    const double perPackage = number(lines, "PackNum");
    const double packages = number(lines, "BigPackNum");
    if (perPackage != 0 && packages != 0)
        set(lines, "pqty", packages * perPackage);
    if (perPackage == 0)
        set(lines, "BigPackNum", 0);
}

void packagesChanged(TLumoCLientDataSet &lines, const QString &verb)
{
    const double packages = number(lines, "BigPackNum");
    if (packages == 0)
        return;
    const double perPackage = number(lines, "PackNum");
    if (perPackage != 0) {
        set(lines, "pqty", packages * perPackage);
        return;
    }
    MsgBox(noPackageSizeMessage(verb), mkHint);
    set(lines, "BigPackNum", 0);
}

void quantityChanged(TLumoCLientDataSet &lines)
{
    const double perPackage = number(lines, "PackNum");
    if (perPackage == 0)
        return;
    const int packages = packagesOf(number(lines, "pqty"), perPackage);
    // Only a different count is written: that ends the packages' and quantity's exchange.
    if (packages != lines.FieldByName(QStringLiteral("BigPackNum")).AsInteger() ||
        lines.FieldByName(QStringLiteral("BigPackNum")).IsNull())
        set(lines, "BigPackNum", packages);
}

} // namespace

QString noPackageSizeMessage(const QString &verb)
{
    return QStringLiteral("没有定义此种货品每包装中的数量，所以无法以包装为单位进行") + verb +
           QStringLiteral("！");
}

int packagesOf(double quantity, double perPackage)
{
    const double ratio = quantity / perPackage;
    const double whole = std::nearbyint(ratio);
    return ratio == whole ? int(whole) : 0;
}

void bind(TLumoCLientDataSet &lines, const QString &verb)
{
    TLumoCLientDataSet *ds = &lines;
    lines.FieldByName(QStringLiteral("PackNum")).OnChange = [ds](TLumoField &) {
        perPackageChanged(*ds);
    };
    lines.FieldByName(QStringLiteral("BigPackNum")).OnChange = [ds, verb](TLumoField &) {
        packagesChanged(*ds, verb);
    };
    lines.FieldByName(QStringLiteral("pqty")).OnChange = [ds](TLumoField &) {
        quantityChanged(*ds);
    };
}

} // namespace packrules
