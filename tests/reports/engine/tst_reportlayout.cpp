#include "core/clock.h"
#include "fakes/fakeclock.h"
#include "reports/engine/reportfonts.h"
#include "reports/engine/reportlayout.h"

#include <QTest>
#include <QtMath>

// Where a text printed: its page (from 1) and top, in hundredths of a millimetre.
using Places = QList<QPair<int, int>>;

namespace {

const ReportFont Font8{QStringLiteral("Arial"), 8, false};
const ReportFont Memo7{QStringLiteral("Microsoft Sans Serif"), 7, false};

QList<TextItem> texts(const PageStore &store, int page = 0)
{
    QList<TextItem> out;
    for (const PageItem &item : store.pages.value(page).items) {
        if (const auto *text = std::get_if<TextItem>(&item))
            out.append(*text);
    }
    return out;
}

Places placesOf(const PageStore &store, const QString &text)
{
    Places out;
    for (int page = 0; page < store.pageCount(); ++page) {
        for (const TextItem &item : texts(store, page)) {
            if (item.text == text)
                out.append({page + 1, item.box.top()});
        }
    }
    return out;
}

ReportBand band(double heightMm, const QString &text)
{
    ReportBand result{heightMm, {}};
    result.add(ReportElement::fixedText(QRectF(0, 0, 50, 4), text, Font8));
    return result;
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    void fontSubstitution();
    void alignment_data();
    void alignment();
    void memo_data();
    void memo();
    void repeatedBand_data();
    void repeatedBand();
    void detailRequests_data();
    void detailRequests();
    void pageBreaks_data();
    void pageBreaks();
    void textCallbacksRunInBandOrder();
};

void TestReportLayout::fontSubstitution()
{
    ReportFonts::registerSubstitutions();
    ReportFonts::registerSubstitutions();
    for (const QString &family :
         {QStringLiteral("Arial"), QStringLiteral("Microsoft Sans Serif")}) {
        QCOMPARE(QFont::substitutes(family).size(), 1);
        QCOMPARE(QFontInfo(ReportFonts::toQFont({family, 10, false})).family(), "Liberation Sans");
    }
}

void TestReportLayout::alignment_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("shift"); // where the box starts from the given left, in text widths
    QTest::newRow("box keeps its place") << int(ReportAlignment::Right) << 30.0 << 0.0;
    QTest::newRow("fitting, left") << int(ReportAlignment::Left) << 0.0 << 0.0;
    QTest::newRow("fitting, right edge") << int(ReportAlignment::Right) << 0.0 << -1.0;
    QTest::newRow("fitting, centred") << int(ReportAlignment::Centre) << 0.0 << -0.5;
}

void TestReportLayout::alignment()
{
    QFETCH(int, alignment);
    QFETCH(double, widthMm);
    QFETCH(double, shift);
    const QString text = QStringLiteral("Celkem [Kč]:");
    ReportDefinition definition;
    definition.page.leftMm = 12;
    definition.titleBand = ReportBand{10, {}};
    definition.titleBand->add(ReportElement::fixedText(QRectF(44.7, 3.2, widthMm, 4), text, Font8,
                                                       ReportAlignment(alignment)));
    const TextItem item = texts(ReportLayout::layOut(definition)).value(0);
    const int width = widthMm > 0 ? 3000 : qCeil(ReportMetrics().width(Font8, text));
    QCOMPARE(item.alignment, ReportAlignment(alignment));
    QCOMPARE(item.box.width(), width);
    QVERIFY(qAbs(item.box.left() - (1200 + 4470 + shift * width)) <= 1);
    QCOMPARE(item.box.top(), 1000 + 320);
}

