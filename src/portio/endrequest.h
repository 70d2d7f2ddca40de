#pragma once

#include <QObject>

class QSocketNotifier;

// Brings a request to end (SIGTERM, SIGINT, SIGHUP: a logout, a shutdown, Ctrl+C) into the event
// loop while it exists. The signal handler has switched every unit off already; endRequested
// then lets the program record what was running and end in order. Without one, such a signal
// ends the program at once.
class EndRequestNotifier : public QObject
{
    Q_OBJECT

public:
    explicit EndRequestNotifier(QObject *parent = nullptr);
    ~EndRequestNotifier() override;

signals:
    void endRequested(int signalNumber);

private:
    void readRequest();

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
