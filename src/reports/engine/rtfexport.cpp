#include "reports/engine/rtfexport.h"

#include <QStringList>

#include <cmath>
#include <cstring>

namespace RtfExport {

namespace {

// Room a frame gets beyond its box on the side the text runs to: the word processor measures
// text a little differently, and a line that no longer fits would wrap into a second one.
constexpr int FrameSlack = 200;

void appendEscaped(QByteArray *out, const QString &text)
{
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out->append('\\');
            out->append(char(unit));
        } else if (unit == u'\t') {
            out->append("\\tab ");
        } else if (unit >= 0x20 && unit < 0x7f) {
            out->append(char(unit));
        } else if (unit >= 0x80) {
            // RTF reads the number as a signed 16-bit value; the '?' is the one fallback
            // character that \uc1 announces for readers without Unicode.
            out->append("\\u");
            out->append(QByteArray::number(qint16(unit)));
            out->append('?');
        }
        // Other control characters have no place on a printed line.
    }
}

QByteArray number(const char *controlWord, int value)
{
    return QByteArray(controlWord) + QByteArray::number(value);
}

int halfPoints(double pointSize)
{
    return std::max(1, int(std::lround(pointSize * 2)));
}

void appendFrame(QByteArray *out, const TextItem &text, int fontIndex)
{
    // Both edges rounded on their own, so that the edge the text keeps to is exact.
    int left = toTwips(text.box.left());
    int right = toTwips(text.box.left() + text.box.width());
    const int extra = std::min(FrameSlack, std::max(left, 0));
    const char *alignment = "\\ql";
    switch (text.alignment) {
    case ReportAlignment::Left:
        right += FrameSlack;
        break;
    case ReportAlignment::Right:
        left -= extra;
        alignment = "\\qr";
        break;
    case ReportAlignment::Centre:
        left -= extra;
        right += extra;
        alignment = "\\qc";
        break;
    }
    out->append("{\\pard\\plain\\pvpg\\phpg");
    out->append(number("\\posx", left));
    out->append(number("\\posy", toTwips(text.box.top())));
    out->append(number("\\absw", right - left));
    // A positive height is a least height: a taller rendering grows the frame instead of
    // cutting the text off.
    out->append(number("\\absh", toTwips(text.box.height())));
    out->append("\\nowrap\\sb0\\sa0");
    out->append(alignment);
    out->append(number("\\f", fontIndex));
    out->append(number("\\fs", halfPoints(text.font.pointSize)));
    if (text.font.bold)
        out->append("\\b");
    out->append(' ');
    appendEscaped(out, text.text);
    out->append("\\par}\n");
}

void appendLine(QByteArray *out, const LineItem &item)
{
    const QLine line(toTwips(item.line.x1()), toTwips(item.line.y1()), toTwips(item.line.x2()),
                     toTwips(item.line.y2()));
    const int left = std::min(line.x1(), line.x2());
    const int top = std::min(line.y1(), line.y2());
    out->append("{\\*\\do\\dobxpage\\dobypage\\dodhgt8192\\dpline");
    out->append(number("\\dpptx", line.x1() - left));
    out->append(number("\\dppty", line.y1() - top));
    out->append(number("\\dpptx", line.x2() - left));
    out->append(number("\\dppty", line.y2() - top));
    out->append(number("\\dpx", left));
    out->append(number("\\dpy", top));
    out->append(number("\\dpxsize", std::max(1, std::abs(line.dx()))));
    out->append(number("\\dpysize", std::max(1, std::abs(line.dy()))));
    out->append("\\dplinesolid\\dplinecor0\\dplinecog0\\dplinecob0");
    out->append(number("\\dplinew", std::max(1, toTwips(item.width))));
    out->append("}\n");
}

QStringList fontFamilies(const PageStore &store)
{
    QStringList families;
    for (const ReportPage &page : store.pages) {
        for (const PageItem &item : page.items) {
            const auto *text = std::get_if<TextItem>(&item);
            if (text && !families.contains(text->font.family))
                families.append(text->font.family);
        }
    }
    if (families.isEmpty())
        families.append(ReportFont().family);
    return families;
}

} // namespace

int toTwips(int hundredthsOfMillimetre)
{
    return int(std::lround(hundredthsOfMillimetre * 1440.0 / 2540.0));
}

QByteArray encode(const PageStore &store)
{
    const QStringList families = fontFamilies(store);
    QByteArray out("{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1\n{\\fonttbl");
    for (qsizetype index = 0; index < families.size(); ++index) {
        // Charset 238: Central European, so readers without Unicode still pick the right glyphs.
        out.append(number("{\\f", int(index)));
        out.append("\\fswiss\\fcharset238 ");
        appendEscaped(&out, families.at(index));
        out.append(";}");
    }
    out.append("}\n{\\info{\\title ");
    appendEscaped(&out, store.title);
    out.append("}}\n");

    const int width = toTwips(store.pageSize.width());
    const int height = toTwips(store.pageSize.height());
    out.append(number("\\paperw", width) + number("\\paperh", height));
    out.append("\\margl0\\margr0\\margt0\\margb0\\viewkind1");
    if (width > height)
        out.append("\\landscape");
    out.append("\n\\sectd" + number("\\pgwsxn", width) + number("\\pghsxn", height));
    out.append("\\marglsxn0\\margrsxn0\\margtsxn0\\margbsxn0");
    if (width > height)
        out.append("\\lndscpsxn");
    out.append('\n');

    for (qsizetype pageIndex = 0; pageIndex < store.pages.size(); ++pageIndex) {
        const ReportPage &page = store.pages.at(pageIndex);
        for (const PageItem &item : page.items) {
            if (const auto *text = std::get_if<TextItem>(&item))
                appendFrame(&out, *text, int(families.indexOf(text->font.family)));
        }
        // The page's lines hang on an empty body paragraph of the page, which also carries the
        // break to the next page; it ends there so that the next page's frames start their own
        // paragraphs.
        out.append("\\pard\\plain\\fs2 ");
        for (const PageItem &item : page.items) {
            if (const auto *line = std::get_if<LineItem>(&item))
                appendLine(&out, *line);
        }
        out.append(pageIndex + 1 < store.pages.size() ? "\\page\\par\n" : "\\par\n");
    }
    out.append("}\n");
    return out;
}

FileResult write(const QString &path, const PageStore &store)
{
    const FileResult written = writeFileAtomically(path, encode(store));
    if (written.ok())
        return written;
    return {written.errorCode,
            QStringLiteral("Export do RTF se nezdařil, soubor „%1“ nelze uložit: %2...")
                .arg(path, QString::fromLocal8Bit(strerror(written.errorCode)))};
}

} // namespace RtfExport
