#include "URight.h"

#include "LumoBtn.h"
#include "LumoCLientDataSet.h"
#include "LumoLabel.h"
#include "UDMMain.h"
#include "UMsgBox.h"
#include "USettingsCommon.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using korvane::rights::Grants;
using korvane::rights::List;
using korvane::settings::cellText;
using korvane::settings::Granted;
using korvane::settings::setCellText;

namespace {

//! The employees of dmMain's list, its cursor left where it was.
QList<TfrmRight::Employee> staffOfDataModule()
{
    QList<TfrmRight::Employee> staff;
    TLumoCLientDataSet *ds = dmMain ? dmMain->lookup(QStringLiteral("cdsXpsEmp")) : nullptr;
    if (!ds || !ds->Active())
        return staff;
    const int at = ds->RecNo();
    for (bool more = ds->First(); more && !ds->Eof(); more = ds->Next())
        staff.append({ds->FieldByName(QStringLiteral("Code")).AsString(),
                      ds->FieldByName(QStringLiteral("Name")).AsString()});
    ds->setRecNo(at);
    return staff;
}

} // namespace

TfrmRight::TfrmRight(QWidget *parent) : QDialog(parent), m_staffSource(staffOfDataModule)
{
    setObjectName(QStringLiteral("frmRight"));
    setWindowTitle(QStringLiteral("人员权限"));

    dbgEmp = korvane::settings::stringGrid(QStringLiteral("dbgEmp"), 0, 2, this);
    dbgEmp->horizontalHeader()->show();
    dbgEmp->setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("姓名")});
    dbgEmp->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgEmp->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgEmp->setColumnWidth(0, 60);
    dbgEmp->setColumnWidth(1, 90);
    dbgEmp->setFixedWidth(175);
    connect(dbgEmp, &QTableWidget::currentCellChanged, this,
            [this](int row) { employeePicked(row); });

    pcRight = new QTabWidget(this);
    pcRight->setObjectName(QStringLiteral("pcRight"));
    pcRight->addTab(
        buildTab(List::Function,
                 {QStringLiteral("功能模块"), QStringLiteral("新增"), QStringLiteral("修改"),
                  QStringLiteral("删除"), QStringLiteral("审核")},
                 &sgFunc, &cbAllFunc),
        QStringLiteral("建档权限"));
    pcRight->addTab(buildTab(List::Report, {QStringLiteral("报表名称"), QStringLiteral("报表权限")},
                             &sgRPT, &cbAllRPT),
                    QStringLiteral("报表权限"));
    pcRight->addTab(buildTab(List::System, {QStringLiteral("系统功能"), QStringLiteral("系统权限")},
                             &sgSys, &cbAllSys),
                    QStringLiteral("系统权限"));
    pcRight->setCurrentIndex(0);

    edtPWD = new QLineEdit(this);
    edtPWD->setObjectName(QStringLiteral("edtPWD"));
    edtPWD->setMaxLength(16);
    edtPWD->setEchoMode(QLineEdit::Password);
    btnSetPWD = korvane::settings::dialogButton(QStringLiteral("btnSetPWD"),
                                                QStringLiteral("设置密码"), this);
    btnOK = korvane::settings::dialogButton(QStringLiteral("btnOK"), QStringLiteral("确定"), this);
    btnCancel =
        korvane::settings::dialogButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), this);
    connect(btnSetPWD, &TLumoBtn::clicked, this, &TfrmRight::setInitialPassword);
    connect(btnOK, &TLumoBtn::clicked, this, &TfrmRight::confirm);
    connect(btnCancel, &TLumoBtn::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new TLumoLabel(QStringLiteral("初始密码："), this));
    bottom->addWidget(edtPWD);
    bottom->addWidget(btnSetPWD);
    bottom->addStretch();
    bottom->addWidget(btnOK);
    bottom->addWidget(btnCancel);
    auto *body = new QHBoxLayout;
    body->addWidget(dbgEmp);
    body->addWidget(pcRight, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);
    resize(640, 520);
}

QWidget *TfrmRight::buildTab(List list, const QStringList &headers, QTableWidget **grid,
                             QCheckBox **all)
{
    auto *page = new QWidget(this);
    const QList<korvane::rights::Entry> &entries = korvane::rights::catalogue(list);
    const QString suffix = list == List::Function ? QStringLiteral("Func")
                           : list == List::Report ? QStringLiteral("RPT")
                                                  : QStringLiteral("Sys");
    *grid = korvane::settings::stringGrid(QStringLiteral("sg") + suffix, int(entries.size()) + 1,
                                          int(headers.size()), page);
    for (int c = 0; c < headers.size(); ++c)
        setCellText(*grid, 0, c, headers.at(c));
    for (int r = 0; r < entries.size(); ++r)
        setCellText(*grid, r + 1, 0, entries.at(r).name);
    if (list != List::Function) {
        (*grid)->setColumnWidth(0, 180);
        (*grid)->setColumnWidth(1, 80);
    }
    *all = new QCheckBox(QStringLiteral("所有权限"), page);
    (*all)->setObjectName(QStringLiteral("cbAll") + suffix);
    m_tabs.append({list, *grid, *all});
    const Tab tab = m_tabs.last();
    connect(*grid, &QTableWidget::cellClicked, this,
            [this, tab](int row, int column) { toggleCell(tab, row, column); });
    connect(*all, &QCheckBox::toggled, this, [this, tab](bool on) {
        if (on)
            grantAll(tab);
    });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(*grid, 1);
    layout->addWidget(*all);
    return page;
}

