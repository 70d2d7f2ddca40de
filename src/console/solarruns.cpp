// The runs of the sun beds: start, countdown, stop, pricing and the sale.
#include "console/formvelmora.h"

#include "console/runinput.h"
#include "console/solarrow.h"
#include "core/czechformat.h"
#include "core/pricing.h"
#include "core/programvalues.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"
#include "core/solarsettings.h"
#include "users/access.h"
#include "users/formuser.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>

#include <cstring>

namespace {

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

} // namespace

void TFormVelmora::setRunDialogs(RunDialogs *dialogs)
{
    m_runDialogs = dialogs ? dialogs : &m_windowRunDialogs;
}

bool TFormVelmora::isCounting(int unit) const
{
    return m_units.at(unit - 1).timer && m_units.at(unit - 1).timer->isActive();
}

void TFormVelmora::MenuItemSolarClick(int unit)
{
    // Function keys reach the menu's items even while the menu is disabled: check the right here.
    if (!allowed(RightSolars))
        return;
    if (m_panelSolars->isVisible())
        m_panelSolars->setFocus();
    const bool bitSet = ReadPort(PortAddress(), 0) & unitMask(unit);
    // A countdown the program runs is stopped and recorded even when the bit was cleared
    // behind its back: the run happened and its sale must not be lost.
    if (bitSet || isCounting(unit))
        stopUnit(unit);
    else
        startUnit(unit);
}

void TFormVelmora::startUnit(int unit)
{
    SolarRow *row = m_rows.at(unit - 1);
    if (!row->active())
        return;
    if (solarSettings().useDialogs()) {
        const std::optional<StartInput> input = m_runDialogs->askStart(unit, solarSettings(), this);
        if (!input)
            return;
        switchUnit(unit, true);
        row->setRunInput(input->minutes, input->seconds, input->discount);
        beginCountdown(unit, input->minutes, input->seconds);
        return;
    }
    if (!row->inputValid())
        return; // direct input: only a complete run can start
    switchUnit(unit, true);
    beginCountdown(unit, row->minutesText(), row->secondsText());
}

void TFormVelmora::beginCountdown(int unit, const QString &minutes, const QString &seconds)
{
    UnitRun &run = m_units[unit - 1];
    SolarRow *row = m_rows.at(unit - 1);
    run.totalSeconds = runSeconds(minutes, seconds);
    run.remainingSeconds = run.totalSeconds;
    row->setRemainingText(minutes + QLatin1Char(':') + seconds); // 00:99 stays as typed
    row->startGauge(run.totalSeconds);
    run.timer->start();
    SetStop(unit);
}

void TFormVelmora::TimerSolarTimer(int unit)
{
    UnitRun &run = m_units[unit - 1];
    run.remainingSeconds -= 1;
    m_rows.at(unit - 1)->setRemainingText(CzechFormat::period(run.remainingSeconds));
    m_rows.at(unit - 1)->stepGauge();
    if (run.remainingSeconds <= 0) {
        run.timer->stop();
        stopUnit(unit);
    }
}

void TFormVelmora::stopUnit(int unit)
{
    UnitRun &run = m_units[unit - 1];
    switchUnit(unit, false); // off at once, before any dialog
    run.timer->stop();
    SetStart(unit);

    // The figures are gathered now: another unit's dialog may open on top of this one.
    const Sale sale = stoppedRun(unit);
    const TFormStop::Result answer = m_runDialogs->askStop(stopFiguresOf(sale), this);
    if (answer == TFormStop::Continue) {
        switchUnit(unit, true);
        run.timer->start();
        SetStop(unit);
        return;
    }
    recordRun(sale, answer == TFormStop::Print);
}

Sale TFormVelmora::stoppedRun(int unit) const
{
    const UnitRun &run = m_units.at(unit - 1);
    const SolarRow *row = m_rows.at(unit - 1);
    Sale sale;
    sale.unit = unit;
    sale.discount = row->discountText().toInt();
    sale.minutePrice = row->price();
    sale.stoppedEarly = run.remainingSeconds != 0;
    sale.seconds = run.totalSeconds - run.remainingSeconds;
    sale.total =
        stopPriceTotal(discountedMinutePrice(sale.minutePrice, sale.discount), sale.seconds);
    return sale;
}

void TFormVelmora::recordRun(Sale sale, bool print)
{
    UnitRun &run = m_units[sale.unit - 1];
    m_rows.at(sale.unit - 1)->resetInputs();
    sale.keepReceipt = print || solarSettings().recordAllReceipts();
    sale.taxRate = solarSettings().taxRate();
    run.totalSeconds = 0;
    run.remainingSeconds = 0;
    if (m_saleRecorder.SaleSolarTransaction(sale) && print && m_printReceipt)
        m_printReceipt();
}

void TFormVelmora::endOnRequest(int signalNumber)
{
    if (m_endSignal != 0)
        return;
    m_endSignal = signalNumber;
    // Every event loop ends, and none starts again: an open dialog's exec() returns as cancelled
    // (an open stop dialog as "Zavřít", which records its run on the way out), and a failing
    // sale's message does not wait for an answer that nobody gives.
    QCoreApplication::exit(128 + signalNumber);
    for (int unit = 1; unit <= UnitCount; ++unit) {
        if (!isCounting(unit))
            continue;
        // The register is 0 already: only the run's state and its sale remain.
        m_units[unit - 1].timer->stop();
        SetStart(unit);
        recordRun(stoppedRun(unit), false);
    }
    // Logged once the loops have unwound, after the sales of the stop dialogs that were open.
    connect(
        qApp, &QCoreApplication::aboutToQuit, this,
        [this] {
            const QString name = QStringLiteral("SIG") + QLatin1String(sigabbrev_np(m_endSignal));
            m_eventLog.AddLog(QStringLiteral("Ukončení programu signálem %1: [%2]")
                                  .arg(name, Program().CurrentUser));
        },
        Qt::SingleShotConnection);
}

void TFormVelmora::switchUnit(int unit, bool on)
{
    updateSetupSolarItem(on ? switchUnitOn(unit) : switchUnitOff(unit));
}

void TFormVelmora::updateSetupSolarItem(quint32 portRegister)
{
    m_menuItemSetupSolar->setEnabled(portRegister == 0 &&
                                     !m_pendingItems.contains(m_menuItemSetupSolar));
}

void TFormVelmora::SetStart(int unit)
{
    m_rows.at(unit - 1)->setReadyLook();
    m_menuItemsSolar.at(unit - 1)->setText(QStringLiteral("Solárko %1 [Start]").arg(unit));
}

void TFormVelmora::SetStop(int unit)
{
    m_rows.at(unit - 1)->setRunningLook();
    m_menuItemsSolar.at(unit - 1)->setText(QStringLiteral("Solárko %1 [Stop]").arg(unit));
}
