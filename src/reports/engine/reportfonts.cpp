#include "reports/engine/reportfonts.h"

#include <QFontInfo>
#include <QPaintDevice>

#include <mutex>

namespace ReportFonts {

void registerSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString substitute = QStringLiteral("Liberation Sans");
        for (const QString &family : {QStringLiteral("Arial"), QStringLiteral("Arial Black"),
                                      QStringLiteral("Microsoft Sans Serif")}) {
            if (!QFont::substitutes(family).contains(substitute, Qt::CaseInsensitive))
                QFont::insertSubstitution(family, substitute);
        }
    });
}

QFont toQFont(const ReportFont &font)
{
    registerSubstitutions();
    QFont result(font.family);
    result.setPointSizeF(font.pointSize);
    result.setBold(font.bold);
    // Hinted advances are rounded to the device's pixels and would differ between devices.
    result.setHintingPreference(QFont::PreferNoHinting);
    // Pairs kerned across a break would make a line's width differ from its parts' widths.
    result.setKerning(false);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::ForceOutline));
    return result;
}

QFont paintFont(const ReportFont &font, double unitsPerInch, const QPaintDevice *device)
{
    QFont result = toQFont(font);
    // The painter turns points into its device's pixels; ask for the size that gives the
    // report font's size in the painter's own units.
    const int deviceDpi = device ? device->logicalDpiY() : 72;
    result.setPointSizeF(font.pointSize * unitsPerInch / deviceDpi);
    return result;
}

} // namespace ReportFonts

namespace {

QString fontKey(const ReportFont &font)
{
    return font.family + QLatin1Char('/') + QString::number(font.pointSize) +
           (font.bold ? QStringLiteral("/b") : QString());
}

constexpr double HundredthsPerInch = 2540.0;

} // namespace

ReportMetrics::ReportMetrics() : m_device(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    const int dotsPerMetre = qRound(ReportFonts::ReferenceDpi / 0.0254);
    m_device.setDotsPerMeterX(dotsPerMetre);
    m_device.setDotsPerMeterY(dotsPerMetre);
}

const QFontMetricsF &ReportMetrics::metrics(const ReportFont &font) const
{
    const QString key = fontKey(font);
    auto found = m_metrics.constFind(key);
    if (found == m_metrics.constEnd())
        found = m_metrics.insert(key, QFontMetricsF(ReportFonts::toQFont(font), &m_device));
    return *found;
}

double ReportMetrics::fromPixels(double pixels) const
{
    return pixels * HundredthsPerInch / ReportFonts::ReferenceDpi;
}

double ReportMetrics::width(const ReportFont &font, const QString &text) const
{
    return fromPixels(metrics(font).horizontalAdvance(text));
}

double ReportMetrics::ascent(const ReportFont &font) const
{
    return fromPixels(metrics(font).ascent());
}

double ReportMetrics::height(const ReportFont &font) const
{
    return fromPixels(metrics(font).height());
}

double ReportMetrics::lineSpacing(const ReportFont &font) const
{
    return fromPixels(metrics(font).lineSpacing());
}

double ReportMetrics::emSize(const ReportFont &font) const
{
    return fromPixels(QFontInfo(QFont(ReportFonts::toQFont(font), &m_device)).pixelSize());
}
