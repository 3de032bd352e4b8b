#pragma once
//! The single modeless wait window shown while the client blocks on remote calls.

#include <QDialog>
#include <QPointer>

class QLabel;

class TfrmWait : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmWait(QWidget *parent = nullptr);
    ~TfrmWait() override;

    QLabel *lbl1 = nullptr;
    QLabel *lbl2 = nullptr;

    //! The wait window that ShowWait made, or null.
    static TfrmWait *current();
};

//! Shows the wait window (creating it when none exists); "DEFAULT" keeps a line's text,
//! an empty string blanks it. Paints before returning.
void ShowWait(const QString &line1, const QString &line2);
//! Hides and frees the wait window.
void HideWait();

//! Shows the wait window for the guard's lifetime, so every failure path hides it too.
class TWaitGuard
{
public:
    TWaitGuard(const QString &line1, const QString &line2) { ShowWait(line1, line2); }
    ~TWaitGuard() { HideWait(); }
    TWaitGuard(const TWaitGuard &) = delete;
    TWaitGuard &operator=(const TWaitGuard &) = delete;
};
