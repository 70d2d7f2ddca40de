#pragma once

#include <QString>

#include <benchmark/benchmark.h>

// Shared by the benchmark programs.

// A cached generated installation of count receipts; skips the benchmark when it cannot be had.
QString installationOrSkip(benchmark::State &state, qint64 count);
// The same installation with its three tables protected, cached beside it; registers the
// benchmarks' table password.
QString protectedInstallationOrSkip(benchmark::State &state, qint64 count);
QString installationOrSkip(benchmark::State &state, qint64 count, bool protectedTables);
// A private copy of a cached installation for benchmarks that write.
QString workCopy(benchmark::State &state, qint64 count, const QString &name,
                 bool protectedTables = false);

// One durable sale as a bare three-file SQLite transaction: the receipt, the unit's counters and
// the balance written by prepared statements on one connection. The yardstick of the desk's sale.
void BM_SaleBareSqlite(benchmark::State &state);
// The floor of any count and sum over all receipts: the plainest aggregate, prepared once and run
// in-process on the table's file, without the engine or the calculated price.
void BM_CountSumFloor(benchmark::State &state);

// The sqlite3 shell run read-only on the receipts' file of the directory, process start included,
// as a user would run it; false after skipping the benchmark when it fails.
bool runShellOnReceipts(benchmark::State &state, const QString &directory, const QString &sql,
                        QByteArray *output);

// main() of a benchmark program that needs a Qt application object of the given class.
#define BENCHMARK_MAIN_WITH_APPLICATION(Application)                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        Application app(argc, argv);                                                               \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
