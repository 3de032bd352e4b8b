#pragma once
// Helpers for the code/name editor's tests: acting on its pick window while it is modal.

#include "LumoDBGrid.h"
#include "LumobitBtn.h"
#include "UCodeName.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace lumo::test {

//! Acts on the pick window once it is shown modally; rejects any other modal window so a
//! failing test ends instead of waiting.
inline void whenPickWindowShows(std::function<void(TfrmCodeName *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *form = qobject_cast<TfrmCodeName *>(modal))
            act(form);
        else if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
}

} // namespace lumo::test
