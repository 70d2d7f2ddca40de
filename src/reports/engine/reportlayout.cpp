#include "reports/engine/reportlayout.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "reports/engine/reportfonts.h"

#include <QtMath>

#include <algorithm>

namespace ReportLayout {

namespace {

int hundredths(double millimetres)
{
    return ReportUnits::fromMillimetres(millimetres);
}

// A band's items, placed from its top left corner, and the height it takes.
struct PreparedBand
{
    QList<PageItem> items;
    int height = 0;
    // Page numbers are the one text that depends on where the band lands.
    struct PageNumber
    {
        qsizetype item;
        QString prefix;
    };
    QList<PageNumber> pageNumbers;
};

class Layouter
{
public:
    Layouter(const ReportDefinition &definition, const std::function<void(int)> &pageDone)
        : m_definition(definition), m_pageDone(pageDone),
          m_printDate(CzechFormat::shortDate(programClock().now().date()))
    {}

    PageStore run()
    {
        const ReportPageSetup &page = m_definition.page;
        m_store.title = m_definition.title;
        m_store.pageSize = QSize(hundredths(page.sheetWidthMm()), hundredths(page.sheetHeightMm()));
        m_bottom = hundredths(page.sheetHeightMm() - page.bottomMm);
        startPage();
        if (m_definition.titleBand)
            print(*m_definition.titleBand);
        if (m_definition.repeatedBand) {
            for (int copy = 0; copy < m_definition.repeatCount; ++copy)
                print(*m_definition.repeatedBand);
        }
        if (m_definition.detail) {
            bool first = true;
            for (;;) {
                bool more = first;
                first = false;
                if (m_definition.needData)
                    m_definition.needData(more);
                if (!more)
                    break;
                print(*m_definition.detail);
            }
        }
        if (m_definition.summary)
            print(*m_definition.summary);
        if (m_pageDone)
            m_pageDone(m_store.pageCount());
        return m_store;
    }

private:
    void startPage()
    {
        if (!m_store.pages.isEmpty() && m_pageDone)
            m_pageDone(m_store.pageCount());
        m_store.pages.append(ReportPage());
        m_y = hundredths(m_definition.page.topMm);
        if (m_definition.columnHeader)
            place(prepare(*m_definition.columnHeader));
        m_bodyTop = m_y;
    }

    void print(const ReportBand &band)
    {
        PreparedBand prepared = prepare(band);
        // A band taller than a whole page prints from the top of one and is cut at its end.
        if (m_y + prepared.height > m_bottom && m_y > m_bodyTop) {
            startPage();
            for (const PreparedBand::PageNumber &number : std::as_const(prepared.pageNumbers))
                std::get<TextItem>(prepared.items[number.item]).text =
                    number.prefix + QString::number(m_store.pageCount());
        }
        place(prepared);
    }

    void place(const PreparedBand &band)
    {
        const QPoint offset(hundredths(m_definition.page.leftMm), m_y);
        QList<PageItem> &items = m_store.pages.last().items;
        for (PageItem item : band.items) {
            if (auto *text = std::get_if<TextItem>(&item))
                text->box.translate(offset);
            else if (auto *line = std::get_if<LineItem>(&item))
                line->line.translate(offset);
            items.append(std::move(item));
        }
        m_y += band.height;
    }

    QString textOf(const ReportElement &element) const
    {
        switch (element.kind) {
        case ReportElementKind::FixedText:
            return element.text;
        case ReportElementKind::DataText:
            return element.value ? element.value() : QString();
        case ReportElementKind::Memo:
            return element.lines.join(QLatin1Char('\n'));
        case ReportElementKind::PageNumber:
            return element.text + QString::number(m_store.pageCount());
        case ReportElementKind::PrintDate:
            return element.text + m_printDate;
        case ReportElementKind::Line:
            break;
        }
        return QString();
    }

