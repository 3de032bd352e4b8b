#include "LumoApply.h"

#include "LumoChangeLog.h"

#include <algorithm>

using namespace korvane;

TUpdateKind LumoApply::updateKindOf(TUpdateStatus status)
{
    switch (status) {
    case TUpdateStatus::usInserted:
        return TUpdateKind::ukInsert;
    case TUpdateStatus::usDeleted:
        return TUpdateKind::ukDelete;
    default:
        return TUpdateKind::ukModify;
    }
}

quint8 LumoApply::markAfter(TReconcileAction action, bool rolledBack, quint8 mark)
{
    switch (action) {
    case TReconcileAction::raMerge:
        // Taken as applied, unless nothing reached the database.
        return rolledBack ? quint8(LumoChangeLog::Keep) : mark;
    case TReconcileAction::raCancel:
    case TReconcileAction::raRefresh:
        return LumoChangeLog::Revert;
    default:
        return LumoChangeLog::Keep;
    }
}

int TLumoCLientDataSet::ApplyUpdates(int maxErrors)
{
    if (TLumoCLientDataSet *owner = master())
        return owner->ApplyUpdates(maxErrors);
    if (!Active())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集未打开").arg(objectName()));
    if (!CheckBrowseMode())
        return 0;
    if (ChangeCount() == 0)
        return 0;
    if (!m_remoteServer)
        throw TLumoDataSetError(
            QStringLiteral("%1: 没有连接远程服务器，修改仍保留").arg(objectName()));
    TLumoChangeMap map;
    const ChangeSet delta = LumoChangeLog::build(m_rows, m_packetFields, &map);
    // A failing call throws before anything is touched: the log stays whole.
    const ApplyResult result = m_remoteServer->applyUpdates(m_providerName, delta, maxErrors);
    const int errorCount = std::max<int>(result.errorCount, result.errors.size());
    // Past the tolerated number of errors the server applied nothing at all.
    const bool rolledBack = maxErrors >= 0 && errorCount > maxErrors;
    reconcile(result, map, rolledBack);
    return errorCount;
}

TLumoCLientDataSet *TLumoCLientDataSet::positionOn(const TLumoRowPath &path)
{
    // Moves the cursors without events, so a reconcile handler sees the refused row.
    m_cursor = m_visible.indexOf(path.row);
    if (m_cursor < 0) {
        m_visible.append(path.row); // a deleted row is shown to its handler for a moment
        m_cursor = m_visible.size() - 1;
    }
    resyncDetails();
    if (path.nestedOrdinal < 0)
        return this;
    const int column = m_nestedColumns.value(path.nestedOrdinal, -1);
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (!detail || !detail->Active() || detail->m_dataSetField->column() != column)
            continue;
        detail->m_cursor = detail->m_visible.indexOf(path.detailRow);
        if (detail->m_cursor < 0) {
            detail->m_visible.append(path.detailRow);
            detail->m_cursor = detail->m_visible.size() - 1;
        }
        return detail;
    }
    return this;
}

TReconcileAction TLumoCLientDataSet::askReconcile(const ApplyError &error, const TLumoRowPath &path)
{
    TLumoCLientDataSet *target = positionOn(path);
    const TLumoRow &row = path.nestedOrdinal < 0
                              ? m_rows[path.row]
                              : m_rows[path.row].nested[path.nestedOrdinal][path.detailRow];
    const TUpdateKind kind = LumoApply::updateKindOf(row.status);
    const TReconcileErrorEvent &handler =
        target->OnReconcileError ? target->OnReconcileError : OnReconcileError;
    if (!handler)
        return TReconcileAction::raSkip;
    try {
        return handler(*target, TLumoReconcileError{error.message, error.errorCode}, kind);
    } catch (const TLumoAbort &) {
        return TReconcileAction::raAbort;
    } catch (const TLumoDataSetError &) {
        return TReconcileAction::raSkip;
    }
}

void TLumoCLientDataSet::reconcile(const ApplyResult &result, const TLumoChangeMap &map,
                                   bool rolledBack)
{
    const int position = m_cursor;
    bool aborted = false;
    for (const ApplyError &error : result.errors) {
        const TLumoRowPath path = LumoChangeLog::locate(map, m_packetFields, error);
        if (!path.isValid())
            continue;
        const TReconcileAction action =
            aborted ? TReconcileAction::raSkip : askReconcile(error, path);
        aborted = aborted || action == TReconcileAction::raAbort;
        TLumoRow &row = path.nestedOrdinal < 0
                            ? m_rows[path.row]
                            : m_rows[path.row].nested[path.nestedOrdinal][path.detailRow];
        row.mark = LumoApply::markAfter(action, rolledBack, row.mark);
    }
    if (!rolledBack)
        mergeRefreshed(result.refreshed);
    LumoChangeLog::settle(m_rows, !rolledBack);
    m_cursor = position;
    rebuildVisible();
    emit layoutReset();
    emit recordMoved();
    resyncDetails();
}

void TLumoCLientDataSet::mergeRefreshed(const Packet &refreshed)
{
    // Applied rows come back as they now stand (defaults, computed columns); they are
    // found again by their key columns.
    QList<int> keys;
    for (int i = 0; i < refreshed.fields.size(); ++i) {
        if (refreshed.fields[i].flags & (pfInWhere | pfInKey))
            keys << i;
    }
    if (keys.isEmpty() || refreshed.rows.isEmpty())
        return;
    QList<int> targetColumns;
    for (const FieldDef &def : refreshed.fields)
        targetColumns << (def.type == FieldType::Nested ? -1
                                                        : indexOfField(m_packetFields, def.name));
    for (TLumoRow &row : m_rows) {
        if (row.mark != LumoChangeLog::NoMark || row.pending ||
            (row.status != TUpdateStatus::usInserted && row.status != TUpdateStatus::usModified))
            continue;
        for (const RowValues &fresh : refreshed.rows) {
            const bool same = std::all_of(keys.begin(), keys.end(), [&](int k) {
                return targetColumns[k] >= 0 &&
                       LumoChangeLog::sameCell(row.current.value(targetColumns[k]), fresh.value(k));
            });
            if (!same)
                continue;
            for (int k = 0; k < fresh.size() && k < targetColumns.size(); ++k) {
                if (targetColumns[k] >= 0)
                    row.current[targetColumns[k]] = fresh[k];
            }
            break;
        }
    }
}
