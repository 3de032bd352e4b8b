#include "RightsStore.h"

#include "ServerError.h"
#include "WriteTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvane::RightsStore {

namespace {

using rights::Op;
using rights::Right;

const QString StaffRightMissing = QStringLiteral("至少要有一名员工拥有“人员权限”，权限未保存！");

//! Columns a check writes besides State: changing only these is checking, not editing.
const QStringList CheckColumns{QStringLiteral("State"), QStringLiteral("Assessorcode"),
                               QStringLiteral("AssessorDate")};

QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw ServerError(QStringLiteral("权限表读写失败：%1").arg(q.lastError().text()));
    return q;
}

QVariant cell(const RowValues &values, int i)
{
    return i >= 0 && i < values.size() ? values.at(i) : QVariant();
}

bool cellChanged(const ChangeRow &row, int i)
{
    if (i < row.changed.size())
        return row.changed.testBit(i);
    return cell(row.oldValues, i) != cell(row.newValues, i);
}

bool isChecked(const QVariant &state)
{
    return state.toString().trimmed() == QLatin1String("2");
}

QList<Op> operationsOf(const ChangeRow &row, const Fields &fields)
{
    const int state = indexOfField(fields, QStringLiteral("State"));
    switch (row.op) {
    case ChangeOp::Insert:
        if (state >= 0 && isChecked(cell(row.newValues, state)))
            return {Op::Add, Op::Check};
        return {Op::Add};
    case ChangeOp::Delete:
        return {Op::Delete};
    case ChangeOp::Modify:
        break;
    }
    const bool checks =
        state >= 0 && cellChanged(row, state) &&
        (isChecked(cell(row.oldValues, state)) || isChecked(cell(row.newValues, state)));
    bool edits = !row.details.isEmpty();
    for (int i = 0; i < fields.size() && !edits; ++i)
        edits =
            cellChanged(row, i) && !CheckColumns.contains(fields.at(i).name, Qt::CaseInsensitive);
    if (checks && !edits)
        return {Op::Check};
    if (checks)
        return {Op::Modify, Op::Check};
    return {Op::Modify};
}

//! Every kind a provider of several kinds serves.
QStringList everyFlagOf(const QString &provider)
{
    QStringList flags;
    for (const rights::FunctionCover &c : rights::functionCovers()) {
        if (c.provider.compare(provider, Qt::CaseInsensitive) == 0 && !c.flag.isEmpty())
            flags << c.flag;
    }
    return flags;
}

//! The Flag values a row touches: its old and its new one. A changed or deleted row that does
//! not say its old kind (a delete carries little more than its key) needs the right of every
//! kind the provider serves, so that leaving the kind out never asks for less.
QStringList flagsOf(const QString &provider, const ChangeRow &row, int flag)
{
    QStringList flags;
    if (row.op != ChangeOp::Insert) {
        const QString old = cell(row.oldValues, flag).toString().trimmed();
        if (old.isEmpty())
            flags << everyFlagOf(provider);
        else
            flags << old;
    }
    if (row.op == ChangeOp::Insert || (row.op != ChangeOp::Delete && cellChanged(row, flag)))
        flags << cell(row.newValues, flag).toString().trimmed();
    flags.removeDuplicates();
    return flags;
}

int functionRowOrRefuse(const QString &provider, const QString &flag)
{
    const std::optional<int> row = rights::functionRowFor(provider, flag);
    if (!row)
        throw ServerError(
            flag.isEmpty()
                ? QStringLiteral("“%1”的数据没有对应的操作权限，不能修改！").arg(provider)
                : QStringLiteral("“%1”类别“%2”的数据没有对应的操作权限，不能修改！")
                      .arg(provider, flag));
    return *row;
}

} // namespace

rights::Grants load(const QSqlDatabase &db, const QString &empCode)
{
    QSqlQuery q = run(
        db, QStringLiteral("SELECT RightList, RowNo, Op FROM XRight WHERE EmpCode = ?"), {empCode});
    rights::Grants grants;
    while (q.next()) {
        const std::optional<rights::List> list = rights::listFromKey(q.value(0).toString());
        if (list)
            grants.grant({*list, q.value(1).toInt(), q.value(2).toInt()});
    }
    return grants;
}

