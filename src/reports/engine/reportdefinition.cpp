#include "reports/engine/reportdefinition.h"

ReportElement ReportElement::fixedText(const QRectF &boxMm, const QString &text,
                                       const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element;
    element.kind = ReportElementKind::FixedText;
    element.boxMm = boxMm;
    element.text = text;
    element.font = font;
    element.alignment = alignment;
    return element;
}

ReportElement ReportElement::dataText(const QRectF &boxMm, std::function<QString()> value,
                                      const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element;
    element.kind = ReportElementKind::DataText;
    element.boxMm = boxMm;
    element.value = std::move(value);
    element.font = font;
    element.alignment = alignment;
    return element;
}

ReportElement ReportElement::memo(const QRectF &boxMm, const QStringList &lines,
                                  const ReportFont &font, ReportAlignment alignment, bool grows)
{
    ReportElement element;
    element.kind = ReportElementKind::Memo;
    element.boxMm = boxMm;
    element.lines = lines;
    element.font = font;
    element.alignment = alignment;
    element.grows = grows;
    return element;
}

ReportElement ReportElement::line(double leftMm, double topMm, double widthMm)
{
    ReportElement element;
    element.kind = ReportElementKind::Line;
    element.boxMm = QRectF(leftMm, topMm, widthMm, 0);
    return element;
}

ReportElement ReportElement::pageNumber(const QRectF &boxMm, const QString &prefix,
                                        const ReportFont &font, ReportAlignment alignment)
{
    ReportElement element;
    element.kind = ReportElementKind::PageNumber;
    element.boxMm = boxMm;
    element.text = prefix;
    element.font = font;
    element.alignment = alignment;
    return element;
}

ReportElement ReportElement::printDate(const QRectF &boxMm, const ReportFont &font,
                                       ReportAlignment alignment)
{
    ReportElement element;
    element.kind = ReportElementKind::PrintDate;
    element.boxMm = boxMm;
    element.font = font;
    element.alignment = alignment;
    return element;
}
