#pragma once
//! The apply round trip of a client data set: the change log is sent, each refused row goes
//! through OnReconcileError with the cursor on it, and the answer is merged back. The data
//! set's apply and reconcile members are defined in this unit too.

#include "LumoCLientDataSet.h"

namespace LumoApply {

//! The kind of change a row in the change log stands for.
TUpdateKind updateKindOf(TUpdateStatus status);
//! The change-log mark of a refused row once its handler chose action; mark is the row's
//! mark so far. A merge keeps the change when the server rolled everything back.
quint8 markAfter(TReconcileAction action, bool rolledBack, quint8 mark);

} // namespace LumoApply
