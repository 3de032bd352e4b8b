#pragma once
//! Which of the main window's actions and record commands the logged-in operator may use,
//! read from the rights table the server enforces (RightsCatalog): a work window needs some
//! operation of its function right, a report or chart one of its report rights, the rights
//! editor "人员权限" and the parameter dialog "系统参数". New, edit, delete and check need
//! their operation of the function right of the work window in front.

#include "RightsCatalog.h"
#include "UActions.h"

namespace korvane::actions {

bool allowedBy(const ActionDef &def, const rights::Grants &grants);
//! Whether the record command (TLumoChild's command number) may run in a work window of the
//! class; commands that change nothing, and windows no right covers, are always allowed.
bool commandAllowed(const QString &windowClass, int command, const rights::Grants &grants);

} // namespace korvane::actions