    PreparedBand prepare(const ReportBand &band)
    {
        PreparedBand prepared;
        const int bandHeight = hundredths(band.heightMm);
        int growth = 0;
        for (const ReportElement &element : band.elements) {
            const QRect box(hundredths(element.boxMm.left()), hundredths(element.boxMm.top()),
                            hundredths(element.boxMm.width()), hundredths(element.boxMm.height()));
            if (element.kind == ReportElementKind::Line) {
                prepared.items.append(
                    LineItem{QLine(box.left(), box.top(), box.left() + box.width(), box.top())});
                continue;
            }
            QString text = textOf(element);
            if (element.onPrint)
                element.onPrint(text);
            if (element.kind == ReportElementKind::Memo)
                growth = std::max(growth, addMemo(prepared, element, box, text));
            else
                addLine(prepared, element, box, text);
            if (element.kind == ReportElementKind::PageNumber)
                prepared.pageNumbers.append({prepared.items.size() - 1, element.text});
        }
        prepared.height = bandHeight + growth;
        return prepared;
    }

    int lineHeight(const ReportFont &font) const { return qCeil(m_metrics.lineSpacing(font)); }

    // A single line; a box of no width fits its text, its left edge then being where the text
    // starts, ends or has its middle, after the alignment.
    void addLine(PreparedBand &prepared, const ReportElement &element, QRect box,
                 const QString &text) const
    {
        box.setHeight(lineHeight(element.font));
        if (box.width() <= 0) {
            const int width = qCeil(m_metrics.width(element.font, text));
            box.setWidth(width);
            if (element.alignment == ReportAlignment::Right)
                box.moveLeft(box.left() - width);
            else if (element.alignment == ReportAlignment::Centre)
                box.moveLeft(box.left() - width / 2);
        }
        prepared.items.append(TextItem{box, element.font, element.alignment, text});
    }

    // Returns by how much the memo makes its band taller.
    int addMemo(PreparedBand &prepared, const ReportElement &element, const QRect &box,
                const QString &text) const
    {
        const QStringList given = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
        const QStringList lines =
            element.wordWrap ? wrapLines(given, element.font, box.width(), m_metrics) : given;
        const double spacing = m_metrics.lineSpacing(element.font);
        const int height = lineHeight(element.font);
        int growth = 0;
        for (qsizetype index = 0; index < lines.size(); ++index) {
            const int top = qRound(index * spacing);
            if (top + m_metrics.height(element.font) > box.height()) {
                if (!element.grows)
                    break; // a fixed box shows what fits
                growth = std::max(growth, top + height - box.height());
            }
            prepared.items.append(TextItem{QRect(box.left(), box.top() + top, box.width(), height),
                                           element.font, element.alignment, lines.at(index)});
        }
        return growth;
    }

    const ReportDefinition &m_definition;
    const std::function<void(int)> &m_pageDone;
    const QString m_printDate;
    ReportMetrics m_metrics;
    PageStore m_store;
    int m_y = 0;
    int m_bodyTop = 0;
    int m_bottom = 0;
};

// Splits one line at its last space that lets the start fit, or inside a word too long for a
// line of its own.
void wrapLine(const QString &line, const ReportFont &font, double width,
              const ReportMetrics &metrics, QStringList &out)
{
    QString rest = line;
    while (metrics.width(font, rest) > width) {
        qsizetype cut = -1;
        for (qsizetype space = rest.lastIndexOf(QLatin1Char(' ')); space > 0;
             space = rest.lastIndexOf(QLatin1Char(' '), space - 1)) {
            const QString start = rest.left(space);
            if (!start.trimmed().isEmpty() && metrics.width(font, start) <= width) {
                cut = space;
                break;
            }
        }
        if (cut > 0) {
            QString start = rest.left(cut);
            while (start.endsWith(QLatin1Char(' ')))
                start.chop(1);
            out.append(start);
            rest = rest.mid(cut + 1);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
            continue;
        }
        // No break between words fits: put as many characters as fit, at least one.
        qsizetype count = 1;
        while (count < rest.size() && metrics.width(font, rest.left(count + 1)) <= width)
            ++count;
        out.append(rest.left(count));
        rest = rest.mid(count);
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
        if (rest.isEmpty())
            return;
    }
    out.append(rest);
}

} // namespace

PageStore layOut(const ReportDefinition &definition, const std::function<void(int)> &pageDone)
{
    return Layouter(definition, pageDone).run();
}

QStringList wrapLines(const QStringList &lines, const ReportFont &font, double widthHundredths,
                      const ReportMetrics &metrics)
{
    if (widthHundredths <= 0)
        return lines;
    QStringList out;
    for (const QString &line : lines)
        wrapLine(line, font, widthHundredths, metrics, out);
    return out;
}

} // namespace ReportLayout
