#pragma once
//! The library's page control: the standard tabbed pages in the library font.

#include <QTabWidget>

class TLumoPageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TLumoPageControl(QWidget *parent = nullptr);
};
