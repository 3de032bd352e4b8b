#pragma once
//! The operators' rights: the three catalogues the rights editor shows (system, function
//! and report rights, each in row order), a set of granted rights and its text form, and
//! the one table that says which right covers a provider (by Flag for the shared head
//! tables), a work window, a report code or a chart. The server enforces from this table
//! and the client greys its actions from it.
//!
//! A right is keyed by its list and its row in that list (from 1): the report catalogue
//! holds the number 15 twice, so a number alone names no right.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvane::rights {

enum class List { System, Function, Report };

//! The operations of a function right, in the editor's column order.
enum class Op { Add = 0, Modify = 1, Delete = 2, Check = 3 };

//! The rows of the system list.
enum class SystemRight { Staff = 1, Parameters = 2, Backup = 3, Restore = 4 };

struct Entry
{
    int number;
    QString name;
};

const QList<Entry> &catalogue(List list);
//! Columns a row of the list grants: 4 for functions (新增 修改 删除 审核), 1 otherwise.
int operationCount(List list);
//! The column caption of an operation ("新增", ...).
QString operationName(Op op);
//! The row (from 1) of the entry with that name; 0 when the list has none.
int rowOf(List list, const QString &name);

struct Right
{
    List list = List::Function;
    int row = 0; // from 1
    int op = 0;  // Op for functions, 0 otherwise

    friend bool operator==(const Right &, const Right &) = default;
};

Right systemRight(SystemRight right);
Right functionRight(int row, Op op);
Right reportRight(int row);
//! Whether the right names an existing row and operation.
bool isValid(const Right &right);
//! The name of the right as the operator reads it ("采购收货—新增", "人员权限").
QString describe(const Right &right);
//! The refusal an operator without the right reads.
QString refusal(const Right &right);

//! Granted rights of one employee.
class Grants
{
public:
    bool holds(const Right &right) const { return m_keys.contains(key(right)); }
    //! Whether any operation of the function row is granted.
    bool holdsAnyOf(int functionRow) const;
    void grant(const Right &right);
    void revoke(const Right &right);
    QList<Right> all() const; // in list, row and operation order
    bool isEmpty() const { return m_keys.isEmpty(); }

    //! Every right of all three lists.
    static Grants everything();

    //! Text form: items "SYS:1:0", "FUNC:24:3", "RPT:16:0" joined by commas. fromText
    //! fails (nullopt) on any item that is not a valid right.
    QString toText() const;
    static std::optional<Grants> fromText(const QString &text);

    friend bool operator==(const Grants &, const Grants &) = default;

private:
    static quint32 key(const Right &right);
    QSet<quint32> m_keys;
};

//! The short key of a list in the text form and in the database ("SYS", "FUNC", "RPT").
QString listKey(List list);
std::optional<List> listFromKey(const QString &key);

// --- What each right covers --------------------------------------------------------------

//! A function right's reach: the provider that stores its rows (with the Flag value when
//! the provider serves several kinds through one head table) and the work windows it opens.
struct FunctionCover
{
    QString right; // name in the function catalogue
    QString provider;
    QString flag;
    QStringList windowClasses;
};

//! A report right's reach: the report code it fetches and, for charts, the action.
struct ReportCover
{
    QString right; // name in the report catalogue
    QString code;
    QString action; // a chart's action; empty when the action names the code itself
};

const QList<FunctionCover> &functionCovers();
const QList<ReportCover> &reportCovers();

//! Whether a change set for the provider must be looked up by the Flag of its rows.
bool coveredByFlag(const QString &provider);
//! The function row covering the provider (and flag); nullopt when no right covers it.
std::optional<int> functionRowFor(const QString &provider, const QString &flag = QString());
//! The function row whose window the class is; nullopt when none.
std::optional<int> functionRowForWindow(const QString &windowClass);
//! The report rows of which any one allows fetching the code; empty when none.
QList<int> reportRowsFor(const QString &code);
//! The report rows that make the chart action usable; empty when none.
QList<int> reportRowsForAction(const QString &action);

} // namespace korvane::rights
