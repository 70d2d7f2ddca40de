#pragma once

#include "reports/engine/pagestore.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a report author describes: the sheet, the bands and the elements on them, all in
// millimetres. The layout turns it into a page store.

struct ReportPageSetup
{
    double widthMm = 148; // as in portrait; landscape swaps width and height
    double heightMm = 210;
    bool landscape = false;
    double leftMm = 10;
    double topMm = 10;
    double rightMm = 10;
    double bottomMm = 10;

    double sheetWidthMm() const { return landscape ? heightMm : widthMm; }
    double sheetHeightMm() const { return landscape ? widthMm : heightMm; }
};

enum class ReportElementKind : quint8 {
    FixedText,  // text
    DataText,   // value()
    Memo,       // lines, word-wrapped in the box
    Line,       // a thin horizontal line along the box's top edge, as wide as the box
    PageNumber, // text followed by the number of the page it prints on
    PrintDate,  // text followed by the date of printing
};

struct ReportElement
{
    ReportElementKind kind = ReportElementKind::FixedText;
    // From the band's top left corner. A single-line text with a width of 0 fits its text, the
    // left then being where the text starts (Left), ends (Right) or has its middle (Centre).
    QRectF boxMm;
    ReportFont font;
    // Left: from the box's left edge; Right: ending at its right edge; Centre: in the box.
    ReportAlignment alignment = ReportAlignment::Left;
    QString text;      // fixed text, or what precedes the page number or the date
    QStringList lines; // a memo's lines, as many as fit in its box
    bool wordWrap = true;
    // For a single-line text that fits its text: the index of another such text of the band that
    // this one must not run into. It then starts at least ClearanceMm after the other's end, a
    // right-aligned text moving its right edge out by as much; -1 for none.
    int keepsClearOf = -1;
    static constexpr double ClearanceMm = 0.5;
    std::function<QString()> value; // a data-bound text's display text
    // Called when the element prints, in the band's element order, with the text it is about
    // to print (a memo's lines joined by '\n'); may change it.
    std::function<void(QString &text)> onPrint;

    static ReportElement fixedText(const QRectF &boxMm, const QString &text, const ReportFont &font,
                                   ReportAlignment alignment = ReportAlignment::Left);
    static ReportElement dataText(const QRectF &boxMm, std::function<QString()> value,
                                  const ReportFont &font,
                                  ReportAlignment alignment = ReportAlignment::Left);
    static ReportElement memo(const QRectF &boxMm, const QStringList &lines, const ReportFont &font,
                              ReportAlignment alignment = ReportAlignment::Left);
    static ReportElement line(double leftMm, double topMm, double widthMm);
    static ReportElement pageNumber(const QRectF &boxMm, const QString &prefix,
                                    const ReportFont &font,
                                    ReportAlignment alignment = ReportAlignment::Left);
    static ReportElement printDate(const QRectF &boxMm, const ReportFont &font,
                                   ReportAlignment alignment = ReportAlignment::Left);
};

struct ReportBand
{
    double heightMm = 0;
    QList<ReportElement> elements;

    // Returns the element's index.
    int add(ReportElement element)
    {
        elements.append(std::move(element));
        return int(elements.size()) - 1;
    }
};

// The bands print in this order: the column header at the top of every page, the title once,
// the repeated band the given number of times, the detail band while the data callback says
// that one more follows, the summary once after the last detail.
struct ReportDefinition
{
    QString title; // the print job's title
    ReportPageSetup page;

    std::optional<ReportBand> columnHeader;
    std::optional<ReportBand> titleBand;
    std::optional<ReportBand> repeatedBand;
    int repeatCount = 1;
    std::optional<ReportBand> detail;
    // Asked before each detail band; `more` arrives as true on the first request of a run and
    // as false on later ones. Without a callback the detail band prints once.
    std::function<void(bool &more)> needData;
    std::optional<ReportBand> summary;
};
