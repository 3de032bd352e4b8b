#pragma once
//! Every action of the main window, its toolbar menus and the navigation tree, as data.
//! The main window builds its action list, menus, toolbar and navigation pane from these
//! tables; the navigation window builds its pages of launchers from the same tree.

#include <QList>
#include <QString>
#include <QStringList>

namespace korvane::actions {

enum class Kind {
    Command,    // a record command sent to the active work window (tag = command number)
    WorkWindow, // opens (or brings back) one work window
    Report,     // hands a report code to a condition window, then shows it modally
    Chart,      // shows a chart condition window modally
    Dialog,     // shows a dialog created at start-up modally
    Tool,       // starts one of this platform's desktop tools
    Web,        // opens the vendor's web page or a mail to the vendor
    Shell,      // the main window's own functions (exit, reconnect)
};

struct ActionDef
{
    QString name;    // the action's component name ("actXCI")
    QString caption; // its caption ("品牌设置")
    Kind kind = Kind::Shell;
    int tag = 0;            // command number of a command action
    QString shortcut;       // "F2" ... empty when none
    QString windowClass;    // the window it opens or shows
    QString windowCaption;  // the caption of that window
    QString reportCode;     // report actions: the report the condition window serves
    int invoiceFlag = 0;    // the invoice window's kind after opening (1 blue, 2 red)
    QStringList tools = {}; // tool actions: programs tried in order
};

//! Every action in list order (the order decides which of two actions owns a shortcut).
const QList<ActionDef> &actionTable();
//! The action of that name (exact spelling); null when unknown.
const ActionDef *findAction(const QString &name);

//! A sub-button of a group and the navigation page it shows.
struct NavButton
{
    QString name;    // "btnCorp"
    QString caption; // "部门员工"
    QStringList actions;
    //! The page: the button's name without "btn".
    QString page() const { return name.mid(3); }
};

//! A group button of the navigation pane with its sub-buttons.
struct NavGroup
{
    QString name;    // "btnBase"
    QString caption; // "基本资料"
    QList<NavButton> buttons;
};

const QList<NavGroup> &navigationTree();
//! The navigation page of that name (case-insensitive); null when unknown.
const NavButton *findNavPage(const QString &page);

//! A drop-down menu of the toolbar; "-" in items is a separator.
struct MenuDef
{
    QString name;
    QString caption;
    QStringList items;
};

const QList<MenuDef> &toolbarMenus();
//! The eleven command buttons of the toolbar, left to right.
QStringList commandButtons();

//! The first installed program of a tool action; empty when none is installed.
QString installedTool(const ActionDef &action);

//! The vendor's web page and sales mail address.
QString vendorWebPage();
QString vendorMailAddress();

} // namespace korvane::actions
