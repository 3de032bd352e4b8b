#include "UNavPane.h"

#include "LumoBtn.h"
#include "LumoLabel.h"
#include "LumoPanel.h"
#include "LumoTransBtn.h"
#include "UActions.h"
#include "UShellArt.h"

#include <QStackedWidget>
#include <QThread>

namespace {

constexpr int kStep = 2; // pixels a group button moves per painted step
constexpr int kActivePanelHeight = 96;
constexpr int kSubButtonHeight = 26;

const QColor kUpCaption(Qt::yellow);
const QColor kDownCaption(Qt::white);
const QColor kSubCaption(Qt::black);
const QColor kSubDownCaption(Qt::blue);

void paintNavBlue(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, korvane::shellart::NavBlue);
    widget->setPalette(pal);
}

//! A group's page in nbmenu: the group button's name without "btn".
QString pageOf(const TLumoBtn *button)
{
    return button->objectName().mid(3);
}

} // namespace

TNavPane::TNavPane(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlNav"));
    setFixedWidth(128);
    paintNavBlue(this);

    nbmenu = new QStackedWidget(this);
    nbmenu->setObjectName(QStringLiteral("nbmenu"));
    paintNavBlue(nbmenu);
    for (const korvane::actions::NavGroup &group : korvane::actions::navigationTree()) {
        m_groups << makeGroupButton(group.name, group.caption);
        QList<QPair<QString, QString>> buttons;
        for (const korvane::actions::NavButton &button : group.buttons)
            buttons.append({button.name, button.caption});
        nbmenu->addWidget(makeMenuPage(group.name.mid(3), buttons));
    }
    btnBase = m_groups.value(0);
    btnImport = m_groups.value(1);
    btnExport = m_groups.value(2);
    btnStock = m_groups.value(3);
    btnSystem = m_groups.value(4);
    buildActivePanel();

    // The first group starts open on the page the navigation window starts on.
    btnBase->setDown(true);
    btnBase->setFontColor(kDownCaption);
    nbmenu->setCurrentIndex(0);
    if (TLumoBtn *first = subButtons(QStringLiteral("Base")).value(0)) {
        first->setDown(true);
        first->setFontColor(kSubDownCaption);
    }
    placeStatic();
}

TLumoBtn *TNavPane::makeGroupButton(const QString &name, const QString &caption)
{
    auto *button = new TLumoBtn(this);
    button->setObjectName(name);
    button->setCaptions({caption});
    button->setGrowWithBMP(false);
    const QSize size(width(), groupButtonHeight());
    button->setImgNormal(
        korvane::shellart::groupButton(size, korvane::shellart::ButtonLook::Normal));
    button->setImgEnter(korvane::shellart::groupButton(size, korvane::shellart::ButtonLook::Enter));
    button->setImgDown(korvane::shellart::groupButton(size, korvane::shellart::ButtonLook::Down));
    button->setFontColor(kUpCaption);
    button->resize(size);
    connect(button, &TLumoBtn::clicked, this, [this, button] { clickGroup(button); });
    return button;
}

QWidget *TNavPane::makeMenuPage(const QString &page, const QList<QPair<QString, QString>> &buttons)
{
    auto *widget = new QWidget(nbmenu);
    widget->setObjectName(page);
    paintNavBlue(widget);
    int y = 10;
    for (const auto &[name, caption] : buttons) {
        auto *button = new TLumoBtn(widget);
        button->setObjectName(name);
        button->setCaptions({caption});
        button->setColor(korvane::shellart::NavBlue);
        button->setFontColor(kSubCaption);
        button->setGeometry(10, y, width() - 20, kSubButtonHeight);
        connect(button, &TLumoBtn::clicked, this, [this, button] { clickSubButton(button); });
        y += kSubButtonHeight + 8;
    }
    return widget;
}

void TNavPane::buildActivePanel()
{
    pnlActive = new TLumoPanel(this);
    pnlActive->setObjectName(QStringLiteral("pnlActive"));
    paintNavBlue(pnlActive);
    pnlActive->setFrameShape(QFrame::StyledPanel);
    lblActive = new TLumoLabel(QStringLiteral("当前窗口"), pnlActive);
    lblActive->setObjectName(QStringLiteral("lblActive"));
    lblActive->move(8, 4);
    tbActive = new TLumoTransBtn(pnlActive);
    tbActive->setObjectName(QStringLiteral("tbActive"));
    tbActive->move(44, 24);
    pnlHide = new QFrame(pnlActive);
    pnlHide->setObjectName(QStringLiteral("pnlHide"));
    paintNavBlue(pnlHide);
}

