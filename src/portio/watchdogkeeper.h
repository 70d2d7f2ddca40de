#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class PortWatchdog;
class QSocketNotifier;

// Keeps the port watchdog going while the desk's event loop runs: a beat every second, so that
// it can tell a hung desk from a busy one, and a new watchdog at once when the old one has gone.
class WatchdogKeeper : public QObject
{
    Q_OBJECT

public:
    // Without a watchdog (none could be started), it only says so.
    explicit WatchdogKeeper(PortWatchdog *watchdog, QObject *parent = nullptr);
    ~WatchdogKeeper() override;

    // A watchdog runs: a desk killed by any cause leaves its beds off.
    bool protecting() const;

signals:
    void watchdogReplaced(); // the watchdog had gone; a new one runs and knows everything
    void protectionLost();   // it had gone and no new one could be started

private:
    void followHangUp();
    void hungUp();

    PortWatchdog *m_watchdog;
    QTimer m_beat;
    std::unique_ptr<QSocketNotifier> m_hangUp;
};
