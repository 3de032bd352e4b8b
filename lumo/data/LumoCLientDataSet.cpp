#include "LumoCLientDataSet.h"

#include "LumoChangeLog.h"
#include "LumoFilter.h"
#include "LumoMessages.h"
#include "LumoTagStr.h"

#include <algorithm>

using namespace korvane;

// ---- parameters -------------------------------------------------------------------------

int TLumoParams::indexOf(const QString &name) const
{
    for (int i = 0; i < m_params.size(); ++i) {
        if (m_params[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TLumoParams::setValue(const QString &name, const QVariant &value)
{
    const int i = indexOf(name);
    if (i < 0)
        m_params.append(Param{name, value});
    else
        m_params[i].value = value;
}

QVariant TLumoParams::value(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw TLumoDataSetError(QStringLiteral("参数'%1'不存在").arg(name));
    return m_params[i].value;
}

// ---- construction and properties --------------------------------------------------------

TLumoCLientDataSet::TLumoCLientDataSet(QObject *parent) : QObject(parent)
{
    m_indexDefs.append(TLumoIndexDef{QStringLiteral("idxKey"), QStringLiteral("Code")});
}

TLumoCLientDataSet::~TLumoCLientDataSet()
{
    // Closing first; a failing handler while closing is of no concern any more.
    try {
        BeforeClose = nullptr;
        AfterClose = nullptr;
        Close();
    } catch (...) {
    }
    if (TLumoCLientDataSet *owner = master()) {
        owner->m_details.removeAll(this);
        m_dataSetField->bindNested(nullptr);
    }
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail)
            detail->m_dataSetField = nullptr;
    }
}

void TLumoCLientDataSet::setTagStr(const QString &value)
{
    m_tagStr = LumoTagStr::rangeCode(value);
}

void TLumoCLientDataSet::setFloatFormat(const QString &format)
{
    m_floatFormat = format;
    for (const auto &field : m_fields) {
        if (field->isFloat())
            field->setDisplayFormat(format).setEditFormat(format);
    }
}

// ---- fields -----------------------------------------------------------------------------

TLumoField *TLumoCLientDataSet::FindField(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

TLumoField &TLumoCLientDataSet::FieldByName(const QString &name) const
{
    if (TLumoField *field = FindField(name))
        return *field;
    throw TLumoDataSetError(QStringLiteral("%1: 字段'%2'不存在").arg(objectName(), name));
}

TLumoField &TLumoCLientDataSet::addField(std::unique_ptr<TLumoField> field)
{
    if (FindField(field->FieldName()))
        throw TLumoDataSetError(
            QStringLiteral("%1: 字段'%2'重复").arg(objectName(), field->FieldName()));
    field->setPersistent(true);
    if (field->isFloat() && !m_floatFormat.isEmpty())
        field->setDisplayFormat(m_floatFormat).setEditFormat(m_floatFormat);
    m_fields.push_back(std::move(field));
    return *m_fields.back();
}

TLumoField &TLumoCLientDataSet::addDataField(const QString &name, FieldType type, int size)
{
    const TFieldKind kind = type == FieldType::Nested ? TFieldKind::Nested : TFieldKind::Data;
    return addField(std::make_unique<TLumoField>(this, name, kind, type)).setSize(size);
}

TLumoField &TLumoCLientDataSet::addLookupField(const QString &name, const QString &keyFields,
                                               TLumoCLientDataSet *lookupDataSet,
                                               const QString &lookupKeyFields,
                                               const QString &resultField)
{
    return addField(std::make_unique<TLumoField>(this, name, TFieldKind::Lookup, FieldType::String))
        .setLookup(keyFields, lookupDataSet, lookupKeyFields, resultField);
}

TLumoField &TLumoCLientDataSet::addCalcField(const QString &name, FieldType type, TFieldCalc calc)
{
    return addField(std::make_unique<TLumoField>(this, name, TFieldKind::Calculated, type))
        .setCalc(std::move(calc));
}

TLumoField &TLumoCLientDataSet::addAggregateField(const QString &name, const QString &expression)
{
    auto field = std::make_unique<TLumoField>(this, name, TFieldKind::Aggregate, FieldType::Float);
    field->setExpression(expression);
    return addField(std::move(field));
}

void TLumoCLientDataSet::bindFields(const korvane::Fields &packetFields)
{
    // Declared fields keep their properties and must be in the packet; other columns
    // get fields of their own.
    for (const auto &field : m_fields) {
        const TFieldKind kind = field->FieldKind();
        if (kind != TFieldKind::Data && kind != TFieldKind::Nested)
            continue;
        const int column = indexOfField(packetFields, field->FieldName());
        if (column < 0 && field->isPersistent())
            throw TLumoDataSetError(
                QStringLiteral("%1: 字段'%2'不存在").arg(objectName(), field->FieldName()));
        field->bindColumn(column);
    }
    std::erase_if(m_fields, [](const auto &f) { return !f->isPersistent() && f->column() < 0; });
    for (int column = 0; column < packetFields.size(); ++column) {
        const FieldDef &def = packetFields[column];
        if (FindField(def.name))
            continue;
        const TFieldKind kind =
            def.type == FieldType::Nested ? TFieldKind::Nested : TFieldKind::Data;
        auto field = std::make_unique<TLumoField>(this, def.name, kind, def.type);
        field->setSize(def.size).setRequired(def.required).setVisible(!(def.flags & pfHidden));
        if (field->isFloat() && !m_floatFormat.isEmpty())
            field->setDisplayFormat(m_floatFormat).setEditFormat(m_floatFormat);
        field->bindColumn(column);
        m_fields.push_back(std::move(field));
    }
    m_packetFields = packetFields;
    m_nestedColumns = LumoChangeLog::nestedColumns(packetFields);
}

// ---- rows and the cursor ----------------------------------------------------------------

TLumoCLientDataSet *TLumoCLientDataSet::master() const
{
    return m_dataSetField ? m_dataSetField->DataSet() : nullptr;
}

TLumoRows &TLumoCLientDataSet::rows()
{
    if (TLumoCLientDataSet *owner = master()) {
        if (TLumoRows *lines = owner->nestedRowsOfCurrent(*m_dataSetField))
            return *lines;
        static TLumoRows none; // a master without a record has no lines
        none.clear();
        return none;
    }
    return m_rows;
}

const TLumoRows &TLumoCLientDataSet::rows() const
{
    return const_cast<TLumoCLientDataSet *>(this)->rows();
}

TLumoRows *TLumoCLientDataSet::nestedRowsOfCurrent(const TLumoField &nestedField)
{
    TLumoRow *row = currentRow();
    const int ordinal = m_nestedColumns.indexOf(nestedField.column());
    if (!row || ordinal < 0)
        return nullptr;
    if (int(row->nested.size()) < m_nestedColumns.size())
        row->nested.resize(m_nestedColumns.size());
    return &row->nested[ordinal];
}

int TLumoCLientDataSet::storageIndexOfCursor() const
{
    return m_cursor >= 0 && m_cursor < m_visible.size() ? m_visible[m_cursor] : -1;
}

TLumoRow *TLumoCLientDataSet::currentRow()
{
    const int index = storageIndexOfCursor();
    return index < 0 ? nullptr : &rows()[index];
}

const TLumoRow *TLumoCLientDataSet::currentRow() const
{
    return const_cast<TLumoCLientDataSet *>(this)->currentRow();
}

QVariant TLumoCLientDataSet::cellAt(int row, const TLumoField &field) const
{
    if (row < 0 || row >= m_visible.size() || field.column() < 0)
        return QVariant();
    return rows()[m_visible[row]].current.value(field.column());
}

QVariant TLumoCLientDataSet::originalCell(const TLumoField &field) const
{
    const TLumoRow *row = currentRow();
    return row && field.column() >= 0 ? row->original.value(field.column()) : QVariant();
}

void TLumoCLientDataSet::requireEditing(const TLumoField &field) const
{
    if (m_state != TDataSetState::dsEdit && m_state != TDataSetState::dsInsert)
        throw TLumoDataSetError(QStringLiteral("%1: 数据集不在编辑或插入状态").arg(objectName()));
    if (field.FieldKind() != TFieldKind::Data || field.ReadOnly() || field.column() < 0)
        throw TLumoDataSetError(QStringLiteral("字段'%1'不能修改").arg(field.FieldName()));
}

void TLumoCLientDataSet::setCurrentCell(TLumoField &field, const QVariant &value)
{
    requireEditing(field);
    currentRow()->current[field.column()] = value;
    m_modified = true;
}

bool TLumoCLientDataSet::fire(const TDataSetNotifyEvent &handler)
{
    if (!handler)
        return true;
    try {
        handler(*this);
    } catch (const TLumoAbort &) {
        return false;
    }
    return true;
}

void TLumoCLientDataSet::fireAfter(const TDataSetNotifyEvent &handler)
{
    // The operation is done; a refusal this late has nothing left to stop.
    fire(handler);
}

void TLumoCLientDataSet::setState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

// ---- opening and closing ----------------------------------------------------------------

void TLumoCLientDataSet::setActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

Packet TLumoCLientDataSet::requestRecords(int options)
{
    if (!m_remoteServer)
        throw TLumoDataSetError(QStringLiteral("%1: 没有连接远程服务器").arg(objectName()));
    if (m_providerName.isEmpty())
        throw TLumoDataSetError(QStringLiteral("%1: 缺少数据提供者").arg(objectName()));
    // A later packet of the same opening continues the provider's query; sending the
    // parameters again would restart it and deliver the first packet once more.
    const bool restarts = options & (grMetaData | grReset);
    return m_remoteServer->getRecords(m_providerName, m_packetRecords, options,
                                      restarts ? m_params.list() : korvane::Params());
}

void TLumoCLientDataSet::Open()
{
    if (Active())
        return;
    if (master()) {
        if (!master()->Active())
            throw TLumoDataSetError(QStringLiteral("%1: 主数据集未打开").arg(objectName()));
        if (!fire(BeforeOpen))
            return;
        bindFields(master()->packetFields().value(m_dataSetField->column()).fields);
        finishOpen();
        return;
    }
    if (!fire(BeforeOpen))
        return;
    const Packet packet = requestRecords(grMetaData | grReset);
    bindFields(packet.fields);
    m_rows.clear();
    loadRows(packet, false);
    m_moreRows = !packet.eof && m_packetRecords > 0;
    finishOpen();
}

void TLumoCLientDataSet::setData(const Packet &packet)
{
    Close();
    bindFields(packet.fields);
    m_rows.clear();
    loadRows(packet, false);
    m_moreRows = false;
    finishOpen();
}

void TLumoCLientDataSet::CreateDataSet()
{
    Close();
    korvane::Fields fields;
    for (const auto &field : m_fields) {
        if (field->FieldKind() != TFieldKind::Data && field->FieldKind() != TFieldKind::Nested)
            continue;
        FieldDef def{field->FieldName(), field->DataType(), field->Size(), field->Required(),
                     pfInUpdate};
        fields << def;
    }
    bindFields(fields);
    m_rows.clear();
    m_moreRows = false;
    finishOpen();
}

void TLumoCLientDataSet::loadRows(const Packet &packet, bool append)
{
    if (!append)
        m_rows.clear();
    m_rows.reserve(m_rows.size() + packet.rows.size());
    for (const PacketRow &values : packet.rows)
        m_rows.push_back(LumoChangeLog::rowFromPacket(values, m_packetFields));
}

void TLumoCLientDataSet::finishOpen()
{
    m_state = TDataSetState::dsBrowse;
    m_cursor = -1;
    rebuildVisible();
    m_cursor = m_visible.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.isEmpty();
    emit activeChanged(true);
    emit stateChanged();
    emit layoutReset();
    emit recordMoved();
    openDetails();
    fireAfter(AfterOpen);
}

void TLumoCLientDataSet::Close()
{
    if (!Active())
        return;
    if (!fire(BeforeClose))
        return;
    closeDetails();
    m_editSnapshot.reset();
    m_rows.clear();
    m_visible.clear();
    m_cursor = -1;
    m_bof = m_eof = true;
    m_moreRows = false;
    m_state = TDataSetState::dsInactive;
    emit activeChanged(false);
    emit stateChanged();
    emit layoutReset();
    fireAfter(AfterClose);
}

void TLumoCLientDataSet::setDataSetField(TLumoField *field)
{
    if (field && field->FieldKind() != TFieldKind::Nested)
        throw TLumoDataSetError(
            QStringLiteral("字段'%1'不是嵌套数据集字段").arg(field->FieldName()));
    Close();
    if (TLumoCLientDataSet *owner = master())
        owner->m_details.removeAll(this);
    m_dataSetField = field;
    if (field) {
        field->bindNested(this);
        field->DataSet()->m_details.append(this);
        if (field->DataSet()->Active())
            Open();
    }
}

void TLumoCLientDataSet::openDetails()
{
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail)
            detail->Open();
    }
}

void TLumoCLientDataSet::closeDetails()
{
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail)
            detail->Close();
    }
}