void TfrmRight::toggleCell(const Tab &tab, int row, int column)
{
    const int ops = korvane::rights::operationCount(tab.list);
    if (row < 1 || column < 1 || column > ops || cellText(tab.grid, row, 0).isEmpty())
        return;
    const bool granted = cellText(tab.grid, row, column) == Granted;
    setCellText(tab.grid, row, column, granted ? QString() : Granted);
    if (granted)
        tab.all->setChecked(false);
}

void TfrmRight::grantAll(const Tab &tab)
{
    const int ops = korvane::rights::operationCount(tab.list);
    for (int row = 1; row < tab.grid->rowCount(); ++row) {
        if (cellText(tab.grid, row, 0).isEmpty())
            continue;
        for (int column = 1; column <= ops; ++column)
            setCellText(tab.grid, row, column, Granted);
    }
}

Grants TfrmRight::shownGrants() const
{
    Grants grants;
    for (const Tab &tab : m_tabs) {
        const int ops = korvane::rights::operationCount(tab.list);
        for (int row = 1; row < tab.grid->rowCount(); ++row) {
            for (int column = 1; column <= ops; ++column) {
                if (cellText(tab.grid, row, column) == Granted)
                    grants.grant({tab.list, row, column - 1});
            }
        }
    }
    return grants;
}

void TfrmRight::showGrants(const Grants &grants)
{
    for (const Tab &tab : m_tabs) {
        const QSignalBlocker block(tab.all);
        tab.all->setChecked(false);
        const int ops = korvane::rights::operationCount(tab.list);
        for (int row = 1; row < tab.grid->rowCount(); ++row) {
            for (int column = 1; column <= ops; ++column)
                setCellText(tab.grid, row, column,
                            grants.holds({tab.list, row, column - 1}) ? Granted : QString());
        }
    }
}

void TfrmRight::showEvent(QShowEvent *event)
{
    fillStaff();
    QDialog::showEvent(event);
}

void TfrmRight::fillStaff()
{
    const QSignalBlocker block(dbgEmp);
    m_staff = m_staffSource ? m_staffSource() : QList<Employee>();
    dbgEmp->setRowCount(int(m_staff.size()));
    for (int r = 0; r < m_staff.size(); ++r) {
        setCellText(dbgEmp, r, 0, m_staff.at(r).code);
        setCellText(dbgEmp, r, 1, m_staff.at(r).name);
    }
    m_current.clear();
    m_loaded = Grants();
    m_currentRow = -1;
    showGrants(m_loaded);
    if (!m_staff.isEmpty()) {
        dbgEmp->setCurrentCell(0, 0);
        employeePicked(0);
    }
}

void TfrmRight::employeePicked(int row)
{
    if (m_picking || row == m_currentRow || row < 0 || row >= m_staff.size())
        return;
    if (!m_current.isEmpty() && shownGrants() != m_loaded) {
        const int answer =
            MsgBox(QStringLiteral("“%1”的权限已修改，是否保存？").arg(m_current), mkYesNoCancel);
        if (answer == mrCancel || (answer == mrYes && !store())) {
            // Stay with the employee whose changes are not settled.
            m_picking = true;
            dbgEmp->setCurrentCell(m_currentRow, 0);
            m_picking = false;
            return;
        }
    }
    m_currentRow = row;
    load(m_staff.at(row).code);
}

bool TfrmRight::load(const QString &empCode)
{
    m_current = empCode;
    QVariant text;
    const bool ok =
        korvane::settings::callShowingRefusal(QStringLiteral("GetRights"), {empCode}, &text);
    m_loaded = ok ? Grants::fromText(text.toString()).value_or(Grants()) : Grants();
    showGrants(m_loaded);
    return ok;
}

bool TfrmRight::store()
{
    if (m_current.isEmpty())
        return true;
    const Grants grants = shownGrants();
    if (!korvane::settings::callShowingRefusal(QStringLiteral("SetRights"),
                                               {m_current, grants.toText()}))
        return false;
    m_loaded = grants;
    return true;
}

bool TfrmRight::confirm()
{
    if (!store())
        return false;
    accept();
    return true;
}

bool TfrmRight::setInitialPassword()
{
    if (m_current.isEmpty()) {
        MsgBox(QStringLiteral("请先选择员工！"), mkHint);
        return false;
    }
    if (edtPWD->text().isEmpty()) {
        MsgBox(QStringLiteral("密码不能为空！"), mkHint);
        edtPWD->setFocus();
        return false;
    }
    if (!korvane::settings::callShowingRefusal(QStringLiteral("SetUserPWD"),
                                               {m_current, edtPWD->text()}))
        return false;
    edtPWD->clear();
    MsgBox(QStringLiteral("“%1”的初始密码已设置。").arg(m_current), mkHint);
    return true;
}
