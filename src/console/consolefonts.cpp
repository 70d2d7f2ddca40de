#include "console/consolefonts.h"

namespace {

QFont blackFont()
{
    QFont font(QStringLiteral("Arial Black"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    return font;
}

} // namespace

QFont blackFontPixels(int pixelSize)
{
    QFont font = blackFont();
    font.setPixelSize(pixelSize);
    return font;
}

QFont blackFontPoints(int pointSize)
{
    QFont font = blackFont();
    font.setPointSize(pointSize);
    return font;
}
