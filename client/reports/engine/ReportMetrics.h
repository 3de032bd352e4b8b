#pragma once
//! The one font metric every layout is measured with: a fixed CJK font at a fixed
//! resolution, unhinted, so that a page breaks in the same place on every device.

#include "ReportPage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <QVector>

namespace korvane::report {

class ReportMetrics
{
public:
    //! Reference pixels per millimetre; renderers scale these pixels to their device.
    static constexpr double PxPerMm = 720.0 / 25.4;
    static const ReportMetrics &reference();

    //! The font for a style, sized in reference pixels.
    QFont font(const TextStyle &style) const;
    double lineHeightMm(const TextStyle &style) const;
    double widthMm(const QString &text, const TextStyle &style) const;
    //! The text broken into lines no wider than widthMm (CJK text breaks anywhere).
    QStringList wrap(const QString &text, double widthMm, const TextStyle &style) const;

private:
    //! A style's font and its measures, made once: measuring is the layout's hot path.
    //! Reports repeat their texts (units, names, dates, amounts), so the width of each text
    //! is shaped once and kept, up to a bound that keeps a long report's memory flat.
    struct Measured
    {
        TextStyle style;
        QFont font;
        QFontMetricsF metrics;
        double heightPx;
        mutable QHash<QString, double> widthsPx;
    };
    static constexpr qsizetype MaxCachedWidths = 20000;

    ReportMetrics();
    const Measured &measured(const TextStyle &style) const;
    QImage device_;
    mutable QVector<Measured> cache_; // the layout runs on the GUI thread only
};

} // namespace korvane::report
