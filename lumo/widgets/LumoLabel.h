#pragma once
//! Transparent label in the library font.

#include <QLabel>

class TLumoLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLumoLabel(QWidget *parent = nullptr);
    explicit TLumoLabel(const QString &text, QWidget *parent = nullptr);
};
