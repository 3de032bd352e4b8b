#include "LumoRecordRules.h"

#include "LumoChild.h"
#include "LumoMessages.h"
#include "LumoUpdateError.h"

QString lumo::keyIndexName()
{
    return QStringLiteral("IDXKEY");
}

QStringList lumo::keyFieldsOf(const TLumoCLientDataSet &dataSet)
{
    QStringList fields;
    for (const QString &name : dataSet.indexFields(keyIndexName()).split(QLatin1Char(';'))) {
        if (!name.trimmed().isEmpty())
            fields << name.trimmed();
    }
    return fields;
}

bool lumo::isDataSetCode(const QString &code)
{
    return code >= QStringLiteral("D1") && code <= QStringLiteral("D9");
}

QString lumo::lockedText()
{
    return QStringLiteral("单据产生后不允许修改！");
}

TLumoRecordRules::TLumoRecordRules(TLumoChild &frame) : m_frame(frame) {}

TLumoRecordRules::~TLumoRecordRules()
{
    for (TCDSPak &pak : m_paks) {
        if (TLumoCLientDataSet *ds = pak.dataSet) {
            ds->BeforeEdit = pak.BeforeEdit;
            ds->BeforeInsert = pak.BeforeInsert;
            ds->AfterInsert = pak.AfterInsert;
            ds->BeforePost = pak.BeforePost;
            ds->AfterPost = pak.AfterPost;
            ds->BeforeScroll = pak.BeforeScroll;
            ds->OnReconcileError = pak.OnReconcileError;
        }
    }
}

void TLumoRecordRules::manage(TLumoCLientDataSet *dataSet)
{
    m_paks.push_back(TCDSPak{});
    TCDSPak &pak = m_paks.back();
    pak.dataSet = dataSet;
    install(pak);
}

QList<TLumoCLientDataSet *> TLumoRecordRules::dataSets() const
{
    QList<TLumoCLientDataSet *> list;
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet)
            list << pak.dataSet;
    }
    return list;
}

TLumoCLientDataSet *TLumoRecordRules::dataSetOf(const QString &code) const
{
    for (const TCDSPak &pak : m_paks) {
        if (pak.dataSet && pak.dataSet->TagStr() == code)
            return pak.dataSet;
    }
    return nullptr;
}

void TLumoRecordRules::install(TCDSPak &pak)
{
    TLumoCLientDataSet &ds = *pak.dataSet;
    pak.BeforeEdit = ds.BeforeEdit;
    pak.BeforeInsert = ds.BeforeInsert;
    pak.AfterInsert = ds.AfterInsert;
    pak.BeforePost = ds.BeforePost;
    pak.AfterPost = ds.AfterPost;
    pak.BeforeScroll = ds.BeforeScroll;
    pak.OnReconcileError = ds.OnReconcileError;
    // Each handler calls the form's own first; a refusal there stops the operation.
    const auto chain = [this](TDataSetNotifyEvent TCDSPak::*own,
                              void (TLumoRecordRules::*frame)(TLumoCLientDataSet &)) {
        return [this, own, frame](TLumoCLientDataSet &dataSet) {
            if (TCDSPak *p = pakOf(dataSet); p && p->*own)
                (p->*own)(dataSet);
            if (frame)
                (this->*frame)(dataSet);
        };
    };
    ds.BeforeEdit = chain(&TCDSPak::BeforeEdit, &TLumoRecordRules::beforeEdit);
    ds.BeforeInsert = chain(&TCDSPak::BeforeInsert, &TLumoRecordRules::beforeInsert);
    ds.AfterInsert = chain(&TCDSPak::AfterInsert, &TLumoRecordRules::afterInsert);
    ds.BeforePost = chain(&TCDSPak::BeforePost, &TLumoRecordRules::beforePost);
    ds.AfterPost = chain(&TCDSPak::AfterPost, nullptr);
    ds.BeforeScroll = chain(&TCDSPak::BeforeScroll, &TLumoRecordRules::beforeScroll);
    ds.OnReconcileError = [this](TLumoCLientDataSet &dataSet, const TLumoReconcileError &E,
                                 TUpdateKind kind) { return reconcileError(dataSet, E, kind); };
}

TLumoRecordRules::TCDSPak *TLumoRecordRules::pakOf(const TLumoCLientDataSet &dataSet)
{
    for (TCDSPak &pak : m_paks) {
        if (pak.dataSet == &dataSet)
            return &pak;
    }
    return nullptr;
}

