#include "ReportMetrics.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <cmath>

namespace korvane::report {

ReportMetrics::ReportMetrics() : device_(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = int(std::lround(PxPerMm * 1000));
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

const ReportMetrics &ReportMetrics::reference()
{
    static const ReportMetrics metrics;
    return metrics;
}

QFont ReportMetrics::font(const TextStyle &style) const
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(int(std::lround(style.pointSize * 25.4 / 72.0 * PxPerMm)));
    f.setBold(style.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

double ReportMetrics::lineHeightMm(const TextStyle &style) const
{
    return QFontMetricsF(font(style), &device_).height() / PxPerMm;
}

double ReportMetrics::widthMm(const QString &text, const TextStyle &style) const
{
    return QFontMetricsF(font(style), &device_).horizontalAdvance(text) / PxPerMm;
}

QStringList ReportMetrics::wrap(const QString &text, double widthMm, const TextStyle &style) const
{
    QString laid = text;
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laid, font(style), &device_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthMm * PxPerMm);
        QString piece = laid.mid(line.textStart(), line.textLength());
        piece.remove(QChar::LineSeparator);
        lines << piece.trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

} // namespace korvane::report
