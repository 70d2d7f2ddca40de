#pragma once

#include "desk/deskreport.h"
#include "fakes/fakesolarsettings.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// Shared by the benchmarks that run the desk.

// Where a desk benchmark works: the settings, the simulated port and the event log in a folder
// of its own, the receipts in the given directory; everything put back when it goes.
class SalePlace
{
public:
    explicit SalePlace(const QString &directory);
    ~SalePlace();
    SalePlace(const SalePlace &) = delete;
    SalePlace &operator=(const SalePlace &) = delete;

private:
    QTemporaryDir m_place;
    QString m_previousDirectory;
};

// The desk's failures would show nowhere: a benchmark that meets one stops.
class SkippingReport : public DeskReport
{
public:
    explicit SkippingReport(benchmark::State &state) : m_state(state) {}
    void warn(const QString &caption, const QString &) override
    {
        m_state.SkipWithError(qPrintable(caption));
    }
    void databaseError() override { m_state.SkipWithError("database error"); }

private:
    benchmark::State &m_state;
};

// Every setting at its default, as a fresh installation has them: no discount but 0.
FakeSolarSettings defaultSettings();
