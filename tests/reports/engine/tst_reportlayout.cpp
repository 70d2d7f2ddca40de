#include "core/clock.h"
#include "reports/engine/reportfonts.h"
#include "reports/engine/reportlayout.h"

#include <QTest>
#include <QtMath>

// Where a text printed: its page (from 1) and top.
using Places = QList<QPair<int, int>>;

namespace {

const ReportFont Font8{QStringLiteral("Arial"), 8, false};
const ReportFont Memo7{QStringLiteral("Microsoft Sans Serif"), 7, false};

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(8, 5)); }
    qint64 tickCount() const override { return 0; }
};

QList<TextItem> texts(const ReportPage &page)
{
    QList<TextItem> out;
    for (const PageItem &item : page.items) {
        if (const auto *text = std::get_if<TextItem>(&item))
            out.append(*text);
    }
    return out;
}

QStringList textsOf(const ReportPage &page)
{
    QStringList out;
    for (const TextItem &item : texts(page))
        out.append(item.text);
    return out;
}

TextItem onlyText(const PageStore &store)
{
    const QList<TextItem> items = texts(store.pages.value(0));
    return items.value(0);
}

// A band of the given height with one fixed text at its top left.
ReportBand band(double heightMm, const QString &text)
{
    ReportBand result;
    result.heightMm = heightMm;
    result.add(ReportElement::fixedText(QRectF(0, 0, 50, 4), text, Font8));
    return result;
}

// Every text's page (from 1) and top, in the order of the pages.
Places placesOf(const PageStore &store, const QString &text)
{
    Places out;
    for (int page = 0; page < store.pageCount(); ++page) {
        for (const TextItem &item : texts(store.pages.at(page))) {
            if (item.text == text)
                out.append({page + 1, item.box.top()});
        }
    }
    return out;
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fontSubstitution();
    void alignment_data();
    void alignment();
    void memo_data();
    void memo();
    void memoGrowthPushesNextBand();
    void repeatedBand_data();
    void repeatedBand();
    void detailRequests_data();
    void detailRequests();
    void pageBreaks_data();
    void pageBreaks();
    void pageNumberFollowsBandToNewPage();
    void textCallbacksRunInBandOrder();
    void printDateAndSheet();
};

void TestReportLayout::initTestCase()
{
    ReportFonts::registerSubstitutions();
    ReportFonts::registerSubstitutions();
}

void TestReportLayout::fontSubstitution()
{
    for (const QString &family :
         {QStringLiteral("Arial"), QStringLiteral("Microsoft Sans Serif")}) {
        QCOMPARE(QFont::substitutes(family).size(), 1);
        const QFontInfo info(ReportFonts::toQFont({family, 10, false}));
        QCOMPARE(info.family(), QStringLiteral("Liberation Sans"));
    }
    // Measured at the reference resolution: the size in millimetres follows the points only.
    const ReportMetrics metrics;
    const double width10 = metrics.width({QStringLiteral("Arial"), 10, false}, "Pokladní doklad");
    const double width20 = metrics.width({QStringLiteral("Arial"), 20, false}, "Pokladní doklad");
    QVERIFY(qAbs(width20 / width10 - 2) < 0.02);
}

void TestReportLayout::alignment_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("widthMm");
    // Where the item's box starts, from the given left, in widths of the text (fitting boxes).
    QTest::addColumn<double>("shift");
    QTest::newRow("left in box") << int(ReportAlignment::Left) << 30.0 << 0.0;
    QTest::newRow("right in box") << int(ReportAlignment::Right) << 30.0 << 0.0;
    QTest::newRow("centre in box") << int(ReportAlignment::Centre) << 30.0 << 0.0;
    QTest::newRow("left, fitting") << int(ReportAlignment::Left) << 0.0 << 0.0;
    QTest::newRow("right edge, fitting") << int(ReportAlignment::Right) << 0.0 << -1.0;
    QTest::newRow("centred, fitting") << int(ReportAlignment::Centre) << 0.0 << -0.5;
}

