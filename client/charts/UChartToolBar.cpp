#include "UChartToolBar.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

TChartToolDecl tool(const char *name, const char *caption)
{
    return {.name = QString::fromLatin1(name), .caption = QString::fromUtf8(caption)};
}

TChartToolDecl toggle(const char *name, const char *caption, bool checked, const char *menu = "",
                      const char *group = "")
{
    return {.name = QString::fromLatin1(name),
            .caption = QString::fromUtf8(caption),
            .menu = QString::fromUtf8(menu),
            .checkable = true,
            .checked = checked,
            .group = QString::fromLatin1(group)};
}

TChartToolDecl item(const char *name, const char *caption, const char *menu)
{
    TChartToolDecl t = tool(name, caption);
    t.menu = QString::fromUtf8(menu);
    return t;
}

} // namespace

const QList<TChartToolDecl> &chartTools()
{
    static const QList<TChartToolDecl> tools{
        toggle("actRandomColour", "颜色随机产生", false, "颜色"),
        toggle("actCustomColour", "自定义颜色", true, "颜色"),
        toggle("actGradient", "柱图颜色渐变", true, "颜色"),
        toggle("actBar", "柱图", true, "形状", "shape"),
        toggle("actCurve", "分析曲线", false, "形状", "shape"),
        item("actBackPicture", "背景图", "背景"),
        item("actClearBackPicture", "清除背景图", "背景"),
        item("actBackColour", "背景颜色", "背景"),
        toggle("actRotate", "旋转", true),
        toggle("actThreeD", "三维", true),
        toggle("actLabels", "标签", true),
        tool("actPrintSetup", "打印设置"),
        tool("actPrint", "打印"),
        tool("actSavePicture", "保存图形"),
        tool("actReturn", "返回"),
    };
    return tools;
}

QToolBar *buildChartToolBar(QWidget *parent, const QStringList &names,
                            QMap<QString, QAction *> &actions)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("tbrChart"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->setMovable(false);
    QMap<QString, QMenu *> menus;
    QMap<QString, QActionGroup *> groups;
    for (const TChartToolDecl &decl : chartTools()) {
        if (!names.contains(decl.name))
            continue;
        auto *action = new QAction(decl.caption, parent);
        action->setObjectName(decl.name);
        action->setCheckable(decl.checkable);
        action->setChecked(decl.checked);
        actions.insert(decl.name, action);
        if (!decl.group.isEmpty()) {
            QActionGroup *&group = groups[decl.group];
            if (!group)
                group = new QActionGroup(parent);
            group->addAction(action);
        }
        if (decl.menu.isEmpty()) {
            if (decl.name == QLatin1String("actPrintSetup") && !bar->actions().isEmpty())
                bar->addSeparator();
            bar->addAction(action);
            continue;
        }
        QMenu *&menu = menus[decl.menu];
        if (!menu) {
            menu = new QMenu(decl.menu, parent);
            auto *button = new QToolButton(bar);
            button->setText(decl.menu);
            button->setMenu(menu);
            button->setPopupMode(QToolButton::InstantPopup);
            bar->addWidget(button);
        }
        menu->addAction(action);
    }
    return bar;
}
