#include "desk/solarruns.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "core/pricing.h"
#include "core/programvalues.h"
#include "core/solarsettings.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/salonrecords.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"

#include <QThread>
#include <QTimer>

namespace {

constexpr int TickMilliseconds = 1000;
// A tick that comes this much early still counts its second, so timer jitter never makes a run
// last a second longer.
constexpr qint64 EarlyTickTolerance = 100;
// A refused switch-off is tried this often, this far apart, before the operator is told.
constexpr int SwitchOffAttempts = 5;
constexpr int SwitchOffPauseMs = 200;

} // namespace

StopFigures stopFiguresOf(const Sale &sale)
{
    StopFigures figures;
    figures.unit = sale.unit;
    figures.discountedMinutePrice = discountedMinutePrice(sale.minutePrice, sale.discount);
    figures.stoppedEarly = sale.stoppedEarly;
    figures.usedSeconds = sale.seconds;
    figures.total = sale.total;
    return figures;
}

SolarRuns::SolarRuns(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk)
{
    for (int unit = 1; unit <= UnitCount; ++unit) {
        auto *timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("TimerSolar%1").arg(unit));
        timer->setInterval(TickMilliseconds);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, unit] { tick(unit); });
        m_units[unit - 1].timer = timer;
    }
}

void SolarRuns::keepRunsIn(const QString &runFile)
{
    m_runFile.setPath(runFile);
    announceRunFile(runFile);
}

void SolarRuns::loadOffers()
{
    Table &solars = m_desk.tableSolars();
    bool haveRecord = solars.first();
    for (UnitRun &run : m_units) {
        run.offer = UnitOffer();
        if (haveRecord) {
            const UnitRecord unit = UnitRecord::of(solars.record());
            run.offer.active = unit.active;
            run.offer.description = unit.description;
            run.offer.price = unit.price;
        }
        haveRecord = haveRecord && solars.next();
    }
}

bool SolarRuns::isCounting(int unit) const
{
    return m_units.at(unit - 1).timer->isActive();
}

void SolarRuns::command(int unit, const std::optional<StartInput> &typed)
{
    const bool bitSet = ReadPort(PortAddress(), 0) & unitMask(unit);
    // A countdown the program runs is stopped and recorded even when the bit was cleared
    // behind its back: the run happened and its sale must not be lost.
    if (bitSet || isCounting(unit))
        stop(unit);
    else
        start(unit, typed);
}

void SolarRuns::start(int unit, const std::optional<StartInput> &typed)
{
    UnitRun &run = m_units[unit - 1];
    if (!run.offer.active)
        return;
    const std::optional<StartInput> input =
        m_settings->useDialogs() ? m_questions->askStart(unit) : typed;
    if (!input)
        return;
    m_runFile.keep(startedRecord(unit, *input), FileSync::ToDisk);
    if (!switchUnit(unit, true)) {
        m_runFile.forget(unit);
        refusedStart(unit);
        return;
    }
    run.discount = input->discount.toInt();
    run.totalSeconds = runSeconds(input->minutes, input->seconds);
    run.remainingSeconds = run.totalSeconds;
    runCountdown(unit);
    emit runStarted(unit, *input, run.totalSeconds);
}

void SolarRuns::runCountdown(int unit)
{
    UnitRun &run = m_units[unit - 1];
    run.deadlineTick = programClock().tickCount() + qint64(run.remainingSeconds) * TickMilliseconds;
    run.timer->start();
    announcePaidRun(unit, qint64(run.remainingSeconds) * TickMilliseconds);
}

void SolarRuns::catchUp(int unit)
{
    UnitRun &run = m_units[unit - 1];
    const qint64 left = run.deadlineTick - programClock().tickCount() - EarlyTickTolerance;
    const int remaining = left <= 0 ? 0 : int((left + TickMilliseconds - 1) / TickMilliseconds);
    run.remainingSeconds = qMin(run.remainingSeconds, remaining);
}

void SolarRuns::tick(int unit)
{
    UnitRun &run = m_units[unit - 1];
    if (!run.timer->isActive())
        return; // a tick already queued when the run stopped
    if (run.stuck) {
        tryOffAgain(unit);
        return;
    }
    catchUp(unit);
    emit remainingChanged(unit, run.remainingSeconds, run.totalSeconds - run.remainingSeconds);
    if (run.remainingSeconds <= 0) {
        run.timer->stop();
        stop(unit);
    }
}

void SolarRuns::stop(int unit)
{
    UnitRun &run = m_units[unit - 1];
    if (run.stuck) {
        if (m_questions->confirmSwitchedOff(unit))
            recordStuckRun(unit);
        return;
    }
    // The figures are gathered now: another unit's stop may be asked about on top of this one.
    const Sale sale = stoppedRun(unit);
    keepStopped(unit, sale.seconds);
    const bool off = switchUnitOffPersistently(unit); // off at once, before any question
    run.timer->stop();
    if (!off) {
        holdUntilOff(unit, sale);
        return;
    }
    emit runHalted(unit);

    const StopAnswer answer = m_questions->askStop(stopFiguresOf(sale));
    if (answer == StopAnswer::Continue) {
        keepResumed(unit, sale.seconds);
        if (!switchUnit(unit, true)) {
            // The run cannot go on: what was used is recorded.
            refusedStart(unit);
            record(sale, false);
            return;
        }
        runCountdown(unit);
        emit runResumed(unit);
        return;
    }
    record(sale, answer == StopAnswer::Print);
}

