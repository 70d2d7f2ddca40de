#pragma once

#include "reports/engine/pagestore.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

class QPaintDevice;

// The report's fonts, measured the same way on every device: without hinting and at one fixed
// reference resolution, so that line breaks and widths do not depend on the screen or printer.
namespace ReportFonts {

// The resolution at which text is measured and laid out; drawing scales from it.
inline constexpr int ReferenceDpi = 1200;

// Lets "Arial" and "Microsoft Sans Serif" resolve to Liberation Sans, which has their metrics,
// and "Arial Black" to its heaviest face.
// Safe to call any number of times.
void registerSubstitutions();

// The font to measure and draw with: the given family, size and weight, without hinting.
QFont toQFont(const ReportFont &font);

// The font that, on a painter whose user space has unitsPerInch units per inch of paper, draws
// text of the report font's size with the advances measured at the reference resolution.
QFont paintFont(const ReportFont &font, double unitsPerInch, const QPaintDevice *device);

} // namespace ReportFonts

// Text measurement in hundredths of a millimetre at the reference resolution.
class ReportMetrics
{
public:
    ReportMetrics();

    double width(const ReportFont &font, const QString &text) const;
    double ascent(const ReportFont &font) const;
    double height(const ReportFont &font) const;      // ascent + descent
    double lineSpacing(const ReportFont &font) const; // distance of two lines' baselines
    // The size that the font's glyphs scale with: its point size at the reference resolution,
    // rounded to whole pixels as the font is loaded.
    double emSize(const ReportFont &font) const;

private:
    const QFontMetricsF &metrics(const ReportFont &font) const;
    double fromPixels(double pixels) const;

    QImage m_device;
    mutable QHash<QString, QFontMetricsF> m_metrics;
};
