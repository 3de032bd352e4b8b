#pragma once
//! The client's application object. Its error hook is the last resort: the windows' commands,
//! the grids' models and the data sets' fetches end their own errors, and whatever still
//! escapes is logged and swallowed here, never shown: what the operator sees comes from MsgBox.

#include <QApplication>

class TKorvaneApplication : public QApplication
{
    Q_OBJECT
public:
    TKorvaneApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    //! How many errors the hook has swallowed so far.
    int swallowedErrors() const { return m_swallowed; }

    //! Routes the component library's messages through MsgBox.
    static void routeLibraryMessages();

private:
    int m_swallowed = 0;
};
