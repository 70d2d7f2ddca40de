#include "desk/solarruns.h"

#include "core/clock.h"
#include "core/pricing.h"
#include "core/solarsettings.h"
#include "desk/desk.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"

#include <QTimer>

namespace {

constexpr int TickMilliseconds = 1000;
// A tick that comes this much early still counts its second, so timer jitter never makes a run
// last a second longer.
constexpr qint64 EarlyTickTolerance = 100;

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

void SolarRuns::loadOffers()
{
    Table &solars = m_desk.tableSolars();
    bool haveRecord = solars.first();
    for (UnitRun &run : m_units) {
        run.offer = UnitOffer();
        if (haveRecord) {
            run.offer.active = solars.value(QStringLiteral("ACTIVE")).toBool();
            run.offer.description = solars.value(QStringLiteral("DESCRIPTION")).toString();
            run.offer.price = solars.value(QStringLiteral("PRICE")).toDouble();
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
    switchUnit(unit, true);
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
    switchUnit(unit, false); // off at once, before any question
    run.timer->stop();
    emit runHalted(unit);

    // The figures are gathered now: another unit's stop may be asked about on top of this one.
    const Sale sale = stoppedRun(unit);
    const StopAnswer answer = m_questions->askStop(stopFiguresOf(sale));
    if (answer == StopAnswer::Continue) {
        switchUnit(unit, true);
        runCountdown(unit);
        emit runResumed(unit);
        return;
    }
    record(sale, answer == StopAnswer::Print);
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
    emit runEnded(sale.unit);
    sale.keepReceipt = print || m_settings->recordAllReceipts();
    sale.taxRate = m_settings->taxRate();
    run.totalSeconds = 0;
    run.remainingSeconds = 0;
    run.discount = 0;
    if (m_desk.saleRecorder().SaleSolarTransaction(sale) && print && m_printReceipt)
        m_printReceipt();
}

void SolarRuns::recordAllRunning()
{
    for (int unit = 1; unit <= UnitCount; ++unit) {
        if (!isCounting(unit))
            continue;
        // The register is 0 already: only the run's state and its sale remain.
        m_units[unit - 1].timer->stop();
        emit runHalted(unit);
        record(stoppedRun(unit), false);
    }
}

void SolarRuns::switchUnit(int unit, bool on)
{
    emit portRegisterChanged(on ? switchUnitOn(unit) : switchUnitOff(unit));
}