void TLumoCLientDataSet::resyncDetails()
{
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (!detail || !detail->Active())
            continue;
        detail->m_editSnapshot.reset();
        detail->setState(TDataSetState::dsBrowse);
        detail->m_cursor = 0;
        detail->rebuildVisible();
        detail->m_cursor = detail->m_visible.isEmpty() ? -1 : 0;
        detail->m_bof = true;
        detail->m_eof = detail->m_visible.isEmpty();
        emit detail->layoutReset();
        emit detail->recordMoved();
        detail->resyncDetails();
    }
}

// ---- fetching ---------------------------------------------------------------------------

bool TLumoCLientDataSet::canFetchMore() const
{
    return Active() && m_moreRows && !master();
}

bool TLumoCLientDataSet::GetNextPacket()
{
    if (!canFetchMore())
        return false;
    const Packet packet = requestRecords(0);
    m_moreRows = !packet.eof && !packet.rows.isEmpty();
    if (packet.rows.isEmpty())
        return false;
    const int firstNew = int(m_rows.size());
    loadRows(packet, true);
    QVector<int> added;
    for (int i = firstNew; i < int(m_rows.size()); ++i) {
        if (rowVisible(i))
            added << i;
    }
    const bool ordered = !m_indexName.isEmpty() || (m_filtered && OnFilterRecord);
    if (ordered) {
        rebuildVisible(storageIndexOfCursor());
        emit layoutReset();
    } else if (!added.isEmpty()) {
        emit rowsAboutToBeFetched(m_visible.size(), m_visible.size() + added.size() - 1);
        m_visible += added;
        if (m_cursor < 0)
            m_cursor = 0;
        emit rowsFetched();
    }
    return true;
}

