#include "ReportPage.h"

#include <QStringList>

namespace korvane::report {

namespace {

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

QString rectText(const QRectF &r)
{
    return QStringLiteral("%1 %2 %3 %4").arg(mm(r.x()), mm(r.y()), mm(r.width()), mm(r.height()));
}

QString alignText(Qt::Alignment align)
{
    if (align & Qt::AlignRight)
        return QStringLiteral("R");
    if (align & Qt::AlignHCenter)
        return QStringLiteral("C");
    return QStringLiteral("L");
}

QString dumpItem(const Primitive &p)
{
    const QString fill = p.fill.isValid() ? QStringLiteral(" fill=") + p.fill.name() : QString();
    switch (p.kind) {
    case PrimitiveKind::Text:
        return QStringLiteral("text %1 %2 %3pt%4 \"%5\"")
            .arg(rectText(p.rect), alignText(p.align), QString::number(p.style.pointSize),
                 p.style.bold ? QStringLiteral(" bold") : QString(), p.text);
    case PrimitiveKind::Line:
        return QStringLiteral("line %1 pen=%2").arg(rectText(p.rect), mm(p.penMm));
    case PrimitiveKind::Rect:
        return QStringLiteral("rect %1 pen=%2%3").arg(rectText(p.rect), mm(p.penMm), fill);
    case PrimitiveKind::Image:
        return QStringLiteral("image %1 %2x%3")
            .arg(rectText(p.rect))
            .arg(p.image.width())
            .arg(p.image.height());
    }
    return {};
}

} // namespace

QString dumpPage(const ReportPage &page)
{
    QStringList lines{QStringLiteral("page %1 %2x%3")
                          .arg(page.number)
                          .arg(mm(page.sizeMm.width()), mm(page.sizeMm.height()))};
    for (const Primitive &p : page.items)
        lines << dumpItem(p);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace korvane::report
