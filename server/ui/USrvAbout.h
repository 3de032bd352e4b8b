#pragma once
//! The about window of the server.

#include <QDialog>

namespace korvane {

class TfrmSrvAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSrvAbout(QWidget *parent = nullptr);

    static QString webAddress();
    static QString mailAddress();
};

} // namespace korvane