void TLumoCLientDataSet::fetchAll()
{
    while (GetNextPacket()) {
    }
}

Packet TLumoCLientDataSet::Data() const
{
    Packet packet;
    packet.fields = m_packetFields;
    for (const TLumoRow &row : rows()) {
        if (row.status != TUpdateStatus::usDeleted && !row.pending)
            packet.rows.append(LumoChangeLog::packetRowOf(row, m_packetFields));
    }
    return packet;
}

// ---- editing ----------------------------------------------------------------------------

bool TLumoCLientDataSet::CheckBrowseMode()
{
    if (m_state == TDataSetState::dsBrowse || m_state == TDataSetState::dsInactive)
        return true;
    // Leaving a record posts what was typed; a new record nobody touched just goes.
    if (m_state == TDataSetState::dsInsert && !m_modified) {
        Cancel();
        return true;
    }
    return Post();
}

bool TLumoCLientDataSet::parentAllowsChange()
{
    TLumoCLientDataSet *owner = master();
    if (!owner)
        return true;
    if (!owner->currentRow())
        throw TLumoDataSetError(QStringLiteral("%1: 主数据集没有当前记录").arg(objectName()));
    // A line changes its document: the head goes into edit as well.
    if (owner->State() == TDataSetState::dsBrowse)
        return owner->Edit();
    return true;
}

