#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// What the desk tells its port watchdog through the pipe between them, one word a line:
//   "port 0378"         before its first write to that register
//   "beat"              every second while the desk's event loop runs
//   "paid 0378 2 5000"  unit 2 at 0378 runs, paid for 5000 ms from now (at a start or a
//                       "Pokračovat")
//   "free 0378 2"       unit 2's run has stopped
//   "runs 0378 PATH"    the desk's run file for the units at 0378, where the watchdog stamps
//                       the units it switches off (runstamps.h)
//   "end"               the desk ends normally
namespace WatchdogWire {

QByteArray portWord(quint32 port);
QByteArray beatWord();
QByteArray paidWord(quint32 port, int unit, qint64 remainingMs);
QByteArray freeWord(quint32 port, int unit);
QByteArray runsWord(quint32 port, const QString &runFile);
QByteArray endWord();

// A hung desk: no beat for this long...
constexpr qint64 SilenceMs = 3000;
// ...and a run whose paid end is this far past goes off without the desk.
constexpr qint64 OverrunMs = 5000;

struct PaidRun
{
    quint32 port = 0;
    int unit = 0;
    qint64 endMs = 0; // on the watchdog's monotonic clock
};

// The words as they arrive, in pieces of any size, each taken at the watchdog's clock time of
// its arrival. Lines that are no word are passed over.
class Orders
{
public:
    explicit Orders(qint64 startMs = 0) : m_lastBeatMs(startMs) {}

    void feed(const QByteArray &bytes, qint64 nowMs = 0);

    // What to switch off once the pipe has closed: every announced register, none after "end".
    QList<quint32> registersToSwitchOff() const;

    // The runs a silent desk has left on past their paid time; none while it beats.
    QList<PaidRun> overdueRuns(qint64 nowMs) const;
    void forgetRun(quint32 port, int unit);
    // The bits of the units at port with a paid run.
    quint32 paidUnits(quint32 port) const;
    qint64 silentFor(qint64 nowMs) const { return nowMs - m_lastBeatMs; }
    // Empty while the desk has named none.
    QString runFile(quint32 port) const { return m_runFiles.value(port); }

private:
    void take(const QByteArray &line, qint64 nowMs);

    QByteArray m_partial;
    QList<quint32> m_registers;
    QList<PaidRun> m_runs;
    QHash<quint32, QString> m_runFiles;
    qint64 m_lastBeatMs;
    bool m_ended = false;
};

} // namespace WatchdogWire
