#pragma once
//! The splash window shown while the client starts.

#include <QWidget>

class QLabel;

class TfrmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    QLabel *imgSplash = nullptr;
    QLabel *lblVersion = nullptr;

    //! The built-in picture, used when the working folder has no Splash.bmp.
    static QPixmap builtInPicture();

protected:
    void showEvent(QShowEvent *event) override;
};
