#include "LumoPanelFocus.h"

#include "LumoPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

//! The screen follows one frame's focus handler at a time, as the last to install it.
QMetaObject::Connection activeControlConnection;
const TLumoPanelFocus *activeControlOwner = nullptr;

//! A control the focus rule may pick inside a panel.
bool takesPanelFocus(const QWidget *widget)
{
    if (qobject_cast<const TLumoPanel *>(widget) || qobject_cast<const QAbstractItemView *>(widget))
        return false;
    const QString cls = QString::fromLatin1(widget->metaObject()->className()).toUpper();
    if (cls == QStringLiteral("TLUMOBTN") || cls.contains(QStringLiteral("GRID")))
        return false;
    return widget->isEnabled() && widget->isVisibleTo(widget->window()) &&
           (widget->focusPolicy() & Qt::TabFocus);
}

} // namespace

TLumoPanelFocus::TLumoPanelFocus(QObject *context) : m_context(context) {}

TLumoPanelFocus::~TLumoPanelFocus()
{
    stopFollowing();
}

void TLumoPanelFocus::addPanel(TLumoPanel *panel)
{
    m_panels << panel;
    panel->SetActive(false);
}

TLumoPanel *TLumoPanelFocus::panelOf(const QString &code) const
{
    for (TLumoPanel *panel : std::as_const(m_panels)) {
        if (panel && panel->TagStr() == code)
            return panel;
    }
    return nullptr;
}

void TLumoPanelFocus::activate(TLumoPanel *panel)
{
    panel->SetActive(true);
    m_activePanel = panel;
}

void TLumoPanelFocus::follow()
{
    if (!qApp)
        return;
    if (activeControlOwner)
        QObject::disconnect(activeControlConnection);
    activeControlConnection =
        QObject::connect(qApp, &QApplication::focusChanged, m_context,
                         [this](QWidget *, QWidget *now) { focusChanged(now); });
    activeControlOwner = this;
}

void TLumoPanelFocus::stopFollowing()
{
    if (activeControlOwner != this)
        return;
    QObject::disconnect(activeControlConnection);
    activeControlOwner = nullptr;
}

void TLumoPanelFocus::focusChanged(QWidget *now)
{
    if (!now)
        return;
    TLumoPanel *panel = nullptr;
    for (QWidget *w = now; w && !panel; w = w->parentWidget()) {
        auto *candidate = qobject_cast<TLumoPanel *>(w);
        if (candidate && candidate->PnlType() == TLumoPanel::ptActivePnl)
            panel = candidate;
    }
    if (!panel || !m_panels.contains(panel) || panel->Active() ||
        panel->TagStr() == QStringLiteral("D0"))
        return;
    if (m_activePanel)
        m_activePanel->SetActive(false);
    activate(panel);
    if (panelActivated)
        panelActivated(panel);
}

void TLumoPanelFocus::focusPanel(TLumoPanel *panel) const
{
    if (!panel)
        return;
    QList<TLumoPanel *> tries{panel};
    for (TLumoPanel *other : std::as_const(m_panels)) {
        if (other && other != panel && other->TagStr() == panel->TagStr())
            tries << other;
    }
    for (TLumoPanel *candidate : std::as_const(tries)) {
        // A panel lying directly on a tab sheet brings that sheet to the front first.
        QWidget *sheet = candidate->parentWidget();
        QWidget *stack = sheet ? sheet->parentWidget() : nullptr;
        auto *pages = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr);
        if (pages && qobject_cast<QStackedWidget *>(stack) && pages->indexOf(sheet) >= 0)
            pages->setCurrentWidget(sheet);
        int guard = 10000;
        for (QWidget *w = candidate->nextInFocusChain(); w && w != candidate && guard-- > 0;
             w = w->nextInFocusChain()) {
            if (candidate->isAncestorOf(w) && takesPanelFocus(w)) {
                w->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
}
