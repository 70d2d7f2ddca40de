// Benchmarks of the desk's own work. Not run by ctest. Run: build/bin/bench_desk
//   BM_ConsoleSale     one stop of a run to its recorded sale, as the console does it (the stop
//                      dialog answered without a window), beside BM_SaleBareSqlite, the bare
//                      three-file transaction of the same writes
//   BM_DeskSale        the same stop and sale through the desk's runs alone, without any window
//   BM_AddLog          one event-log line added to a log of 100,000 lines
//   BM_HourlyBackup    the hourly backup of the three tables into a fresh folder; the counter
//                      LongestStepMs is the longest time between two turns of the event loop
//   BM_TotalsReportLayout  the sales totals of ten years (3,650 day lines, three receipts a day)
//                      laid out
//   BM_ReceiptLayoutAndPaint  the A5 receipt of a stored sale laid out and its page painted at
//                      100 % (96 dpi), as the preview first shows it
//   BM_WatchdogBeat    the heartbeat's word to a running port watchdog

#include "benchcases.h"
#include "deskplaces.h"
#include "fakes/fakesolarsettings.h"
#include "fakes/scriptedrundialogs.h"

#include "console/formvelmora.h"
#include "core/textfile.h"
#include "data/query.h"
#include "data/tablesnapshot.h"
#include "desk/desk.h"
#include "desk/eventlog.h"
#include "desk/runinput.h"
#include "desk/salonschema.h"
#include "desk/solarruns.h"
#include "portio/portwatchdog.h"
#include "reports/engine/pagepainter.h"
#include "reports/formqrsalesolara5.h"
#include "reports/formqrsalesolartotala5.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtMath>