void TLumoRecordRules::refuseWhenLocked() const
{
    if (m_frame.LockAfterPost() && !m_frame.masterEditing()) {
        lumoMessage(lumo::lockedText(), LumoMsg::Hint);
        Abort();
    }
}

void TLumoRecordRules::requireMasterKey() const
{
    if (!m_frame.MasterDataSet())
        return;
    for (const QString &name : lumo::keyFieldsOf(*m_frame.MasterDataSet())) {
        const TLumoField *field = m_frame.MasterDataSet()->FindField(name);
        if (field && field->AsString().isEmpty()) {
            lumoMessage(field->DisplayLabel() + QStringLiteral("不能为空！"), LumoMsg::Hint);
            Abort();
        }
    }
}

void TLumoRecordRules::beforeEdit(TLumoCLientDataSet &dataSet)
{
    if (!m_frame.Options().testFlag(TLumoChild::AutoEdit))
        return;
    // Deleting a whole document takes its lines away first; that is no change to a
    // locked document but its end.
    const bool deletingDocument = m_frame.RunningCommand() == TLumoChild::cmDelete &&
                                  m_frame.CurrentDataSet() == m_frame.MasterDataSet();
    if (!deletingDocument)
        refuseWhenLocked();
    if (m_frame.isDetail(dataSet))
        requireMasterKey();
    if (m_frame.RunningCommand() == TLumoChild::cmEdit)
        m_frame.focusActivePanel();
}

void TLumoRecordRules::beforeInsert(TLumoCLientDataSet &dataSet)
{
    if (m_frame.isDetail(dataSet)) {
        if (TCDSPak *pak = pakOf(dataSet)) {
            pak->bodyNos.clear();
            if (const TLumoField *bodyNo = dataSet.FindField(QStringLiteral("BodyNO"))) {
                for (int row = 0; row < dataSet.RecordCount(); ++row)
                    pak->bodyNos << bodyNo->valueAt(row).toString();
            }
        }
    }
    if (m_frame.Options().testFlag(TLumoChild::AutoInsert) && m_frame.isDetail(dataSet)) {
        refuseWhenLocked();
        requireMasterKey();
    }
    if (m_frame.RunningCommand() == TLumoChild::cmNew)
        m_frame.focusActivePanel();
}

QString TLumoChild::NextBodyNo(const QStringList &used)
{
    const int tries = int(used.size()) + 5;
    for (int n = 1; n <= tries; ++n) {
        const QString candidate = QString::asprintf("%.4d", n);
        if (!used.contains(candidate))
            return candidate;
    }
    return QString();
}

void TLumoRecordRules::afterInsert(TLumoCLientDataSet &dataSet)
{
    if (!m_frame.Options().testFlag(TLumoChild::AutoInsert) || !m_frame.AutoNO())
        return;
    if (&dataSet == m_frame.MasterDataSet()) {
        TLumoField *headNo = dataSet.FindField(QStringLiteral("HeadNO"));
        if (!headNo || !dataSet.RemoteServer())
            return;
        try {
            headNo->setValue(
                dataSet.RemoteServer()->call(QStringLiteral("GetHeadno"), {dataSet.TableName()}));
        } catch (const TLumoRemoteError &e) {
            // The head stays without a number; its required check stops the post.
            lumoMessage(e.text(), LumoMsg::Hint);
        }
    } else if (m_frame.isDetail(dataSet)) {
        TLumoField *bodyNo = dataSet.FindField(QStringLiteral("BodyNO"));
        const TCDSPak *pak = pakOf(dataSet);
        if (bodyNo && pak)
            bodyNo->setValue(TLumoChild::NextBodyNo(pak->bodyNos));
    }
}

bool TLumoRecordRules::keyIsFree(TLumoCLientDataSet &dataSet) const
{
    const QStringList names = lumo::keyFieldsOf(dataSet);
    if (names.isEmpty())
        return false;
    QStringList values, described;
    bool unchanged = dataSet.State() == TDataSetState::dsEdit;
    for (const QString &name : names) {
        const TLumoField &field = dataSet.FieldByName(name);
        values << field.AsString();
        described << field.DisplayLabel() + QStringLiteral("为'") + field.AsString() +
                         QStringLiteral("'");
        unchanged = unchanged && field.OldValue().toString() == field.Value().toString();
    }
    if (!dataSet.RemoteServer())
        return true;
    bool exists = false;
    try {
        exists = dataSet.RemoteServer()
                     ->call(QStringLiteral("keyExist"),
                            {dataSet.TableName(), names.join(QLatin1Char(',')),
                             values.join(QLatin1Char(','))})
                     .toBool();
    } catch (const TLumoRemoteError &e) {
        lumoMessage(e.text(), LumoMsg::Hint);
        return false;
    }
    // The row found is this very record when its key was not touched.
    if (!exists || unchanged)
        return true;
    lumoMessage(described.join(QLatin1Char(',')) + QStringLiteral("的资料已经存在。请检查！"),
                LumoMsg::Hint);
    return false;
}

