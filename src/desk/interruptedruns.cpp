#include "desk/interruptedruns.h"

#include "core/czechformat.h"
#include "core/pricing.h"
#include "core/solarsettings.h"
#include "desk/desk.h"
#include "desk/runfile.h"
#include "desk/salonrecords.h"

#include <QFile>

namespace {

// A sale of the unit committed after the run began has raised its counters.
bool storedBeforeTheDeath(Table &solars, const RunRecord &run)
{
    if (!locateUnit(solars, run.unit))
        return false;
    const UnitRecord now = UnitRecord::of(solars.record());
    return now.startup > run.startupsBefore || now.counter > run.counterBefore;
}

InterruptedRun::Ending endingOf(const RunRecord &run)
{
    if (run.stoppedAt)
        return InterruptedRun::Ending::Stopped;
    if (run.switchedOffMs)
        return InterruptedRun::Ending::SwitchedOff;
    return InterruptedRun::Ending::PaidEnd;
}

Sale saleOf(const RunRecord &run, const SolarSettings &settings)
{
    Sale sale;
    sale.unit = run.unit;
    sale.seconds = run.usedSeconds();
    sale.stoppedEarly = sale.seconds < run.paidSeconds;
    sale.minutePrice = run.minutePrice;
    sale.discount = run.discount;
    sale.total = stopPriceTotal(discountedMinutePrice(run.minutePrice, run.discount), sale.seconds);
    sale.taxRate = settings.taxRate();
    sale.keepReceipt = settings.recordAllReceipts();
    sale.user = run.user;
    return sale;
}

QString endingText(InterruptedRun::Ending ending)
{
    switch (ending) {
    case InterruptedRun::Ending::Stopped:
        return QStringLiteral("zastaveno obsluhou");
    case InterruptedRun::Ending::SwitchedOff:
        return QStringLiteral("vypnuto hlídačem portu");
    case InterruptedRun::Ending::PaidEnd:
        break;
    }
    return QStringLiteral("celý zaplacený čas");
}

} // namespace

QString describeInterruptedRun(const InterruptedRun &run)
{
    return QStringLiteral("Solárko %1: %2, %3 (%4)")
        .arg(run.sale.unit)
        .arg(CzechFormat::period(run.sale.seconds), CzechFormat::money(run.sale.total),
             endingText(run.ending));
}

QList<InterruptedRun> bookInterruptedRuns(Desk &desk, const QString &runFile,
                                          const SolarSettings &settings)
{
    QList<InterruptedRun> booked;
    QList<RunRecord> unstored;
    for (const RunRecord &run : RunFile::read(runFile)) {
        if (storedBeforeTheDeath(desk.tableSolars(), run))
            continue;
        if (run.neverOn()) {
            desk.eventLog().AddLog(
                QStringLiteral("Přerušený běh solárka [%1] nezaúčtován: solárko se nezapnulo")
                    .arg(run.unit));
            continue;
        }
        const InterruptedRun interrupted{saleOf(run, settings), endingOf(run)};
        if (!desk.saleRecorder().SaleSolarTransaction(interrupted.sale)) {
            unstored.append(run);
            continue;
        }
        desk.eventLog().AddLog(QStringLiteral("Přerušený běh zaúčtován: ") +
                               describeInterruptedRun(interrupted));
        booked.append(interrupted);
    }
    if (unstored.isEmpty()) {
        QFile::remove(runFile);
    } else {
        const FileResult kept =
            writeFileAtomically(runFile, RunFile::encode(unstored), FileAccess::OwnerOnly);
        if (!kept.ok())
            qWarning("Soubor běžících solárek nelze zapsat: %s", qPrintable(kept.message));
    }
    return booked;
}
