#pragma once

#include "portio/portbackendchoice.h"

#include <QHash>
#include <QList>
#include <QSet>

// The desk's side of its port watchdog: a separate small process (velmora-watchdog, beside the
// program file) that holds the other end of a pipe. When the pipe closes without the word "end"
// (the desk died by any cause: SIGKILL, an out-of-memory kill, a crash), the watchdog writes 0
// to every register the desk announced, through the same back end, and exits; after "end" it
// exits without touching the port.
//
// It also holds each running unit's paid end: when the desk stops beating (hung, or stopped by
// SIGSTOP), the watchdog switches off each unit left on past its paid time, and ends a hung desk
// that holds a parport it must reach (watchdogwire.h).
//
// The watchdog opens the port only when it must act, so it never holds a parport claim while
// the desk runs (it retries the claim until the kernel has released the desk's). It runs in a
// session of its own and ignores SIGINT, SIGHUP, SIGTERM and SIGQUIT, so that what ends the
// desk's terminal, group or session does not end it before it has acted. Its death is seen on
// hangUpDescriptor(), which reads end of file once it has gone.
class PortWatchdog
{
public:
    PortWatchdog() = default;
    ~PortWatchdog(); // closes the pipe without "end": the watchdog switches off
    PortWatchdog(const PortWatchdog &) = delete;
    PortWatchdog &operator=(const PortWatchdog &) = delete;

    // Starts the watchdog for the back end; false, with a warning, when it cannot be started.
    bool start(PortBackendKind kind);
    // A new watchdog in place of one that has gone, told every register and run of the old one.
    bool restart();
    bool isRunning() const { return m_pipe >= 0; }
    int hangUpDescriptor() const { return m_hangUp; }

    // Announces a register before the desk first writes it; later calls for it do nothing.
    void watch(quint32 port);
    void beat();
    // A unit's run, paid for remainingMs from now; free when it has stopped.
    void paid(quint32 port, int unit, qint64 remainingMs);
    void free(quint32 port, int unit);
    // Where the watchdog stamps the units at port it switches off on its own.
    void runFile(quint32 port, const QString &path);
    // The desk ends normally (its registers are 0 already): "end", and the pipe closes.
    void endNormally();

private:
    struct Run
    {
        quint32 port;
        int unit;
        qint64 endTick; // the system clock's tick count
    };

    bool spawn();
    bool send(const QByteArray &word);
    void close();

    PortBackendKind m_kind = PortBackendKind::Simulator;
    int m_pipe = -1;
    int m_hangUp = -1;
    QSet<quint32> m_watched;
    QList<Run> m_runs;
    QHash<quint32, QString> m_runFiles;
};
