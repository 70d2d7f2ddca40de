#include "reports/logic/salesfilter.h"

#include <QTest>

Q_DECLARE_METATYPE(SalesPeriod)

class TestSalesFilter : public QObject
{
    Q_OBJECT

private slots:
    void periods_data();
    void periods();
    void conditions();
};

void TestSalesFilter::periods_data()
{
    QTest::addColumn<SalesPeriod>("period");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::newRow("a Sunday ends its week")
        << SalesPeriod::Week << QDate(2026, 12, 13) << QDate(2026, 12, 7) << QDate(2026, 12, 13);
    QTest::newRow("a Monday starts its week")
        << SalesPeriod::Week << QDate(2026, 12, 7) << QDate(2026, 12, 7) << QDate(2026, 12, 13);
    QTest::newRow("leap February")
        << SalesPeriod::Month << QDate(2028, 2, 29) << QDate(2028, 2, 1) << QDate(2028, 2, 29);
    QTest::newRow("today") << SalesPeriod::Today << QDate(2028, 2, 29) << QDate(2028, 2, 29)
                           << QDate(2028, 2, 29);
    QTest::newRow("year") << SalesPeriod::Year << QDate(2026, 6, 1) << QDate(2026, 1, 1)
                          << QDate(2026, 12, 31);
    QTest::newRow("all periods: no dates")
        << SalesPeriod::All << QDate(2026, 6, 1) << QDate() << QDate();
    QTest::newRow("other: the user's dates")
        << SalesPeriod::Other << QDate(2026, 6, 1) << QDate() << QDate();
}

void TestSalesFilter::periods()
{
    QFETCH(SalesPeriod, period);
    QFETCH(QDate, today);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const std::optional<DateRange> range = periodRange(period, today);
    QCOMPARE(range.has_value(), first.isValid());
    if (range) {
        QCOMPARE(range->first, first);
        QCOMPARE(range->last, last);
    }
}

void TestSalesFilter::conditions()
{
    SalesFilterInput input;
    QVERIFY(salesFilter(input).isEmpty());    // all periods, nothing ticked: no filter at all
    input.paragons = {true, 5, std::nullopt}; // the upper edit cleared
    input.solars = {false, 1, 8};             // not ticked: ignored
    input.userChecked = true;
    input.user = "O'Neil";
    const Filter filter = salesFilter(input);
    QCOMPARE(filter.size(), 2);
    QCOMPARE(filter.at(0).field, "PARAGON");
    QCOMPARE(filter.at(0).comparison, FilterCondition::GreaterOrEqual);
    QCOMPARE(filter.at(1).value.toString(), "O'Neil"); // a bound value, matched literally
}

QTEST_GUILESS_MAIN(TestSalesFilter)
#include "tst_salesfilter.moc"
