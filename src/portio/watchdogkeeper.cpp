#include "portio/watchdogkeeper.h"

#include "portio/portwatchdog.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

WatchdogKeeper::WatchdogKeeper(PortWatchdog *watchdog, QObject *parent)
    : QObject(parent), m_watchdog(watchdog)
{
    m_beat.setInterval(1000);
    connect(&m_beat, &QTimer::timeout, this, [this] { m_watchdog->beat(); });
    if (protecting()) {
        m_beat.start();
        followHangUp();
    }
}

WatchdogKeeper::~WatchdogKeeper() = default;

bool WatchdogKeeper::protecting() const
{
    return m_watchdog && m_watchdog->isRunning();
}

void WatchdogKeeper::followHangUp()
{
    m_hangUp =
        std::make_unique<QSocketNotifier>(m_watchdog->hangUpDescriptor(), QSocketNotifier::Read);
    connect(m_hangUp.get(), &QSocketNotifier::activated, this, &WatchdogKeeper::hungUp);
}

void WatchdogKeeper::hungUp()
{
    // The watchdog never writes: anything readable here is the end of its output.
    char byte;
    const ssize_t count = ::read(m_watchdog->hangUpDescriptor(), &byte, 1);
    if (count > 0 || (count < 0 && (errno == EAGAIN || errno == EINTR)))
        return;
    m_hangUp.reset(); // before its descriptor closes
    if (m_watchdog->restart()) {
        followHangUp();
        emit watchdogReplaced();
        return;
    }
    m_beat.stop();
    emit protectionLost();
}
