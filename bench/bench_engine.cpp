// Benchmarks of the table engine on generated installations (cached between runs, see
// cachedInstallation). Not run by ctest. Run: build/bench/bench_engine
//   BM_Sale*        one durable sale through the engine (on plain and on protected tables) and as
//                   a bare three-file transaction
//   BM_CountSum*    count and sum of PRICE_TOTAL for one day and for all periods, on plain and on
//                   protected tables (first_ms: the first one after opening), and the same
//                   aggregate run by the sqlite3 shell on the same file; BM_CountSumFloor the
//                   plainest count and sum in-process on that file
//   BM_OpenLast     connect, open the four table objects, last receipt

#include "benchcases.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/salonschema.h"
#include "generator.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

const QDate OneDay(2023, 6, 15);

// The console's table objects, as the start-up opens them.
struct Console
{
    Database database{deskDatabaseSchema()};
    Table money{&database, QStringLiteral("Money.DB")};
    Table solars{&database, QStringLiteral("Solars.DB")};
    Table salesCalc{&database, QStringLiteral("SaleSolars.DB")};
    Table sales{&database, QStringLiteral("SaleSolars.DB")};

    bool open(const QString &directory)
    {
        solars.setCalculatedFields(solarsTable().calculatedFields);
        solars.setCalcFieldsCallback(TableSolarsCalcFields);
        sales.setCalculatedFields(saleSolarsTable().calculatedFields);
        sales.setCalcFieldsCallback(TableSaleSolarsCalcFields);
        return database.connectDirectory(directory) && money.open() && solars.open() &&
               salesCalc.open() && sales.open() && sales.setIndexName(QStringLiteral("_PARAGON"));
    }
};

void BM_SaleEngine(benchmark::State &state)
{
    const bool protectedTables = state.range(1) != 0;
    const QString directory =
        workCopy(state, state.range(0), QStringLiteral("sale-engine"), protectedTables);
    Console console;
    if (directory.isEmpty() || !console.open(directory)) {
        state.SkipWithError("open failed");
        return;
    }
    int unit = 0;
    for (auto _ : state) {
        unit = unit % 8 + 1;
        console.sales.disableControls();
        console.solars.disableControls();
        console.sales.setAutoCalcFields(false);
        console.salesCalc.refresh();
        console.salesCalc.last();
        const int number = console.salesCalc.value(QStringLiteral("PARAGON")).toInt() + 1;
        const bool done =
            console.database.startTransaction() &&
            console.sales.append({number, QDate::currentDate(), QTime::currentTime(), unit, false,
                                  21, 12.5, 10, 600, QStringLiteral("Administrator")}) &&
            console.solars.locate(QStringLiteral("SOLAR"), unit) && console.solars.edit() &&
            console.solars.setValue(QStringLiteral("COUNTER"),
                                    console.solars.value(QStringLiteral("COUNTER")).toInt() +
                                        600) &&
            console.solars.setValue(
                QStringLiteral("STARTUP"),
                console.solars.value(QStringLiteral("STARTUP")).toInt() % 30000 + 1) &&
            console.solars.post() && console.money.edit() &&
            console.money.setValue(QStringLiteral("MONEY"),
                                   console.money.value(QStringLiteral("MONEY")).toDouble() +
                                       113.0) &&
            console.money.post() && console.database.commit();
        console.sales.setAutoCalcFields(true);
        console.solars.enableControls();
        console.sales.enableControls();
        if (!done) {
            state.SkipWithError(Engine::lastError().message.toLocal8Bit().constData());
            return;
        }
    }
}

void BM_CountSum(benchmark::State &state)
{
    const bool allPeriods = state.range(1) != 0;
    const QString directory = installationOrSkip(state, state.range(0), state.range(2) != 0);
    Console console;
    if (directory.isEmpty() || !console.open(directory)) {
        state.SkipWithError("open failed");
        return;
    }
    if (!allPeriods) {
        console.sales.setFilter({{QStringLiteral("DATE"), FilterCondition::GreaterOrEqual, OneDay},
                                 {QStringLiteral("DATE"), FilterCondition::LessOrEqual, OneDay}});
        console.sales.setFiltered(true);
    }
    qint64 count = 0;
    double sum = 0;
    // The first one after opening reads (and deciphers) every page; the others find most in the
    // page cache.
    const auto started = std::chrono::steady_clock::now();
    console.sales.countAndSum(QStringLiteral("PRICE_TOTAL"), &count, &sum);
    state.counters["first_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    for (auto _ : state) {
        if (!console.sales.countAndSum(QStringLiteral("PRICE_TOTAL"), &count, &sum)) {
            state.SkipWithError(Engine::lastError().message.toLocal8Bit().constData());
            return;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["records"] = double(count);
    state.counters["sum"] = sum;
}

// The sales browser's and the statistics' way: walk the filtered receipts one by one in the
// "_PARAGON" order: one day, one month, or the first 20000 of all periods.
void BM_Walk(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    Console console;
    if (directory.isEmpty() || !console.open(directory)) {
        state.SkipWithError("open failed");
        return;
    }
    const int days = int(state.range(1));
    if (days > 0) {
        console.sales.setFilter(
            {{QStringLiteral("DATE"), FilterCondition::GreaterOrEqual, OneDay},
             {QStringLiteral("DATE"), FilterCondition::LessOrEqual, OneDay.addDays(days - 1)}});
        console.sales.setFiltered(true);
    }
    double sum = 0;
    qint64 count = 0;
    for (auto _ : state) {
        sum = 0;
        count = 0;
        for (console.sales.first(); !console.sales.eof() && count < 20000; console.sales.next()) {
            sum += console.sales.value(QStringLiteral("PRICE_TOTAL")).toDouble();
            ++count;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["records"] = double(count);
    state.counters["sum"] = sum;
}

// The same aggregate by the sqlite3 shell.
void BM_CountSumShell(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    if (directory.isEmpty())
        return;
    QByteArray output;
    for (auto _ : state) {
        if (!runShellOnReceipts(state, directory, plainSqlCountAndSum(), &output))
            return;
    }
    const QList<QByteArray> parts = output.trimmed().split('|');
    state.counters["records"] = parts.value(0).toDouble();
    state.counters["sum"] = parts.value(1).toDouble();
}

void BM_OpenLast(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    if (directory.isEmpty())
        return;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto console = std::make_unique<Console>();
        if (!console->open(directory) || !console->sales.last()) {
            state.SkipWithError("open failed");
            return;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        benchmark::DoNotOptimize(console->sales.value(QStringLiteral("PARAGON")));
    }
}

} // namespace

BENCHMARK(BM_SaleEngine)
    ->ArgsProduct({{100000}, {0, 1}})
    ->ArgNames({"receipts", "protected"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK(BM_SaleBareSqlite)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CountSum)
    ->ArgsProduct({{100000, 1000000}, {0, 1}, {0, 1}})
    ->ArgNames({"receipts", "allPeriods", "protected"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk)
    ->ArgsProduct({{1000000}, {1, 30, 0}})
    ->ArgNames({"receipts", "days"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountSumFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountSumShell)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OpenLast)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN_WITH_APPLICATION(QCoreApplication)
