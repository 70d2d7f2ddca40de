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
        // Every callback first, in the band's order; a text's place may depend on where a text
        // after it ends.
        QStringList texts;
        for (const ReportElement &element : band.elements) {
            QString text = textOf(element);
            if (element.onPrint)
                element.onPrint(text);
            texts.append(text);
        }
        const QList<QRect> lineBoxes = placeLines(band, texts);
        PreparedBand prepared;
        prepared.height = hundredths(band.heightMm);
        for (qsizetype index = 0; index < band.elements.size(); ++index) {
            const ReportElement &element = band.elements.at(index);
            const QRect box = boxOf(element);
            if (element.kind == ReportElementKind::Line) {
                prepared.items.append(
                    LineItem{QLine(box.left(), box.top(), box.left() + box.width(), box.top())});
            } else if (element.kind == ReportElementKind::Memo) {
                addMemo(prepared, element, box, texts.at(index));
            } else {
                prepared.items.append(TextItem{lineBoxes.at(index), element.font, element.alignment,
                                               texts.at(index)});
                if (element.kind == ReportElementKind::PageNumber)
                    prepared.pageNumbers.append({prepared.items.size() - 1, element.text});
            }
        }
        return prepared;
    }

    static QRect boxOf(const ReportElement &element)
    {
        const QRectF &box = element.boxMm;
        return QRect(hundredths(box.left()), hundredths(box.top()), hundredths(box.width()),
                     hundredths(box.height()));
    }

    static bool isSingleLine(const ReportElement &element)
    {
        return element.kind != ReportElementKind::Line && element.kind != ReportElementKind::Memo;
    }

    // The boxes of the band's single-line texts (others stay empty), each after the text that
    // it keeps clear of.
    QList<QRect> placeLines(const ReportBand &band, const QStringList &texts) const
    {
        const qsizetype count = band.elements.size();
        QList<QRect> boxes(count);
        QList<bool> placed(count, false);
        const std::function<QRect(qsizetype)> place = [&](qsizetype index) {
            if (placed.at(index)) // also ends a circle of texts keeping clear of each other
                return boxes.at(index);
            placed[index] = true;
            const ReportElement &element = band.elements.at(index);
            QRect box = lineBox(element, texts.at(index));
            const qsizetype other = element.keepsClearOf;
            if (other >= 0 && other < count && isSingleLine(band.elements.at(other)) &&
                !texts.at(other).isEmpty()) {
                const QRect before = place(other);
                box.moveLeft(std::max(box.left(), before.left() + before.width() +
                                                      hundredths(ReportElement::ClearanceMm)));
            }
            boxes[index] = box;
            return box;
        };
        for (qsizetype index = 0; index < count; ++index) {
            if (isSingleLine(band.elements.at(index)))
                place(index);
        }
        return boxes;
    }

    int lineHeight(const ReportFont &font) const { return qCeil(m_metrics.lineSpacing(font)); }

    // A single line; a box of no width fits its text, its left edge then being where the text
    // starts, ends or has its middle, after the alignment.
    QRect lineBox(const ReportElement &element, const QString &text) const
    {
        QRect box = boxOf(element);
        box.setHeight(lineHeight(element.font));
        if (box.width() <= 0) {
            const int width = qCeil(m_metrics.width(element.font, text));
            box.setWidth(width);
            if (element.alignment == ReportAlignment::Right)
                box.moveLeft(box.left() - width);
            else if (element.alignment == ReportAlignment::Centre)
                box.moveLeft(box.left() - width / 2);
        }
        return box;
    }

    // The lines that fit in the box; the band keeps its height whatever the text.
    void addMemo(PreparedBand &prepared, const ReportElement &element, const QRect &box,
                 const QString &text) const
    {
        const QStringList given = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
        const QStringList lines =
            element.wordWrap ? wrapLines(given, element.font, box.width(), m_metrics) : given;
        const double spacing = m_metrics.lineSpacing(element.font);
        const int height = lineHeight(element.font);
        for (qsizetype index = 0; index < lines.size(); ++index) {
            const int top = qRound(index * spacing);
            if (top + m_metrics.height(element.font) > box.height())
                break;
            prepared.items.append(TextItem{QRect(box.left(), box.top() + top, box.width(), height),
                                           element.font, element.alignment, lines.at(index)});
        }
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

// How many characters from the start of the text fit in the width. Widths only grow with the
// text, so the count is found from a guess (the whole text, or as many as the line before took)
// in as many measurements as the line is long in bits, and in one where the guess fits all.
qsizetype fittingCount(QStringView text, qsizetype guess, const ReportFont &font, double width,
                       const ReportMetrics &metrics)
{
    if (text.isEmpty())
        return 0;
    const auto fits = [&](qsizetype count) {
        return metrics.width(font, text.left(count).toString()) <= width;
    };
    qsizetype fitting = 0;
    qsizetype probe = std::clamp<qsizetype>(guess, 1, text.size());
    while (fits(probe)) {
        fitting = probe;
        if (probe == text.size())
            return probe;
        probe = std::min(probe * 2, text.size());
    }
    // fitting fits, probe does not
    while (probe - fitting > 1) {
        const qsizetype middle = fitting + (probe - fitting) / 2;
        (fits(middle) ? fitting : probe) = middle;
    }
    return fitting;
}

QStringView withoutLeadingSpaces(QStringView text)
{
    while (text.startsWith(QLatin1Char(' ')))
        text = text.mid(1);
    return text;
}

// Splits one line at its last space that lets the start fit, or inside a word too long for a
// line of its own.
void wrapLine(const QString &line, const ReportFont &font, double width,
              const ReportMetrics &metrics, QStringList &out)
{
    QStringView rest = line;
    qsizetype guess = rest.size();
    for (;;) {
        const qsizetype fitting = fittingCount(rest, guess, font, width, metrics);
        guess = fitting;
        if (fitting == rest.size()) {
            out.append(rest.toString());
            return;
        }
        // The start before a space fits when the space is within the fitting characters.
        const qsizetype space = rest.left(fitting + 1).lastIndexOf(QLatin1Char(' '));
        if (space > 0 && !rest.left(space).trimmed().isEmpty()) {
            QStringView start = rest.left(space);
            while (start.endsWith(QLatin1Char(' ')))
                start.chop(1);
            out.append(start.toString());
            rest = withoutLeadingSpaces(rest.mid(space + 1));
            continue;
        }
        // No break between words fits: put as many characters as fit, at least one.
        const qsizetype count = std::max<qsizetype>(fitting, 1);
        out.append(rest.left(count).toString());
        rest = withoutLeadingSpaces(rest.mid(count));
        if (rest.isEmpty())
            return;
    }
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