namespace {

// Starts every run at 01:30 without a discount, closes every stop dialog and confirms every bed
// switched off by hand.
ScriptedRunDialogs answeredRunDialogs()
{
    ScriptedRunDialogs dialogs;
    dialogs.m_confirmOff = true;
    return dialogs;
}

void BM_ConsoleSale(benchmark::State &state)
{
    const QString directory = workCopy(state, state.range(0), QStringLiteral("console-sale"));
    if (directory.isEmpty())
        return;
    const SalePlace place(directory);
    {
        ScriptedRunDialogs dialogs = answeredRunDialogs();
        WindowDeskReport report;
        DeskSession session(report);
        if (!session.desk().database().connectDirectory(directory)) {
            state.SkipWithError("connect failed");
            return;
        }
        session.loadSettings();
        if (!session.desk().openTables()) {
            state.SkipWithError("open failed");
            return;
        }
        TFormVelmora console(session);
        report.setOwner(&console);
        console.setRunQuestions(&dialogs);
        console.show();
        int unit = 0;
        for (auto _ : state) {
            unit = unit % 8 + 1;
            state.PauseTiming();
            console.MenuItemSolarClick(unit); // start
            console.TimerSolarTimer(unit);
            state.ResumeTiming();
            console.MenuItemSolarClick(unit); // stop, price, record, save, log
        }
    }
}

void BM_DeskSale(benchmark::State &state)
{
    const QString directory = workCopy(state, state.range(0), QStringLiteral("desk-sale"));
    if (directory.isEmpty())
        return;
    const SalePlace place(directory);
    {
        SkippingReport report(state);
        Desk desk(report);
        if (!desk.database().connectDirectory(directory) || !desk.openTables()) {
            state.SkipWithError("open failed");
            return;
        }
        ScriptedRunDialogs questions = answeredRunDialogs();
        FakeSolarSettings settings = defaultSettings();
        SolarRuns runs(desk);
        runs.setQuestions(&questions);
        runs.setSettings(&settings);
        runs.loadOffers();
        int unit = 0;
        for (auto _ : state) {
            unit = unit % 8 + 1;
            state.PauseTiming();
            runs.command(unit, std::nullopt); // start
            state.ResumeTiming();
            runs.command(unit, std::nullopt); // stop, price, record, save, log
        }
    }
}

void BM_AddLog(benchmark::State &state)
{
    QTemporaryDir place;
    const QString file = place.filePath(QStringLiteral("Velmora.log"));
    QStringList lines;
    for (int i = 0; i < state.range(0); ++i)
        lines << QStringLiteral("1.12.2026 8:%1:00 Transakce solárko[3]: OK [4 ms] [%2]")
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(i, 9, 10, QLatin1Char('0'));
    Cp1250Lines::write(file, lines);
    EventLog log(file);
    log.load();
    log.DeleteLog(); // as at start: the file now mirrors the list
    for (auto _ : state)
        log.AddLog(QStringLiteral("Transakce solárko[1]: OK [5 ms] [000123456]"));
}

void BM_HourlyBackup(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    if (directory.isEmpty())
        return;
    Database database{deskDatabaseSchema()};
    if (!database.connectDirectory(directory) || !database.openFiles()) {
        state.SkipWithError("open failed");
        return;
    }
    QTemporaryDir backups;
    QElapsedTimer sinceTurn;
    qint64 longest = 0;
    TableSnapshot snapshot(database);
    snapshot.setBetweenSteps([&] {
        longest = qMax(longest, sinceTurn.nsecsElapsed());
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceTurn.restart();
    });
    int made = 0;
    for (auto _ : state) {
        const QString folder = backups.filePath(QString::number(++made));
        QDir().mkpath(folder);
        sinceTurn.start();
        if (!snapshot.copyTo(folder)) {
            state.SkipWithError("backup failed");
            return;
        }
        longest = qMax(longest, sinceTurn.nsecsElapsed());
        QDir(folder).removeRecursively();
    }
    state.counters["LongestStepMs"] = double(longest) / 1e6;
}

// A fresh installation in a folder of its own with the receipts the SQL inserts, the desk's
// tables open on it; skips the benchmark when it cannot be had.
class ReceiptsPlace
{
public:
    ReceiptsPlace(benchmark::State &state, const QString &receiptsSql)
        : m_report(state), m_desk(m_report)
    {
        QString error;
        if (!createInstallation(m_place.path(), &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        Query receipts(&m_desk.database());
        receipts.setSql(receiptsSql);
        m_ready = m_desk.database().connectDirectory(m_place.path()) && receipts.exec() &&
                  m_desk.openTables() && m_desk.tableSaleSolars().refresh();
        if (!m_ready)
            state.SkipWithError("setup failed");
    }

    bool ready() const { return m_ready; }
    Desk &desk() { return m_desk; }

private:
    QTemporaryDir m_place;
    SkippingReport m_report;
    Desk m_desk;
    bool m_ready = false;
};

void BM_TotalsReportLayout(benchmark::State &state)
{
    ReceiptsPlace place(
        state,
        QStringLiteral(
            "with recursive n(i) as (select 0 union all select i + 1 from n where i < "
            "10949) insert into SaleSolars select i + 1, date('2016-01-01', '+' || (i / 3) "
            "|| ' days'), '10:00:00', 1 + i % 8, 0, 21, 10.0, 0, 60 + i % 600, 'Eva' from n"));
    if (!place.ready())
        return;
    int pages = 0;
    for (auto _ : state) {
        TFormQRSaleSolarTotalA5 totals(place.desk().tableSaleSolars(), {}, {}, 21);
        pages = totals.layOut().pageCount();
    }
    state.counters["Pages"] = pages;
}

void BM_ReceiptLayoutAndPaint(benchmark::State &state)
{
    ReceiptsPlace place(state, QStringLiteral("insert into SaleSolars values (123, '2026-12-09', "
                                              "'09:05:00', 3, 0, 21, 10.0, 15, 714, 'Eva')"));
    if (!place.ready() || !place.desk().tableSaleSolars().last()) {
        state.SkipWithError("no receipt");
        return;
    }
    Desk &desk = place.desk();
    const QStringList lines = {QStringLiteral("Solárium Velmora"), QStringLiteral("Nádražní 12"),
                               QStringLiteral("110 00 Praha 1")};
    constexpr double PixelsPerMillimetre = 96 / 25.4;
    QImage sheet(qCeil(148 * PixelsPerMillimetre), qCeil(210 * PixelsPerMillimetre),
                 QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        TFormQRSaleSolarA5 receipt(desk.tableSaleSolars(), {lines, lines, lines});
        const PageStore store = receipt.layOut();
        QPainter painter(&sheet);
        PagePainter::paintPage(painter, store, 0, PixelsPerMillimetre);
    }
}

} // namespace

// The desk's heartbeat to its port watchdog, paid once a second while the desk runs: one word
// written to the pipe of a running watchdog. Fewer beats than the pipe holds, so none waits.
void BM_WatchdogBeat(benchmark::State &state)
{
    PortWatchdog watchdog;
    if (!watchdog.start(PortBackendKind::Simulator)) {
        state.SkipWithError("no watchdog");
        return;
    }
    for (auto _ : state)
        watchdog.beat();
}

BENCHMARK(BM_WatchdogBeat)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiptLayoutAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TotalsReportLayout)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HourlyBackup)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ConsoleSale)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_SaleBareSqlite)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_DeskSale)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_AddLog)->Arg(100000)->Unit(benchmark::kMicrosecond)->Repetitions(9);

BENCHMARK_MAIN_WITH_APPLICATION(QApplication)