void TestReportLayout::alignment()
{
    QFETCH(int, alignment);
    QFETCH(double, widthMm);
    QFETCH(double, shift);
    const QString text = QStringLiteral("Celkem [Kč]:");
    ReportDefinition definition;
    definition.page.leftMm = 12;
    definition.page.topMm = 8;
    ReportBand title;
    title.heightMm = 10;
    title.add(ReportElement::fixedText(QRectF(44.7, 3.2, widthMm, 4), text, Font8,
                                       ReportAlignment(alignment)));
    definition.titleBand = title;
    const TextItem item = onlyText(ReportLayout::layOut(definition));

    const ReportMetrics metrics;
    const int width = widthMm > 0 ? 3000 : qCeil(metrics.width(Font8, text));
    QCOMPARE(item.text, text);
    QCOMPARE(item.alignment, ReportAlignment(alignment));
    QCOMPARE(item.box.width(), width);
    QVERIFY(qAbs(item.box.left() - (1200 + 4470 + shift * width)) <= 1);
    QCOMPARE(item.box.top(), 800 + 320);
    QCOMPARE(item.box.height(), qCeil(metrics.lineSpacing(Font8)));
}

void TestReportLayout::memo_data()
{
    const ReportMetrics metrics;
    const auto fitting = [&](const QString &text) {
        return metrics.width(Memo7, text) / 100 + 0.05;
    };
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::addColumn<bool>("grows");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fits") << QStringList{"Solárium Slunce", "Dlouhá 5"} << 32.3 << 19.1 << false
                          << QStringList{"Solárium Slunce", "Dlouhá 5"};
    QTest::newRow("breaks between words")
        << QStringList{"Jedna dvě tři čtyři"} << fitting("Jedna dvě") << 19.1 << false
        << QStringList{"Jedna dvě", "tři čtyři"};
    QTest::newRow("one word a line") << QStringList{"Slunce moře léto"} << fitting("Slunce") << 19.1
                                     << false << QStringList{"Slunce", "moře", "léto"};
    QTest::newRow("long word between characters") << QStringList{"Abcdefghij"} << fitting("Abcde")
                                                  << 19.1 << false << QStringList{"Abcde", "fghij"};
    QTest::newRow("empty lines kept")
        << QStringList{"A", "", "B"} << 32.3 << 19.1 << false << QStringList{"A", "", "B"};
    QTest::newRow("fixed box drops what does not fit")
        << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"} << 32.3 << 19.1 << false
        << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("growing box keeps every line")
        << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"} << 32.3 << 19.1 << true
        << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
}

void TestReportLayout::memo()
{
    QFETCH(QStringList, lines);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    QFETCH(bool, grows);
    QFETCH(QStringList, expected);
    ReportDefinition definition;
    ReportBand title;
    title.heightMm = 30;
    title.add(ReportElement::memo(QRectF(0, 6.9, widthMm, heightMm), lines, Memo7,
                                  ReportAlignment::Left, grows));
    definition.titleBand = title;
    const PageStore store = ReportLayout::layOut(definition);
    QCOMPARE(textsOf(store.pages.value(0)), expected);

    const ReportMetrics metrics;
    const QList<TextItem> items = texts(store.pages.value(0));
    for (qsizetype index = 0; index < items.size(); ++index) {
        const TextItem &item = items.at(index);
        QVERIFY(metrics.width(Memo7, item.text) <= item.box.width());
        QCOMPARE(item.box.top(), 1000 + 690 + qRound(index * metrics.lineSpacing(Memo7)));
        if (!grows)
            QVERIFY(item.box.top() + metrics.height(Memo7) <= 1000 + 690 + 1910);
    }
}

void TestReportLayout::memoGrowthPushesNextBand()
{
    const ReportMetrics metrics;
    const double spacing = metrics.lineSpacing(Memo7);
    ReportDefinition definition;
    ReportBand title;
    title.heightMm = 30;
    // Twelve lines in a box for two: the band grows by what the box grows.
    QStringList lines;
    for (int line = 1; line <= 12; ++line)
        lines.append(QString::number(line));
    title.add(ReportElement::memo(QRectF(0, 5, 30, 2 * spacing / 100), lines, Memo7,
                                  ReportAlignment::Left, true));
    definition.titleBand = title;
    definition.summary = band(5, "Konec");
    const PageStore store = ReportLayout::layOut(definition);
    const int grownBy = qRound(11 * spacing) + qCeil(spacing) - qRound(2 * spacing);
    QCOMPARE(placesOf(store, "Konec"), (Places{{1, 1000 + 3000 + grownBy}}));
}

