#include "deskfixture.h"

#include "core/solarsettings.h"
#include "desk/solarruns.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestSolarRuns : public QObject
{
    Q_OBJECT

private slots:
    void countdownFollowsTheClock_data();
    void countdownFollowsTheClock();
    void stopContinueAndClose();
    void startNeedsAnOpenUnitAndARun_data();
    void startNeedsAnOpenUnitAndARun();
    void requestedEndRecordsRunningUnits();
    void refusedSwitchOffKeepsTheRunUntilOff_data();
    void refusedSwitchOffKeepsTheRunUntilOff();
    void refusedSwitchOnStartsNothing();
};

namespace {

// The simulated board refuses every write while its register file may not be written.
void setPortWritable(const DeskFixture &installation, bool writable)
{
    QFile::setPermissions(installation.path("port/port-0378"),
                          writable ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
}

} // namespace

void TestSolarRuns::countdownFollowsTheClock_data()
{
    QTest::addColumn<QList<int>>("tickTimes"); // milliseconds after the start
    QTest::addColumn<QList<int>>("remaining"); // seconds left after each tick
    QTest::newRow("on time") << QList<int>{1000, 2000, 3000} << QList<int>{89, 88, 87};
    QTest::newRow("a little early") << QList<int>{960, 1950} << QList<int>{89, 88};
    QTest::newRow("late") << QList<int>{1700, 2000} << QList<int>{89, 88};
    QTest::newRow("after a stall") << QList<int>{1000, 6000, 7000} << QList<int>{89, 84, 83};
    QTest::newRow("stalled past the end") << QList<int>{1000, 95000} << QList<int>{89, 0};
}

void TestSolarRuns::countdownFollowsTheClock()
{
    QFETCH(QList<int>, tickTimes);
    QFETCH(QList<int>, remaining);
    RunsFixture desk;
    FakeClock &clock = desk.m_installation.m_clock;
    const qint64 start = clock.m_tick;
    desk.m_runs.command(1, std::nullopt); // 01:30 from the start question
    QSignalSpy shown(&desk.m_runs, &SolarRuns::remainingChanged);
    for (int i = 0; i < tickTimes.size(); ++i) {
        clock.m_tick = start + tickTimes.at(i);
        desk.m_runs.tick(1);
        QCOMPARE(desk.m_runs.remainingSeconds(1), remaining.at(i));
        QCOMPARE(shown.last().at(1).toInt(), remaining.at(i));
    }
    const bool ended = remaining.last() == 0;
    QCOMPARE(desk.m_runs.isCounting(1), !ended);
    QCOMPARE(desk.m_installation.portRegister(), quint8(ended ? 0x00 : 0x01));
    QCOMPARE(desk.receiptCount(), ended ? 1 : 0);
    if (ended) // run to its end: the whole paid time
        QCOMPARE(desk.m_questions.m_stops.first().usedSeconds, 90);
}

void TestSolarRuns::stopContinueAndClose()
{
    RunsFixture desk;
    QSignalSpy halted(&desk.m_runs, &SolarRuns::runHalted);
    QSignalSpy resumed(&desk.m_runs, &SolarRuns::runResumed);
    QSignalSpy ended(&desk.m_runs, &SolarRuns::runEnded);
    desk.m_questions.m_stopAnswers = {StopAnswer::Continue, StopAnswer::Close};
    desk.m_runs.command(2, std::nullopt);
    desk.countDown(2, 30);
    desk.m_runs.command(2, std::nullopt); // stop: "Pokračovat"
    QCOMPARE(desk.m_installation.portRegister(), quint8(0x02));
    QVERIFY(desk.m_runs.isCounting(2));
    QCOMPARE(halted.size(), 1);
    QCOMPARE(resumed.size(), 1);
    QCOMPARE(ended.size(), 0);
    desk.countDown(2, 15);                // the paused time is not counted
    desk.m_runs.command(2, std::nullopt); // stop: "Zavřít"
    QCOMPARE(desk.m_installation.portRegister(), quint8(0x00));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(desk.m_questions.m_stops.size(), 2);
    const StopFigures figures = desk.m_questions.m_stops.last();
    QVERIFY(figures.stoppedEarly);
    QCOMPARE(figures.usedSeconds, 45);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.money(), figures.total);
    QVERIFY(desk.m_report.m_reports.isEmpty());
}

void TestSolarRuns::startNeedsAnOpenUnitAndARun_data()
{
    QTest::addColumn<bool>("dialogs");
    QTest::addColumn<bool>("closedUnit");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("starts");
    QTest::newRow("asked and answered") << true << false << false << true << true;
    QTest::newRow("asked, called off") << true << false << true << false << false;
    QTest::newRow("typed") << false << false << true << false << true;
    QTest::newRow("typed incompletely") << false << false << false << true << false;
    QTest::newRow("closed unit") << true << true << true << true << false;
}

