#include "LumoImage.h"

#include <QMouseEvent>

TLumoImage::TLumoImage(QWidget *parent) : QLabel(parent) {}

void TLumoImage::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    emit OnMouseEnter();
}

void TLumoImage::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    emit OnMouseLeave();
}

void TLumoImage::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
