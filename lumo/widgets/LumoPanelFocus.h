#pragma once
//! Which of a work window's edit panels is active. The focus moving into an active-type
//! panel makes it the active one; giving a panel the focus puts it on the panel's first
//! control that takes it, bringing the panel's tab sheet to the front.

#include <QList>
#include <QMetaObject>
#include <QPointer>

#include <functional>

class QObject;
class QWidget;
class TLumoPanel;

class TLumoPanelFocus
{
public:
    //! context: the frame the focus handler lives with.
    explicit TLumoPanelFocus(QObject *context);
    ~TLumoPanelFocus();
    TLumoPanelFocus(const TLumoPanelFocus &) = delete;
    TLumoPanelFocus &operator=(const TLumoPanelFocus &) = delete;

    //! Takes a panel of the window; it starts inactive.
    void addPanel(TLumoPanel *panel);
    const QList<QPointer<TLumoPanel>> &panels() const { return m_panels; }
    //! The first panel of that code, or null.
    TLumoPanel *panelOf(const QString &code) const;
    TLumoPanel *activePanel() const { return m_activePanel; }
    //! Makes the panel the active one without moving the focus.
    void activate(TLumoPanel *panel);

    //! Follows the application's focus from now on; one frame follows it at a time, the last
    //! to ask.
    void follow();
    void stopFollowing();
    //! Called when the focus made another panel active.
    std::function<void(TLumoPanel *panel)> panelActivated;

    //! Puts the focus on the panel's first control that takes it (or on that of another
    //! panel of the same code when it has none).
    void focusPanel(TLumoPanel *panel) const;

private:
    void focusChanged(QWidget *now);

    QObject *m_context;
    QList<QPointer<TLumoPanel>> m_panels;
    QPointer<TLumoPanel> m_activePanel;
};