QList<TLumoBtn *> TNavPane::subButtons(const QString &groupPage) const
{
    for (int i = 0; i < nbmenu->count(); ++i) {
        QWidget *page = nbmenu->widget(i);
        if (page->objectName().compare(groupPage, Qt::CaseInsensitive) == 0)
            return page->findChildren<TLumoBtn *>(Qt::FindDirectChildrenOnly);
    }
    return {};
}

TLumoBtn *TNavPane::openGroup() const
{
    for (TLumoBtn *button : m_groups) {
        if (button->Down())
            return button;
    }
    return nullptr;
}

int TNavPane::groupAreaHeight() const
{
    return height() - kActivePanelHeight;
}

int TNavPane::targetY(int index, int clicked) const
{
    // Buttons down to the clicked one stack from the top, the rest at the bottom.
    const int h = groupButtonHeight();
    if (index <= clicked)
        return index * h;
    return groupAreaHeight() - int(m_groups.size() - index) * h;
}

void TNavPane::clickGroup(TLumoBtn *button)
{
    const int index = int(m_groups.indexOf(button));
    if (index < 0)
        return;
    setGroupsEnabled(false);
    if (!button->Down()) {
        for (TLumoBtn *group : m_groups) {
            group->setDown(false);
            group->setFontColor(kUpCaption);
        }
    }
    button->setDown(!button->Down());
    int layoutIndex = index;
    if (button->Down()) {
        button->setFontColor(kDownCaption);
    } else {
        button->setFontColor(kUpCaption);
        nbmenu->hide();
        layoutIndex = int(m_groups.size()) - 1;
    }
    slideTo(layoutIndex);
    if (button->Down()) {
        placeMenu(index);
        nbmenu->show();
        for (TLumoBtn *sub : subButtons(pageOf(button))) {
            sub->setDown(false);
            sub->setFontColor(kSubCaption);
        }
        nbmenu->setCurrentWidget(
            nbmenu->findChild<QWidget *>(pageOf(button), Qt::FindDirectChildrenOnly));
    }
    setGroupsEnabled(true);
}

void TNavPane::slideTo(int clicked)
{
    m_lastSteps = 0;
    for (bool moving = true; moving; ++m_lastSteps) {
        moving = false;
        for (int i = 0; i < m_groups.size(); ++i) {
            TLumoBtn *button = m_groups.at(i);
            const int target = targetY(i, clicked);
            const int y = button->y();
            if (y == target)
                continue;
            moving = true;
            const int step = std::min(kStep, std::abs(target - y));
            button->move(0, y + (target > y ? step : -step));
        }
        if (!moving)
            break;
        repaint();
        if (m_slideDelay > 0)
            QThread::msleep(m_slideDelay);
    }
}

void TNavPane::placeMenu(int clicked)
{
    const int top = (clicked + 1) * groupButtonHeight();
    const int bottom = targetY(clicked + 1, clicked);
    nbmenu->setGeometry(0, top, width(), std::max(0, bottom - top));
}

void TNavPane::placeStatic()
{
    TLumoBtn *open = openGroup();
    const int clicked = open ? int(m_groups.indexOf(open)) : int(m_groups.size()) - 1;
    for (int i = 0; i < m_groups.size(); ++i) {
        m_groups.at(i)->setGeometry(0, targetY(i, clicked), width(), groupButtonHeight());
        m_groups.at(i)->raise();
    }
    placeMenu(clicked);
    nbmenu->setVisible(open != nullptr);
    pnlActive->setGeometry(0, groupAreaHeight(), width(), kActivePanelHeight);
    pnlHide->setGeometry(pnlActive->rect().adjusted(1, 20, -1, -1));
}

void TNavPane::clickSubButton(TLumoBtn *button)
{
    if (!button->Down()) {
        const auto siblings =
            button->parentWidget()->findChildren<TLumoBtn *>(Qt::FindDirectChildrenOnly);
        for (TLumoBtn *other : siblings) {
            other->setDown(false);
            other->setFontColor(kSubCaption);
        }
        button->setDown(true);
        button->setFontColor(kSubDownCaption);
    }
    emit pageRequested(button->objectName().mid(3));
}

void TNavPane::setGroupsEnabled(bool enabled)
{
    for (TLumoBtn *button : m_groups)
        button->setEnabled(enabled);
}

void TNavPane::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeStatic();
}
