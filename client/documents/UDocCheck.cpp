#include "UDocCheck.h"

#include "LumoCLientDataSet.h"
#include "LumoChild.h"
#include "LumoDBGrid.h"
#include "UMsgBox.h"

#include <QDateTime>
#include <QItemSelectionModel>

#include <algorithm>

namespace {

const QString Checked = QStringLiteral("2");

//! While documents are visited one after another the head must not ask to be saved on
//! every move: the changes are applied together at the end.
class TQuietScroll
{
public:
    explicit TQuietScroll(TLumoCLientDataSet &heads) : m_heads(heads)
    {
        m_saved = heads.BeforeScroll;
        heads.BeforeScroll = nullptr;
    }
    ~TQuietScroll() { m_heads.BeforeScroll = m_saved; }
    TQuietScroll(const TQuietScroll &) = delete;
    TQuietScroll &operator=(const TQuietScroll &) = delete;

private:
    TLumoCLientDataSet &m_heads;
    TDataSetNotifyEvent m_saved;
};

QString text(const TLumoCLientDataSet &ds, const QString &field)
{
    const TLumoField *f = ds.FindField(field);
    return f ? f->AsString() : QString();
}

QString text(const TLumoCLientDataSet &ds, const char *field)
{
    return text(ds, QLatin1String(field));
}

bool editing(const TLumoCLientDataSet &ds)
{
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

} // namespace

TDocCheck::TDocCheck(TLumoCLientDataSet &heads, TLumoCLientDataSet &lines, Tlumodbgrid &list,
                     const TLumoSession &session)
    : m_heads(heads), m_lines(lines), m_list(list), m_session(session)
{}

void TDocCheck::setLinkFields(const QString &headNo, const QString &bodyNo)
{
    m_linkHeadNo = headNo;
    m_linkBodyNo = bodyNo;
}

QString TDocCheck::now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<int> TDocCheck::rowsToCheck() const
{
    QList<int> rows;
    if (m_list.MultiSelect() && m_list.selectionModel()) {
        for (const QModelIndex &index : m_list.selectionModel()->selectedRows())
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TDocCheck::run(bool silent)
{
    if (!m_heads.Active() || m_heads.IsEmpty())
        return false;
    if (editing(m_heads) || m_heads.ChangeCount() > 0) {
        MsgBox(QStringLiteral("请先保存当前记录"), mkHint);
        return false;
    }
    const QList<int> rows = rowsToCheck();
    bool changed = false;
    if (rows.isEmpty()) {
        changed = checkCurrent();
    } else {
        const TQuietScroll quiet(m_heads);
        for (int row : rows) {
            if (m_heads.setRecNo(row + 1))
                changed = checkCurrent() || changed;
        }
    }
    if (!changed) {
        if (!silent)
            MsgBox(QStringLiteral("请选择未审核单据进行审核！"), mkHint);
        return false;
    }
    const bool applied = applyOrUndo();
    if (!silent)
        MsgBox(applied ? QStringLiteral("审核完成") : QStringLiteral("提交审核失败"), mkHint);
    return applied;
}

bool TDocCheck::applyOrUndo()
{
    // A refused check leaves the documents as they are stored, not shown as checked.
    bool applied = false;
    try {
        applied = m_heads.ApplyUpdates(0) == 0;
    } catch (...) {
        m_heads.CancelUpdates();
        throw;
    }
    if (!applied)
        m_heads.CancelUpdates();
    return applied;
}

bool TDocCheck::checkCurrent()
{
    // "1" or lower: not yet checked; a checked document is passed over.
    if (text(m_heads, "State") > QStringLiteral("1"))
        return false;
    if (!m_heads.Edit())
        return false;
    m_heads.FieldByName(QStringLiteral("State")).setValue(Checked);
    if (!m_session.UserCode.isEmpty())
        m_heads.FieldByName(QStringLiteral("Assessorcode")).setValue(m_session.UserCode);
    m_heads.FieldByName(QStringLiteral("AssessorDate")).setValue(now());
    if (!m_heads.Post()) {
        m_heads.Cancel();
        return false;
    }
    announceLines();
    return true;
}

void TDocCheck::announceLines()
{
    TLumoRemoteServer *server = m_heads.RemoteServer();
    if (!server)
        return;
    const QString store = text(m_heads, "StoreCode");
    const QString none;
    // The answer is not looked at; a failing call surfaces as the connection's error.
    for (int line = 1; line <= m_lines.RecordCount(); ++line) {
        if (!m_lines.setRecNo(line))
            break;
        server->call(QStringLiteral("CheckBill"),
                     {QStringLiteral("BILLBUY"), text(m_lines, m_linkHeadNo),
                      text(m_lines, m_linkBodyNo), none, text(m_lines, "pqty"), store,
                      text(m_lines, "PdtCode"), text(m_lines, "PdtNO"), none, none, none, none,
                      none});
    }
}
