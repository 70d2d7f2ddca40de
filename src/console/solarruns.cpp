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
#include "settings/solarsettings.h"
#include "users/access.h"
#include "users/formuser.h"

#include <QAction>
#include <QTimer>

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
    const bool bitSet = ReadPort(PortAddress(), 0) & UnitMask(unit);
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
    SolarRow *row = m_rows.at(unit - 1);
    switchUnit(unit, false); // off at once, before any dialog
    run.timer->stop();
    SetStart(unit);

    // The figures are gathered now: another unit's dialog may open on top of this one.
    const int discount = row->discountText().toInt();
    const double price = row->price();
    StopFigures figures;
    figures.unit = unit;
    figures.discountedMinutePrice = DiscountedMinutePrice(price, discount);
    figures.stoppedEarly = run.remainingSeconds != 0;
    figures.usedSeconds = run.totalSeconds - run.remainingSeconds;
    figures.total = RoundPrice(figures.discountedMinutePrice * (figures.usedSeconds / 60.0));

    const TFormStop::Result answer = m_runDialogs->askStop(figures, this);
    if (answer == TFormStop::Continue) {
        switchUnit(unit, true);
        run.timer->start();
        SetStop(unit);
        return;
    }
    const bool print = answer == TFormStop::Print;
    row->resetInputs();
    Sale sale;
    sale.unit = unit;
    sale.stoppedEarly = figures.stoppedEarly;
    sale.keepReceipt = print || solarSettings().recordAllReceipts();
    sale.total = figures.total;
    sale.seconds = figures.usedSeconds;
    sale.discount = discount;
    sale.minutePrice = price;
    sale.taxRate = solarSettings().taxRate();
    run.totalSeconds = 0;
    run.remainingSeconds = 0;
    if (m_saleRecorder.SaleSolarTransaction(sale) && print && m_printReceipt)
        m_printReceipt();
}

void TFormVelmora::switchUnit(int unit, bool on)
{
    updateSetupSolarItem(on ? SwitchUnitOn(unit) : SwitchUnitOff(unit));
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
