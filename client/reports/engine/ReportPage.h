#pragma once
//! A laid-out page: primitives in millimetres from the page's top-left corner. Every
//! renderer draws these and nothing else, so screen, printer and PDF show the same pages.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace korvane::report {

struct TextStyle
{
    double pointSize = 9;
    bool bold = false;
};

enum class PrimitiveKind { Text, Line, Rect, Image };

struct Primitive
{
    PrimitiveKind kind = PrimitiveKind::Text;
    QRectF rect;  //!< mm; a line runs from the top-left to the bottom-right corner
    QString text; //!< one printed line: the layout has already wrapped it
    Qt::Alignment align = Qt::AlignLeft;
    TextStyle style;
    double penMm = 0; //!< frame or line width; 0 draws no frame
    QColor fill;      //!< invalid: no ground
    QImage image;
};

struct ReportPage
{
    int number = 1;
    QSizeF sizeMm;
    QVector<Primitive> items;
};

//! One line per primitive, to 0.1 mm, for golden files.
QString dumpPage(const ReportPage &page);

} // namespace korvane::report
