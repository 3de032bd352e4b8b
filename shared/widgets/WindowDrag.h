#pragma once
//! Moving a borderless window by dragging one of its handles (a title strip, its caption):
//! once the mouse has gone the drag distance the window manager is asked to move the window
//! (QWindow::startSystemMove); where it cannot, the window follows the mouse.

#include <QPoint>

class QWidget;

namespace korvane {

class TWindowDrag
{
public:
    //! handle: a widget of the window that moves (the window is looked up when it moves).
    explicit TWindowDrag(QWidget *handle);

    //! A left press on a handle, at a global position.
    void press(const QPoint &global);
    //! The mouse moved over a handle with buttons held; true when the drag took the move
    //! (a maximised window stays where it is).
    bool move(const QPoint &global, Qt::MouseButtons buttons);
    void release();
    //! The mouse has moved far enough since the press to be a drag rather than a click.
    bool dragging() const { return m_dragging; }

private:
    QWidget *m_handle;
    QPoint m_pressAt;
    QPoint m_offset; // from the window's frame corner to the press
    bool m_dragging = false;
};

} // namespace korvane
