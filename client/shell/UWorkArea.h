#pragma once
//! The main window's work area: at most one work window beside the navigation window, each
//! shown maximised. Opening another asks the open one to be left first; the record commands
//! go to the command entry of the work window in front.

#include "LumoChild.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;

class TWorkArea : public QObject
{
    Q_OBJECT
public:
    explicit TWorkArea(QMdiArea *area);

    //! The navigation window, which is never the work window.
    void setNavigation(QWidget *navigation) { m_navigation = navigation; }

    //! Registers the active work window's command entry, replacing the previous one.
    void SetCommandTarget(const TCommandEntry &entry) { m_entry = entry; }
    bool hasCommandTarget() const { return bool(m_entry); }

    //! Opens the work window of a class (caption: its title when it sets none), or brings it
    //! to the front when it is open; null when the window that is open refuses to be left,
    //! or the class is not registered.
    QWidget *open(const QString &windowClass, const QString &caption);
    //! The work window besides the navigation window, or null.
    QWidget *workWindow() const;
    //! The open work window of a class, or null.
    QWidget *windowOf(const QString &windowClass) const;
    //! The class a work window was opened as; empty for another widget.
    QString windowClassOf(const QWidget *window) const;
    //! The child window in front (the navigation window or the work window).
    QWidget *activeChild() const;
    void bringToFront(QWidget *child) const;

    //! Carries out a record command on the work window, as the toolbar sends it.
    void runCommand(int command);
    //! Closes the work window through its frame; false when it stays (its save question was
    //! cancelled).
    bool returnWorkWindow();

signals:
    //! The window in front changed or closed: the caption follows.
    void frontChanged();
    //! The last work window is gone: the navigation window comes back.
    void workWindowGone();
    //! "Return" with no work window open: the program is to close.
    void leaveRequested();

private:
    bool sendCommand(int command);
    bool askMayLeave();
    void childActivated(QMdiSubWindow *sub);
    void windowClosed();

    QMdiArea *m_area;
    QPointer<QWidget> m_navigation;
    TCommandEntry m_entry;
    QHash<QString, QPointer<QWidget>> m_windows; // by upper-cased class name
};
