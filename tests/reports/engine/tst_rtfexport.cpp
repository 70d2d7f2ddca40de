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
    heading.font.family = QStringLiteral("Microsoft Sans Serif");
    const LineItem rule{QLine(500, 2100, 14300, 2100), 10};
    return PageStore{QStringLiteral("000000123"),
                     QSize(14800, 21000),
                     {ReportPage{{heading, text(QStringLiteral("Číslo solárka:")), rule,
                                  text(QStringLiteral("1 234,50 Kč"), ReportAlignment::Right)}},
                      ReportPage{{rule, rule}},
                      ReportPage{{text(QStringLiteral("\\{}\t😀€！ ok"))}}}};
}

// Just enough of a reader to see what a word processor would show: each framed paragraph with
// its control words and text, the drawing objects of every page, and the font table.
struct Frame
{
    QHash<QByteArray, int> words;
    QString text;
};
struct Page
{
    QList<Frame> frames;
    int lines = 0;
};
struct Document
{
    bool wellFormed = false;
    QHash<QByteArray, int> words;
    QStringList fonts;
    QList<Page> pages{Page()};
};

Document read(const QByteArray &rtf)
{
    Document document;
    static const QRegularExpression font(QStringLiteral("\\{\\\\f(\\d+)[^ ]* ([^;]*);\\}"));
    for (const QRegularExpressionMatch &match : font.globalMatch(QString::fromLatin1(rtf)))
        document.fonts.insert(match.captured(1).toInt(), match.captured(2));
    Frame paragraph;
    int depth = 0, skipFrom = INT_MAX;
    qsizetype closed = -1;
    for (qsizetype at = 0; at < rtf.size(); ++at) {
        const char c = rtf.at(at);
        const bool skipping = depth >= skipFrom;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < skipFrom)
                skipFrom = INT_MAX;
            if (depth < 0 || (depth == 0 && closed >= 0))
                return document;
            if (depth == 0)
                closed = at;
        } else if (c == '\\' && !QChar::isLetter(rtf.at(at + 1))) {
            const char symbol = rtf.at(++at);
            if (symbol == '*' && rtf.mid(at + 1).startsWith("\\do\\"))
                ++document.pages.last().lines;
            if (symbol == '*')
                skipFrom = std::min(skipFrom, depth);
            else if (!skipping)
                paragraph.text += QLatin1Char(symbol);
        } else if (c == '\\') {
            static const QRegularExpression word(QStringLiteral("\\\\([a-z]+)(-?\\d*) ?"));
            const QRegularExpressionMatch match = word.match(QString::fromLatin1(rtf.mid(at, 40)));
            const QByteArray name = match.captured(1).toLatin1();
            const int value = match.captured(2).toInt();
            at += match.capturedLength() - 1;
            if (skipping)
                continue;
            document.words.insert(name, value);
            paragraph.words.insert(name, value);
            if (name == "fonttbl" || name == "info")
                skipFrom = depth;
            else if (name == "u")
                paragraph.text += QChar(char16_t(value)), ++at; // and its fallback character
            else if (name == "tab")
                paragraph.text += QLatin1Char('\t');
            else if (name == "page")
                document.pages.append(Page());
            else if (name == "pard" || name == "par") {
                if (name == "par" && paragraph.words.contains("pvpg"))
                    document.pages.last().frames.append(paragraph);
                paragraph = Frame();
            }
        } else if (c != '\n' && !skipping) {
            paragraph.text += QLatin1Char(c);
        }
    }
    document.wellFormed =
        depth == 0 && rtf.startsWith("{\\rtf1") && rtf.mid(closed + 1).trimmed().isEmpty();
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
            QStringList texts, families, read;
            int lines = 0;
            for (const PageItem &item : store.pages.at(page).items) {
                if (const auto *text = std::get_if<TextItem>(&item))
                    texts.append(text->text), families.append(text->font.family);
                else
                    ++lines;
            }
            for (const Frame &frame : document.pages.at(page).frames) {
                read.append(frame.text);
                QCOMPARE(document.fonts.value(frame.words.value("f")),
                         families.at(read.size() - 1));
            }
            QCOMPARE(read, texts);
            QCOMPARE(document.pages.at(page).lines, lines);
        }
    }

    void frameHoldsItsBox_data()
    {
        QTest::addColumn<TextItem>("item");
        QTest::addColumn<QByteArray>("alignment");
        QTest::newRow("left") << text(QStringLiteral("a")) << QByteArray("ql");
        QTest::newRow("right, bold")
            << text(QStringLiteral("b"), ReportAlignment::Right, true) << QByteArray("qr");
        QTest::newRow("centred") << text(QStringLiteral("c"), ReportAlignment::Centre)
                                 << QByteArray("qc");
    }
    void frameHoldsItsBox()
    {
        QFETCH(TextItem, item);
        QFETCH(QByteArray, alignment);
        const QList<Frame> frames =
            read(RtfExport::encode(PageStore{{}, QSize(14800, 21000), {{{item}}}}))
                .pages.at(0)
                .frames;
        QCOMPARE(frames.size(), 1);
        const QHash<QByteArray, int> &words = frames.at(0).words;
        const int left = words.value("posx"), right = left + words.value("absw");
        QVERIFY(words.contains(alignment) && words.contains("phpg"));
        QCOMPARE(words.contains("b"), item.font.bold);
        QCOMPARE(words.value("fs"), 15);
        QCOMPARE(words.value("posy"), RtfExport::toTwips(item.box.top()));
        QCOMPARE(words.value("absh"), RtfExport::toTwips(item.box.height()));
        QVERIFY(left <= RtfExport::toTwips(item.box.left()));
        QVERIFY(right >= RtfExport::toTwips(item.box.right() + 1));
        // The edge the text keeps to is where the preview draws it.
        if (alignment == "ql")
            QCOMPARE(left, RtfExport::toTwips(item.box.left()));
        else if (alignment == "qr")
            QCOMPARE(right, RtfExport::toTwips(item.box.left() + item.box.width()));
        else
            QCOMPARE(left + right, RtfExport::toTwips(item.box.left()) +
                                       RtfExport::toTwips(item.box.left() + item.box.width()));
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
