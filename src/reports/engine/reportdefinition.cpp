#include "reports/engine/reportdefinition.h"

namespace {

ReportElement placed(ReportElementKind kind, const QRectF &boxMm, const ReportFont &font,
                     ReportAlignment alignment)
{
    ReportElement element;
    element.kind = kind;
    element.boxMm = boxMm;
    element.font = font;
    element.alignment = alignment;
    return element;
}

} // namespace

ReportElement ReportElement::fixedText(const QRectF &boxMm, const QString &text,
                                       const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element = placed(ReportElementKind::FixedText, boxMm, font, alignment);
    element.text = text;
    return element;
}

ReportElement ReportElement::dataText(const QRectF &boxMm, std::function<QString()> value,
                                      const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element = placed(ReportElementKind::DataText, boxMm, font, alignment);
    element.value = std::move(value);
    return element;
}

ReportElement ReportElement::memo(const QRectF &boxMm, const QStringList &lines,
                                  const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element = placed(ReportElementKind::Memo, boxMm, font, alignment);
    element.lines = lines;
    return element;
}

ReportElement ReportElement::line(double leftMm, double topMm, double widthMm)
{
    return placed(ReportElementKind::Line, QRectF(leftMm, topMm, widthMm, 0), ReportFont(),
                  ReportAlignment::Left);
}

ReportElement ReportElement::pageNumber(const QRectF &boxMm, const QString &prefix,
                                        const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element = placed(ReportElementKind::PageNumber, boxMm, font, alignment);
    element.text = prefix;
    return element;
}

ReportElement ReportElement::printDate(const QRectF &boxMm, const ReportFont &font,
                                       ReportAlignment alignment)
{
    return placed(ReportElementKind::PrintDate, boxMm, font, alignment);
}
