#include "ui/common/uifonts.h"

#include <QStringList>

namespace {

QFont fontOf(const QStringList &families, QFont::StyleHint hint, int pixelSize, bool bold,
             bool italic)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

namespace UiFonts {

QFont sansSerif(int pixelSize, bool bold)
{
    // Nimbus Sans and Liberation Sans keep the narrow metrics the pixel layouts were made for.
    static const QStringList families{QStringLiteral("Microsoft Sans Serif"),
                                      QStringLiteral("Nimbus Sans"),
                                      QStringLiteral("Liberation Sans"),
                                      QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    return fontOf(families, QFont::SansSerif, pixelSize, bold, false);
}

QFont palatino(int pixelSize, bool bold, bool italic)
{
    static const QStringList families{
        QStringLiteral("Palatino Linotype"), QStringLiteral("P052"),
        QStringLiteral("URW Palladio L"),    QStringLiteral("TeX Gyre Pagella"),
        QStringLiteral("Palatino"),          QStringLiteral("Serif")};
    return fontOf(families, QFont::Serif, pixelSize, bold, italic);
}

} // namespace UiFonts
