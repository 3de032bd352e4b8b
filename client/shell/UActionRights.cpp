#include "UActionRights.h"

#include "LumoChild.h"

#include <optional>

namespace korvane::actions {

namespace {

bool anyReport(const QList<int> &rows, const rights::Grants &grants)
{
    if (rows.isEmpty())
        return true; // no right of its own: the server decides
    for (int row : rows) {
        if (grants.holds(rights::reportRight(row)))
            return true;
    }
    return false;
}

std::optional<rights::Op> operationOf(int command)
{
    switch (command) {
    case TLumoChild::cmNew:
        return rights::Op::Add;
    case TLumoChild::cmEdit:
        return rights::Op::Modify;
    case TLumoChild::cmDelete:
        return rights::Op::Delete;
    case TLumoChild::cmCheck:
        return rights::Op::Check;
    default:
        return std::nullopt;
    }
}

} // namespace

bool allowedBy(const ActionDef &def, const rights::Grants &grants)
{
    switch (def.kind) {
    case Kind::WorkWindow: {
        const std::optional<int> row = rights::functionRowForWindow(def.windowClass);
        return !row || grants.holdsAnyOf(*row);
    }
    case Kind::Report:
        return anyReport(rights::reportRowsFor(def.reportCode), grants);
    case Kind::Chart:
        return anyReport(rights::reportRowsForAction(def.name), grants);
    case Kind::Dialog:
        if (def.name == QLatin1String("actRight"))
            return grants.holds(rights::systemRight(rights::SystemRight::Staff));
        if (def.name == QLatin1String("actSysPara"))
            return grants.holds(rights::systemRight(rights::SystemRight::Parameters));
        return true;
    default:
        return true;
    }
}

bool commandAllowed(const QString &windowClass, int command, const rights::Grants &grants)
{
    const std::optional<rights::Op> op = operationOf(command);
    const std::optional<int> row = rights::functionRowForWindow(windowClass);
    return !op || !row || grants.holds(rights::functionRight(*row, *op));
}

} // namespace korvane::actions