void SolarRuns::refusedStart(int unit)
{
    m_desk.eventLog().AddLog(QStringLiteral("Solárko [%1]: port nepřijal zapnutí").arg(unit));
    m_desk.report().warn(QStringLiteral("Solárko %1 nelze zapnout...").arg(unit),
                         QStringLiteral("Port nepřijal zápis, solárko neběží a nic se "
                                        "neúčtuje. Zkontrolujte připojení reléové desky..."));
}

void SolarRuns::holdUntilOff(int unit, const Sale &sale)
{
    UnitRun &run = m_units[unit - 1];
    run.stuck = sale;
    run.stuckTick = programClock().tickCount();
    run.timer->start(); // each tick tries the switch-off again
    emit runStuck(unit);
    m_desk.eventLog().AddLog(
        QStringLiteral("Solárko [%1]: port nepřijal vypnutí, solárko může stále běžet").arg(unit));
    m_desk.report().warn(
        QStringLiteral("Solárko %1 nelze vypnout...").arg(unit),
        QStringLiteral("Vypněte solárko %1 jeho vlastním vypínačem. Prodej se zapíše, jakmile "
                       "bude solárko vypnuté...")
            .arg(unit));
}

void SolarRuns::tryOffAgain(int unit)
{
    if (switchUnit(unit, false))
        recordStuckRun(unit);
}

void SolarRuns::recordStuckRun(int unit)
{
    UnitRun &run = m_units[unit - 1];
    if (!run.stuck)
        return;
    Sale sale = *std::exchange(run.stuck, std::nullopt);
    run.timer->stop();
    // The bed ran until now, and never longer than was paid.
    const qint64 onAfterStop = (programClock().tickCount() - run.stuckTick) / TickMilliseconds;
    sale.seconds = int(qMin<qint64>(run.totalSeconds, sale.seconds + onAfterStop));
    sale.stoppedEarly = sale.seconds < run.totalSeconds;
    sale.total =
        stopPriceTotal(discountedMinutePrice(sale.minutePrice, sale.discount), sale.seconds);
    m_desk.eventLog().AddLog(QStringLiteral("Solárko [%1]: vypnuto po %2")
                                 .arg(unit)
                                 .arg(CzechFormat::period(sale.seconds)));
    emit runHalted(unit);
    record(sale, false);
}

Sale SolarRuns::stoppedRun(int unit) const
{
    const UnitRun &run = m_units.at(unit - 1);
    Sale sale;
    sale.unit = unit;
    sale.discount = run.discount;
    sale.minutePrice = run.offer.price;
    sale.stoppedEarly = run.remainingSeconds != 0;
    sale.seconds = run.totalSeconds - run.remainingSeconds;
    sale.total =
        stopPriceTotal(discountedMinutePrice(sale.minutePrice, sale.discount), sale.seconds);
    return sale;
}

void SolarRuns::record(Sale sale, bool print)
{
    UnitRun &run = m_units[sale.unit - 1];
    announceFreeUnit(sale.unit);
    emit runEnded(sale.unit);
    sale.keepReceipt = print || m_settings->recordAllReceipts();
    sale.taxRate = m_settings->taxRate();
    run.totalSeconds = 0;
    run.remainingSeconds = 0;
    run.discount = 0;
    const bool stored = m_desk.saleRecorder().SaleSolarTransaction(sale);
    // Stored, its counters show it to the next start; refused, it was reported and logged.
    m_runFile.forget(sale.unit);
    if (stored && print && m_printReceipt)
        m_printReceipt();
}

RunRecord SolarRuns::startedRecord(int unit, const StartInput &input) const
{
    RunRecord record;
    record.unit = unit;
    record.startedMs = programClock().now().toMSecsSinceEpoch();
    record.paidSeconds = runSeconds(input.minutes, input.seconds);
    record.minutePrice = m_units.at(unit - 1).offer.price;
    record.discount = input.discount.toInt();
    record.user = Program().CurrentUser;
    Table &solars = m_desk.tableSolars();
    if (locateUnit(solars, unit)) {
        const UnitRecord before = UnitRecord::of(solars.record());
        record.startupsBefore = before.startup;
        record.counterBefore = before.counter;
    }
    return record;
}

void SolarRuns::keepResumed(int unit, int usedSeconds)
{
    std::optional<RunRecord> record = m_runFile.record(unit);
    if (!record)
        return;
    record->startedMs = programClock().now().toMSecsSinceEpoch();
    record->usedBefore = usedSeconds;
    record->stoppedAt.reset();
    m_runFile.keep(*record, FileSync::ToDisk);
}

void SolarRuns::keepStopped(int unit, int usedSeconds)
{
    std::optional<RunRecord> record = m_runFile.record(unit);
    if (!record)
        return;
    record->stoppedAt = usedSeconds;
    m_runFile.keep(*record, FileSync::ToCache);
}

void SolarRuns::recordAllRunning()
{
    for (int unit = 1; unit <= UnitCount; ++unit) {
        if (!isCounting(unit))
            continue;
        if (m_units[unit - 1].stuck) {
            recordStuckRun(unit);
            continue;
        }
        // The register is 0 already: only the run's state and its sale remain.
        m_units[unit - 1].timer->stop();
        emit runHalted(unit);
        record(stoppedRun(unit), false);
    }
}

bool SolarRuns::switchUnit(int unit, bool on)
{
    const quint32 value = on ? switchUnitOn(unit) : switchUnitOff(unit);
    emit portRegisterChanged(value);
    return bool(value & unitMask(unit)) == on;
}

bool SolarRuns::switchUnitOffPersistently(int unit)
{
    for (int attempt = 1;; ++attempt) {
        if (switchUnit(unit, false))
            return true;
        if (attempt == SwitchOffAttempts)
            return false;
        QThread::msleep(SwitchOffPauseMs);
    }
}
