#pragma once
//! The client's application object. Its error hook swallows every error no window handled,
//! so the framework never shows an error box: what the operator sees comes from MsgBox.

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
