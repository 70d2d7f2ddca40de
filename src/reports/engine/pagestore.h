#pragma once

#include <QLine>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <variant>

// A laid-out report: pages of drawing items in hundredths of a millimetre from the page's top
// left corner. The preview, the printer, the page file and the exports all work from it, so
// they show the same lines on the same pages.
namespace ReportUnits {
constexpr int PerMillimetre = 100;
constexpr int fromMillimetres(double millimetres)
{
    return int(millimetres * PerMillimetre + (millimetres < 0 ? -0.5 : 0.5));
}
} // namespace ReportUnits

// A font as the layout names it ("Arial", "Microsoft Sans Serif"); the engine draws it with a
// metric-compatible font installed on the machine.
struct ReportFont
{
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;

    friend bool operator==(const ReportFont &, const ReportFont &) = default;
};

enum class ReportAlignment : quint8 { Left, Right, Centre };

// One line of text in its box: left-aligned from the box's left edge, right-aligned to its
// right edge, or centred in it. Word wrapping is done by the layout, one item per line.
struct TextItem
{
    QRect box;
    ReportFont font;
    ReportAlignment alignment = ReportAlignment::Left;
    QString text;

    friend bool operator==(const TextItem &, const TextItem &) = default;
};

// A thin straight line.
struct LineItem
{
    QLine line;
    int width = 10; // 0.1 mm

    friend bool operator==(const LineItem &, const LineItem &) = default;
};

using PageItem = std::variant<TextItem, LineItem>;

struct ReportPage
{
    QList<PageItem> items;

    friend bool operator==(const ReportPage &, const ReportPage &) = default;
};

class PageStore
{
public:
    QString title;  // the print job's title and the base of proposed file names
    QSize pageSize; // the sheet, as laid out (width x height)
    QList<ReportPage> pages;

    int pageCount() const { return int(pages.size()); }
    // Pages from..to (counted from 1, both included, kept within the store) with the same title
    // and sheet.
    PageStore copyRange(int from, int to) const;
    // The other store's pages after these.
    void append(const PageStore &other);

    friend bool operator==(const PageStore &, const PageStore &) = default;
};
