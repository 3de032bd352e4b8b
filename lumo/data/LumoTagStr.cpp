#include "LumoTagStr.h"

#include <QByteArray>

namespace LumoTagStr {

QString rangeCode(const QString &value)
{
    const QString upper = value.toUpper();
    // Byte-wise order: "D10" and "D1X" sort inside the range and are kept.
    const QByteArray bytes = upper.toUtf8();
    if (bytes < QByteArrayLiteral("D0") || bytes > QByteArrayLiteral("D9"))
        return QStringLiteral("D0");
    return upper;
}

TLumoTagRule apply(TLumoTagKind kind, const QString &value)
{
    const QString upper = value.toUpper();
    switch (kind) {
    case TLumoTagKind::Range:
        return {rangeCode(value), false};
    case TLumoTagKind::ComboBox:
    case TLumoTagKind::Picture:
        // Tested before upper-casing: a lower-case "r" is no read-only mark here.
        return {upper, value.contains(QLatin1Char('R'))};
    case TLumoTagKind::Editor:
    case TLumoTagKind::SpinEdit:
    case TLumoTagKind::ListBox:
        return {upper, upper.contains(QLatin1Char('R'))};
    case TLumoTagKind::Stored:
        break;
    }
    return {upper, false};
}

} // namespace LumoTagStr