void TestReportLayout::memo_data()
{
    const auto fitting = [](const QString &text) {
        return ReportMetrics().width(Memo7, text) / 100 + 0.05;
    };
    const QStringList nine{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fits") << QStringList{"Solárium", "", "Dlouhá 5"} << 32.3
                          << QStringList{"Solárium", "", "Dlouhá 5"};
    QTest::newRow("between words") << QStringList{"Jedna dvě tři čtyři"} << fitting("Jedna dvě")
                                   << QStringList{"Jedna dvě", "tři čtyři"};
    QTest::newRow("word a line") << QStringList{"Slunce moře léto"} << fitting("Slunce")
                                 << QStringList{"Slunce", "moře", "léto"};
    QTest::newRow("long word") << QStringList{"Abcdefghij"} << fitting("Abcde")
                               << QStringList{"Abcde", "fghij"};
    QTest::newRow("box cuts") << nine << 32.3 << nine.mid(0, 6);
}

void TestReportLayout::memo()
{
    QFETCH(QStringList, lines);
    QFETCH(double, widthMm);
    QFETCH(QStringList, expected);
    ReportDefinition definition;
    definition.titleBand = ReportBand{30, {}};
    definition.titleBand->add(ReportElement::memo(QRectF(0, 6.9, widthMm, 19.1), lines, Memo7));
    definition.summary = band(5, "Konec");
    const PageStore store = ReportLayout::layOut(definition);
    QList<TextItem> items = texts(store);
    const TextItem next = items.takeLast();
    QStringList printed;
    for (const TextItem &item : items) {
        printed.append(item.text);
        QVERIFY(ReportMetrics().width(Memo7, item.text) <= item.box.width());
    }
    QCOMPARE(printed, expected);
    QCOMPARE(next.box.top(), 1000 + 3000); // the band keeps its height
}

void TestReportLayout::repeatedBand_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Places>("expected");
    QTest::newRow("none") << 0 << Places{};
    QTest::newRow("once") << 1 << Places{{1, 1000}};
    QTest::newRow("twice fill A5") << 2 << Places{{1, 1000}, {1, 10500}};
    QTest::newRow("third on page 2") << 3 << Places{{1, 1000}, {1, 10500}, {2, 1000}};
}

void TestReportLayout::repeatedBand()
{
    QFETCH(int, count);
    QFETCH(Places, expected);
    ReportDefinition definition;
    definition.repeatedBand = band(95, "Pokladní doklad");
    definition.repeatCount = count;
    QCOMPARE(placesOf(ReportLayout::layOut(definition), "Pokladní doklad"), expected);
}

void TestReportLayout::detailRequests_data()
{
    QTest::addColumn<int>("answersYes"); // -1: no callback
    QTest::addColumn<bool>("saysNoAtEnd");
    QTest::addColumn<QList<bool>>("expectedPresets");
    QTest::addColumn<int>("expectedDetails");
    QTest::newRow("no callback prints once") << -1 << false << QList<bool>{} << 1;
    QTest::newRow("no data, untouched") << 0 << false << QList<bool>{true, false} << 1;
    QTest::newRow("no data, says no") << 0 << true << QList<bool>{true} << 0;
    QTest::newRow("three lines") << 3 << false << QList<bool>{true, false, false, false} << 3;
}

