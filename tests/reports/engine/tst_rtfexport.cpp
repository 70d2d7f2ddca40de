#include "reports/engine/rtfexport.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

TextItem text(const QString &line, ReportAlignment alignment = ReportAlignment::Left,
              bool bold = false)
{
    return TextItem{QRect(1000, 2000, 5000, 450), ReportFont{QStringLiteral("Arial"), 7.5, bold},
                    alignment, line};
}

PageStore receipt()
{
    TextItem heading = text(QStringLiteral("Pokladní doklad"), ReportAlignment::Centre, true);
    heading.font = ReportFont{QStringLiteral("Microsoft Sans Serif"), 14, true};
    heading.box.moveTo(300, 700); // too near the edge for the whole widening
    const LineItem rule{QLine(500, 2100, 14300, 2100), 10};
    return PageStore{QStringLiteral("000000123"),
                     QSize(14800, 21000),
                     {ReportPage{{heading, text(QStringLiteral("Číslo solárka:")), rule,
                                  text(QStringLiteral("1 234,50 Kč"), ReportAlignment::Right)}},
                      ReportPage{{rule, rule}},
                      ReportPage{{text(QStringLiteral("\\{}\t😀€！ ok"))}}}};
}

// Just enough of a reader to see what a word processor would show: the framed paragraphs of
// every page with their control words and text, the drawing objects, and the font table.
struct Frame
{
    QHash<QByteArray, int> words;
    QString text;
};
struct Document
{
    bool wellFormed = false;
    QHash<QByteArray, int> words;
    QStringList fonts;
    QList<QList<Frame>> pages{{}};
    QList<int> lines{0};
};

Document read(const QByteArray &rtf)
{
    Document document;
    const QString source = QString::fromLatin1(rtf);
    static const QRegularExpression font(QStringLiteral(R"(\{\\f(\d+)[^ ]* ([^;]*);\})"));
    for (const QRegularExpressionMatch &match : font.globalMatch(source))
        document.fonts.insert(match.captured(1).toInt(), match.captured(2));
    static const QRegularExpression token(
        QStringLiteral(R"(\\([a-z]+)(-?\d*) ?|\\(.)|([{}])|([^\\{}\n]+))"));
    Frame paragraph;
    int depth = 0, skipFrom = INT_MAX;
    bool closed = false, fallback = false;
    for (const QRegularExpressionMatch &match : token.globalMatch(source)) {
        const QByteArray name = match.captured(1).toLatin1();
        if (closed || depth < 0)
            return document; // something after the closing brace
        if (match.captured(4) == QLatin1String("{")) {
            ++depth;
        } else if (match.captured(4) == QLatin1String("}")) {
            skipFrom = --depth < skipFrom ? INT_MAX : skipFrom;
            closed = depth == 0;
        } else if (match.captured(3) == QLatin1String("*")) {
            document.lines.last() += source.mid(match.capturedEnd()).startsWith(u"\\do\\");
            skipFrom = std::min(skipFrom, depth);
        } else if (depth < skipFrom && name.isEmpty()) {
            paragraph.text += (match.captured(3) + match.captured(5)).mid(fallback ? 1 : 0);
            fallback = false;
        } else if (depth < skipFrom) {
            document.words.insert(name, match.captured(2).toInt());
            paragraph.words.insert(name, match.captured(2).toInt());
            if (name == "fonttbl" || name == "info")
                skipFrom = depth;
            if (name == "u" && qint16(match.captured(2).toInt()) != match.captured(2).toInt())
                return document; // a signed 16-bit number
            if (name == "u")
                paragraph.text += QChar(char16_t(match.captured(2).toInt())), fallback = true;
            if (name == "tab")
                paragraph.text += QLatin1Char('\t');
            if (name == "page")
                document.pages.append(QList<Frame>()), document.lines.append(0);
            if (name == "par" && paragraph.words.contains("pvpg"))
                document.pages.last().append(paragraph);
            if (name == "par" || name == "pard")
                paragraph = Frame();
        }
    }
    document.wellFormed = closed && rtf.startsWith("{\\rtf1");
    return document;
}

} // namespace

