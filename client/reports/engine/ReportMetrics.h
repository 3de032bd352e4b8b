#pragma once
//! The one font metric every layout is measured with: a fixed CJK font at a fixed
//! resolution, unhinted, so that a page breaks in the same place on every device.

#include "ReportPage.h"

#include <QFont>
#include <QImage>
#include <QStringList>

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
    ReportMetrics();
    QImage device_;
};

} // namespace korvane::report
