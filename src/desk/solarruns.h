#pragma once

#include "desk/runfile.h"
#include "desk/runinput.h"
#include "desk/saletransaction.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class Desk;
class QTimer;
class SolarSettings;

// What the solarium table offers for a unit.
struct UnitOffer
{
    bool active = false; // closed units take no runs
    QString description;
    double price = 0; // per minute, before the discount
};

// The runs of the sun beds: the start, the countdown, the stop with its figures and the sale.
// Each unit's bit of the port register is switched here; the console's rows follow the signals.
// The countdown follows the program's clock, so a run lasts what was paid even when the timer's
// ticks come late.
//
// Every switching is read back. A start the port refuses starts nothing. A stop it refuses
// leaves the run running and stopping: the operator is told to switch the bed off at its own
// switch, and the run is recorded, for the time the bed was on, once the register reads it off
// or the operator confirms it off.
class SolarRuns : public QObject
{
    Q_OBJECT

public:
    static constexpr int UnitCount = 8;

    explicit SolarRuns(Desk &desk, QObject *parent = nullptr);

    void setSettings(const SolarSettings *settings) { m_settings = settings; }
    void setQuestions(RunQuestions *questions) { m_questions = questions; }
    // Prints the receipt just stored; none until set.
    void setReceiptPrinter(std::function<void()> printer) { m_printReceipt = std::move(printer); }

    // Keeps each run in the file before its register is switched, so that the next start books
    // a run that a death of the desk cut short; the port watchdog stamps it there too.
    void keepRunsIn(const QString &runFile);

    // Reads every unit's offer from the solarium table, in record order; units beyond its
    // records stay closed.
    void loadOffers();
    const UnitOffer &offer(int unit) const { return m_units.at(unit - 1).offer; }

    // A unit's command: a stop when its bit is set or its countdown runs, otherwise a start. In
    // direct input the run is the one typed (none: nothing starts); otherwise it is asked for.
    void command(int unit, const std::optional<StartInput> &typed);
    // One tick of a unit's countdown timer: the remaining time as the clock has it now; at zero
    // the unit stops. A stop between ticks counts the time as of the last tick.
    void tick(int unit);
    // After the register went to 0 behind the runs' back (a request to end): each running
    // unit's used time is recorded as a closed stop records it.
    void recordAllRunning();

    bool isCounting(int unit) const;
    int remainingSeconds(int unit) const { return m_units.at(unit - 1).remainingSeconds; }

signals:
    void runStarted(int unit, const StartInput &input, int totalSeconds);
    void remainingChanged(int unit, int remainingSeconds, int usedSeconds);
    void runHalted(int unit);  // the bit is off; the stop is being decided
    void runResumed(int unit); // "Pokračovat": the same run goes on
    void runEnded(int unit);   // recorded: the unit is ready for the next run
    void runStuck(int unit);   // the port did not switch it off: the bed may still be on
    void portRegisterChanged(quint32 value);

private:
    struct UnitRun
    {
        UnitOffer offer;
        int discount = 0;
        int totalSeconds = 0;
        int remainingSeconds = 0;
        qint64 deadlineTick = 0; // the clock's tick count when the run ends
        QTimer *timer = nullptr;
        std::optional<Sale> stuck; // the stop the port refused, as it stood then
        qint64 stuckTick = 0;      // the clock's tick count of that stop
    };

    void start(int unit, const std::optional<StartInput> &typed);
    void stop(int unit);
    void runCountdown(int unit);
    // The remaining whole seconds as the clock has them; never more than before.
    void catchUp(int unit);
    // The run as it stands, priced as the stop shows it.
    Sale stoppedRun(int unit) const;
    void record(Sale sale, bool print);
    // True when the unit's bit reads as asked after the write.
    bool switchUnit(int unit, bool on);
    // A refused switch-off is tried again for about a second before it counts as failed.
    bool switchUnitOffPersistently(int unit);
    void refusedStart(int unit);
    void holdUntilOff(int unit, const Sale &sale);
    void tryOffAgain(int unit);
    void recordStuckRun(int unit);
    // The run as the run file keeps it as it starts, and as it goes on after "Pokračovat".
    RunRecord startedRecord(int unit, const StartInput &input) const;
    void keepResumed(int unit, int usedSeconds);
    void keepStopped(int unit, int usedSeconds);

    Desk &m_desk;
    const SolarSettings *m_settings = nullptr;
    RunQuestions *m_questions = nullptr;
    std::function<void()> m_printReceipt;
    std::array<UnitRun, UnitCount> m_units = {};
    RunFile m_runFile;
};

// The stop's figures of a priced sale.
StopFigures stopFiguresOf(const Sale &sale);