void TestSolarRuns::startNeedsAnOpenUnitAndARun()
{
    QFETCH(bool, dialogs);
    QFETCH(bool, closedUnit);
    QFETCH(bool, typed);
    QFETCH(bool, answered);
    QFETCH(bool, starts);
    RunsFixture desk;
    if (closedUnit) {
        QVERIFY(runSql(desk.m_desk.database(), "update Solars set ACTIVE = 0 where SOLAR = 3"));
        desk.m_runs.loadOffers();
    }
    desk.m_settings.m_useDialogs = dialogs;
    if (!answered)
        desk.m_questions.m_start.reset();
    QSignalSpy started(&desk.m_runs, &SolarRuns::runStarted);
    desk.m_runs.command(3, typed ? std::optional(StartInput{"02", "00", "10"}) : std::nullopt);
    QCOMPARE(desk.m_runs.isCounting(3), starts);
    QCOMPARE(desk.m_installation.portRegister(), quint8(starts ? 0x04 : 0x00));
    QCOMPARE(desk.m_questions.m_startedUnits.size(), dialogs && !closedUnit ? 1 : 0);
    if (starts)
        QCOMPARE(started.first().at(2).toInt(), dialogs ? 90 : 120);
}

void TestSolarRuns::requestedEndRecordsRunningUnits()
{
    RunsFixture desk;
    desk.m_runs.command(1, std::nullopt);
    desk.m_runs.command(4, std::nullopt);
    desk.countDown(4, 20);
    WritePort(PortAddress(), 0, 0); // as the end request's handler leaves it
    desk.m_runs.recordAllRunning();
    QVERIFY(!desk.m_runs.isCounting(1) && !desk.m_runs.isCounting(4));
    QVERIFY(desk.m_questions.m_stops.isEmpty()); // nobody is asked
    QCOMPARE(desk.receiptCount(), 2);
    QCOMPARE(
        queryValue(desk.m_desk.database(), "select PERIOD from SaleSolars where SOLAR = 4").toInt(),
        20);
}

void TestSolarRuns::refusedSwitchOffKeepsTheRunUntilOff_data()
{
    QTest::addColumn<bool>("confirmed"); // by the operator, else the port takes the write again
    QTest::addColumn<int>("offAfter");   // seconds after the refused stop
    QTest::addColumn<int>("booked");     // seconds
    QTest::newRow("port writable again") << false << 12 << 42;
    QTest::newRow("operator confirms") << true << 20 << 50;
    QTest::newRow("never more than paid") << false << 200 << 90;
}

void TestSolarRuns::refusedSwitchOffKeepsTheRunUntilOff()
{
    QFETCH(bool, confirmed);
    QFETCH(int, offAfter);
    QFETCH(int, booked);
    RunsFixture desk;
    QSignalSpy halted(&desk.m_runs, &SolarRuns::runHalted);
    desk.m_runs.command(1, std::nullopt);
    desk.countDown(1, 30);
    setPortWritable(desk.m_installation, false);
    desk.m_runs.command(1, std::nullopt); // the stop the port refuses
    QCOMPARE(desk.m_installation.portRegister(), quint8(0x01));
    QVERIFY(desk.m_runs.isCounting(1)); // still shown running
    QCOMPARE(halted.size(), 0);
    QVERIFY(desk.m_questions.m_stops.isEmpty());
    QCOMPARE(desk.m_report.m_reports.size(), 1);
    QVERIFY(desk.m_report.m_reports.first().startsWith("Solárko 1 nelze vypnout... | "));
    desk.countDown(1, 5); // still refused: nothing is booked
    QCOMPARE(desk.receiptCount(), 0);

    desk.m_installation.m_clock.m_tick += (offAfter - 5) * 1000;
    if (confirmed) {
        desk.m_questions.m_confirmOff = true;
        desk.m_runs.command(1, std::nullopt);
        QCOMPARE(desk.m_questions.m_offConfirmations, QList<int>{1});
    } else {
        setPortWritable(desk.m_installation, true);
        desk.m_runs.tick(1);
        QCOMPARE(desk.m_installation.portRegister(), quint8(0x00));
    }
    QVERIFY(!desk.m_runs.isCounting(1));
    QCOMPARE(halted.size(), 1);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(queryValue(desk.m_desk.database(), "select PERIOD from SaleSolars").toInt(), booked);
    const QStringList log = logTexts(desk.m_desk.eventLog());
    QVERIFY(log.contains("Solárko [1]: port nepřijal vypnutí, solárko může stále běžet"));
}

void TestSolarRuns::refusedSwitchOnStartsNothing()
{
    RunsFixture desk;
    desk.m_installation.setPortRegister(0); // the board's file exists
    setPortWritable(desk.m_installation, false);
    QSignalSpy started(&desk.m_runs, &SolarRuns::runStarted);
    desk.m_runs.command(2, std::nullopt);
    QVERIFY(!desk.m_runs.isCounting(2));
    QCOMPARE(started.size(), 0);
    QCOMPARE(desk.m_report.m_reports.size(), 1);
    QVERIFY(desk.m_report.m_reports.first().startsWith("Solárko 2 nelze zapnout... | "));
    QCOMPARE(desk.receiptCount(), 0);
}

QTEST_GUILESS_MAIN(TestSolarRuns)
#include "tst_solarruns.moc"
