#include "core/clock.h"

#include <QElapsedTimer>

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::tickCount() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return timer.elapsed();
}

namespace {

Clock *installedClock = nullptr;

} // namespace

Clock &programClock()
{
    static SystemClock system;
    return installedClock ? *installedClock : system;
}

void setProgramClock(Clock *clock)
{
    installedClock = clock;
}