void TestReportLayout::detailRequests()
{
    QFETCH(int, answersYes);
    QFETCH(bool, saysNoAtEnd);
    QFETCH(QList<bool>, expectedPresets);
    QFETCH(int, expectedDetails);
    ReportDefinition definition;
    definition.detail = band(4.2, "řádek");
    QList<bool> presets;
    if (answersYes >= 0) {
        definition.needData = [&](bool &more) {
            presets.append(more);
            if (presets.size() <= answersYes)
                more = true;
            else if (saysNoAtEnd)
                more = false;
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
    // Header 40 mm, details 50 mm: three fill the 150 mm left of the 190 mm between margins.
    QTest::newRow("no details") << 0 << 20.0 << 1;
    QTest::newRow("full page, summary moves") << 3 << 20.0 << 2;
    QTest::newRow("full page, empty summary stays") << 3 << 0.0 << 1;
    QTest::newRow("seven details") << 7 << 20.0 << 3;
}

void TestReportLayout::pageBreaks()
{
    QFETCH(int, details);
    QFETCH(double, summaryMm);
    QFETCH(int, expectedPages);
    ReportDefinition definition;
    definition.columnHeader = band(40, "Prodej služeb");
    definition.columnHeader->add(
        ReportElement::pageNumber(QRectF(0, 1.1, 0, 4), "Strana: ", Font8));
    definition.detail = band(50, "den");
    definition.detail->add(ReportElement::pageNumber(QRectF(60, 0, 20, 4), "s. ", Font8));
    int requested = 0;
    definition.needData = [&](bool &more) { more = requested++ < details; };
    definition.summary = band(summaryMm, "součet");
    QList<int> finished;
    const PageStore store =
        ReportLayout::layOut(definition, [&](int pages) { finished.append(pages); });

    QCOMPARE(store.pageCount(), expectedPages);
    Places headers;
    QList<int> pages;
    for (int page = 1; page <= expectedPages; ++page) {
        pages.append(page);
        headers.append({page, 1000});
        QCOMPARE(placesOf(store, QStringLiteral("Strana: %1").arg(page)), (Places{{page, 1110}}));
    }
    QCOMPARE(finished, pages);
    QCOMPARE(placesOf(store, "Prodej služeb"), headers);
    for (int detail = 0; detail < details; ++detail) {
        const QPair<int, int> place{detail / 3 + 1, 5000 + (detail % 3) * 5000};
        QCOMPARE(placesOf(store, "den").value(detail), place);
        // The band that moves to a new page shows that page's number.
        QVERIFY(placesOf(store, QStringLiteral("s. %1").arg(place.first)).contains(place));
    }
    QCOMPARE(placesOf(store, "součet").value(0).first, expectedPages);
}

void TestReportLayout::textCallbacksRunInBandOrder()
{
    // As on a receipt: the first label computes what the later labels print, in each copy.
    FakeClock clock;
    clock.m_now = QDateTime(QDate(2026, 12, 9), QTime(8, 5));
    setProgramClock(&clock);
    ReportDefinition definition;
    definition.title = QStringLiteral("000000042");
    definition.page.landscape = true;
    QStringList calls;
    double tax = 0;
    ReportElement free = ReportElement::fixedText(QRectF(0, 61.4, 40, 4), "Cena bez DPH", Font8);
    free.onPrint = [&](QString &text) { calls.append(text += " (19%):"); };
    ReportElement value = ReportElement::dataText(
        QRectF(0, 61.4, 44.7, 4), [&] { return "x"; }, Font8, ReportAlignment::Right);
    value.onPrint = [&](QString &text) { calls.append(text = QString::number(tax += 18.99)); };
    ReportElement taxValue = ReportElement::dataText(
        QRectF(55, 61.4, 30, 4), [&] { return QString::number(tax); }, Font8);
    taxValue.onPrint = [&](QString &text) { calls.append("tax " + text); };
    definition.repeatedBand =
        ReportBand{95, {free, value, ReportElement::line(0, 49.2, 20.1), taxValue}};
    definition.repeatedBand->add(ReportElement::printDate(QRectF(11.4, 70, 30, 5), Font8));
    definition.repeatCount = 2;
    const PageStore store = ReportLayout::layOut(definition);
    setProgramClock(nullptr);

    QCOMPARE(calls, (QStringList{"Cena bez DPH (19%):", "18.99", "tax 18.99",
                                 "Cena bez DPH (19%):", "37.98", "tax 37.98"}));
    QCOMPARE(placesOf(store, "9.12.2026").size(), 2);
    QCOMPARE(store.pages.value(0).items.value(2),
             PageItem(LineItem{QLine(1000, 1000 + 4920, 1000 + 2010, 1000 + 4920)}));
    QCOMPARE(store.title, definition.title);
    QCOMPARE(store.pageSize, QSize(21000, 14800));
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
