// Benchmarks of the start-up's upkeep of the tables on generated installations. Not run by
// ctest. Run: QT_QPA_PLATFORM=offscreen build/bin/bench_startup
//   BM_StartupUpkeep   the default upkeep (regenerate the indexes and pack all three tables),
//                      then the tables opened for the desk, as the start-up does it; beside it,
//                      in each iteration, a plain VACUUM of another copy of the receipts' file by
//                      SQLite alone (PlainVacuum_ms) and the upkeep's time to it (ToVacuum)
//   BM_PurgeOldReceipts  the purge of the receipts of the first half of 2021 (about a tenth)

#include "benchcases.h"

#include "core/filesync.h"
#include "core/paths.h"
#include "data/table.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/salonschema.h"
#include "startup/databasemaintenance.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

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

// A work copy whose files are on disk, so that neither side of a comparison writes back the
// copy's pages.
QString syncedWorkCopy(benchmark::State &state, qint64 count, const QString &name)
{
    const QString directory = workCopy(state, count, name);
    for (const QString &table : TableNames) {
        if (!directory.isEmpty() && !syncFile(JoinPath(directory, fileNameOfTable(table)))) {
            state.SkipWithError("sync failed");
            return QString();
        }
    }
    return directory;
}

// Milliseconds of a plain VACUUM of the receipts' file, SQLite's own and nothing else; negative
// after skipping the benchmark.
double plainVacuumMs(benchmark::State &state, qint64 count)
{
    const QString directory = syncedWorkCopy(state, count, QStringLiteral("vacuum"));
    if (directory.isEmpty())
        return -1;
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(JoinPath(directory, QStringLiteral("SaleSolars.DB")));
    QElapsedTimer timer;
    timer.start();
    const bool done =
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr) == SQLITE_OK;
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    if (!done) {
        state.SkipWithError("vacuum failed");
        return -1;
    }
    return elapsed;
}

void BM_StartupUpkeep(benchmark::State &state)
{
    MessageDialogsTestHook::engage();
    double upkeepMs = 0;
    double vacuumMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double vacuum = plainVacuumMs(state, state.range(0));
        const QString directory = syncedWorkCopy(state, state.range(0), QStringLiteral("upkeep"));
        if (vacuum < 0 || directory.isEmpty())
            return;
        vacuumMs += vacuum;
        StopOnReport report(state);
        Desk desk(report);
        if (!desk.database().connectDirectory(directory)) {
            state.SkipWithError("connect failed");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        state.ResumeTiming();
        RegenerateAndPackTables({&desk.tableMoney(), &desk.tableSolars(), &desk.tableSaleSolars()},
                                true, true, false);
        if (!desk.openTables() || !desk.tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
            state.SkipWithError("open failed");
        state.PauseTiming();
        upkeepMs += double(timer.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
    state.counters["PlainVacuum_ms"] = vacuumMs / double(state.iterations());
    state.counters["ToVacuum"] = upkeepMs / vacuumMs;
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
