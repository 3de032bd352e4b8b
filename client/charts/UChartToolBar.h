#pragma once
//! The chart windows' tool bar as data: each tool a name, a caption, the drop-down it sits
//! in, whether it toggles and its first state; one builder makes the bar of the tools a
//! window names.

#include <QMap>
#include <QString>
#include <QStringList>

class QAction;
class QToolBar;
class QWidget;

struct TChartToolDecl
{
    QString name;    // "actThreeD"
    QString caption; // "三维"
    QString menu;    // the drop-down it sits in ("颜色"); empty: on the bar itself
    bool checkable = false;
    bool checked = false;
    QString group; // tools of one group are ticked one at a time
};

//! Every tool of the sales chart, in the order of the bar.
const QList<TChartToolDecl> &chartTools();

//! A tool bar with the named tools (in the order of chartTools); the actions by name.
QToolBar *buildChartToolBar(QWidget *parent, const QStringList &names,
                            QMap<QString, QAction *> &actions);
