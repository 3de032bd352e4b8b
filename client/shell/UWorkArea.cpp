#include "UWorkArea.h"

#include "UMsgBox.h"
#include "UWorkWindows.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const QString kUnsaved = QStringLiteral("当前窗体的记录尚未保存！请先检查是否需要保存！");

QString keyOf(const QString &windowClass)
{
    return windowClass.toUpper();
}

//! Freezes the work area and shows the hour-glass while a window opens.
class OpeningGuard
{
public:
    explicit OpeningGuard(QWidget *area) : m_area(area)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_area->setUpdatesEnabled(false);
    }
    ~OpeningGuard() { release(); }
    void release()
    {
        if (m_released)
            return;
        m_released = true;
        m_area->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    OpeningGuard(const OpeningGuard &) = delete;
    OpeningGuard &operator=(const OpeningGuard &) = delete;

private:
    QWidget *m_area;
    bool m_released = false;
};

} // namespace

TWorkArea::TWorkArea(QMdiArea *area) : m_area(area)
{
    connect(m_area, &QMdiArea::subWindowActivated, this, &TWorkArea::childActivated);
}

QWidget *TWorkArea::workWindow() const
{
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (sub->widget() && sub->widget() != m_navigation && !sub->isHidden())
            return sub->widget();
    }
    return nullptr;
}

QWidget *TWorkArea::windowOf(const QString &windowClass) const
{
    return m_windows.value(keyOf(windowClass));
}

QString TWorkArea::windowClassOf(const QWidget *window) const
{
    if (!window)
        return QString();
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        if (it.value() == window)
            return it.key();
    }
    return QString();
}

QWidget *TWorkArea::activeChild() const
{
    QMdiSubWindow *sub = m_area->currentSubWindow();
    return sub && !sub->isHidden() ? sub->widget() : nullptr;
}

bool TWorkArea::sendCommand(int command)
{
    if (!m_entry || !workWindow())
        return false;
    try {
        return m_entry(command);
    } catch (const std::exception &) {
        return false; // the window has shown what went wrong, or nothing is to be shown
    }
}

bool TWorkArea::askMayLeave()
{
    return !m_entry || sendCommand(TLumoChild::cmMayLeave);
}

bool TWorkArea::returnWorkWindow()
{
    QWidget *window = workWindow();
    if (!window)
        return true;
    if (m_entry)
        return sendCommand(TLumoChild::cmReturn) || !workWindow();
    // A window without a frame has nothing to save: it simply closes.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    return !workWindow();
}

void TWorkArea::runCommand(int command)
{
    QWidget *window = workWindow();
    if (!window) {
        if (command == TLumoChild::cmReturn)
            emit leaveRequested();
        return;
    }
    if (activeChild() != window) {
        if (command == TLumoChild::cmReturn) {
            if (askMayLeave()) {
                if (returnWorkWindow())
                    emit leaveRequested();
            } else {
                bringToFront(window);
                MsgBox(kUnsaved, mkHint);
            }
            emit frontChanged();
            return;
        }
        bringToFront(window);
    }
    if (sendCommand(command) && command == TLumoChild::cmReturn && !workWindow())
        windowClosed();
}

QWidget *TWorkArea::open(const QString &windowClass, const QString &caption)
{
    OpeningGuard guard(m_area);
    QPointer<QWidget> &window = m_windows[keyOf(windowClass)];
    if (!window) {
        if (QWidget *open = workWindow()) {
            if (!askMayLeave()) {
                bringToFront(open);
                guard.release();
                MsgBox(kUnsaved, mkHint);
                return nullptr;
            }
            // At most one work window: one that stays (its own save question was cancelled)
            // keeps the front and the new one is not opened.
            if (!returnWorkWindow()) {
                bringToFront(open);
                return nullptr;
            }
        }
        window = korvane::workwindows::create(windowClass, nullptr);
        if (!window)
            return nullptr;
        if (window->windowTitle().isEmpty() && !caption.isEmpty())
            window->setWindowTitle(caption);
        QMdiSubWindow *sub = m_area->addSubWindow(window, Qt::FramelessWindowHint);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        connect(sub, &QObject::destroyed, this, [this] {
            QMetaObject::invokeMethod(this, &TWorkArea::windowClosed, Qt::QueuedConnection);
        });
    }
    bringToFront(window);
    return window;
}

void TWorkArea::bringToFront(QWidget *child) const
{
    auto *sub = child ? qobject_cast<QMdiSubWindow *>(child->parentWidget()) : nullptr;
    if (!sub)
        return;
    sub->showMaximized();
    m_area->setActiveSubWindow(sub);
    sub->raise();
}

void TWorkArea::childActivated(QMdiSubWindow *sub)
{
    if (sub && sub->widget() && sub->widget() != m_navigation) {
        // A work window in front registers its frame's command entry.
        if (auto *frame = sub->widget()->findChild<TLumoChild *>()) {
            frame->ActivateCommandTarget();
            SetCommandTarget(&TLumoChild::CommandEntry);
        }
    }
    emit frontChanged();
}

void TWorkArea::windowClosed()
{
    if (workWindow())
        return;
    emit workWindowGone();
}
