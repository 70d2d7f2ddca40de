#pragma once

#include "portio/portbackendchoice.h"

#include <QSet>

// The desk's side of its port watchdog: a separate small process (velmora-watchdog, beside the
// program file) that holds the other end of a pipe. When the pipe closes without the word "end"
// (the desk died by any cause: SIGKILL, an out-of-memory kill, a crash), the watchdog writes 0
// to every register the desk announced, through the same back end, and exits; after "end" it
// exits without touching the port.
//
// The watchdog opens the port only after the desk has gone, so it never holds a parport claim
// while the desk runs (it retries the claim until the kernel has released the desk's). It runs
// in a session of its own and ignores SIGINT, SIGHUP, SIGTERM and SIGQUIT, so that what ends
// the desk's terminal, group or session does not end it before it has acted.
class PortWatchdog
{
public:
    PortWatchdog() = default;
    ~PortWatchdog(); // closes the pipe without "end": the watchdog switches off
    PortWatchdog(const PortWatchdog &) = delete;
    PortWatchdog &operator=(const PortWatchdog &) = delete;

    // Starts the watchdog for the back end; false, with a warning, when it cannot be started.
    bool start(PortBackendKind kind);
    // Announces a register before the desk first writes it; later calls for it do nothing.
    void watch(quint32 port);
    // The desk ends normally (its registers are 0 already): "end", and the pipe closes.
    void endNormally();

private:
    void send(const QByteArray &word);
    void close();

    int m_pipe = -1;
    QSet<quint32> m_watched;
};