class TestRtfExport : public QObject
{
    Q_OBJECT

private slots:
    void everyPageReadsBack_data()
    {
        QTest::addColumn<PageStore>("store");
        QTest::newRow("receipt") << receipt();
        QTest::newRow("landscape") << PageStore{
            QStringLiteral("Tržby"), QSize(29700, 21000), {{{text(QStringLiteral("Celkem"))}}, {}}};
    }
    void everyPageReadsBack()
    {
        QFETCH(PageStore, store);
        const QByteArray rtf = RtfExport::encode(store);
        QVERIFY(std::all_of(rtf.begin(), rtf.end(), [](char c) { return uchar(c) < 0x80; }));
        const Document document = read(rtf);
        QVERIFY(document.wellFormed);
        QCOMPARE(document.words.value("paperw"), RtfExport::toTwips(store.pageSize.width()));
        QCOMPARE(document.words.value("paperh"), RtfExport::toTwips(store.pageSize.height()));
        for (const char *margin : {"margl", "margr", "margt", "margb"})
            QVERIFY(document.words.contains(margin) && document.words.value(margin) == 0);
        QCOMPARE(document.pages.size(), store.pageCount());
        for (int page = 0; page < store.pageCount(); ++page) {
            QList<TextItem> texts;
            for (const PageItem &item : store.pages.at(page).items) {
                if (const auto *text = std::get_if<TextItem>(&item))
                    texts.append(*text);
            }
            const QList<Frame> &frames = document.pages.at(page);
            QCOMPARE(frames.size(), texts.size());
            QCOMPARE(document.lines.at(page), store.pages.at(page).items.size() - texts.size());
            for (qsizetype index = 0; index < texts.size(); ++index) {
                const TextItem &item = texts.at(index);
                const QHash<QByteArray, int> &words = frames.at(index).words;
                QCOMPARE(frames.at(index).text, item.text);
                QCOMPARE(document.fonts.value(words.value("f")), item.font.family);
                QCOMPARE(words.contains("b"), item.font.bold);
                QCOMPARE(words.value("fs"), qRound(item.font.pointSize * 2));
                QCOMPARE(words.value("posy"), RtfExport::toTwips(item.box.top()));
                QCOMPARE(words.value("absh"), RtfExport::toTwips(item.box.height()));
                QVERIFY(words.contains("phpg") && words.contains("pvpg"));
                // The frame may be wider than the box, but the edge the text keeps to stays.
                const int left = words.value("posx"), right = left + words.value("absw");
                const int boxLeft = RtfExport::toTwips(item.box.left());
                const int boxRight = RtfExport::toTwips(item.box.left() + item.box.width());
                QVERIFY(left <= boxLeft && right >= boxRight);
                if (item.alignment == ReportAlignment::Left)
                    QVERIFY(words.contains("ql") && left == boxLeft);
                else if (item.alignment == ReportAlignment::Right)
                    QVERIFY(words.contains("qr") && right == boxRight);
                else
                    QVERIFY(words.contains("qc") && left + right == boxLeft + boxRight);
            }
        }
    }

    void writeReplacesOrReports()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tržby.rtf"));
        QVERIFY(RtfExport::write(path, receipt()).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), RtfExport::encode(receipt()));
        const QString missing = dir.filePath(QStringLiteral("chybí/x.rtf"));
        const FileResult failed = RtfExport::write(missing, receipt());
        QVERIFY(failed.message.startsWith(QStringLiteral("Export do RTF se nezdařil")));
        QVERIFY(failed.message.contains(missing));
    }
};

QTEST_GUILESS_MAIN(TestRtfExport)
#include "tst_rtfexport.moc"
