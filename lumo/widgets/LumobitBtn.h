#pragma once
//! The library's bitmap button: the standard push button in the library font.

#include <QPushButton>

class TLumobitBtn : public QPushButton
{
    Q_OBJECT

public:
    explicit TLumobitBtn(QWidget *parent = nullptr);
    explicit TLumobitBtn(const QString &caption, QWidget *parent = nullptr);
};
