#include "LumoFaceSet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

TLumoFaceSet::TLumoFaceSet(QWidget *form) : QObject(form), m_form(form)
{
    if (!form)
        return;
    form->installEventFilter(this);
    // The form sees every key first, as if it previewed them.
    qApp->installEventFilter(this);
}

TLumoFaceSet::~TLumoFaceSet()
{
    qApp->removeEventFilter(this);
}

bool TLumoFaceSet::keepsEnter(const QWidget *control)
{
    return control && (control->inherits("TLumoDBMemo") || control->inherits("Tlumodbgrid"));
}

bool TLumoFaceSet::focusNext(QWidget *from)
{
    if (!from)
        return false;
    for (QWidget *w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w->window() == from->window() && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
            w->isEnabled() && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

bool TLumoFaceSet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::Show && !m_placed) {
        m_placed = true;
        place();
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && handleEnter(watched))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TLumoFaceSet::handleEnter(QObject *receiver)
{
    auto *target = qobject_cast<QWidget *>(receiver);
    if (!m_form || !target || !(target == m_form || m_form->isAncestorOf(target)))
        return false;
    QWidget *focused = QApplication::focusWidget();
    if (!focused || !(focused == m_form || m_form->isAncestorOf(focused)) || keepsEnter(focused))
        return false;
    focusNext(focused);
    return true;
}

void TLumoFaceSet::place()
{
    if (auto *child = qobject_cast<QMdiSubWindow *>(m_form->parentWidget())) {
        child->showMaximized();
        return;
    }
    if (!m_form->isWindow())
        return;
    const QScreen *screen = m_form->screen() ? m_form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = m_form->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    m_form->move(frame.topLeft());
}
