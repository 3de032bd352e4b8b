#include "LumoDraw.h"

#include <QLayout>
#include <QPainter>
#include <QWidget>

namespace lumo {

void drawFrame(QPainter &painter, const QRect &rect, const QColor &topLeft,
               const QColor &bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

QPixmap withoutTransparentColour(const QPixmap &picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QRegion regionDifferingFromCorner(const QImage &image)
{
    QRegion region;
    if (image.isNull())
        return region;
    const QRgb corner = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        int runStart = -1;
        for (int x = 0; x <= image.width(); ++x) {
            const bool inside = x < image.width() && image.pixel(x, y) != corner;
            if (inside && runStart < 0)
                runStart = x;
            if (!inside && runStart >= 0) {
                region += QRect(runStart, y, x - runStart, 1);
                runStart = -1;
            }
        }
    }
    return region;
}

bool isLaidOut(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(widget) >= 0;
}

} // namespace lumo
