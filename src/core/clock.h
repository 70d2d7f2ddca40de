#pragma once

#include <QDateTime>

// Wall time and the millisecond tick count, behind one interface so that tests can set them.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual qint64 tickCount() const = 0; // milliseconds, monotonic
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override;
    qint64 tickCount() const override;
};

// The program's clock; tests may install their own.
Clock &programClock();
void setProgramClock(Clock *clock); // nullptr restores the system clock
