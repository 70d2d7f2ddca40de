#include "deskfixture.h"
#include "fakes/whenmodal.h"
#include "pdftext.h"

#include "data/table.h"
#include "reports/formstatistics.h"
#include "reports/logic/salesfilter.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Statistic)

class TestStatistics : public QObject
{
    Q_OBJECT

private slots:
    void buckets_data();
    void buckets();
    void labelsReadableAtOpeningSize_data();
    void labelsReadableAtOpeningSize();
    void chartAndPrint();
    void cursorEndsOnLastReceipt();
};

void TestStatistics::buckets_data()
{
    QTest::addColumn<QStringList>("receipts"); // "date time"
    QTest::addColumn<bool>("thisMonth");       // else all periods
    QTest::addColumn<Statistic>("statistic");
    QTest::addColumn<QStringList>("counted"); // "label=count"; every other bucket 0
    QTest::addColumn<int>("buckets");
    QTest::newRow("last and first second of a day")
        << QStringList{"2026-12-09 23:59:59", "2026-12-10 00:00:00", "2026-12-10 00:30:00"} << false
        << Statistic::Day << QStringList{"23.=1", "00.=2"} << 24;
    QTest::newRow("Sunday and Monday")
        << QStringList{"2026-12-06 10:00:00", "2026-12-07 10:00:00", "2026-12-13 10:00:00"} << false
        << Statistic::Week << QStringList{"Ne=2", "Po=1"} << 7;
    QTest::newRow("31st of two months")
        << QStringList{"2026-10-31 10:00:00", "2026-12-31 10:00:00", "2026-12-02 10:00:00"} << false
        << Statistic::Month << QStringList{"31.=2", "02.=1"} << 31;
    QTest::newRow("year statistic over this month")
        << QStringList{"2026-11-30 10:00:00", "2026-12-01 10:00:00", "2026-12-10 10:00:00",
                       "2025-12-05 10:00:00"}
        << true << Statistic::Year << QStringList{"12.=2"} << 12;
    QTest::newRow("nothing passes")
        << QStringList{"2026-11-30 10:00:00"} << true << Statistic::Week << QStringList{} << 7;
}

void TestStatistics::buckets()
{
    QFETCH(QStringList, receipts);
    QFETCH(bool, thisMonth);
    QFETCH(Statistic, statistic);
    QFETCH(QStringList, counted);
    QFETCH(int, buckets);
    RunsFixture desk;
    for (int i = 0; i < receipts.size(); ++i) {
        const QStringList when = receipts.at(i).split(' ');
        QVERIFY(runSql(desk.m_desk.database(),
                       QString("insert into SaleSolars values (%1, '%2', '%3', 3, 0, 10, 10.0, "
                               "0, 21, 'Eva')")
                           .arg(i + 1)
                           .arg(when.at(0), when.at(1))));
    }
    Table &sales = desk.m_desk.tableSaleSolars();
    QVERIFY(sales.refresh());
    if (thisMonth) {
        SalesFilterInput input;
        input.allPeriods = false;
        input.dates = *periodRange(SalesPeriod::Month, QDate(2026, 12, 10));
        QVERIFY(sales.setFilter(salesFilter(input)) && sales.setFiltered(true));
    }
    const std::optional<StatisticCounts> result = countCustomers(sales, statistic);
    QVERIFY(result);
    QCOMPARE(result->labels.size(), buckets);
    QCOMPARE(result->counts.size(), buckets);
    QStringList nonZero;
    for (int i = 0; i < buckets; ++i) {
        if (result->counts.at(i) != 0)
            nonZero << QString("%1=%2").arg(result->labels.at(i)).arg(result->counts.at(i));
    }
    std::sort(nonZero.begin(), nonZero.end());
    std::sort(counted.begin(), counted.end());
    QCOMPARE(nonZero, counted);
}

void TestStatistics::labelsReadableAtOpeningSize_data()
{
    QTest::addColumn<Statistic>("statistic");
    QTest::newRow("day") << Statistic::Day;
    QTest::newRow("week") << Statistic::Week;
    QTest::newRow("month") << Statistic::Month;
    QTest::newRow("year") << Statistic::Year;
}

// Each point must be tied to its bucket: the chart draws every label whole, none cut to "...".
void TestStatistics::labelsReadableAtOpeningSize()
{
    QFETCH(Statistic, statistic);
    RunsFixture desk;
    const std::optional<StatisticCounts> counts =
        countCustomers(desk.m_desk.tableSaleSolars(), statistic);
    QVERIFY(counts);
    TFormStatistics window(*counts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    QStringList drawn;
    for (QGraphicsItem *item : window.findChild<QChartView *>("Chart")->scene()->items()) {
        if (auto *text = dynamic_cast<QGraphicsTextItem *>(item); text && text->isVisible())
            drawn << text->toPlainText();
    }
    for (const QString &label : counts->labels)
        QVERIFY2(drawn.contains(label), qPrintable(label + " not in " + drawn.join('|')));
}

void TestStatistics::chartAndPrint()
{
    const StatisticCounts counts{
        "Týdenní statistika", {"Po", "Út", "St", "Čt", "Pá", "So", "Ne"}, {3, 0, 0, 1, 0, 0, 12}};
    TFormStatistics window(counts);
    QCOMPARE(window.windowTitle(), " Týdenní statistika");
    QChart *chart = window.chart();
    QCOMPARE(chart->title(), counts.title);
    QVERIFY(!chart->legend()->isVisible());
    QCOMPARE(chart->series().size(), 1);
    auto *series = qobject_cast<QLineSeries *>(chart->series().first());
    QVERIFY(series);
    QList<qint64> values;
    for (const QPointF &point : series->points())
        values << qint64(point.y());
    QCOMPARE(values, counts.counts);
    const auto axes = chart->axes(Qt::Horizontal, series);
    QCOMPARE(axes.size(), 1);
    QCOMPARE(qobject_cast<QBarCategoryAxis *>(axes.first())->categories(), counts.labels);

    window.show();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    QVERIFY(window.print(printer));
    const QStringList pages = pdfPageTexts(printer.outputFileName());
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages.first().contains("Týdenní statistika") &&
                 pages.first().contains("Počet zákazníků"),
             qPrintable(pages.first()));
}

void TestStatistics::cursorEndsOnLastReceipt()
{
    RunsFixture desk;
    for (int receipt = 1; receipt <= 3; ++receipt) {
        QVERIFY(runSql(desk.m_desk.database(),
                       QString("insert into SaleSolars values (%1, '2026-12-10', '10:00:00', 3, "
                               "0, 10, 10.0, 0, 21, 'Eva')")
                           .arg(receipt)));
    }
    Table &sales = desk.m_desk.tableSaleSolars();
    QVERIFY(sales.refresh() && sales.first());
    QStringList shown;
    whenModal<TFormStatistics>([&shown](TFormStatistics *window) {
        shown << window->chart()->title();
        window->reject();
    });
    showStatistics(sales, Statistic::Day, nullptr);
    QCOMPARE(shown, QStringList{"Denní statistika"});
    QCOMPARE(sales.value("PARAGON").toInt(), 3);
}

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
