#include "WindowDrag.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace korvane {

TWindowDrag::TWindowDrag(QWidget *handle) : m_handle(handle) {}

void TWindowDrag::press(const QPoint &global)
{
    m_pressAt = global;
    m_offset = global - m_handle->window()->frameGeometry().topLeft();
    m_dragging = false;
}

bool TWindowDrag::move(const QPoint &global, Qt::MouseButtons buttons)
{
    QWidget *window = m_handle->window();
    if (!(buttons & Qt::LeftButton) || window->isMaximized())
        return false;
    if (!m_dragging && (global - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return false;
    if (!m_dragging) {
        m_dragging = true;
        // The window manager moves the window when it can; otherwise we follow the mouse.
        QWindow *handle = window->windowHandle();
        if (handle && handle->startSystemMove())
            return true;
    }
    window->move(global - m_offset);
    return true;
}

void TWindowDrag::release()
{
    m_dragging = false;
}

} // namespace korvane