void TestReportLayout::repeatedBand_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Places>("expected");
    QTest::newRow("none") << 0 << Places{};
    QTest::newRow("once") << 1 << Places{{1, 1000}};
    // Two receipts of 95 mm fill the 190 mm between the margins of an A5 sheet.
    QTest::newRow("twice on one sheet") << 2 << Places{{1, 1000}, {1, 10500}};
    QTest::newRow("third on the next sheet") << 3 << Places{{1, 1000}, {1, 10500}, {2, 1000}};
}

void TestReportLayout::repeatedBand()
{
    QFETCH(int, count);
    QFETCH(Places, expected);
    ReportDefinition definition;
    definition.repeatedBand = band(95, "Pokladní doklad");
    definition.repeatCount = count;
    const PageStore store = ReportLayout::layOut(definition);
    QCOMPARE(placesOf(store, "Pokladní doklad"), expected);
    QCOMPARE(store.pageCount(), std::max(1, int(expected.isEmpty() ? 1 : expected.last().first)));
}

void TestReportLayout::detailRequests_data()
{
    QTest::addColumn<bool>("withCallback");
    QTest::addColumn<int>("answersYes");   // how many requests the callback answers with yes
    QTest::addColumn<bool>("touchesLast"); // whether it sets the answer when data runs out
    QTest::addColumn<QList<bool>>("expectedPresets");
    QTest::addColumn<int>("expectedDetails");
    QTest::newRow("no callback prints once") << false << 0 << false << QList<bool>{} << 1;
    QTest::newRow("no data, answer untouched")
        << true << 0 << false << QList<bool>{true, false} << 1;
    QTest::newRow("no data, answered no") << true << 0 << true << QList<bool>{true} << 0;
    QTest::newRow("three lines, end untouched")
        << true << 3 << false << QList<bool>{true, false, false, false} << 3;
    QTest::newRow("three lines, end answered no")
        << true << 3 << true << QList<bool>{true, false, false, false} << 3;
}

void TestReportLayout::detailRequests()
{
    QFETCH(bool, withCallback);
    QFETCH(int, answersYes);
    QFETCH(bool, touchesLast);
    QFETCH(QList<bool>, expectedPresets);
    QFETCH(int, expectedDetails);
    ReportDefinition definition;
    definition.detail = band(4.2, "řádek");
    QList<bool> presets;
    int answered = 0;
    if (withCallback) {
        definition.needData = [&](bool &more) {
            presets.append(more);
            if (answered < answersYes) {
                more = true;
                ++answered;
            } else if (touchesLast) {
                more = false;
            }
        };
    }
    definition.summary = band(5, "součet");
    const PageStore store = ReportLayout::layOut(definition);
    QCOMPARE(presets, expectedPresets);
    QCOMPARE(placesOf(store, "řádek").size(), expectedDetails);
    QCOMPARE(placesOf(store, "součet"), (Places{{1, 1000 + qRound(expectedDetails * 420.0)}}));
}

void TestReportLayout::pageBreaks_data()
{
    QTest::addColumn<int>("details");
    QTest::addColumn<double>("summaryMm");
    QTest::addColumn<int>("expectedPages");
    QTest::addColumn<int>("summaryPage");
    // Header 40 mm, details 50 mm: three details fill the 150 mm left of the 190 mm.
    QTest::newRow("no details") << 0 << 20.0 << 1 << 1;
    QTest::newRow("page exactly full, summary moves") << 3 << 20.0 << 2 << 2;
    QTest::newRow("fourth detail on page 2") << 4 << 20.0 << 2 << 2;
    QTest::newRow("seven details") << 7 << 20.0 << 3 << 3;
    QTest::newRow("empty summary still fits") << 3 << 0.0 << 1 << 1;
}

void TestReportLayout::pageBreaks()
{
    QFETCH(int, details);
    QFETCH(double, summaryMm);
    QFETCH(int, expectedPages);
    QFETCH(int, summaryPage);
    ReportDefinition definition;
    ReportBand header = band(40, "Prodej služeb");
    header.add(ReportElement::pageNumber(QRectF(0, 1.1, 0, 4), "Strana: ", Font8));
    definition.columnHeader = header;
    definition.detail = band(50, "den");
    int requested = 0;
    definition.needData = [&](bool &more) { more = requested++ < details; };
    definition.summary = band(summaryMm, "součet");
    QList<int> finished;
    const PageStore store =
        ReportLayout::layOut(definition, [&](int pages) { finished.append(pages); });

    QCOMPARE(store.pageCount(), expectedPages);
    QList<int> everyPage;
    Places headers;
    for (int page = 1; page <= expectedPages; ++page) {
        everyPage.append(page);
        headers.append({page, 1000});
        QCOMPARE(placesOf(store, QStringLiteral("Strana: %1").arg(page)),
                 (Places{{page, 1000 + 110}}));
    }
    QCOMPARE(finished, everyPage);
    QCOMPARE(placesOf(store, "Prodej služeb"), headers);
    Places expectedDetails;
    for (int detail = 0; detail < details; ++detail)
        expectedDetails.append({detail / 3 + 1, 1000 + 4000 + (detail % 3) * 5000});
    QCOMPARE(placesOf(store, "den"), expectedDetails);
    QCOMPARE(placesOf(store, "součet").value(0).first, summaryPage);
}