bool TLumoCLientDataSet::Append()
{
    return beginInsert(true);
}

bool TLumoCLientDataSet::Insert()
{
    return beginInsert(false);
}

bool TLumoCLientDataSet::beginInsert(bool atEnd)
{
    if (!Active())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集未打开").arg(objectName()));
    if (!CheckBrowseMode())
        return false;
    if (!fire(BeforeInsert) || !fire(BeforeScroll) || !parentAllowsChange())
        return false;
    if (atEnd)
        fetchAll();
    TLumoRow row;
    row.status = TUpdateStatus::usInserted;
    row.pending = true;
    row.current.resize(m_packetFields.size());
    row.original = row.current;
    row.nested.resize(m_nestedColumns.size());
    m_rowBeforeInsert = storageIndexOfCursor();
    TLumoRows &all = rows();
    const int at = atEnd || storageIndexOfCursor() < 0 ? int(all.size()) : storageIndexOfCursor();
    all.insert(all.begin() + at, std::move(row));
    m_visible.clear();
    rebuildVisible(at);
    m_modified = false;
    m_state = TDataSetState::dsInsert;
    emit layoutReset();
    emit recordMoved();
    emit stateChanged();
    resyncDetails();
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (const TLumoAbort &) {
        Cancel();
        return false;
    }
    fireAfter(AfterInsert);
    fireAfter(AfterScroll);
    return true;
}

