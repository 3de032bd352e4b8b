#include "ReportMetrics.h"

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

const ReportMetrics::Measured &ReportMetrics::measured(const TextStyle &style) const
{
    for (const Measured &m : cache_)
        if (m.style.pointSize == style.pointSize && m.style.bold == style.bold)
            return m;
    QFont f = font(style);
    const QFontMetricsF metrics(f, &device_);
    cache_.append(Measured{style, f, metrics, metrics.height(), {}});
    return cache_.last();
}

QFont ReportMetrics::font(const TextStyle &style) const
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(int(std::lround(style.pointSize * 25.4 / 72.0 * PxPerMm)));
    f.setBold(style.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    // Every character prints as the font's own glyph for it: shaped as Latin text, the
    // digits of "E1001" took alternates the font's character map does not name, and a PDF
    // then lost them from its text (they could not be found or copied).
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

double ReportMetrics::lineHeightMm(const TextStyle &style) const
{
    return measured(style).heightPx / PxPerMm;
}

double ReportMetrics::widthMm(const QString &text, const TextStyle &style) const
{
    const Measured &m = measured(style);
    const auto known = m.widthsPx.constFind(text);
    if (known != m.widthsPx.constEnd())
        return *known / PxPerMm;
    if (m.widthsPx.size() >= MaxCachedWidths)
        m.widthsPx.clear();
    const double px = m.metrics.horizontalAdvance(text);
    m.widthsPx.insert(text, px);
    return px / PxPerMm;
}

QStringList ReportMetrics::wrap(const QString &text, double maxWidthMm,
                                const TextStyle &style) const
{
    // Most cells fit on one line; only those that do not need the line breaker.
    if (!text.contains(QLatin1Char('\n')) && widthMm(text, style) <= maxWidthMm)
        return {text.trimmed()};
    QString laid = text;
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laid, measured(style).font, &device_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(maxWidthMm * PxPerMm);
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
