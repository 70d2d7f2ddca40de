// Benchmarks of the start-up's upkeep of the tables on generated installations. Not run by
// ctest. Run: QT_QPA_PLATFORM=offscreen build/bin/bench_startup
//   BM_StartupUpkeep   the default upkeep (regenerate the indexes and pack all three tables),
//                      then the tables opened for the desk, as the start-up does it
//   BM_PurgeOldReceipts  the purge of the receipts of the first half of 2021 (about a tenth)

#include "benchcases.h"

#include "data/table.h"
#include "data/tables.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "startup/databasemaintenance.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QElapsedTimer>

namespace {

class StopOnReport : public DeskReport
{
public:
    explicit StopOnReport(benchmark::State &state) : m_state(state) {}
    void warn(const QString &caption, const QString &) override
    {
        m_state.SkipWithError(caption.toLocal8Bit().constData());
    }
    void databaseError() override { m_state.SkipWithError("database error"); }

private:
    benchmark::State &m_state;
};

void BM_StartupUpkeep(benchmark::State &state)
{
    MessageDialogsTestHook::engage();
    for (auto _ : state) {
        state.PauseTiming();
        const QString directory = workCopy(state, state.range(0), QStringLiteral("upkeep"));
        if (directory.isEmpty())
            return;
        StopOnReport report(state);
        Desk desk(report);
        if (!desk.database().connectDirectory(directory)) {
            state.SkipWithError("connect failed");
            return;
        }
        state.ResumeTiming();
        for (Table *table : {&desk.tableMoney(), &desk.tableSolars(), &desk.tableSaleSolars()}) {
            RegenerateIndexes(*table);
            PackTable(*table, false);
        }
        if (!desk.openTables() || !desk.tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
            state.SkipWithError("open failed");
    }
}

void BM_PurgeOldReceipts(benchmark::State &state)
{
    MessageDialogsTestHook::engage();
    const int days = int(QDate(2021, 7, 1).daysTo(QDate::currentDate()));
    qint64 before = 0;
    qint64 after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString directory = workCopy(state, state.range(0), QStringLiteral("purge"));
        if (directory.isEmpty())
            return;
        StopOnReport report(state);
        Desk desk(report);
        Table &sales = desk.tableSaleSolars();
        if (!desk.database().connectDirectory(directory) || !sales.open()) {
            state.SkipWithError("open failed");
            return;
        }
        before = sales.recordCount();
        sales.close();
        state.ResumeTiming();
        PurgeOldReceipts(sales, days, desk.databaseSaver());
        state.PauseTiming();
        sales.open();
        after = sales.recordCount();
        state.ResumeTiming();
    }
    state.counters["Deleted"] = double(before - after);
}

} // namespace

BENCHMARK(BM_StartupUpkeep)
    ->Arg(300000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_PurgeOldReceipts)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

BENCHMARK_MAIN_WITH_APPLICATION(QApplication)