void store(const QSqlDatabase &database, const QString &empCode, const rights::Grants &grants)
{
    QSqlDatabase db = database;
    QSqlQuery exists =
        run(db, QStringLiteral("SELECT count(*) FROM XPSEmp WHERE code = ?"), {empCode});
    if (!exists.next() || exists.value(0).toInt() == 0)
        throw ServerError(QStringLiteral("员工“%1”已不存在，权限未保存！").arg(empCode));
    inWriteTransaction(db, QStringLiteral("权限未保存："), [&] {
        run(db, QStringLiteral("DELETE FROM XRight WHERE EmpCode = ?"), {empCode});
        for (const Right &r : grants.all())
            run(db,
                QStringLiteral(
                    "INSERT INTO XRight (EmpCode, RightList, RowNo, Op) VALUES (?, ?, ?, ?)"),
                {empCode, rights::listKey(r.list), r.row, r.op});
        QSqlQuery staff =
            run(db,
                QStringLiteral("SELECT count(*) FROM XRight r JOIN XPSEmp e ON "
                               "e.code = r.EmpCode WHERE r.RightList = ? AND "
                               "r.RowNo = ? AND r.Op = 0"),
                {rights::listKey(rights::List::System), int(rights::SystemRight::Staff)});
        if (!staff.next() || staff.value(0).toInt() == 0)
            throw ServerError(StaffRightMissing);
    });
}

bool holds(const QSqlDatabase &db, const QString &empCode, const Right &right)
{
    QSqlQuery q = run(db,
                      QStringLiteral("SELECT count(*) FROM XRight WHERE EmpCode = ? AND "
                                     "RightList = ? AND RowNo = ? AND Op = ?"),
                      {empCode, rights::listKey(right.list), right.row, right.op});
    return q.next() && q.value(0).toInt() > 0;
}

void require(const QSqlDatabase &db, const QString &empCode, const Right &right)
{
    if (!holds(db, empCode, right))
        throw ServerError(rights::refusal(right));
}

QList<Right> neededFor(const QString &provider, const ChangeSet &delta)
{
    QList<Right> needed;
    if (delta.isEmpty())
        return needed;
    const bool byFlag = rights::coveredByFlag(provider);
    const int flag = indexOfField(delta.fields, QStringLiteral("Flag"));
    if (byFlag && flag < 0)
        throw ServerError(QStringLiteral("“%1”的修改缺少类别（Flag），不能保存！").arg(provider));
    for (const ChangeRow &row : delta.rows) {
        const QStringList flags = byFlag ? flagsOf(provider, row, flag) : QStringList{QString()};
        for (const QString &f : flags) {
            const int functionRow = functionRowOrRefuse(provider, f);
            for (Op op : operationsOf(row, delta.fields)) {
                const Right r = rights::functionRight(functionRow, op);
                if (!needed.contains(r))
                    needed << r;
            }
        }
    }
    return needed;
}

void requireForChanges(const QSqlDatabase &db, const QString &empCode, const QString &provider,
                       const ChangeSet &delta)
{
    const QList<Right> needed = neededFor(provider, delta);
    if (needed.isEmpty())
        return;
    const rights::Grants grants = load(db, empCode);
    for (const Right &r : needed) {
        if (!grants.holds(r))
            throw ServerError(rights::refusal(r));
    }
}

void requireReport(const QSqlDatabase &db, const QString &empCode, const QString &code)
{
    const QList<int> rows = rights::reportRowsFor(code);
    if (rows.isEmpty())
        throw ServerError(QStringLiteral("报表“%1”没有对应的报表权限，不能查询！").arg(code));
    const rights::Grants grants = load(db, empCode);
    for (int row : rows) {
        if (grants.holds(rights::reportRight(row)))
            return;
    }
    throw ServerError(rights::refusal(rights::reportRight(rows.first())));
}

} // namespace korvane::RightsStore
