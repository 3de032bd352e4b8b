#pragma once
//! TfrmRight ("人员权限"): the rights of each employee. The staff list on the left; on the
//! right one tab per list of the rights catalogue, a grid with the catalogue's names in row
//! order and a "√" for each granted operation, and "所有权限" to grant the whole tab. The
//! rights of the employee picked are loaded from the server and stored on "确定"; picking
//! another employee with unsaved changes asks first. An operator with "人员权限" also sets
//! an employee's initial password here.

#include "RightsCatalog.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QTableWidget;
class TLumoBtn;

class TfrmRight : public QDialog
{
    Q_OBJECT
public:
    struct Employee
    {
        QString code;
        QString name;
    };
    using StaffSource = std::function<QList<Employee>()>;

    explicit TfrmRight(QWidget *parent = nullptr);

    //! Where the staff list comes from (dmMain's employee list unless a test sets one).
    void setStaffSource(StaffSource source) { m_staffSource = std::move(source); }

    QTableWidget *dbgEmp = nullptr;
    QTabWidget *pcRight = nullptr;
    QTableWidget *sgFunc = nullptr;
    QTableWidget *sgRPT = nullptr;
    QTableWidget *sgSys = nullptr;
    QCheckBox *cbAllFunc = nullptr;
    QCheckBox *cbAllRPT = nullptr;
    QCheckBox *cbAllSys = nullptr;
    QLineEdit *edtPWD = nullptr;
    TLumoBtn *btnSetPWD = nullptr;
    TLumoBtn *btnOK = nullptr;
    TLumoBtn *btnCancel = nullptr;

    //! The rights as the grids show them.
    korvane::rights::Grants shownGrants() const;
    //! The employee whose rights are shown; empty when none.
    QString currentEmployee() const { return m_current; }
    //! "确定": stores the shown rights; true (and the dialog closes) when the server took them.
    bool confirm();
    //! Sets the initial password typed in edtPWD for the employee shown.
    bool setInitialPassword();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Tab
    {
        korvane::rights::List list;
        QTableWidget *grid;
        QCheckBox *all;
    };

    QWidget *buildTab(korvane::rights::List list, const QStringList &headers, QTableWidget **grid,
                      QCheckBox **all);
    void toggleCell(const Tab &tab, int row, int column);
    void grantAll(const Tab &tab);
    void showGrants(const korvane::rights::Grants &grants);
    void fillStaff();
    void employeePicked(int row);
    bool load(const QString &empCode);
    bool store();

    StaffSource m_staffSource;
    QList<Employee> m_staff;
    QList<Tab> m_tabs;
    QString m_current;
    korvane::rights::Grants m_loaded;
    int m_currentRow = -1;
    bool m_picking = false;
};
