#pragma once

#include "desk/saletransaction.h"

#include <QList>
#include <QString>

class Desk;
class SolarSettings;

// A run that a death of the desk cut short, booked at the next start.
struct InterruptedRun
{
    Sale sale;
    enum class Ending { Stopped, SwitchedOff, PaidEnd } ending = Ending::PaidEnd;
};

// Books each run the run file still holds as "Zavřít" books a run (no receipt printed), unless
// its sale was stored before the death (the unit's counters show it), each with a log line; the
// runs that could not be stored (reported as any failed sale) stay in the file for the next
// start. Gives the booked ones. The tables are open.
QList<InterruptedRun> bookInterruptedRuns(Desk &desk, const QString &runFile,
                                          const SolarSettings &settings);

// "Solárko 2: 12:30, 125,00 Kč (vypnuto hlídačem portu)"
QString describeInterruptedRun(const InterruptedRun &run);