void TLumoRecordRules::clearBlankFields(TLumoCLientDataSet &dataSet)
{
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TLumoField &field = dataSet.Fields(i);
        if (field.FieldKind() != TFieldKind::Data || field.ReadOnly() || field.column() < 0 ||
            field.DataType() == korvane::FieldType::Nested || !field.AsString().isEmpty())
            continue;
        switch (field.DataType()) {
        case korvane::FieldType::Integer:
        case korvane::FieldType::Float:
        case korvane::FieldType::Boolean:
            field.setValue(0);
            break;
        default:
            if (!field.IsNull())
                field.Clear();
            break;
        }
    }
}

void TLumoRecordRules::beforePost(TLumoCLientDataSet &dataSet)
{
    if (!m_frame.Options().testFlag(TLumoChild::AutoSave))
        return;
    if (!dataSet.CheckRequired())
        Abort();
    if (&dataSet == m_frame.MasterDataSet() && !keyIsFree(dataSet))
        Abort();
    clearBlankFields(dataSet);
}

void TLumoRecordRules::beforeScroll(TLumoCLientDataSet &dataSet)
{
    if (!m_frame.Options().testFlag(TLumoChild::AutoSave) || &dataSet != m_frame.MasterDataSet() ||
        m_frame.RunningCommand() == TLumoChild::cmDelete ||
        m_frame.RunningCommand() == TLumoChild::cmSave ||
        m_frame.RunningCommand() == TLumoChild::cmCancel)
        return;
    if (m_frame.masterUnsaved() && !m_frame.askToSave())
        Abort();
}

// ---- refused changes --------------------------------------------------------------------

bool TLumoChild::LumoMessageAction(const QString &message, TReconcileAction *action, QString *text)
{
    if (!message.startsWith(QStringLiteral("LUMO")))
        return false;
    static const TReconcileAction byDigit[] = {
        TReconcileAction::raSkip,    TReconcileAction::raAbort,  TReconcileAction::raMerge,
        TReconcileAction::raCorrect, TReconcileAction::raCancel, TReconcileAction::raRefresh,
    };
    const int digit = message.size() > 4 ? message.at(4).digitValue() : -1;
    *action = digit >= 1 && digit <= 6 ? byDigit[digit - 1] : TReconcileAction::raCorrect;
    *text = message.mid(5);
    return true;
}

TReconcileAction TLumoRecordRules::reconcileError(TLumoCLientDataSet &dataSet,
                                                  const TLumoReconcileError &E, TUpdateKind kind)
{
    TReconcileAction action = TReconcileAction::raCorrect;
    QString text;
    if (TLumoChild::LumoMessageAction(E.Message, &action, &text)) {
        lumoMessage(text, LumoMsg::Hint);
        return action;
    }
    if (E.ErrorCode != korvane::ForeignKeyRefused)
        return TLumoUpdateError::HandleReconcileError(dataSet, E, kind);
    if (kind == TUpdateKind::ukModify) {
        QStringList labels;
        for (const QString &name : m_frame.MasterDataSet()
                                       ? lumo::keyFieldsOf(*m_frame.MasterDataSet())
                                       : QStringList()) {
            const TLumoField *field = m_frame.MasterDataSet()->FindField(name);
            labels << QStringLiteral("'") + (field ? field->DisplayLabel() : name) +
                          QStringLiteral("'");
        }
        lumoMessage(QStringLiteral("此记录已被引用，关键字") + labels.join(QLatin1Char(',')) +
                        QStringLiteral("不能修改!"),
                    LumoMsg::Hint);
        action = TReconcileAction::raCorrect;
        m_frame.m_editAfterApply = true;
    } else {
        lumoMessage(QStringLiteral("此记录已被引用，不能删除！!"), LumoMsg::Hint);
        action = TReconcileAction::raCancel;
    }
    // The operator sees the refused record; the action stays as decided above.
    TLumoUpdateError::HandleReconcileError(dataSet, E, kind);
    return action;
}