bool TLumoCLientDataSet::Edit()
{
    if (m_state == TDataSetState::dsEdit || m_state == TDataSetState::dsInsert)
        return true;
    if (!Active())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集未打开").arg(objectName()));
    if (m_visible.isEmpty())
        return Append(); // editing an empty data set starts a new record
    if (!parentAllowsChange() || !fire(BeforeEdit))
        return false;
    m_editSnapshot = std::make_unique<TLumoRow>(*currentRow());
    m_modified = false;
    setState(TDataSetState::dsEdit);
    fireAfter(AfterEdit);
    return true;
}

void TLumoCLientDataSet::checkPostRequired() const
{
    for (const auto &field : m_fields) {
        if (field->FieldKind() == TFieldKind::Data && field->Required() && field->IsNull())
            throw TLumoDataSetError(QStringLiteral("字段'%1'必须有值").arg(field->DisplayLabel()));
    }
}

bool TLumoCLientDataSet::Post()
{
    if (m_state != TDataSetState::dsEdit && m_state != TDataSetState::dsInsert)
        return true;
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail && !detail->CheckBrowseMode())
            return false;
    }
    if (!fire(BeforePost))
        return false;
    checkPostRequired();
    TLumoRow &row = *currentRow();
    if (row.pending) {
        row.pending = false;
    } else if (row.status == TUpdateStatus::usUnmodified ||
               row.status == TUpdateStatus::usModified) {
        // An edit that put every value back leaves nothing to send for the row itself.
        bool same = true;
        for (int i = 0; i < row.current.size() && same; ++i)
            same = LumoChangeLog::sameCell(row.original.value(i), row.current[i]);
        row.status = same ? TUpdateStatus::usUnmodified : TUpdateStatus::usModified;
    }
    m_editSnapshot.reset();
    m_modified = false;
    const int storageRow = storageIndexOfCursor();
    setState(TDataSetState::dsBrowse);
    if (m_filtered || !m_indexName.isEmpty()) {
        rebuildVisible(storageRow);
        emit layoutReset();
        emit recordMoved();
    }
    fireAfter(AfterPost);
    return true;
}

