#include "LumoLabel.h"

#include "LumoFont.h"

TLumoLabel::TLumoLabel(QWidget *parent) : TLumoLabel(QString(), parent) {}

TLumoLabel::TLumoLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    lumo::applyLumoFont(this);
}
