#pragma once

#include <QString>

// Fills a fresh installation with generated receipts for benchmarks and trials: count receipts
// over five years (2021 to 2025, numbered in time order), 8 units with prices that rise now and
// then, discounts, early stops, five users; the units' counters and the cash balance match the
// receipts. One transaction with a prepared statement; the secondary indexes are dropped for the
// load and rebuilt from their own definitions afterwards.
bool generateInstallation(const QString &directory, qint64 count, QString *error);

// A cached installation of count receipts under $VELMORA_BENCH_DIR (default: the temporary
// folder's "velmora-bench"), generated on first use; empty with *error set on failure.
QString cachedInstallation(qint64 count, QString *error);

// The aggregate of all receipts in plain SQL, for the sqlite3 shell, which lacks PRICE_TOTAL.
QString plainSqlCountAndSum();