void TLumoCLientDataSet::Cancel()
{
    if (m_state != TDataSetState::dsEdit && m_state != TDataSetState::dsInsert)
        return;
    if (!fire(BeforeCancel))
        return;
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail)
            detail->Cancel();
    }
    const int storageRow = storageIndexOfCursor();
    TLumoRows &all = rows();
    if (m_state == TDataSetState::dsInsert) {
        all.erase(all.begin() + storageRow);
        // Back to the record that was current before the insert.
        const int before =
            m_rowBeforeInsert > storageRow ? m_rowBeforeInsert - 1 : m_rowBeforeInsert;
        rebuildVisible(before);
    } else if (m_editSnapshot) {
        all[storageRow] = *m_editSnapshot;
    }
    m_editSnapshot.reset();
    m_modified = false;
    setState(TDataSetState::dsBrowse);
    emit layoutReset();
    emit recordMoved();
    resyncDetails();
    fireAfter(AfterCancel);
}

bool TLumoCLientDataSet::Delete()
{
    if (!Active())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集未打开").arg(objectName()));
    if (m_state == TDataSetState::dsInsert) {
        Cancel();
        return true;
    }
    if (m_visible.isEmpty())
        throw TLumoDataSetError(QStringLiteral("%1: 数据集为空，不能删除").arg(objectName()));
    if (!parentAllowsChange() || !fire(BeforeDelete) || !fire(BeforeScroll))
        return false;
    // A line being typed under the record goes with it.
    for (const QPointer<TLumoCLientDataSet> &detail : std::as_const(m_details)) {
        if (detail)
            detail->Cancel();
    }
    const int storageRow = storageIndexOfCursor();
    const int position = m_cursor;
    TLumoRows &all = rows();
    // A record that never reached the server leaves no trace; a stored one is marked.
    if (all[storageRow].status == TUpdateStatus::usInserted)
        all.erase(all.begin() + storageRow);
    else
        all[storageRow].status = TUpdateStatus::usDeleted;
    m_editSnapshot.reset();
    m_modified = false;
    m_cursor = position;
    rebuildVisible();
    m_eof = m_cursor == m_visible.size() - 1 || m_visible.isEmpty();
    setState(TDataSetState::dsBrowse);
    emit layoutReset();
    emit recordMoved();
    resyncDetails();
    fireAfter(AfterDelete);
    fireAfter(AfterScroll);
    return true;
}

// ---- change log -------------------------------------------------------------------------

int TLumoCLientDataSet::ChangeCount() const
{
    return Active() ? LumoChangeLog::changeCount(rows()) : 0;
}

TUpdateStatus TLumoCLientDataSet::UpdateStatus() const
{
    return updateStatusAt(m_cursor);
}

TUpdateStatus TLumoCLientDataSet::updateStatusAt(int row) const
{
    if (row < 0 || row >= m_visible.size())
        return TUpdateStatus::usUnmodified;
    const TLumoRow &record = rows()[m_visible[row]];
    if (record.status == TUpdateStatus::usUnmodified && LumoChangeLog::hasChanges(record))
        return TUpdateStatus::usModified; // its lines changed
    return record.status;
}

void TLumoCLientDataSet::CancelUpdates()
{
    if (!Active())
        return;
    Cancel();
    LumoChangeLog::revertAll(rows());
    rebuildVisible();
    emit layoutReset();
    emit recordMoved();
    resyncDetails();
}

ChangeSet TLumoCLientDataSet::changeSet() const
{
    TLumoChangeMap map;
    return LumoChangeLog::build(rows(), m_packetFields, &map);
}

// ---- required fields --------------------------------------------------------------------

bool TLumoCLientDataSet::CheckRequired()
{
    if (!Active())
        return false;
    bool result = true;
    for (const auto &field : m_fields) {
        if (field->Required() && field->AsString().isEmpty()) {
            const QString label = field->DisplayLabel();
            lumoMessage(label + QStringLiteral("不能为空！请先填") + label, LumoMsg::Hint);
            return false;
        }
        if (!ContentCheck)
            continue;
        // The handler decides; it starts from the result so far rather than from nothing.
        bool valid = result;
        try {
            ContentCheck(valid);
            result = valid;
        } catch (...) {
        }
    }
    return result;
}
