#include "console/consolefonts.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int LineEditTextMargin = 2; // the line edit's own margin on each side of the text
constexpr int SmallestPixelSize = 8;

QFont blackFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black); // the stand-ins have no black weight: their bold is taken
    return font;
}

int widestAdvance(const QFont &font, const QStringList &texts)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString &text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
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

void setFittingFont(QLineEdit *field, QFont font, const QStringList &texts)
{
    const int frame = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                      nullptr, field)
                                        : 0;
    const QMargins margins = field->textMargins();
    const int room = field->width() - 2 * frame - 2 * LineEditTextMargin - margins.left() -
                     margins.right() - 1; // the caret's column
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontInfo(font).pixelSize());
    while (font.pixelSize() > SmallestPixelSize && widestAdvance(font, texts) > room)
        font.setPixelSize(font.pixelSize() - 1);
    field->setFont(font);
}