void TestReportLayout::pageNumberFollowsBandToNewPage()
{
    ReportDefinition definition;
    definition.repeatedBand = band(120, "doklad");
    definition.repeatedBand->add(ReportElement::pageNumber(QRectF(0, 10, 30, 4), "Strana ", Font8));
    definition.repeatCount = 2;
    const PageStore store = ReportLayout::layOut(definition);
    QCOMPARE(placesOf(store, "Strana 1"), (Places{{1, 2000}}));
    QCOMPARE(placesOf(store, "Strana 2"), (Places{{2, 2000}}));
}

void TestReportLayout::textCallbacksRunInBandOrder()
{
    // As on a receipt: the first label computes a value that the later labels print.
    ReportDefinition definition;
    ReportBand copy;
    copy.heightMm = 95;
    QStringList calls;
    double tax = 0;
    int copies = 0;
    ReportElement free = ReportElement::fixedText(QRectF(0, 61.4, 40, 4), "Cena bez DPH", Font8);
    free.onPrint = [&](QString &text) {
        calls.append("free");
        text += QStringLiteral(" (19%):");
    };
    ReportElement value = ReportElement::dataText(
        QRectF(0, 61.4, 44.7, 4), [] { return QStringLiteral("119,00"); }, Font8,
        ReportAlignment::Right);
    value.onPrint = [&](QString &text) {
        calls.append("value");
        tax = 18.99 + copies++;
        text = QStringLiteral("100,01 Kč");
    };
    ReportElement taxValue = ReportElement::dataText(
        QRectF(55, 61.4, 30.2, 4), [&] { return QString::number(tax, 'f', 2); }, Font8,
        ReportAlignment::Right);
    taxValue.onPrint = [&](QString &) { calls.append("tax"); };
    copy.add(free);
    copy.add(value);
    copy.add(ReportElement::line(0, 49.2, 20.1));
    copy.add(taxValue);
    definition.repeatedBand = copy;
    definition.repeatCount = 2;
    const PageStore store = ReportLayout::layOut(definition);

    QCOMPARE(calls, (QStringList{"free", "value", "tax", "free", "value", "tax"}));
    QCOMPARE(textsOf(store.pages.value(0)),
             (QStringList{"Cena bez DPH (19%):", "100,01 Kč", "18.99",
                          "Cena bez DPH (19%):", "100,01 Kč", "19.99"}));
    QCOMPARE(store.pages.value(0).items.value(2),
             PageItem(LineItem{QLine(1000, 1000 + 4920, 1000 + 2010, 1000 + 4920)}));
}

void TestReportLayout::printDateAndSheet()
{
    FixedClock clock;
    setProgramClock(&clock);
    ReportDefinition definition;
    definition.title = QStringLiteral("Tržby");
    definition.page.landscape = true;
    definition.page.leftMm = 15;
    ReportBand summary;
    summary.heightMm = 21.7;
    summary.add(ReportElement::printDate(QRectF(11.4, 16.9, 30, 5), Font8));
    ReportElement stamped = ReportElement::printDate(QRectF(40, 16.9, 40, 5), Font8);
    stamped.text = QStringLiteral("Vytištěno ");
    summary.add(stamped);
    definition.summary = summary;
    const PageStore store = ReportLayout::layOut(definition);
    setProgramClock(nullptr);

    QCOMPARE(store.title, QStringLiteral("Tržby"));
    QCOMPARE(store.pageSize, QSize(21000, 14800));
    QCOMPARE(textsOf(store.pages.value(0)), (QStringList{"9.12.2026", "Vytištěno 9.12.2026"}));
    QCOMPARE(onlyText(store).box.topLeft(), QPoint(1500 + 1140, 1000 + 1690));
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
